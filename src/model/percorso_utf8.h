#pragma once
// The program's paths are UTF-8 strings, as the command line gives them on both systems.
// std::filesystem reads a narrow string in the C library's code page on Windows, where a
// name outside it would be lost: a path crosses to it and back through char8_t (the same
// bytes, untouched, on Linux).
#include <filesystem>
#include <string>
#include <string_view>

namespace cmp {

inline std::filesystem::path percorso_da_utf8(std::string_view utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

inline std::string utf8_del_percorso(const std::filesystem::path& p) {
  const std::u8string u = p.u8string();
  return std::string(u.begin(), u.end());
}

}  // namespace cmp
