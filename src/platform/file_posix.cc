// POSIX files: open(2) with O_EXCL for new files, rename(2) to replace.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <stdexcept>

#include "platform/file.h"

namespace sc::piattaforma {

namespace {

constexpr std::intptr_t chiuso = -1;

[[noreturn]] void fallito(const std::string& cosa, const percorso& p, int errore) {
  throw std::runtime_error(cosa + " " + testo_percorso(p) + ": " + std::strerror(errore));
}

// What a file that is not a regular file is, for the message.
const char* genere(mode_t modo) {
  if (S_ISDIR(modo)) return "a directory";
  if (S_ISFIFO(modo)) return "a FIFO";
  if (S_ISCHR(modo) || S_ISBLK(modo)) return "a device";
  if (S_ISSOCK(modo)) return "a socket";
  return "not a regular file";
}

[[noreturn]] void non_regolare(const percorso& p, mode_t modo) {
  throw std::runtime_error(testo_percorso(p) + " is " + genere(modo) + ", not a regular file");
}

[[noreturn]] void troppo_grande(const percorso& p, std::size_t limite) {
  throw std::runtime_error(testo_percorso(p) + " is larger than " + std::to_string(limite >> 20) +
                           " MiB, the limit for an input file");
}

// A name no other file in the directory has, short enough for any directory.
std::string nome_temporaneo() {
  static std::mt19937_64 caso{std::random_device{}() ^ std::uint64_t(getpid()) << 32};
  static const char cifre[] = "0123456789abcdef";
  std::string nome = ".scenario-compiler-";
  for (std::uint64_t x = caso(), i = 0; i < 16; ++i, x >>= 4) nome += cifre[x & 15];
  return nome + ".tmp";
}

int descrittore(std::intptr_t h) { return int(h); }

}  // namespace

std::string testo_percorso(const percorso& p) { return p.string(); }

file_nuovo::file_nuovo(percorso destinazione) : destinazione_(std::move(destinazione)), handle_(chiuso) {
  struct stat st;
  if (lstat(destinazione_.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) fallito("cannot replace", destinazione_, EISDIR);
  for (int tentativo = 0; handle_ == chiuso; ++tentativo) {
    temporaneo_ = destinazione_.parent_path() / nome_temporaneo();
    // O_EXCL: a name that exists, even as a dangling link, is never opened.
    int fd = open(temporaneo_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0) handle_ = fd;
    else if (errno != EEXIST || tentativo == 100) fallito("cannot create", destinazione_, errno);
  }
}

file_nuovo::~file_nuovo() {
  if (handle_ != chiuso) close(descrittore(handle_));
  if (!confermato_) unlink(temporaneo_.c_str());
}

void file_nuovo::scrivi(std::string_view dati) {
  while (!dati.empty()) {
    ssize_t n = write(descrittore(handle_), dati.data(), dati.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) fallito("cannot write", destinazione_, n < 0 ? errno : ENOSPC);
    dati.remove_prefix(std::size_t(n));
  }
#ifdef __linux__
  // The disk starts on what is written while the rest is made, so that the
  // flush before the rename finds little left to do.
  sync_file_range(descrittore(handle_), 0, 0, SYNC_FILE_RANGE_WRITE);
#endif
}

void file_nuovo::chiudi() {
  if (handle_ == chiuso) return;
  const int fd = descrittore(handle_);
  handle_ = chiuso;
  // On the disk before the rename, so that no crash leaves a short file under the name.
  if (fsync(fd) != 0 && errno != EINVAL) {
    const int e = errno;
    close(fd);
    fallito("cannot write", destinazione_, e);
  }
  if (close(fd) != 0) fallito("cannot write", destinazione_, errno);
}

void file_nuovo::conferma() {
  chiudi();
  if (std::rename(temporaneo_.c_str(), destinazione_.c_str()) != 0) fallito("cannot replace", destinazione_, errno);
  confermato_ = true;
}

std::string leggi_file_regolare(const percorso& p, std::size_t limite) {
  struct stat st;
  // Looked at before opening: opening a device can have effects of its own.
  if (stat(p.c_str(), &st) != 0) fallito("cannot read", p, errno);
  if (!S_ISREG(st.st_mode)) non_regolare(p, st.st_mode);
  const int fd = open(p.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) fallito("cannot read", p, errno);
  struct chiudi_fd {
    int fd;
    ~chiudi_fd() { close(fd); }
  } chiusura{fd};
  // The name may have changed in between.
  if (fstat(fd, &st) != 0) fallito("cannot read", p, errno);
  if (!S_ISREG(st.st_mode)) non_regolare(p, st.st_mode);
  if (std::uintmax_t(st.st_size) > limite) troppo_grande(p, limite);
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);

  std::string dati;
  dati.reserve(std::size_t(st.st_size));
  char buf[1 << 16];
  for (;;) {
    ssize_t n = read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) fallito("cannot read", p, errno);
    if (n == 0) break;
    // A file that grows while it is read is held to the same limit.
    if (dati.size() + std::size_t(n) > limite) troppo_grande(p, limite);
    dati.append(buf, std::size_t(n));
  }
  return dati;
}

}  // namespace sc::piattaforma
