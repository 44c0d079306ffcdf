// POSIX files: open(2) with O_EXCL for new files, rename(2) to replace,
// flock(2) to hold a temporary file against another run's cleaning.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <set>
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
  if (S_ISREG(modo)) return "a file";
  if (S_ISDIR(modo)) return "a directory";
  if (S_ISFIFO(modo)) return "a FIFO";
  if (S_ISCHR(modo) || S_ISBLK(modo)) return "a device";
  if (S_ISSOCK(modo)) return "a socket";
  return "not a regular file";
}

bool speciale(mode_t modo) { return S_ISFIFO(modo) || S_ISCHR(modo) || S_ISBLK(modo) || S_ISSOCK(modo); }

[[noreturn]] void non_regolare(const percorso& p, mode_t modo) {
  throw std::runtime_error(testo_percorso(p) + " is " + genere(modo) + ", not a regular file");
}

[[noreturn]] void troppo_grande(const percorso& p, std::size_t limite) {
  throw std::runtime_error(testo_percorso(p) + " is larger than " + std::to_string(limite >> 20) +
                           " MiB, the limit for an input file");
}

constexpr std::string_view prefisso_temporaneo = ".scenario-compiler-", suffisso_temporaneo = ".tmp";

// A name no other file in the directory has, short enough for any directory.
std::string nome_temporaneo() {
  static std::mt19937_64 caso{std::random_device{}() ^ std::uint64_t(getpid()) << 32};
  static const char cifre[] = "0123456789abcdef";
  std::string nome(prefisso_temporaneo);
  for (std::uint64_t x = caso(), i = 0; i < 16; ++i, x >>= 4) nome += cifre[x & 15];
  return nome + std::string(suffisso_temporaneo);
}

bool nome_di_temporaneo(std::string_view n) {
  if (n.size() != prefisso_temporaneo.size() + 16 + suffisso_temporaneo.size()) return false;
  if (n.substr(0, prefisso_temporaneo.size()) != prefisso_temporaneo || n.substr(n.size() - 4) != suffisso_temporaneo) return false;
  for (char c : n.substr(prefisso_temporaneo.size(), 16))
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  return true;
}

int descrittore(std::intptr_t h) { return int(h); }

void chiudi_fd(std::intptr_t& h) {
  if (h != chiuso) close(descrittore(h));
  h = chiuso;
}

// The directory a file lies in, "." for a bare name.
percorso cartella_di(const percorso& p) { return p.has_parent_path() ? p.parent_path() : percorso("."); }

// `fd`, open on `p`, is held: no cleaning removes it while it is open. False
// when another run's cleaning got to it first.
bool tieni(int fd, const percorso& p) {
  struct stat a, b;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) return false;
  return fstat(fd, &a) == 0 && lstat(p.c_str(), &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// ---------------------------------------------------------------- interruptions

// The temporary files of this run, for the signal handler: each place holds
// a name or nothing.
std::atomic<const char*> temporanei[32];
static_assert(std::atomic<const char*>::is_always_lock_free);

int registra(const char* nome) {
  for (int i = 0; i < 32; ++i) {
    const char* vuoto = nullptr;
    if (temporanei[i].compare_exchange_strong(vuoto, nome)) return i;
  }
  return -1;  // not removed on an interruption; the next run will
}

void libera(int& posto) {
  if (posto >= 0) temporanei[posto].store(nullptr);
  posto = -1;
}

extern "C" void a_interruzione(int segnale) {
  for (auto& t : temporanei)
    if (const char* nome = t.load()) unlink(nome);
  _exit(128 + segnale);
}

constexpr int segnali[] = {SIGINT, SIGTERM, SIGHUP};

sigset_t insieme_segnali() {
  sigset_t s;
  sigemptyset(&s);
  for (int n : segnali) sigaddset(&s, n);
  return s;
}

int livello_senza_interruzioni = 0;
sigset_t maschera_prima;

}  // namespace

percorso percorso_di(std::string_view utf8) { return percorso(std::string(utf8)); }

std::string testo_percorso(const percorso& p) { return p.string(); }

