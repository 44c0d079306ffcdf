// Win32 files: wide-character paths, CREATE_NEW for new files, MoveFileExW
// to replace.
#include <windows.h>

#include <algorithm>
#include <random>
#include <stdexcept>

#include "platform/file.h"

namespace sc::piattaforma {

namespace {

const std::intptr_t chiuso = reinterpret_cast<std::intptr_t>(INVALID_HANDLE_VALUE);

HANDLE handle_di(std::intptr_t h) { return reinterpret_cast<HANDLE>(h); }

// The system's words for an error code, as UTF-8.
std::string descrizione(DWORD errore) {
  wchar_t* testo = nullptr;
  DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, errore, 0, reinterpret_cast<wchar_t*>(&testo), 0, nullptr);
  if (n == 0 || testo == nullptr) return "error " + std::to_string(errore);
  std::wstring w(testo, n);
  LocalFree(testo);
  while (!w.empty() && (w.back() == L'\n' || w.back() == L'\r' || w.back() == L' ' || w.back() == L'.')) w.pop_back();
  return testo_percorso(percorso(w));
}

[[noreturn]] void fallito(const std::string& cosa, const percorso& p, DWORD errore) {
  throw std::runtime_error(cosa + " " + testo_percorso(p) + ": " + descrizione(errore));
}

[[noreturn]] void troppo_grande(const percorso& p, std::size_t limite) {
  throw std::runtime_error(testo_percorso(p) + " is larger than " + std::to_string(limite >> 20) +
                           " MiB, the limit for an input file");
}

std::wstring nome_temporaneo() {
  static std::mt19937_64 caso{std::random_device{}() ^ std::uint64_t(GetCurrentProcessId()) << 32};
  static const wchar_t cifre[] = L"0123456789abcdef";
  std::wstring nome = L".scenario-compiler-";
  for (std::uint64_t x = caso(), i = 0; i < 16; ++i, x >>= 4) nome += cifre[x & 15];
  return nome + L".tmp";
}

}  // namespace

std::string testo_percorso(const percorso& p) {
  const std::u8string u = p.u8string();
  return std::string(u.begin(), u.end());
}

file_nuovo::file_nuovo(percorso destinazione) : destinazione_(std::move(destinazione)), handle_(chiuso) {
  const DWORD attributi = GetFileAttributesW(destinazione_.c_str());
  if (attributi != INVALID_FILE_ATTRIBUTES && (attributi & FILE_ATTRIBUTE_DIRECTORY) &&
      !(attributi & FILE_ATTRIBUTE_REPARSE_POINT))
    throw std::runtime_error("cannot replace " + testo_percorso(destinazione_) + ": it is a directory");
  for (int tentativo = 0; handle_ == chiuso; ++tentativo) {
    temporaneo_ = destinazione_.parent_path() / nome_temporaneo();
    // CREATE_NEW: a name that exists, even as a link, is never opened.
    HANDLE h = CreateFileW(temporaneo_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    const DWORD errore = GetLastError();
    if (h != INVALID_HANDLE_VALUE) handle_ = reinterpret_cast<std::intptr_t>(h);
    else if ((errore != ERROR_FILE_EXISTS && errore != ERROR_ALREADY_EXISTS) || tentativo == 100)
      fallito("cannot create", destinazione_, errore);
  }
}

file_nuovo::~file_nuovo() {
  if (handle_ != chiuso) CloseHandle(handle_di(handle_));
  if (!confermato_) DeleteFileW(temporaneo_.c_str());
}

void file_nuovo::scrivi(std::string_view dati) {
  while (!dati.empty()) {
    const DWORD pezzo = DWORD(std::min<std::size_t>(dati.size(), 1u << 30));
    DWORD scritti = 0;
    if (!WriteFile(handle_di(handle_), dati.data(), pezzo, &scritti, nullptr) || scritti == 0)
      fallito("cannot write", destinazione_, GetLastError());
    dati.remove_prefix(scritti);
  }
}

void file_nuovo::chiudi() {
  if (handle_ == chiuso) return;
  HANDLE h = handle_di(handle_);
  handle_ = chiuso;
  if (!FlushFileBuffers(h)) {
    const DWORD errore = GetLastError();
    CloseHandle(h);
    fallito("cannot write", destinazione_, errore);
  }
  if (!CloseHandle(h)) fallito("cannot write", destinazione_, GetLastError());
}

void file_nuovo::conferma() {
  chiudi();
  if (!MoveFileExW(temporaneo_.c_str(), destinazione_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    fallito("cannot replace", destinazione_, GetLastError());
  confermato_ = true;
}

std::string leggi_file_regolare(const percorso& p, std::size_t limite) {
  const DWORD attributi = GetFileAttributesW(p.c_str());
  if (attributi == INVALID_FILE_ATTRIBUTES) fallito("cannot read", p, GetLastError());
  if (attributi & FILE_ATTRIBUTE_DIRECTORY) throw std::runtime_error(testo_percorso(p) + " is a directory, not a regular file");
  HANDLE h = CreateFileW(p.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) fallito("cannot read", p, GetLastError());
  struct chiudi_handle {
    HANDLE h;
    ~chiudi_handle() { CloseHandle(h); }
  } chiusura{h};
  // Pipes and devices (CON, NUL, COM1) are not files on a disk.
  if (GetFileType(h) != FILE_TYPE_DISK) throw std::runtime_error(testo_percorso(p) + " is a device or a pipe, not a regular file");
  LARGE_INTEGER dimensione;
  if (!GetFileSizeEx(h, &dimensione)) fallito("cannot read", p, GetLastError());
  if (std::uint64_t(dimensione.QuadPart) > limite) troppo_grande(p, limite);

  std::string dati;
  dati.reserve(std::size_t(dimensione.QuadPart));
  char buf[1 << 16];
  for (;;) {
    DWORD n = 0;
    if (!ReadFile(h, buf, sizeof buf, &n, nullptr)) fallito("cannot read", p, GetLastError());
    if (n == 0) break;
    if (dati.size() + n > limite) troppo_grande(p, limite);
    dati.append(buf, n);
  }
  return dati;
}

}  // namespace sc::piattaforma
