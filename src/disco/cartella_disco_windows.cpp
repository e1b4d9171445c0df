// The folder on disk on Windows, behind the same interface as on Linux (cartella_disco.h):
// wide-character paths, a replacement as durable as there (one temporary written whole,
// FlushFileBuffers, MoveFileExW with MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH,
// the old file kept aside under a hard link), the program's folder from GetModuleFileNameW.
//
// Narrow paths are in UTF-8, as the program takes its command line (riga_comando/
// processo.h) and as std::filesystem reads them; the names of a scenario's files are
// Windows-1252 and are converted from it. The folder's lock is a byte range of the lock
// file (LockFileEx), the file deleted when its last handle closes.
#include <windows.h>

#include <io.h>

#include <algorithm>
#include <cstdio>
#include <cstdint>
#include <string>
#include <vector>

#include "disco/cartella_disco.h"
#include "disco/nomi_windows.h"
#include "disco/giornale.h"

namespace cmp {
namespace {

// The same words as the Linux build's for the faults both have, so that a message reads
// alike on both; Windows' own text for the others.
std::string motivo(DWORD errore) {
  switch (errore) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return "No such file or directory";
    case ERROR_ACCESS_DENIED:
      return "Permission denied";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return "the file is in use by another program";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return "No space left on device";
    case ERROR_FILENAME_EXCED_RANGE:
      return "File name too long";
    case ERROR_WRITE_PROTECT:
      return "Read-only file system";
    case ERROR_DIRECTORY:
      return "Not a directory";
    default:
      break;
  }
  char testo[256] = {};
  const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, errore,
                                 MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), testo, sizeof testo, nullptr);
  std::string t(testo, n);
  while (!t.empty() && (t.back() == '\n' || t.back() == '\r' || t.back() == ' ' || t.back() == '.')) t.pop_back();
  return t.empty() ? "Windows error " + std::to_string(errore) : t;
}

