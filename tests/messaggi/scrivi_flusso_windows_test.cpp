// The program's text on Windows: a console is given it as UTF-16, so that an accented
// station name reads right whatever the console's code page; a file gets the UTF-8 bytes.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "messaggi/scrivi_flusso.h"
#include "supporto.h"

namespace cmp {
namespace {

const std::string kElpidio =
    "ELP\xC3\x8C"
    "DIO";  // ELPÌDIO in UTF-8

TEST(ScriviFlussoWindows, ConvertsUtf8ToWhatTheConsoleIsGiven) {
  struct Caso {
    std::string utf8;
    std::wstring utf16;
  };
  const Caso casi[] = {
      {"", L""},
      {kElpidio, L"ELP\u00CCDIO"},
      {"\xC5\x81\xC3\xB3"
       "d\xC5\xBA",
       L"\u0141\u00F3d\u017A"},  // Łódź: outside Windows-1252
      {"a\xFF"
       "b",
       L"a\uFFFDb"},                            // no UTF-8: one replacement
      {"\xF0\x9F\x9A\x86\n", L"\U0001F686\n"},  // beyond 16 bits: a pair
  };
  for (const auto& c : casi) EXPECT_EQ(utf16_da_utf8(c.utf8), c.utf16) << c.utf8;
}

// What a console shows after the probe wrote ELPÌDIO on it: the probe runs on a console of
// its own (CREATE_NEW_CONSOLE, as a program started from Explorer), since the tests'
// process has none to write on, and says what it read back from its screen.
std::string letto_dalla_console() {
  prova::CartellaTemporanea t;
  const std::filesystem::path esito = t.percorso() / "esito.txt";
  std::wstring riga =
      L"\"" + std::filesystem::path(SONDA_SCRITTURA_CONSOLE_EXE).wstring() + L"\" \"" + esito.wstring() + L"\"";
  STARTUPINFOW avvio{};
  avvio.cb = sizeof avvio;
  PROCESS_INFORMATION p{};
  if (!CreateProcessW(nullptr, riga.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr, nullptr, &avvio,
                      &p)) {
    return "the probe did not start: error " + std::to_string(GetLastError());
  }
  DWORD stato = 0;
  if (WaitForSingleObject(p.hProcess, 60000) != WAIT_OBJECT_0) TerminateProcess(p.hProcess, 137);
  WaitForSingleObject(p.hProcess, INFINITE);
  GetExitCodeProcess(p.hProcess, &stato);
  CloseHandle(p.hThread);
  CloseHandle(p.hProcess);
  if (stato != 0) return "the probe failed with status " + std::to_string(stato);
  return prova::leggi_tutto(esito);
}

TEST(ScriviFlussoWindows, AConsoleShowsTheAccentedNameWhateverItsCodePage) {
  // E L P Ì D I O, where the bytes of "Ì" on code page 437 would have read as two others.
  // A Wine session under load now and then gives the probe no console to write on (an
  // invalid handle, error 6, or none made, status 4): such a run is tried again, twice at most.
  const auto senza_console = [](const std::string& l) {
    return l.find("error 6\r\n") != std::string::npos || l.find("error 6\n") != std::string::npos ||
           l.find("status 4") != std::string::npos;
  };
  std::string letto = letto_dalla_console();
  for (int tentativo = 0; tentativo < 2 && senza_console(letto); ++tentativo) {
    Sleep(1000);
    letto = letto_dalla_console();
  }
  EXPECT_EQ(letto, "45 4c 50 cc 44 49 4f");
}

TEST(ScriviFlussoWindows, AFileGetsTheUtf8BytesAsTheyAre) {
  prova::CartellaTemporanea t;
  const std::filesystem::path file = t.percorso() / "errori.txt";
  std::FILE* f = _wfopen(file.wstring().c_str(), L"wb");
  ASSERT_NE(f, nullptr);
  const std::string testo = "compattatore: error: " + kElpidio + "\n";
  EXPECT_TRUE(scrivi_flusso(f, testo));
  std::fclose(f);
  EXPECT_EQ(prova::leggi_tutto(file), testo);
}

}  // namespace
}  // namespace cmp
