// Win32 files: wide-character paths (in the \\?\ form when long), CREATE_NEW
// for new files, renames through the file's own handle. A temporary file is
// held open without FILE_SHARE_DELETE until renamed, so that another run's
// cleaning cannot remove it.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <set>
#include <stdexcept>

#include "platform/file.h"

namespace sc::piattaforma {

namespace {

const std::intptr_t chiuso = reinterpret_cast<std::intptr_t>(INVALID_HANDLE_VALUE);

HANDLE handle_di(std::intptr_t h) { return reinterpret_cast<HANDLE>(h); }

std::string utf8_di(const std::wstring& w) {
  if (w.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), int(w.size()), nullptr, 0, nullptr, nullptr);
  std::string r(std::size_t(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), int(w.size()), r.data(), n, nullptr, nullptr);
  return r;
}

// The system's words for an error code, as UTF-8.
std::string descrizione(DWORD errore) {
  wchar_t* testo = nullptr;
  DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, errore, 0, reinterpret_cast<wchar_t*>(&testo), 0, nullptr);
  if (n == 0 || testo == nullptr) return "error " + std::to_string(errore);
  std::wstring w(testo, n);
  LocalFree(testo);
  while (!w.empty() && (w.back() == L'\n' || w.back() == L'\r' || w.back() == L' ' || w.back() == L'.')) w.pop_back();
  return utf8_di(w);
}

[[noreturn]] void fallito(const std::string& cosa, const percorso& p, DWORD errore) {
  throw std::runtime_error(cosa + " " + testo_percorso(p) + ": " + descrizione(errore));
}

[[noreturn]] void troppo_grande(const percorso& p, std::size_t limite) {
  throw std::runtime_error(testo_percorso(p) + " is larger than " + std::to_string(limite >> 20) +
                           " MiB, the limit for an input file");
}