std::wstring in_utf16(const std::string& testo, UINT pagina) {
  if (testo.empty()) return {};
  const int n = MultiByteToWideChar(pagina, 0, testo.data(), static_cast<int>(testo.size()), nullptr, 0);
  std::wstring w(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(pagina, 0, testo.data(), static_cast<int>(testo.size()), w.data(), n);
  return w;
}

std::string da_utf16(const std::wstring& testo, UINT pagina) {
  if (testo.empty()) return {};
  const int n =
      WideCharToMultiByte(pagina, 0, testo.data(), static_cast<int>(testo.size()), nullptr, 0, nullptr, nullptr);
  std::string t(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(pagina, 0, testo.data(), static_cast<int>(testo.size()), t.data(), n, nullptr, nullptr);
  return t;
}

// A wide path that Windows takes whatever its length: one of MAX_PATH or more goes in full,
// behind the prefix \\?\ (which takes no "." or "/", hence the full path first).
std::wstring senza_limite(std::wstring largo) {
  constexpr std::size_t kMargine = 12;  // what a temporary's name may add to a folder's path
  if (largo.size() + kMargine < MAX_PATH || largo.rfind(L"\\\\", 0) == 0) return largo;
  const DWORD n = GetFullPathNameW(largo.c_str(), 0, nullptr, nullptr);
  if (n == 0) return largo;
  std::wstring pieno(n, L'\0');
  const DWORD scritti = GetFullPathNameW(largo.c_str(), n, pieno.data(), nullptr);
  if (scritti == 0 || scritti >= n) return largo;
  pieno.resize(scritti);
  return L"\\\\?\\" + pieno;
}

// A path as the command line gives it, in UTF-8 (riga_comando/processo.h).
std::wstring percorso_largo(const std::string& percorso) { return senza_limite(in_utf16(percorso, CP_UTF8)); }

bool separatore(char c) { return c == '\\' || c == '/'; }

std::size_t ultimo_separatore(const std::string& percorso) { return percorso.find_last_of("\\/"); }

// The folder with its separator as typed, so that a message names the file as the user
// wrote it ("out/x.svg" stays "out/x.svg").
std::string cartella_di(const std::string& percorso) {
  const auto barra = ultimo_separatore(percorso);
  if (barra == std::string::npos) return ".";
  return percorso.substr(0, barra + 1);
}

std::string nome_in(const std::string& percorso) {
  const auto barra = ultimo_separatore(percorso);
  return barra == std::string::npos ? percorso : percorso.substr(barra + 1);
}

// A handle closed when it goes out of scope.
class Maniglia {
 public:
  explicit Maniglia(HANDLE h) : h_(h) {}
  ~Maniglia() {
    if (valida()) CloseHandle(h_);
  }
  Maniglia(const Maniglia&) = delete;
  Maniglia& operator=(const Maniglia&) = delete;
  bool valida() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
  HANDLE get() const { return h_; }
  // Closes it now; false (GetLastError says why) when closing failed.
  bool chiudi() {
    const HANDLE h = h_;
    h_ = INVALID_HANDLE_VALUE;
    return CloseHandle(h) != 0;
  }

 private:
  HANDLE h_;
};

constexpr DWORD kCondivisioneTutta = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

void scrivi_tutto(HANDLE h, std::string_view byte, const std::string& percorso) {
  while (!byte.empty()) {
    const DWORD pezzo = static_cast<DWORD>(std::min<std::size_t>(byte.size(), DWORD{1} << 30));
    DWORD scritti = 0;
    if (!WriteFile(h, byte.data(), pezzo, &scritti, nullptr)) throw ErroreFile(percorso, motivo(GetLastError()));
    byte.remove_prefix(scritti);
  }
}

std::string troppo_grande(std::size_t massimo) {
  return "larger than " + std::to_string(massimo) + " bytes, the most read from such a file";
}

// Reads to the end (a pipe's writer gone is its end), or to one byte past `massimo`.
std::string leggi_blocchi(HANDLE h, std::size_t primo, std::size_t massimo, const std::string& percorso) {
  std::string dati;
  std::size_t misura = primo;
  while (dati.size() <= massimo) {
    const std::size_t prima = dati.size();
    dati.resize(prima + std::min(misura, massimo + 1 - prima));
    std::size_t pieno = prima;
    while (pieno < dati.size()) {
      DWORD letti = 0;
      const DWORD chiesti = static_cast<DWORD>(std::min<std::size_t>(dati.size() - pieno, DWORD{1} << 30));
      if (!ReadFile(h, dati.data() + pieno, chiesti, &letti, nullptr)) {
        const DWORD e = GetLastError();
        if (e == ERROR_BROKEN_PIPE || e == ERROR_HANDLE_EOF) break;
        throw ErroreFile(percorso, motivo(e));
      }
      if (letti == 0) break;
      pieno += letti;
    }
    const bool finito = pieno < dati.size();
    dati.resize(pieno);
    if (finito) break;
    misura = std::size_t{1} << 20;
  }
  if (dati.size() > massimo) throw ErroreFileTroppoGrande(percorso, troppo_grande(massimo));
  return dati;
}

DWORD attributi(const std::wstring& percorso) { return GetFileAttributesW(percorso.c_str()); }

bool assente(DWORD errore) { return errore == ERROR_FILE_NOT_FOUND || errore == ERROR_PATH_NOT_FOUND; }

// Whether another program holds the file open without letting it be removed or replaced
// (the simulator keeps its .dat open so): the open for deletion that a replacement needs
// is then refused as a sharing violation. Windows says as much when the rename fails,
// Wine says only "access denied".
bool tenuto_da_altri(const std::wstring& largo) {
  const HANDLE h = CreateFileW(largo.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h != INVALID_HANDLE_VALUE) {
    CloseHandle(h);
    return false;
  }
  return GetLastError() == ERROR_SHARING_VIOLATION;
}

// The reason a replacement or a removal of this file failed, told apart from a plain
// refusal when the file is in use.
std::string motivo_su(DWORD errore, const std::wstring& largo) {
  if (errore == ERROR_ACCESS_DENIED && tenuto_da_altri(largo)) return motivo(ERROR_SHARING_VIOLATION);
  return motivo(errore);
}

// The whole file at this wide path, `percorso` naming it in messages: as leggi_file.
std::optional<std::string> leggi_largo(const std::wstring& largo, const std::string& percorso, std::size_t massimo,
                                       letture ammesse) {
  const DWORD a = attributi(largo);
  if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY)) throw ErroreFile(percorso, "is a directory");
  if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_REPARSE_POINT) && ammesse == letture::solo_file) {
    throw ErroreFile(percorso, "not a regular file");
  }
  Maniglia h(CreateFileW(largo.c_str(), GENERIC_READ, kCondivisioneTutta, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                         nullptr));
  if (!h.valida()) {
    const DWORD e = GetLastError();
    if (assente(e)) return std::nullopt;
    throw ErroreFile(percorso, motivo(e));
  }
  std::size_t primo = std::size_t{64} << 10;
  LARGE_INTEGER misura{};
  if (ammesse == letture::solo_file && GetFileType(h.get()) != FILE_TYPE_DISK) {
    throw ErroreFile(percorso, "not a regular file");
  }
  if (GetFileType(h.get()) == FILE_TYPE_DISK && GetFileSizeEx(h.get(), &misura)) {
    // A file's size is known: refuse it without reading.
    if (static_cast<std::uintmax_t>(misura.QuadPart) > massimo) {
      throw ErroreFileTroppoGrande(percorso, troppo_grande(massimo));
    }
    primo = static_cast<std::size_t>(misura.QuadPart) + 1;
  }
  return leggi_blocchi(h.get(), primo, massimo, percorso);
}

}  // namespace

