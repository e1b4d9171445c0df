// A console program that behaves as a desktop one: started from Explorer (a console of
// its own) the console goes before the window shows; started from a shell (a console
// shared with it), or with its output sent to a file, it stays.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "supporto.h"

namespace cmp {
namespace {

using prova::CartellaTemporanea;

// Starts the program on a new console of its own, as Explorer does, its standard error
// into `errori` when one is given; waits for it and returns its exit status.
DWORD avvia(const std::wstring& riga, const std::filesystem::path& cartella, const std::filesystem::path& errori = {}) {
  STARTUPINFOW avvio{};
  avvio.cb = sizeof avvio;
  SECURITY_ATTRIBUTES ereditabile{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE file_errori = INVALID_HANDLE_VALUE;
  if (!errori.empty()) {
    file_errori = CreateFileW(errori.wstring().c_str(), GENERIC_WRITE, FILE_SHARE_READ, &ereditabile, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    avvio.dwFlags = STARTF_USESTDHANDLES;
    avvio.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    avvio.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    avvio.hStdError = file_errori;
  }
  PROCESS_INFORMATION p{};
  std::wstring r = riga;
  const BOOL partito = CreateProcessW(nullptr, r.data(), nullptr, nullptr, !errori.empty(), CREATE_NEW_CONSOLE, nullptr,
                                      cartella.wstring().c_str(), &avvio, &p);
  if (file_errori != INVALID_HANDLE_VALUE) CloseHandle(file_errori);
  if (!partito) return 1000 + GetLastError();
  DWORD stato = 0;
  if (WaitForSingleObject(p.hProcess, 60000) != WAIT_OBJECT_0) {
    TerminateProcess(p.hProcess, 137);
    WaitForSingleObject(p.hProcess, INFINITE);
  }
  GetExitCodeProcess(p.hProcess, &stato);
  CloseHandle(p.hThread);
  CloseHandle(p.hProcess);
  return stato;
}

enum class Avvio { explorer, da_cmd, errori_in_un_file };

// What the probe found on its console (before, let go, after), started as Explorer starts
// it (alone on a new console), from cmd (on cmd's console, itself on a new one), or alone
// with its standard error sent to a file.
std::string sonda(Avvio come) {
  CartellaTemporanea t;
  const std::string esito = t / "esito.txt";
  const std::wstring sonda_esito = L"\"" + std::filesystem::path(SONDA_CONSOLE_EXE).wstring() + L"\" \"" +
                                   std::filesystem::path(esito).wstring() + L"\"";
  const std::wstring riga = come == Avvio::da_cmd ? L"cmd.exe /s /c \"" + sonda_esito + L"\"" : sonda_esito;
  const std::filesystem::path errori = come == Avvio::errori_in_un_file ? t.percorso() / "errori.txt" : "";
  if (avvia(riga, t.percorso(), errori) != 0) return "the probe failed";
  return prova::leggi_tutto(esito);
}

TEST(ConsoleWin32, AConsoleOfItsOwnIsLetGo) {
  EXPECT_EQ(sonda(Avvio::explorer), "1 1 0") << "started as Explorer starts it: alone on a new console, which goes";
}

TEST(ConsoleWin32, AConsoleSharedWithAShellStays) {
  EXPECT_EQ(sonda(Avvio::da_cmd), "2 0 2") << "started from cmd: the console is the shell's and stays";
}

TEST(ConsoleWin32, AConsoleStaysWhenTheOutputIsSentElsewhere) {
  EXPECT_EQ(sonda(Avvio::errori_in_un_file), "1 0 1") << "whoever sent the errors to a file wants them";
}

TEST(ConsoleWin32, StartedFromExplorerTheRunEndsByItselfAndWritesItsFiles) {
  CartellaTemporanea t;
  const std::string programma = prova::copia_programma(t);
  const DWORD stato = avvia(L"\"" + std::filesystem::path(programma).wstring() + L"\"", t.percorso());
  EXPECT_EQ(stato, 0u);
  for (const char* nome : {"VallorsaC_Pietrana_linea.dat", "VallorsaC_Pietrana_4721.sim", "VallorsaC_Pietrana_4721.dat",
                           "VallorsaC_Pietrana_4721_note.txt", "VallorsaC_Pietrana_4721_rallentamenti.txt",
                           "VallorsaC_Pietrana_4721_scheda_treno.txt"}) {
    EXPECT_TRUE(std::filesystem::exists(t / nome)) << nome;
  }
}

}  // namespace
}  // namespace cmp