// The path as the Win32 calls take it: past MAX_PATH, in the \\?\ form of
// its absolute path, which has no such limit.
std::wstring nativo(const percorso& p) {
  std::wstring w = p.native();
  std::replace(w.begin(), w.end(), L'/', L'\\');
  if (w.rfind(L"\\\\?\\", 0) == 0 || w.rfind(L"\\\\.\\", 0) == 0) return w;
  DWORD n = GetFullPathNameW(w.c_str(), 0, nullptr, nullptr);
  if (n == 0) return w;
  std::wstring pieno(n, L'\0');
  n = GetFullPathNameW(w.c_str(), n, pieno.data(), nullptr);
  pieno.resize(n);
  // CreateDirectoryW's limit, the lowest of them.
  if (pieno.size() < MAX_PATH - 12) return w;
  if (pieno.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + pieno.substr(2);
  return L"\\\\?\\" + pieno;
}

// CON, NUL, COM1 and the like, whatever their extension, and \\.\ names: devices, not files.
bool dispositivo(const percorso& p) {
  const std::wstring& w = p.native();
  if (w.rfind(L"\\\\.\\", 0) == 0 || w.rfind(L"//./", 0) == 0) return true;
  std::wstring nome = p.filename().native();
  nome = nome.substr(0, nome.find(L'.'));
  while (!nome.empty() && nome.back() == L' ') nome.pop_back();
  std::transform(nome.begin(), nome.end(), nome.begin(), [](wchar_t c) { return c >= L'a' && c <= L'z' ? wchar_t(c - 32) : c; });
  if (nome == L"CON" || nome == L"PRN" || nome == L"AUX" || nome == L"NUL" || nome == L"CONIN$" || nome == L"CONOUT$") return true;
  return nome.size() == 4 && (nome.rfind(L"COM", 0) == 0 || nome.rfind(L"LPT", 0) == 0) && nome[3] >= L'1' && nome[3] <= L'9';
}

constexpr std::wstring_view prefisso_temporaneo = L".scenario-compiler-", suffisso_temporaneo = L".tmp";

std::wstring nome_temporaneo() {
  static std::mt19937_64 caso{std::random_device{}() ^ std::uint64_t(GetCurrentProcessId()) << 32};
  static const wchar_t cifre[] = L"0123456789abcdef";
  std::wstring nome(prefisso_temporaneo);
  for (std::uint64_t x = caso(), i = 0; i < 16; ++i, x >>= 4) nome += cifre[x & 15];
  return nome + std::wstring(suffisso_temporaneo);
}

bool nome_di_temporaneo(std::wstring_view n) {
  if (n.size() != prefisso_temporaneo.size() + 16 + suffisso_temporaneo.size()) return false;
  if (n.substr(0, prefisso_temporaneo.size()) != prefisso_temporaneo || n.substr(n.size() - 4) != suffisso_temporaneo) return false;
  for (wchar_t c : n.substr(prefisso_temporaneo.size(), 16))
    if (!((c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f'))) return false;
  return true;
}

// Renames the file open as `h` (with DELETE access) to `a`.
bool rinomina(HANDLE h, const percorso& a, bool sostituisci) {
  const std::wstring nome = nativo(a);
  DWORD pieno = GetFullPathNameW(nome.c_str(), 0, nullptr, nullptr);
  std::wstring assoluto(pieno, L'\0');
  assoluto.resize(GetFullPathNameW(nome.c_str(), pieno, assoluto.data(), nullptr));
  const std::size_t byte = sizeof(FILE_RENAME_INFO) + assoluto.size() * sizeof(wchar_t);
  std::vector<unsigned char> spazio(byte, 0);
  auto* info = reinterpret_cast<FILE_RENAME_INFO*>(spazio.data());
  info->ReplaceIfExists = sostituisci;
  info->RootDirectory = nullptr;
  info->FileNameLength = DWORD(assoluto.size() * sizeof(wchar_t));
  std::memcpy(info->FileName, assoluto.data(), info->FileNameLength);
  return SetFileInformationByHandle(h, FileRenameInfo, info, DWORD(byte));
}

// Deletes the file open as `h` (with DELETE access) when it is closed.
void elimina(HANDLE h) {
  FILE_DISPOSITION_INFO info{TRUE};
  SetFileInformationByHandle(h, FileDispositionInfo, &info, sizeof info);
}

void chiudi_handle(std::intptr_t& h) {
  if (h != chiuso) CloseHandle(handle_di(h));
  h = chiuso;
}

// ---------------------------------------------------------------- interruptions

// The temporary files of this run, open, and what guards them: the console's
// handler runs on a thread of its own.
struct registro {
  CRITICAL_SECTION guardia;
  HANDLE aperti[32] = {};
  registro() { InitializeCriticalSection(&guardia); }
};

registro& temporanei() {
  static registro r;
  return r;
}

int registra(HANDLE h) {
  registro& r = temporanei();
  EnterCriticalSection(&r.guardia);
  int posto = -1;
  for (int i = 0; i < 32 && posto < 0; ++i)
    if (!r.aperti[i]) r.aperti[posto = i] = h;
  LeaveCriticalSection(&r.guardia);
  return posto;  // -1: not removed on an interruption; the next run will
}

void libera(int& posto) {
  if (posto < 0) return;
  registro& r = temporanei();
  EnterCriticalSection(&r.guardia);
  r.aperti[posto] = nullptr;
  LeaveCriticalSection(&r.guardia);
  posto = -1;
}

BOOL WINAPI a_interruzione(DWORD evento) {
  UINT stato = 0;
  switch (evento) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT: stato = 128 + 2; break;  // as SIGINT
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT: stato = 128 + 15; break;  // as SIGTERM
    default: return FALSE;
  }
  registro& r = temporanei();
  // Held for good: a set being renamed is finished first, and nothing starts after.
  EnterCriticalSection(&r.guardia);
  for (HANDLE h : r.aperti)
    if (h) {
      elimina(h);
      CloseHandle(h);
    }
  ExitProcess(stato);
}

}  // namespace

percorso percorso_di(std::string_view utf8) { return percorso(std::u8string(utf8.begin(), utf8.end())); }

std::string testo_percorso(const percorso& p) {
  std::string r = utf8_di(p.native());
  std::replace(r.begin(), r.end(), '/', '\\');
  return r;
}

genere_voce genere_di(const percorso& p, bool segui_link) {
  if (dispositivo(p)) return genere_voce::dispositivo;
  const std::wstring w = nativo(p);
  const DWORD a = GetFileAttributesW(w.c_str());
  if (a == INVALID_FILE_ATTRIBUTES) return genere_voce::nessuna;
  if (a & FILE_ATTRIBUTE_REPARSE_POINT) {
    if (!segui_link) return genere_voce::link;
    // What the link leads to, if anything.
    HANDLE h = CreateFileW(w.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return genere_voce::nessuna;
    BY_HANDLE_FILE_INFORMATION info;
    const bool ok = GetFileInformationByHandle(h, &info);
    CloseHandle(h);
    if (!ok) return genere_voce::nessuna;
    return info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? genere_voce::cartella : genere_voce::file;
  }
  return a & FILE_ATTRIBUTE_DIRECTORY ? genere_voce::cartella : genere_voce::file;
}

std::string descrizione_genere(const percorso& p) {
  switch (genere_di(p)) {
    case genere_voce::nessuna: return "missing";
    case genere_voce::cartella: return "a directory";
    case genere_voce::dispositivo: return "a device";
    default: return "a file";
  }
}

void crea_cartelle(const percorso& p) {
  const auto perche = [&](const std::string& motivo) {
    throw std::runtime_error("cannot use output directory " + testo_percorso(p) + ": " + motivo);
  };
  std::vector<percorso> mancanti;
  for (percorso q = p; !q.empty(); q = q.parent_path()) {
    const genere_voce g = genere_di(q);
    if (g == genere_voce::cartella) break;
    if (g != genere_voce::nessuna) perche(q == p ? "it is " + descrizione_genere(q) : testo_percorso(q) + " is " + descrizione_genere(q));
    mancanti.push_back(q);
    if (q == q.parent_path() || q == q.root_path()) break;
  }
  for (auto q = mancanti.rbegin(); q != mancanti.rend(); ++q)
    if (!CreateDirectoryW(nativo(*q).c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
      const std::string motivo = descrizione(GetLastError());
      perche(*q == p ? motivo : "cannot create " + testo_percorso(*q) + ": " + motivo);
    }
}

void rimuovi(const percorso& p) { DeleteFileW(nativo(p).c_str()); }

std::vector<std::string> nomi_in(const percorso& cartella) {
  WIN32_FIND_DATAW voce;
  HANDLE h = FindFirstFileW((nativo(cartella) + L"\\*").c_str(), &voce);
  if (h == INVALID_HANDLE_VALUE) fallito("cannot read the directory", cartella, GetLastError());
  std::vector<std::string> nomi;
  do {
    const std::wstring nome = voce.cFileName;
    if (nome != L"." && nome != L"..") nomi.push_back(utf8_di(nome));
  } while (FindNextFileW(h, &voce));
  FindClose(h);
  return nomi;
}

void pulisci_a_interruzione() {
  temporanei();
  SetConsoleCtrlHandler(a_interruzione, TRUE);
}

senza_interruzioni::senza_interruzioni() { EnterCriticalSection(&temporanei().guardia); }

senza_interruzioni::~senza_interruzioni() { LeaveCriticalSection(&temporanei().guardia); }

void pulisci_temporanei(const percorso& cartella) {
  static std::set<std::wstring> fatte;
  const std::wstring base = nativo(cartella.empty() ? percorso(L".") : cartella);
  if (!fatte.insert(base).second) return;
  WIN32_FIND_DATAW voce;
  HANDLE h = FindFirstFileW((base + L"\\" + std::wstring(prefisso_temporaneo) + L"*").c_str(), &voce);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    // A run that still writes it holds it open, and the deletion fails.
    if (nome_di_temporaneo(voce.cFileName) && !(voce.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      DeleteFileW((base + L"\\" + voce.cFileName).c_str());
  } while (FindNextFileW(h, &voce));
  FindClose(h);
}

file_nuovo::file_nuovo(percorso destinazione)
    : destinazione_(std::move(destinazione)), handle_(chiuso), tenuta_(chiuso), tenuta_riserva_(chiuso) {
  if (dispositivo(destinazione_))
    throw std::runtime_error("cannot replace " + testo_percorso(destinazione_) + ": it is a device, not a regular file");
  const DWORD attributi = GetFileAttributesW(nativo(destinazione_).c_str());
  if (attributi != INVALID_FILE_ATTRIBUTES && (attributi & FILE_ATTRIBUTE_DIRECTORY) &&
      !(attributi & FILE_ATTRIBUTE_REPARSE_POINT))
    throw std::runtime_error("cannot replace " + testo_percorso(destinazione_) + ": it is a directory");
  pulisci_temporanei(destinazione_.parent_path());
  // Known to the interruption's handler from the moment it exists.
  senza_interruzioni registrato;
  for (int tentativo = 0; handle_ == chiuso; ++tentativo) {
    temporaneo_ = destinazione_.parent_path() / nome_temporaneo();
    // CREATE_NEW: a name that exists, even as a link, is never opened.
    HANDLE h = CreateFileW(nativo(temporaneo_).c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    const DWORD errore = GetLastError();
    if (h != INVALID_HANDLE_VALUE) {
      handle_ = reinterpret_cast<std::intptr_t>(h);
      posto_ = registra(h);
    } else if ((errore != ERROR_FILE_EXISTS && errore != ERROR_ALREADY_EXISTS) || tentativo == 100) {
      fallito("cannot create", destinazione_, errore);
    }
  }
}

file_nuovo::~file_nuovo() {
  {
    senza_interruzioni s;
    if (!confermato_ && handle_ != chiuso) elimina(handle_di(handle_));
    libera(posto_);
    chiudi_handle(handle_);
  }
  rilascia();
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
  // The handle stays open, and the file held, until it is renamed.
  if (handle_ == chiuso || tenuta_ != chiuso) return;
  if (!FlushFileBuffers(handle_di(handle_))) fallito("cannot write", destinazione_, GetLastError());
  tenuta_ = handle_;
}

void file_nuovo::rinomina_su_destinazione() {
  senza_interruzioni s;
  if (!rinomina(handle_di(handle_), destinazione_, true)) fallito("cannot replace", destinazione_, GetLastError());
  confermato_ = true;
  libera(posto_);
  chiudi_handle(handle_);
  tenuta_ = chiuso;
}

void file_nuovo::conferma() {
  chiudi();
  rinomina_su_destinazione();
}

void file_nuovo::conferma_reversibile() {
  chiudi();
  senza_interruzioni s;
  // The older file is moved aside through a handle of its own, which keeps it
  // until it is put back or dropped. Opening it for deletion is what a file
  // that the simulator holds open refuses.
  HANDLE vecchio = CreateFileW(nativo(destinazione_).c_str(), DELETE | FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (vecchio == INVALID_HANDLE_VALUE) {
    const DWORD errore = GetLastError();
    if (errore != ERROR_FILE_NOT_FOUND && errore != ERROR_PATH_NOT_FOUND) fallito("cannot replace", destinazione_, errore);
  } else {
    tenuta_riserva_ = reinterpret_cast<std::intptr_t>(vecchio);
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileInformationByHandle(vecchio, &info) && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
        !(info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
      chiudi_handle(tenuta_riserva_);
      throw std::runtime_error("cannot replace " + testo_percorso(destinazione_) + ": it is a directory");
    }
    for (int tentativo = 0;; ++tentativo) {
      riserva_ = destinazione_.parent_path() / nome_temporaneo();
      if (rinomina(vecchio, riserva_, false)) break;
      const DWORD errore = GetLastError();
      if ((errore != ERROR_FILE_EXISTS && errore != ERROR_ALREADY_EXISTS) || tentativo == 100) {
        chiudi_handle(tenuta_riserva_);
        fallito("cannot replace", destinazione_, errore);
      }
    }
    con_riserva_ = true;
  }
  try {
    rinomina_su_destinazione();
  } catch (...) {
    if (con_riserva_ && rinomina(vecchio, destinazione_, false)) con_riserva_ = false;
    chiudi_handle(tenuta_riserva_);
    con_riserva_ = false;
    throw;
  }
}

void file_nuovo::annulla() {
  if (!confermato_) return;
  senza_interruzioni s;
  if (con_riserva_) {
    if (!rinomina(handle_di(tenuta_riserva_), destinazione_, true)) fallito("cannot put back the older", destinazione_, GetLastError());
    con_riserva_ = false;
    chiudi_handle(tenuta_riserva_);
  } else if (!DeleteFileW(nativo(destinazione_).c_str())) {
    fallito("cannot put back the older", destinazione_, GetLastError());
  }
}

void file_nuovo::rilascia() {
  if (con_riserva_) elimina(handle_di(tenuta_riserva_));
  con_riserva_ = false;
  chiudi_handle(tenuta_riserva_);
}

std::string leggi_file_regolare(const percorso& p, std::size_t limite) {
  if (dispositivo(p)) throw std::runtime_error(testo_percorso(p) + " is a device, not a regular file");
  const std::wstring nome = nativo(p);
  const DWORD attributi = GetFileAttributesW(nome.c_str());
  if (attributi == INVALID_FILE_ATTRIBUTES) fallito("cannot read", p, GetLastError());
  if (attributi & FILE_ATTRIBUTE_DIRECTORY) throw std::runtime_error(testo_percorso(p) + " is a directory, not a regular file");
  HANDLE h = CreateFileW(nome.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
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
