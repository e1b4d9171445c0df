#include <windows.h>
#include <io.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "messaggi/scrivi_flusso.h"

namespace cmp {
namespace {

// The console behind the stream, or nullptr when it is a file, a pipe or nothing.
HANDLE console_di(std::FILE* flusso) {
  const int fd = ::_fileno(flusso);
  if (fd < 0) return nullptr;
  const auto h = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
  DWORD modo = 0;
  if (h == INVALID_HANDLE_VALUE || h == nullptr || !GetConsoleMode(h, &modo)) return nullptr;
  return h;
}

bool scrivi_console(HANDLE console, const std::wstring& testo) {
  std::size_t fatti = 0;
  while (fatti < testo.size()) {
    // Some consoles refuse a long write at once: a piece at a time.
    const DWORD pezzo = static_cast<DWORD>(std::min<std::size_t>(testo.size() - fatti, 8192));
    DWORD scritti = 0;
    if (!WriteConsoleW(console, testo.data() + fatti, pezzo, &scritti, nullptr) || scritti == 0) return false;
    fatti += scritti;
  }
  return true;
}

bool scrivi_byte(std::FILE* flusso, std::string_view testo) {
  const bool scritto = std::fwrite(testo.data(), 1, testo.size(), flusso) == testo.size();
  return std::fflush(flusso) == 0 && scritto;
}

}  // namespace

std::wstring utf16_da_utf8(std::string_view testo) {
  if (testo.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, testo.data(), static_cast<int>(testo.size()), nullptr, 0);
  std::wstring largo(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, testo.data(), static_cast<int>(testo.size()), largo.data(), n);
  return largo;
}

bool scrivi_flusso(std::FILE* flusso, std::string_view testo) {
  const HANDLE console = console_di(flusso);
  if (console == nullptr) return scrivi_byte(flusso, testo);
  // What the C library still holds goes first, in order.
  if (std::fflush(flusso) != 0) return false;
  if (scrivi_console(console, utf16_da_utf8(testo))) return true;
  errno = EIO;
  return false;
}

}  // namespace cmp
