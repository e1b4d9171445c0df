#include <windows.h>
#include <shellapi.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "riga_comando/processo.h"

namespace cmp {

// The C library would turn each "\n" written into "\r\n" and drop the "\r" of what is
// read: the SVG of `plot --out -`, dump's listing and the language server's frames would
// not be the bytes the Linux build writes. A console shows a lone "\n" as a new line.
void prepara_processo() {
  ::_setmode(::_fileno(stdin), _O_BINARY);
  ::_setmode(::_fileno(stdout), _O_BINARY);
  ::_setmode(::_fileno(stderr), _O_BINARY);
}

namespace {

std::string utf8_da_utf16(const wchar_t* largo) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, largo, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return {};
  std::string testo(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, largo, -1, testo.data(), n, nullptr, nullptr);
  testo.pop_back();  // the terminating zero
  return testo;
}

}  // namespace

std::vector<std::string> argomenti_riga_comando(int argc, char** argv) {
  int n = 0;
  wchar_t** largo = CommandLineToArgvW(GetCommandLineW(), &n);
  if (largo == nullptr) return std::vector<std::string>(argv + 1, argv + argc);
  std::vector<std::string> argomenti;
  for (int i = 1; i < n; ++i) argomenti.push_back(utf8_da_utf16(largo[i]));
  LocalFree(largo);
  return argomenti;
}

}  // namespace cmp
