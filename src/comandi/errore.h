#pragma once
#include <string>

#include "finestra/interfaccia.h"

namespace cmp {

inline constexpr int kUscitaErroreFinale = 2;  // exit status after " Errore n. "
inline constexpr int kUscitaErroreFile = 3;    // exit status after a file that cannot be written

// " Errore n. " followed by the number.
std::string messaggio_errore(const std::string& a);

// Shows the numbered error, waits for the user to close it, and ends the program.
[[noreturn]] void errore(Interfaccia& ui, const std::string& a);

}  // namespace cmp