std::optional<std::string> leggi_file(const std::string& percorso, std::size_t massimo, letture ammesse) {
  return leggi_largo(percorso_largo(percorso), percorso, massimo, ammesse);
}

void scrivi_file_atomico(const std::string& percorso, std::string_view byte) {
  CartellaDisco(cartella_di(percorso), false).scrivi(nome_in(percorso), byte);
}

void scrivi_uscita(const std::string& percorso, std::string_view byte) {
  if (percorso == "-") {
    std::fflush(stdout);  // what was printed before comes first
    std::size_t scritti = 0;
    while (scritti < byte.size()) {
      const int n = ::_write(1, byte.data() + scritti,
                             static_cast<unsigned>(std::min<std::size_t>(byte.size() - scritti, 1u << 30)));
      if (n <= 0) throw ErroreFile("standard output", "write error");
      scritti += static_cast<std::size_t>(n);
    }
    return;
  }
  const std::wstring largo = percorso_largo(percorso);
  const DWORD a = attributi(largo);
  if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY)) throw ErroreFile(percorso, "Is a directory");
  // A device (NUL, CON) or a pipe is written through; anything else is replaced.
  {
    Maniglia h(CreateFileW(largo.c_str(), GENERIC_WRITE, kCondivisioneTutta, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
    if (h.valida() && GetFileType(h.get()) != FILE_TYPE_DISK) {
      scrivi_tutto(h.get(), byte, percorso);
      return;
    }
  }
  scrivi_file_atomico(percorso, byte);
}

namespace {

// The name on disk of a file of this folder, as Windows takes it.
std::wstring nome_largo(const std::string& nome, bool nomi_cp1252) {
  return in_utf16(nome, nomi_cp1252 ? 1252 : CP_UTF8);
}

std::wstring percorso_largo_in(const std::string& base, const std::string& nome, bool nomi_cp1252) {
  const bool con_separatore = !base.empty() && separatore(base.back());
  return senza_limite(in_utf16(base, CP_UTF8) + (con_separatore ? L"" : L"\\") + nome_largo(nome, nomi_cp1252));
}

// A fresh name beside the folder's files, made by creating it (CREATE_NEW): the handle,
// open for writing, and the name.
std::pair<HANDLE, std::string> crea_nuovo(const std::string& base, const std::string& prefisso) {
  std::uint64_t seme =
      GetTickCount64() ^ (std::uint64_t{GetCurrentProcessId()} << 32) ^ reinterpret_cast<std::uintptr_t>(&seme);
  for (int volta = 0; volta < 100; ++volta) {
    seme = seme * 6364136223846793005ULL + 1442695040888963407ULL;
    constexpr char kCifre[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string nome = prefisso;
    std::uint64_t resto = seme >> 16;
    for (int i = 0; i < 6; ++i, resto /= 36) nome += kCifre[resto % 36];
    const HANDLE h = CreateFileW(percorso_largo_in(base, nome, false).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) return {h, nome};
    if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) return {h, nome};
  }
  SetLastError(ERROR_FILE_EXISTS);
  return {INVALID_HANDLE_VALUE, prefisso};
}

}  // namespace

std::string BloccoCartella::percorso_blocco() const {
  const bool con_separatore = !cartella_.empty() && separatore(cartella_.back());
  return cartella_ + (con_separatore ? "" : "\\") + kNomeBlocco;
}

namespace {

// The lock file, opened by every run that writes the folder (all sharing it) and deleted
// by Windows when the last of them closes it: a clean run leaves none behind, and no run
// removes the file under another's lock. A run that opens it in the instant it is being
// deleted is refused (access denied, the file pending deletion) and tries again.
HANDLE apri_file_blocco(const std::wstring& largo) {
  for (int volta = 0;; ++volta) {
    const HANDLE h = CreateFileW(largo.c_str(), GENERIC_READ | GENERIC_WRITE, kCondivisioneTutta, nullptr, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h != INVALID_HANDLE_VALUE || GetLastError() != ERROR_ACCESS_DENIED || volta == 50) return h;
    if (attributi(largo) != INVALID_FILE_ATTRIBUTES && (attributi(largo) & FILE_ATTRIBUTE_DIRECTORY)) return h;
    Sleep(10);
  }
}

}  // namespace

// The handle is kept as a C library descriptor (_open_osfhandle), so that the class is the
// same on both systems.
void BloccoCartella::prendi(const std::string& per_file) {
  if (fd_ >= 0) return;
  const std::string percorso = percorso_blocco();
  const std::wstring largo = percorso_largo(percorso);
  const DWORD a = attributi(largo);
  if (a != INVALID_FILE_ATTRIBUTES && (a & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))) {
    throw ErroreFile(cartella_, "cannot be locked: " + percorso + " is not a regular file");
  }
  const HANDLE h = apri_file_blocco(largo);
  if (h == INVALID_HANDLE_VALUE) throw ErroreFile(per_file, motivo(GetLastError()));
  OVERLAPPED dove{};
  if (!LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &dove)) {
    const DWORD e = GetLastError();
    CloseHandle(h);
    throw ErroreFile(cartella_, "cannot be locked: " + motivo(e));
  }
  fd_ = ::_open_osfhandle(reinterpret_cast<std::intptr_t>(h), 0);
  if (fd_ < 0) {
    CloseHandle(h);
    throw ErroreFile(cartella_, "cannot be locked: no descriptor left");
  }
}

