#pragma once
// The Windows half of the scripted language client (lsp/cliente_lsp.h): `compattatore lsp`
// started with CreateProcessW and anonymous pipes on its standard streams, its output
// polled with PeekNamedPipe (an anonymous pipe takes no overlapped read).
#include <windows.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>

#include "sistema_prova.h"

namespace cmp::prova {

class ProcessoLsp {
 public:
  explicit ProcessoLsp(const std::string& eseguibile) {
    SECURITY_ATTRIBUTES ereditabile{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE in_figlio = nullptr, out_figlio = nullptr, err_figlio = nullptr;
    if (!CreatePipe(&in_figlio, &in_, &ereditabile, 0) || !CreatePipe(&out_, &out_figlio, &ereditabile, 0) ||
        !CreatePipe(&err_, &err_figlio, &ereditabile, 0)) {
      throw std::runtime_error("CreatePipe");
    }
    for (HANDLE nostro : {in_, out_, err_}) SetHandleInformation(nostro, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW avvio{};
    avvio.cb = sizeof avvio;
    avvio.dwFlags = STARTF_USESTDHANDLES;
    avvio.hStdInput = in_figlio;
    avvio.hStdOutput = out_figlio;
    avvio.hStdError = err_figlio;
    std::wstring riga = argomento_citato(largo_prova(eseguibile)) + L" lsp";
    std::wstring ambiente = ambiente_senza_display();
    PROCESS_INFORMATION processo{};
    const BOOL partito = CreateProcessW(nullptr, riga.data(), nullptr, nullptr, TRUE, CREATE_UNICODE_ENVIRONMENT,
                                        ambiente.data(), nullptr, &avvio, &processo);
    CloseHandle(in_figlio);
    CloseHandle(out_figlio);
    CloseHandle(err_figlio);
    if (!partito) throw std::runtime_error("CreateProcessW");
    CloseHandle(processo.hThread);
    processo_ = processo.hProcess;
  }
  ~ProcessoLsp() {
    chiudi_ingresso();
    if (!uscito_) {
      TerminateProcess(processo_, 128 + 9);
      WaitForSingleObject(processo_, INFINITE);
    }
    CloseHandle(processo_);
    CloseHandle(out_);
    CloseHandle(err_);
  }
  ProcessoLsp(const ProcessoLsp&) = delete;
  ProcessoLsp& operator=(const ProcessoLsp&) = delete;

  void scrivi(const std::string& byte) {
    std::size_t scritti = 0;
    while (scritti < byte.size() && in_ != nullptr) {
      DWORD n = 0;
      if (!WriteFile(in_, byte.data() + scritti, static_cast<DWORD>(byte.size() - scritti), &n, nullptr) || n == 0)
        return;
      scritti += n;
    }
  }
  // What the server wrote next, appended to `buffer`, waiting at most `attesa`; false
  // when nothing came in time or its output ended.
  bool leggi(std::string& buffer, std::chrono::milliseconds attesa) {
    const auto limite = std::chrono::steady_clock::now() + attesa;
    for (;;) {
      DWORD pronti = 0;
      if (!PeekNamedPipe(out_, nullptr, 0, nullptr, &pronti, nullptr)) return false;  // its end
      if (pronti > 0) {
        std::string blocco(pronti, '\0');
        DWORD letti = 0;
        if (!ReadFile(out_, blocco.data(), pronti, &letti, nullptr) || letti == 0) return false;
        buffer.append(blocco.data(), letti);
        return true;
      }
      if (std::chrono::steady_clock::now() >= limite) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  }
  void chiudi_ingresso() {
    if (in_ != nullptr) CloseHandle(in_);
    in_ = nullptr;
  }
  // The exit status, or -1 when the server is still running after `attesa`.
  int stato_uscita(std::chrono::milliseconds attesa) {
    if (WaitForSingleObject(processo_, static_cast<DWORD>(attesa.count())) != WAIT_OBJECT_0) return -1;
    DWORD stato = 0;
    GetExitCodeProcess(processo_, &stato);
    uscito_ = true;
    return static_cast<int>(stato);
  }
  // What the server wrote on standard error (after it has ended).
  std::string errori() {
    std::string out;
    DWORD pronti = 0;
    while (PeekNamedPipe(err_, nullptr, 0, nullptr, &pronti, nullptr) && pronti > 0) {
      std::string blocco(pronti, '\0');
      DWORD letti = 0;
      if (!ReadFile(err_, blocco.data(), pronti, &letti, nullptr) || letti == 0) break;
      out.append(blocco.data(), letti);
    }
    return out;
  }

 private:
  HANDLE in_ = nullptr;
  HANDLE out_ = nullptr;
  HANDLE err_ = nullptr;
  HANDLE processo_ = nullptr;
  bool uscito_ = false;
};

}  // namespace cmp::prova
