#pragma once
// The Windows half of supporto.h: a fresh folder under the user's temporary folder, and a
// program run with CreateProcessW, its outputs into files, within a time limit.
#include <windows.h>

#include <cstdint>
#include <cwchar>

#include "supporto.h"

namespace cmp::prova {

// Tests of what only Linux has (bash, sh, /dev, /proc) say so and are skipped here.
inline constexpr bool kSuLinux = false;

inline std::wstring largo_prova(const std::string& t) {
  if (t.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, t.data(), static_cast<int>(t.size()), nullptr, 0);
  std::wstring w(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, t.data(), static_cast<int>(t.size()), w.data(), n);
  return w;
}

inline std::filesystem::path crea_cartella_temporanea() {
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  std::uint64_t seme = GetTickCount64() ^ (std::uint64_t{GetCurrentProcessId()} << 24);
  for (int volta = 0; volta < 1000; ++volta) {
    seme = seme * 6364136223846793005ULL + 1442695040888963407ULL;
    const std::filesystem::path p = base / ("compattatore-" + std::to_string(seme >> 40));
    if (CreateDirectoryW(p.wstring().c_str(), nullptr)) return p;
    if (GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  std::abort();
}

// One argument as the C library of the child splits the command line back.
inline std::wstring argomento_citato(const std::wstring& a) {
  if (!a.empty() && a.find_first_of(L" \t\"") == std::wstring::npos) return a;
  std::wstring c = L"\"";
  std::size_t barre = 0;
  for (const wchar_t ch : a) {
    if (ch == L'\\') {
      ++barre;
      continue;
    }
    if (ch == L'"')
      c.append(barre * 2 + 1, L'\\');
    else
      c.append(barre, L'\\');
    barre = 0;
    c += ch;
  }
  c.append(barre * 2, L'\\');
  return c + L"\"";
}

// This process's environment with DISPLAY empty: under Wine a program that finds no X
// display can make no window, so that the built-in run uses the terminal, as on Linux (on
// Windows itself the variable means nothing). Empty rather than removed: Wine gives a
// child the variables of its own environment that the child's lacks.
inline std::wstring ambiente_senza_display() {
  std::wstring blocco = L"DISPLAY=";
  blocco += L'\0';
  wchar_t* tutto = GetEnvironmentStringsW();
  for (const wchar_t* v = tutto; *v != L'\0'; v += std::wcslen(v) + 1) {
    if (_wcsnicmp(v, L"DISPLAY=", 8) == 0) continue;
    blocco += v;
    blocco += L'\0';
  }
  FreeEnvironmentStringsW(tutto);
  return blocco + L'\0';
}

inline EsitoProcesso esegui(const std::string& programma, const std::vector<std::string>& argomenti,
                            const std::string& cartella_lavoro, const std::function<void()>& nel_figlio,
                            std::chrono::milliseconds limite) {
  if (nel_figlio) std::abort();  // a POSIX child's set-up: the tests that need it run on Linux
  // Names of their own for each run: a file just removed may not yet be free to make again.
  static int esecuzioni = 0;
  const std::string quale = std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++esecuzioni);
  const std::filesystem::path tmp = std::filesystem::temp_directory_path();
  const std::filesystem::path f_out = tmp / ("cmp-out-" + quale);
  const std::filesystem::path f_err = tmp / ("cmp-err-" + quale);
  SECURITY_ATTRIBUTES ereditabile{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  const HANDLE out = CreateFileW(f_out.wstring().c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                 &ereditabile, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  const HANDLE err = CreateFileW(f_err.wstring().c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                 &ereditabile, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  const HANDLE in = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &ereditabile, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE || err == INVALID_HANDLE_VALUE || in == INVALID_HANDLE_VALUE) std::abort();
  std::wstring riga = argomento_citato(largo_prova(programma));
  for (const auto& a : argomenti) riga += L" " + argomento_citato(largo_prova(a));
  STARTUPINFOW avvio{};
  avvio.cb = sizeof avvio;
  avvio.dwFlags = STARTF_USESTDHANDLES;
  avvio.hStdInput = in;
  avvio.hStdOutput = out;
  avvio.hStdError = err;
  PROCESS_INFORMATION processo{};
  std::fflush(nullptr);
  const std::wstring cartella = largo_prova(cartella_lavoro);
  std::wstring ambiente = ambiente_senza_display();
  const BOOL partito = CreateProcessW(nullptr, riga.data(), nullptr, nullptr, TRUE, CREATE_UNICODE_ENVIRONMENT,
                                      ambiente.data(), cartella.c_str(), &avvio, &processo);
  CloseHandle(out);
  CloseHandle(err);
  CloseHandle(in);
  EsitoProcesso e;
  if (!partito) {
    e.stato = 127;
  } else {
    DWORD stato = 0;
    if (WaitForSingleObject(processo.hProcess, static_cast<DWORD>(limite.count())) != WAIT_OBJECT_0) {
      TerminateProcess(processo.hProcess, 128 + 9);
      WaitForSingleObject(processo.hProcess, INFINITE);
    }
    GetExitCodeProcess(processo.hProcess, &stato);
    CloseHandle(processo.hThread);
    CloseHandle(processo.hProcess);
    e.stato = static_cast<int>(stato);
  }
  e.uscita = leggi_tutto(f_out);
  e.errori = leggi_tutto(f_err);
  std::error_code ec;
  std::filesystem::remove(f_out, ec);
  std::filesystem::remove(f_err, ec);
  return e;
}

}  // namespace cmp::prova