genere_voce genere_di(const percorso& p, bool segui_link) {
  struct stat st;
  if ((segui_link ? stat(p.c_str(), &st) : lstat(p.c_str(), &st)) != 0) return genere_voce::nessuna;
  if (S_ISLNK(st.st_mode)) return genere_voce::link;
  if (S_ISDIR(st.st_mode)) return genere_voce::cartella;
  if (speciale(st.st_mode)) return genere_voce::dispositivo;
  return genere_voce::file;
}

std::string descrizione_genere(const percorso& p) {
  struct stat st;
  if (stat(p.c_str(), &st) != 0) return "missing";
  return genere(st.st_mode);
}

void crea_cartelle(const percorso& p) {
  const auto perche = [&](const std::string& motivo) {
    throw std::runtime_error("cannot use output directory " + testo_percorso(p) + ": " + motivo);
  };
  // The deepest directory that exists, then each one below it.
  std::vector<percorso> mancanti;
  for (percorso q = p; !q.empty(); q = q.parent_path()) {
    struct stat st;
    if (stat(q.c_str(), &st) == 0) {
      if (!S_ISDIR(st.st_mode)) perche(q == p ? std::string("it is ") + genere(st.st_mode) : testo_percorso(q) + " is " + genere(st.st_mode));
      break;
    }
    // ENOTDIR: a file above it, found further up.
    if (errno != ENOENT && errno != ENOTDIR) perche(q == p ? std::strerror(errno) : testo_percorso(q) + ": " + std::strerror(errno));
    mancanti.push_back(q);
    if (q == q.parent_path()) break;
  }
  for (auto q = mancanti.rbegin(); q != mancanti.rend(); ++q)
    if (mkdir(q->c_str(), 0777) != 0 && errno != EEXIST)
      perche(*q == p ? std::strerror(errno) : "cannot create " + testo_percorso(*q) + ": " + std::strerror(errno));
}

void rimuovi(const percorso& p) { unlink(p.c_str()); }

std::vector<std::string> nomi_in(const percorso& cartella) {
  DIR* d = opendir(cartella.c_str());
  if (!d) fallito("cannot read the directory", cartella, errno);
  std::vector<std::string> nomi;
  while (const dirent* e = readdir(d))
    if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) nomi.emplace_back(e->d_name);
  closedir(d);
  return nomi;
}

void pulisci_a_interruzione() {
  struct sigaction azione {};
  azione.sa_handler = a_interruzione;
  azione.sa_mask = insieme_segnali();
  for (int n : segnali) {
    struct sigaction prima;
    // A signal the caller ignores (nohup, a background job) stays ignored.
    if (sigaction(n, nullptr, &prima) == 0 && prima.sa_handler == SIG_IGN) continue;
    sigaction(n, &azione, nullptr);
  }
}

senza_interruzioni::senza_interruzioni() {
  if (livello_senza_interruzioni++ == 0) {
    const sigset_t s = insieme_segnali();
    sigprocmask(SIG_BLOCK, &s, &maschera_prima);
  }
}

senza_interruzioni::~senza_interruzioni() {
  if (--livello_senza_interruzioni == 0) sigprocmask(SIG_SETMASK, &maschera_prima, nullptr);
}

void pulisci_temporanei(const percorso& cartella) {
  static std::set<std::string> fatte;
  char vera[PATH_MAX];
  if (!fatte.insert(realpath(cartella.c_str(), vera) ? std::string(vera) : cartella.string()).second) return;
  DIR* d = opendir(cartella.c_str());
  if (!d) return;
  while (const dirent* e = readdir(d)) {
    if (!nome_di_temporaneo(e->d_name)) continue;
    const percorso p = cartella / e->d_name;
    const int fd = open(p.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat st;
    // A run that still writes it holds its lock.
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && tieni(fd, p)) unlink(p.c_str());
    close(fd);
  }
  closedir(d);
}

