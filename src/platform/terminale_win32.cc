// Win32 standard output and error: on a console, UTF-16 through
// WriteConsoleW, which shows every character whatever the console's code
// page; to a file or a pipe, UTF-8 with CR LF after each line of text.
#include <windows.h>

#include <iostream>
#include <streambuf>
#include <string>

#include "platform/terminale.h"

namespace sc::piattaforma {

namespace {

std::string descrizione(DWORD errore) {
  wchar_t* testo = nullptr;
  DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, errore, 0, reinterpret_cast<wchar_t*>(&testo), 0, nullptr);
  if (n == 0 || testo == nullptr) return "error " + std::to_string(errore);
  while (n > 0 && (testo[n - 1] == L'\n' || testo[n - 1] == L'\r' || testo[n - 1] == L' ' || testo[n - 1] == L'.')) --n;
  const int m = WideCharToMultiByte(CP_UTF8, 0, testo, int(n), nullptr, 0, nullptr, nullptr);
  std::string r(std::size_t(m), '\0');
  WideCharToMultiByte(CP_UTF8, 0, testo, int(n), r.data(), m, nullptr, nullptr);
  LocalFree(testo);
  return r;
}

// How many leading bytes of `s` end with a whole UTF-8 character: a
// character split between two writes waits for its rest.
std::size_t interi(std::string_view s) {
  for (std::size_t indietro = 1; indietro <= 4 && indietro <= s.size(); ++indietro) {
    const unsigned char c = static_cast<unsigned char>(s[s.size() - indietro]);
    if ((c & 0xC0) == 0x80) continue;  // a continuation byte
    const std::size_t lungo = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    return lungo > indietro ? s.size() - indietro : s.size();
  }
  return s.size();
}

class flusso_handle : public std::streambuf {
 public:
  explicit flusso_handle(HANDLE h) : h_(h) {
    DWORD modo;
    console_ = h_ && h_ != INVALID_HANDLE_VALUE && GetConsoleMode(h_, &modo);
    setp(buf_, buf_ + sizeof buf_);
  }

  void dati(std::string_view d) {
    sync();
    scrivi(d, false);
  }
  DWORD errore() const { return errore_; }

 protected:
  int_type overflow(int_type c) override {
    if (sync() != 0) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(c);
      pbump(1);
    }
    return traits_type::not_eof(c);
  }
  int sync() override {
    const std::string_view tutto(pbase(), std::size_t(pptr() - pbase()));
    const std::size_t n = console_ ? interi(tutto) : tutto.size();
    const bool ok = scrivi(tutto.substr(0, n), true);
    // The start of a character cut by the buffer's end stays for the next write.
    const std::string resto(tutto.substr(n));
    setp(buf_, buf_ + sizeof buf_);
    for (char c : resto) sputc(c);
    return ok ? 0 : -1;
  }

 private:
  bool scrivi(std::string_view d, bool testo) {
    if (errore_ != 0) return false;
    if (d.empty()) return true;
    if (!h_ || h_ == INVALID_HANDLE_VALUE) return true;  // nowhere to write, as a program without a console
    if (console_) {
      const int n = MultiByteToWideChar(CP_UTF8, 0, d.data(), int(d.size()), nullptr, 0);
      std::wstring w(std::size_t(n), L'\0');
      MultiByteToWideChar(CP_UTF8, 0, d.data(), int(d.size()), w.data(), n);
      for (std::size_t fatto = 0; fatto < w.size();) {
        DWORD scritti = 0;
        if (!WriteConsoleW(h_, w.data() + fatto, DWORD(std::min<std::size_t>(w.size() - fatto, 8192)), &scritti, nullptr) || scritti == 0) {
          errore_ = GetLastError() ? GetLastError() : ERROR_WRITE_FAULT;
          return false;
        }
        fatto += scritti;
      }
      return true;
    }
    std::string crlf;
    if (testo) {
      crlf = con_fine_riga(d);
      d = crlf;
    }
    while (!d.empty()) {
      DWORD scritti = 0;
      if (!WriteFile(h_, d.data(), DWORD(std::min<std::size_t>(d.size(), 1u << 30)), &scritti, nullptr) || scritti == 0) {
        errore_ = GetLastError() ? GetLastError() : ERROR_WRITE_FAULT;
        return false;
      }
      d.remove_prefix(scritti);
    }
    return true;
  }

  HANDLE h_;
  bool console_ = false;
  DWORD errore_ = 0;
  char buf_[1 << 16];
};

flusso_handle* uscita = nullptr;
flusso_handle* errori = nullptr;

// The handle of a standard stream: a desktop program started from a
// console has none of its own, and borrows the console's.
HANDLE handle_standard(DWORD quale) {
  HANDLE h = GetStdHandle(quale);
  if (h && h != INVALID_HANDLE_VALUE) return h;
  if (!AttachConsole(ATTACH_PARENT_PROCESS) && GetLastError() != ERROR_ACCESS_DENIED) return nullptr;
  return CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
}

}  // namespace

void prepara_terminale() {
  if (uscita) return;
  uscita = new flusso_handle(handle_standard(STD_OUTPUT_HANDLE));
  errori = new flusso_handle(handle_standard(STD_ERROR_HANDLE));
  std::cout.rdbuf(uscita);
  std::cerr.rdbuf(errori);
}

void scrivi_dati(std::ostream& flusso, std::string_view dati) {
  if (auto* f = dynamic_cast<flusso_handle*>(flusso.rdbuf())) {
    flusso.flush();
    f->dati(dati);
    if (f->errore() != 0) flusso.setstate(std::ios::badbit);
  } else {
    flusso.write(dati.data(), std::streamsize(dati.size()));
  }
}

std::string errore_uscita() {
  std::cout.flush();
  if (uscita && uscita->errore() != 0) return descrizione(uscita->errore());
  if (!std::cout) return "write error";
  return "";
}

std::string con_fine_riga(std::string_view testo) {
  std::string r;
  r.reserve(testo.size() + testo.size() / 32);
  for (std::size_t i = 0; i < testo.size(); ++i) {
    if (testo[i] == '\n' && (i == 0 || testo[i - 1] != '\r')) r += '\r';
    r += testo[i];
  }
  return r;
}

}  // namespace sc::piattaforma
