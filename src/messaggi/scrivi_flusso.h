#pragma once
// The one place where the program's text meets standard output and standard error, one
// file per system (scrivi_flusso_linux.cpp, scrivi_flusso_windows.cpp). The text is UTF-8.
// On Linux, and on Windows when the stream is a file or a pipe, it goes out as these
// bytes; on a Windows console it goes as UTF-16, so that an accented station name reads
// the same whatever the console's code page.
#include <cstdio>
#include <string>
#include <string_view>

namespace cmp {

// Writes the text on the stream and flushes it; false when the system refuses either.
bool scrivi_flusso(std::FILE* flusso, std::string_view testo);

#ifdef _WIN32
// What a console is given for the text (a byte that is no UTF-8 becomes U+FFFD).
std::wstring utf16_da_utf8(std::string_view testo);
#endif

}  // namespace cmp
