#include "tools/lsp/cornice.h"

#include <cctype>
#include <cstdint>

namespace sc {

namespace {

// Headers longer than this hold no message.
constexpr std::size_t intestazione_massima = 8192;

// The value of "Content-Length:" in a header block, wherever it stands in a
// line (so that garbage before it does not hide it).
std::optional<std::uint64_t> lunghezza_in(std::string_view blocco, bool& cifre_errate) {
  std::optional<std::uint64_t> r;
  constexpr std::string_view nome = "content-length:";
  for (std::size_t i = 0; i + nome.size() <= blocco.size(); ++i) {
    std::size_t k = 0;
    while (k < nome.size() && std::tolower(static_cast<unsigned char>(blocco[i + k])) == nome[k]) ++k;
    if (k < nome.size()) continue;
    std::size_t j = i + k;
    while (j < blocco.size() && blocco[j] == ' ') ++j;
    std::uint64_t v = 0;
    std::size_t cifre = 0;
    for (; j < blocco.size() && std::isdigit(static_cast<unsigned char>(blocco[j])) && cifre < 16; ++j, ++cifre) v = v * 10 + std::uint64_t(blocco[j] - '0');
    const bool fine = j == blocco.size() || blocco[j] == '\r' || blocco[j] == '\n' || blocco[j] == ' ';
    if (cifre == 0 || !fine) {
      cifre_errate = true;
      continue;
    }
    r = v;
  }
  return r;
}

}  // namespace

void lettore_cornici::aggiungi(std::string_view byte) {
  if (inizio_ > 0 && inizio_ >= buffer_.size() / 2) {
    buffer_.erase(0, inizio_);
    inizio_ = 0;
  }
  buffer_.append(byte);
}

std::optional<lettore_cornici::evento> lettore_cornici::prossimo() {
  for (;;) {
    const std::size_t disponibili = buffer_.size() - inizio_;
    if (da_saltare_ > 0) {
      const std::size_t n = std::size_t(std::min<std::uint64_t>(da_saltare_, disponibili));
      inizio_ += n;
      da_saltare_ -= n;
      if (da_saltare_ > 0) return std::nullopt;
      continue;
    }
    if (lunghezza_) {
      if (disponibili < *lunghezza_) return std::nullopt;
      evento e{false, buffer_.substr(inizio_, *lunghezza_)};
      inizio_ += *lunghezza_;
      lunghezza_.reset();
      return e;
    }
    const std::string_view resto = std::string_view(buffer_).substr(inizio_);
    // Lines that end the block: CR LF as the protocol says, LF alone too.
    std::size_t fine = std::string_view::npos, salto = 0;
    if (const std::size_t a = resto.find("\r\n\r\n"); a != std::string_view::npos) fine = a, salto = 4;
    if (const std::size_t b = resto.find("\n\n"); b != std::string_view::npos && b < fine) fine = b, salto = 2;
    if (fine == std::string_view::npos) {
      if (resto.size() <= intestazione_massima) return std::nullopt;
      // Too long for a header: keep only what may start the next one.
      inizio_ = buffer_.size() - 16;
      return evento{true, "a header longer than " + std::to_string(intestazione_massima) + " bytes"};
    }
    const std::string_view blocco = resto.substr(0, fine);
    inizio_ += fine + salto;
    if (blocco.find_first_not_of(" \t\r\n") == std::string_view::npos) continue;  // blank lines between messages
    bool cifre_errate = false;
    const std::optional<std::uint64_t> n = lunghezza_in(blocco, cifre_errate);
    if (!n) return evento{true, cifre_errate ? "a Content-Length header whose value is no length" : "a header without Content-Length"};
    if (*n > massimo_) {
      da_saltare_ = *n;
      return evento{true, "a message of " + std::to_string(*n) + " bytes, more than the " + std::to_string(massimo_) + " a message may have"};
    }
    lunghezza_ = std::size_t(*n);
  }
}

std::string incornicia(std::string_view corpo) {
  return "Content-Length: " + std::to_string(corpo.size()) + "\r\n\r\n" + std::string(corpo);
}

}  // namespace sc