file_nuovo::file_nuovo(percorso destinazione)
    : destinazione_(std::move(destinazione)), handle_(chiuso), tenuta_(chiuso), tenuta_riserva_(chiuso) {
  struct stat st;
  if (lstat(destinazione_.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) fallito("cannot replace", destinazione_, EISDIR);
    // What is no file is never replaced, even behind a link: a device, a FIFO.
    struct stat meta;
    if (speciale(st.st_mode) || (S_ISLNK(st.st_mode) && stat(destinazione_.c_str(), &meta) == 0 && speciale(meta.st_mode)))
      throw std::runtime_error("cannot replace " + testo_percorso(destinazione_) + ": it is " +
                               genere(speciale(st.st_mode) ? st.st_mode : meta.st_mode) + ", not a regular file");
  }
  const percorso cartella = cartella_di(destinazione_);
  char vera[PATH_MAX];
  if (realpath(cartella.c_str(), vera)) {
    const std::string_view v = vera;
    for (std::string_view sistema : {"/dev", "/proc", "/sys"})
      if (v == sistema || (v.substr(0, sistema.size()) == sistema && v[sistema.size()] == '/'))
        throw std::runtime_error("cannot create " + testo_percorso(destinazione_) + ": " + std::string(sistema) +
                                 " holds the system's devices and state, not files");
  }
  pulisci_temporanei(cartella);
  // Known to the interruption's handler from the moment it exists.
  senza_interruzioni registrato;
  for (int tentativo = 0; handle_ == chiuso; ++tentativo) {
    temporaneo_ = destinazione_.parent_path() / nome_temporaneo();
    // O_EXCL: a name that exists, even as a dangling link, is never opened.
    int fd = open(temporaneo_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
      if (errno != EEXIST || tentativo == 100) fallito("cannot create", destinazione_, errno);
      continue;
    }
    if (!tieni(fd, temporaneo_)) {
      close(fd);
      continue;
    }
    handle_ = fd;
    // The lock lives as long as one descriptor of it: the file is closed
    // once written, and held until renamed.
    tenuta_ = fcntl(fd, F_DUPFD_CLOEXEC, 0);
    posto_ = registra(temporaneo_.c_str());
  }
}

file_nuovo::~file_nuovo() {
  chiudi_fd(handle_);
  if (!confermato_) unlink(temporaneo_.c_str());
  libera(posto_);
  chiudi_fd(tenuta_);
  rilascia();
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

void file_nuovo::rinomina_su_destinazione() {
  if (std::rename(temporaneo_.c_str(), destinazione_.c_str()) != 0) fallito("cannot replace", destinazione_, errno);
  confermato_ = true;
  libera(posto_);
  chiudi_fd(tenuta_);
}

void file_nuovo::conferma() {
  chiudi();
  rinomina_su_destinazione();
}

void file_nuovo::conferma_reversibile() {
  chiudi();
  // The older file keeps a second name meanwhile: a link to it, or itself
  // moved aside where the file system has no links.
  bool spostata = false;
  struct stat st;
  if (lstat(destinazione_.c_str(), &st) != 0) {
    if (errno != ENOENT) fallito("cannot replace", destinazione_, errno);
    riserva_.clear();  // no older file
  } else if (S_ISDIR(st.st_mode)) {
    fallito("cannot replace", destinazione_, EISDIR);
  } else {
    for (int tentativo = 0;; ++tentativo) {
      riserva_ = destinazione_.parent_path() / nome_temporaneo();
      if (link(destinazione_.c_str(), riserva_.c_str()) == 0) break;
      const int e = errno;
      if (e == EEXIST && tentativo < 100) continue;
      if (std::rename(destinazione_.c_str(), riserva_.c_str()) != 0) fallito("cannot replace", destinazione_, e);
      spostata = true;
      break;
    }
  }
  con_riserva_ = !riserva_.empty();
  if (con_riserva_) {
    const int fd = open(riserva_.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0) tenuta_riserva_ = fd;
    else if (fd >= 0) close(fd);
  }
  try {
    rinomina_su_destinazione();
  } catch (...) {
    if (spostata) std::rename(riserva_.c_str(), destinazione_.c_str());
    rilascia();
    throw;
  }
}

void file_nuovo::annulla() {
  if (!confermato_) return;
  if (con_riserva_ ? std::rename(riserva_.c_str(), destinazione_.c_str()) != 0 : unlink(destinazione_.c_str()) != 0)
    fallito("cannot put back the older", destinazione_, errno);
  con_riserva_ = false;
  chiudi_fd(tenuta_riserva_);
}

void file_nuovo::rilascia() {
  if (con_riserva_) unlink(riserva_.c_str());
  con_riserva_ = false;
  chiudi_fd(tenuta_riserva_);
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
