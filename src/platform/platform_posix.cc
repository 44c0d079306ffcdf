// POSIX host: the window and the message box are lines on standard error.
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace sc::piattaforma {

void mostra_attesa() {
  std::fputs("Attendere\n", stderr);
  std::fflush(stderr);
}

void mostra_messaggio(const std::string& testo) {
  std::fprintf(stderr, "%s\n", testo.c_str());
  std::fflush(stderr);
}

void mostra_guasto(const std::string& testo) { mostra_messaggio(testo); }

std::filesystem::path cartella_programma() {
  std::vector<char> buf(4096);
  for (;;) {
    ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
    if (n < 0) return ".";
    if (std::size_t(n) < buf.size()) {
      std::string percorso(buf.data(), std::size_t(n));
      auto ultimo = percorso.rfind('/');
      return ultimo == std::string::npos ? "." : ultimo == 0 ? "/" : percorso.substr(0, ultimo);
    }
    buf.resize(buf.size() * 2);
  }
}

std::vector<std::string> argomenti(int argc, char** argv) { return std::vector<std::string>(argv + 1, argv + argc); }

char separatore() { return '/'; }

}  // namespace sc::piattaforma