void BloccoCartella::rilascia() {
  if (fd_ < 0) return;
  const HANDLE h = reinterpret_cast<HANDLE>(::_get_osfhandle(fd_));
  OVERLAPPED dove{};
  UnlockFileEx(h, 0, 1, 0, &dove);
  ::_close(fd_);  // closes the handle: the last one deletes the file
  fd_ = -1;
}

std::string CartellaDisco::percorso_di(const std::string& nome) const {
  if (base_.empty()) return nome;  // a path as the user typed it
  // "out/" or "out\" as the user typed it names its files "out/X", not "out/\X".
  const bool con_separatore = !base_.empty() && separatore(base_.back());
  const std::string su_disco = nomi_cp1252_ ? da_utf16(nome_largo(nome, true), CP_UTF8) : nome;
  return base_ + (con_separatore ? "" : "\\") + su_disco;
}

std::optional<std::string> CartellaDisco::leggi(const std::string& nome) {
  // Through the wide name: a Windows-1252 name need not fit the ANSI code page.
  return leggi_largo(percorso_largo_in(base_, nome, nomi_cp1252_), percorso_di(nome), kMassimoLettura,
                     letture::solo_file);
}

TipoVoce CartellaDisco::tipo(const std::string& nome) {
  const DWORD a = attributi(percorso_largo_in(base_, nome, nomi_cp1252_));
  if (a == INVALID_FILE_ATTRIBUTES) return TipoVoce::assente;
  if (a & FILE_ATTRIBUTE_REPARSE_POINT) return TipoVoce::collegamento;
  if (a & FILE_ATTRIBUTE_DIRECTORY) return TipoVoce::cartella;
  if (a & FILE_ATTRIBUTE_DEVICE) return TipoVoce::dispositivo;
  return TipoVoce::file;
}

