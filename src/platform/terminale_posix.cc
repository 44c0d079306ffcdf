// POSIX standard output and error: UTF-8 bytes and LF, straight to the file
// descriptor, so that a failed write is seen with its reason.
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <streambuf>

#include "platform/terminale.h"

namespace sc::piattaforma {

namespace {

class flusso_fd : public std::streambuf {
 public:
  explicit flusso_fd(int fd) : fd_(fd) { setp(buf_, buf_ + sizeof buf_); }

  void dati(std::string_view d) {
    sync();
    scrivi(d.data(), d.size());
  }
  int errore() const { return errore_; }

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
    const bool ok = scrivi(pbase(), std::size_t(pptr() - pbase()));
    setp(buf_, buf_ + sizeof buf_);
    return ok ? 0 : -1;
  }

 private:
  bool scrivi(const char* p, std::size_t n) {
    // After a failure nothing more is tried: the reader has gone, or the disk is full.
    if (errore_ != 0) return false;
    while (n > 0) {
      const ssize_t w = write(fd_, p, n);
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0) {
        errore_ = w < 0 ? errno : ENOSPC;
        return false;
      }
      p += w;
      n -= std::size_t(w);
    }
    return true;
  }

  int fd_;
  int errore_ = 0;
  char buf_[1 << 16];
};

// Kept for the whole run: std::cout flushes into it at exit.
flusso_fd* uscita = nullptr;
flusso_fd* errori = nullptr;

}  // namespace

void prepara_terminale() {
  if (uscita) return;
  // A reader that has gone is a failed write, told and ended with 1, not a signal.
  signal(SIGPIPE, SIG_IGN);
  uscita = new flusso_fd(1);
  errori = new flusso_fd(2);
  std::cout.rdbuf(uscita);
  std::cerr.rdbuf(errori);
}

void scrivi_dati(std::ostream& flusso, std::string_view dati) {
  if (auto* f = dynamic_cast<flusso_fd*>(flusso.rdbuf())) {
    flusso.flush();
    f->dati(dati);
    if (f->errore() != 0) flusso.setstate(std::ios::badbit);
  } else {
    flusso.write(dati.data(), std::streamsize(dati.size()));
  }
}

std::string errore_uscita() {
  std::cout.flush();
  if (uscita && uscita->errore() != 0) return std::strerror(uscita->errore());
  if (!std::cout) return "write error";
  return "";
}

std::string con_fine_riga(std::string_view testo) { return std::string(testo); }

}  // namespace sc::piattaforma
