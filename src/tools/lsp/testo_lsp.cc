#include "tools/lsp/testo_lsp.h"

#include <algorithm>

#include "model/testo.h"

namespace sc {

namespace {

// The editor's text as bytes, with its characters that have none.
void converti(std::string_view utf8, std::string& byte, std::vector<testo_documento::carattere_speciale>& speciali, std::size_t base) {
  byte.reserve(byte.size() + utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    if (c < 0x80) {
      byte.push_back(char(c));
      ++i;
      continue;
    }
    auto [punto, n] = sequenza_utf8(utf8, i);
    if (n == 0) {
      byte.push_back(char(c));
      ++i;
      continue;
    }
    const std::string_view uno = utf8.substr(i, std::size_t(n));
    if (auto b = utf8_a_cp1252_esatto(uno)) {
      byte.push_back((*b)[0]);
    } else {
      speciali.push_back({base + byte.size(), punto});
      byte.push_back('?');
    }
    i += std::size_t(n);
  }
}

}  // namespace

std::size_t lunghezza_utf16(std::string_view utf8) {
  std::size_t n = 0;
  for (std::size_t i = 0; i < utf8.size();) {
    auto [punto, l] = sequenza_utf8(utf8, i);
    if (l == 0) {
      ++n, ++i;
      continue;
    }
    n += punto > 0xFFFF ? 2 : 1;
    i += std::size_t(l);
  }
  return n;
}

testo_documento testo_documento::da_utf8(std::string_view utf8) {
  testo_documento t;
  t.byte_.clear();
  converti(utf8, t.byte_, t.speciali_, 0);
  t.indicizza();
  return t;
}

testo_documento testo_documento::da_cp1252(std::string byte) {
  testo_documento t;
  t.byte_ = std::move(byte);
  t.indicizza();
  return t;
}

void testo_documento::indicizza() {
  inizi_.assign(1, 0);
  const std::size_t n = byte_.size();
  for (std::size_t i = 0; i < n; ++i) {
    const char c = byte_[i];
    if (c != '\r' && c != '\n') continue;
    if (c == '\r' && i + 1 < n && byte_[i + 1] == '\n') ++i;
    inizi_.push_back(i + 1);
  }
}

std::string_view testo_documento::riga(std::size_t r) const {
  const std::size_t da = inizi_[r];
  std::size_t a = r + 1 < inizi_.size() ? inizi_[r + 1] : byte_.size();
  while (a > da && (byte_[a - 1] == '\n' || byte_[a - 1] == '\r')) --a;
  return std::string_view(byte_).substr(da, a - da);
}

posizione_lsp testo_documento::posizione(std::size_t offset) const {
  offset = std::min(offset, byte_.size());
  const std::size_t r = std::size_t(std::upper_bound(inizi_.begin(), inizi_.end(), offset) - inizi_.begin()) - 1;
  const std::size_t inizio = inizi_[r];
  std::size_t colonna = offset - inizio;
  // A character past U+FFFF took one byte here and takes two units there.
  auto da = std::lower_bound(speciali_.begin(), speciali_.end(), inizio, [](const carattere_speciale& s, std::size_t o) { return s.offset < o; });
  for (; da != speciali_.end() && da->offset < offset; ++da) colonna += da->punto > 0xFFFF ? 1 : 0;
  return {int(r), int(colonna)};
}

std::optional<std::size_t> testo_documento::offset(posizione_lsp p) const {
  if (p.riga < 0 || std::size_t(p.riga) >= inizi_.size() || p.carattere < 0) return std::nullopt;
  const std::size_t inizio = inizi_[std::size_t(p.riga)];
  const std::size_t lunga = riga(std::size_t(p.riga)).size();
  std::size_t unita = 0, o = inizio;
  auto s = std::lower_bound(speciali_.begin(), speciali_.end(), inizio, [](const carattere_speciale& x, std::size_t v) { return x.offset < v; });
  while (o < inizio + lunga && unita < std::size_t(p.carattere)) {
    const bool doppio = s != speciali_.end() && s->offset == o && s->punto > 0xFFFF;
    if (s != speciali_.end() && s->offset == o) ++s;
    unita += doppio ? 2 : 1;
    // A column between the two halves of a pair counts as after it.
    ++o;
  }
  return o;
}

void testo_documento::sostituisci(std::size_t da, std::size_t a, std::string_view utf8) {
  da = std::min(da, byte_.size());
  a = std::clamp(a, da, byte_.size());
  std::string nuovo;
  std::vector<carattere_speciale> nuovi;
  converti(utf8, nuovo, nuovi, da);
  const std::ptrdiff_t scarto = std::ptrdiff_t(nuovo.size()) - std::ptrdiff_t(a - da);
  std::vector<carattere_speciale> tenuti;
  for (const carattere_speciale& s : speciali_) {
    if (s.offset < da) tenuti.push_back(s);
  }
  tenuti.insert(tenuti.end(), nuovi.begin(), nuovi.end());
  for (const carattere_speciale& s : speciali_) {
    if (s.offset >= a) tenuti.push_back({std::size_t(std::ptrdiff_t(s.offset) + scarto), s.punto});
  }
  speciali_ = std::move(tenuti);
  byte_.replace(da, a - da, nuovo);
  indicizza();
}

}  // namespace sc