bool CartellaDisco::esiste(const std::string& nome) {
  return attributi(percorso_largo_in(base_, nome, nomi_cp1252_)) != INVALID_FILE_ATTRIBUTES;
}

void CartellaDisco::elimina(const std::string& nome) {
  const std::wstring largo = percorso_largo_in(base_, nome, nomi_cp1252_);
  if (DeleteFileW(largo.c_str())) return;
  const DWORD e = GetLastError();
  if (!assente(e)) throw ErroreFile(percorso_di(nome), motivo_su(e, largo));
}

std::string CartellaDisco::scrivi_temporaneo(const std::string& per_nome, const ProduciFile& produci) {
  const std::string percorso = percorso_di(per_nome);
  auto [creato, nome] = crea_nuovo(base_, ".compattatore.tmp-");
  Maniglia h(creato);
  if (!h.valida()) throw ErroreFile(percorso, motivo(GetLastError()));
  const std::wstring largo = percorso_largo_in(base_, nome, false);
  try {
    produci([&h, &percorso](std::string_view pezzo) { scrivi_tutto(h.get(), pezzo, percorso); });
  } catch (...) {
    h.chiudi();
    DeleteFileW(largo.c_str());
    throw;
  }
  if (!h.chiudi()) {
    const DWORD e = GetLastError();
    DeleteFileW(largo.c_str());
    throw ErroreFile(percorso, motivo(e));
  }
  return nome;
}

