#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace cmp {

// Why Windows cannot hold a file of this name (as its bytes are, one folder's entry), or
// nullopt: a character Windows keeps for itself (< > : " / \ | ? * and the control
// characters, codes 1 to 31), a final dot or blank (Windows drops them, so the file would
// be another), or a device's name (CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9, in any letter
// case) as the whole name or before its first dot ("NUL.dat" is the device too).
std::optional<std::string> nome_vietato_windows(std::string_view nome);

}  // namespace cmp
