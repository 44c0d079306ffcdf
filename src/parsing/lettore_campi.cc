#include "parsing/lettore_campi.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

#include "model/arrotonda.h"
#include "parsing/guasto.h"

namespace sc {

namespace {

bool spazio(char c) { return c == ' ' || c == '\t'; }
bool fine_riga(char c) { return c == '\r' || c == '\n'; }

}  // namespace

// Decimal number: optional sign, digits with an optional fraction, optional
// exponent. Nothing else (no "inf", no hex) counts as a number.
bool numerico(std::string_view t) {
  std::size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  std::size_t cifre = 0;
  while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i, ++cifre;
  if (i < t.size() && t[i] == '.') {
    ++i;
    while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i, ++cifre;
  }
  if (cifre == 0) return false;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    std::size_t esponente = 0;
    while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i, ++esponente;
    if (esponente == 0) return false;
  }
  return i == t.size();
}

namespace {

template <typename T>
T nel_campo(double v) {
  if (!(v >= double(std::numeric_limits<T>::min()) && v <= double(std::numeric_limits<T>::max())))
    throw guasto_lettura(causa_guasto::numero_fuori_campo, 0, std::numeric_limits<T>::min(), std::numeric_limits<T>::max());
  return static_cast<T>(v);
}

}  // namespace

bool lettore_campi::fine() const {
  return std::all_of(testo_.begin() + std::ptrdiff_t(pos_), testo_.end(),
                     [](char c) { return spazio(c) || fine_riga(c); });
}

void lettore_campi::salta_vuoti() {
  while (pos_ < testo_.size() && (spazio(testo_[pos_]) || fine_riga(testo_[pos_]))) ++pos_;
}

void lettore_campi::consuma_fine_riga() {
  if (pos_ < testo_.size() && testo_[pos_] == '\r') ++pos_;
  if (pos_ < testo_.size() && testo_[pos_] == '\n') ++pos_;
}

void lettore_campi::inizia_campo() {
  if (fine()) throw guasto_lettura(causa_guasto::fine_file);
  era_numero_ = true;
  era_vuoto_ = false;
  scritto_ = arrotondato_ = 0;
  salta_vuoti();
  inizio_campo_ = pos_;
}

std::string lettore_campi::leggi_testo() {
  inizia_campo();
  std::string valore;
  if (testo_[pos_] == '"') {
    std::size_t chiusa = testo_.find('"', pos_ + 1);
    if (chiusa == std::string::npos) chiusa = testo_.size();
    valore = testo_.substr(pos_ + 1, chiusa - pos_ - 1);
    pos_ = std::min(chiusa + 1, testo_.size());
    fine_campo_ = pos_;
    // Whatever stands between the closing quote and the delimiter is dropped.
    while (pos_ < testo_.size() && testo_[pos_] != ',' && !fine_riga(testo_[pos_])) ++pos_;
  } else {
    std::size_t fine_campo = pos_;
    while (fine_campo < testo_.size() && testo_[fine_campo] != ',' && !fine_riga(testo_[fine_campo]))
      ++fine_campo;
    valore = testo_.substr(pos_, fine_campo - pos_);
    // Trailing blanks are not part of an unquoted field.
    while (!valore.empty() && spazio(valore.back())) valore.pop_back();
    pos_ = fine_campo;
    fine_campo_ = inizio_campo_ + valore.size();
  }
  if (pos_ < testo_.size() && testo_[pos_] == ',') ++pos_;
  else consuma_fine_riga();
  return valore;
}

double lettore_campi::leggi_numero() {
  inizia_campo();
  std::size_t fine_token = pos_;
  while (fine_token < testo_.size() && testo_[fine_token] != ',' && !spazio(testo_[fine_token]) &&
         !fine_riga(testo_[fine_token]))
    ++fine_token;
  std::string_view token(testo_.data() + pos_, fine_token - pos_);
  pos_ = fine_token;
  fine_campo_ = fine_token;
  // The blanks after a number go with it, up to and including a comma.
  while (pos_ < testo_.size() && spazio(testo_[pos_])) ++pos_;
  if (pos_ < testo_.size() && testo_[pos_] == ',') ++pos_;
  else consuma_fine_riga();

  era_numero_ = token.empty() || numerico(token);
  era_vuoto_ = token.empty();
  scritto_ = arrotondato_ = 0;
  if (token.empty() || !era_numero_) return 0;
  if (token.front() == '+') token.remove_prefix(1);
  double v = 0;
  auto [fine, errore] = std::from_chars(token.data(), token.data() + token.size(), v);
  if (errore != std::errc()) {
    // Out of range: a tiny value is 0, a huge one fits no field.
    bool piccolo = token.find("e-") != std::string_view::npos || token.find("E-") != std::string_view::npos;
    // The target is not known here: the caller's range check reports it.
    if (!piccolo) return scritto_ = arrotondato_ = std::numeric_limits<double>::infinity();
    v = 0;
  }
  scritto_ = v;
  return arrotondato_ = arrotonda(v);
}

std::int32_t lettore_campi::leggi_i32() { return nel_campo<std::int32_t>(leggi_numero()); }
std::int16_t lettore_campi::leggi_i16() { return nel_campo<std::int16_t>(leggi_numero()); }
std::uint8_t lettore_campi::leggi_u8() { return nel_campo<std::uint8_t>(leggi_numero()); }

void lettore_campi::salta_riga() {
  std::size_t a_capo = testo_.find_first_of("\r\n", fine_campo_);
  if (a_capo == std::string::npos) a_capo = testo_.size();
  if (pos_ > a_capo) return;
  pos_ = a_capo;
  consuma_fine_riga();
}

}  // namespace sc