void CartellaDisco::rendi_durevoli(const std::vector<file_temporaneo>& file) {
  for (const auto& f : file) {
    Maniglia h(CreateFileW(percorso_largo_in(base_, f.nome, false).c_str(), GENERIC_WRITE, kCondivisioneTutta, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h.valida() || !FlushFileBuffers(h.get())) throw ErroreFile(percorso_di(f.per_nome), motivo(GetLastError()));
  }
}

void CartellaDisco::elimina_tutti(const std::vector<std::string>& nomi) {
  for (const auto& nome : nomi) DeleteFileW(percorso_largo_in(base_, nome, nomi_cp1252_).c_str());
}

void CartellaDisco::rinomina(const std::string& da, const std::string& a) {
  const std::wstring largo_a = percorso_largo_in(base_, a, nomi_cp1252_);
  if (!MoveFileExW(percorso_largo_in(base_, da, nomi_cp1252_).c_str(), largo_a.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    throw ErroreFile(percorso_di(a), motivo_su(GetLastError(), largo_a));
  }
}

// A hard link under a fresh name (NTFS takes them; FAT does not, and then the rename
// still replaces the file in one step, only a later failure cannot bring it back).
std::optional<std::string> CartellaDisco::metti_da_parte(const std::string& nome) {
  const std::wstring esistente = percorso_largo_in(base_, nome, nomi_cp1252_);
  if (attributi(esistente) == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  // A second name of a file another program holds could not be removed while it holds it;
  // its rename will fail anyway, and nothing is lost.
  if (tenuto_da_altri(esistente)) return std::nullopt;
  for (int volta = 0; volta < 8; ++volta) {
    auto [creato, seconda] = crea_nuovo(base_, ".compattatore.old-");
    if (creato == INVALID_HANDLE_VALUE) return std::nullopt;
    CloseHandle(creato);
    const std::wstring largo = percorso_largo_in(base_, seconda, false);
    DeleteFileW(largo.c_str());
    if (CreateHardLinkW(largo.c_str(), esistente.c_str(), nullptr)) return seconda;
    if (GetLastError() != ERROR_ALREADY_EXISTS) return std::nullopt;
  }
  return std::nullopt;
}

// The renames went with MOVEFILE_WRITE_THROUGH: Windows has no folder of its own to flush.
void CartellaDisco::sincronizza(const std::string&) {}

std::vector<std::string> CartellaDisco::nomi_propri() {
  std::vector<std::string> nomi;
  const std::wstring modello = percorso_largo_in(base_, std::string(kPrefissoPropri) + "*", false);
  WIN32_FIND_DATAW voce{};
  const HANDLE ricerca = FindFirstFileW(modello.c_str(), &voce);
  if (ricerca == INVALID_HANDLE_VALUE) return nomi;
  do {
    const std::wstring nome(voce.cFileName);
    if (std::all_of(nome.begin(), nome.end(), [](wchar_t c) { return c < 0x80; })) {
      nomi.emplace_back(nome.begin(), nome.end());
    }
  } while (FindNextFileW(ricerca, &voce));
  FindClose(ricerca);
  return nomi;
}

std::optional<std::string> CartellaDisco::nome_inutilizzabile(const std::string& nome) {
  if (auto vietato = nome_vietato_windows(nome)) return vietato;
  // A file held open by another program cannot be replaced: known now, nothing is written
  // (and no second name made, which could not be removed while it is held either).
  if (tenuto_da_altri(percorso_largo_in(base_, nome, nomi_cp1252_))) return motivo(ERROR_SHARING_VIOLATION);
  // A name of the folder holds at most 255 UTF-16 units on NTFS and FAT alike.
  const std::size_t lunghezza = nome_largo(nome, nomi_cp1252_).size();
  if (lunghezza > 255) {
    return "File name too long (" + std::to_string(lunghezza) + " characters, the folder takes 255)";
  }
  return Cartella::nome_inutilizzabile(nome);
}

// Whether this user may write into the folder is known only by writing: the first write
// meets it and names its file.
std::optional<std::string> cartella_inaccessibile(const std::string& cartella, bool) {
  const DWORD a = attributi(percorso_largo(cartella));
  if (a == INVALID_FILE_ATTRIBUTES) return motivo(GetLastError());
  if (!(a & FILE_ATTRIBUTE_DIRECTORY)) return motivo(ERROR_DIRECTORY);
  return std::nullopt;
}

std::string cartella_programma() {
  std::wstring percorso(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, percorso.data(), static_cast<DWORD>(percorso.size()));
    if (n == 0) return ".";
    if (n < percorso.size()) {
      percorso.resize(n);
      break;
    }
    percorso.resize(percorso.size() * 2);
  }
  const auto barra = percorso.find_last_of(L"\\/");
  if (barra == std::wstring::npos) return ".";
  return da_utf16(percorso.substr(0, barra), CP_UTF8);
}

}  // namespace cmp
