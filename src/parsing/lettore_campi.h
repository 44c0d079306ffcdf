// Comma-separated-field input: the file is one stream of fields, and line
// ends only end a field.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace sc {

// Whether a field's text is a number: a decimal with an optional sign,
// fraction and exponent.
bool numerico(std::string_view campo);

class lettore_campi {
 public:
  explicit lettore_campi(std::string testo) : testo_(std::move(testo)) {}

  // True once nothing but blanks and line ends is left: the last field has
  // been read.
  bool fine() const;

  // A text field: up to the next comma or line end, or between double quotes.
  // Leading blanks are skipped and trailing blanks dropped.
  std::string leggi_testo();

  // Number fields. A field that is blank or not a number reads as 0; a real
  // value is rounded half to even; a value outside the target's range is a
  // failure.
  std::int32_t leggi_i32();
  std::int16_t leggi_i16();
  std::uint8_t leggi_u8();

  // What the diagnostics need of the last field read: its bytes, and for a
  // number field whether it held a number (a blank field counts as one).
  std::size_t inizio_campo() const { return inizio_campo_; }
  std::size_t fine_campo() const { return fine_campo_; }
  std::string_view campo_grezzo() const { return std::string_view(testo_).substr(inizio_campo_, fine_campo_ - inizio_campo_); }
  bool era_numero() const { return era_numero_; }
  // The last number field held nothing (read as 0), or a value with a
  // fraction that rounding changed (10.5 read as 10): its value as written.
  bool era_vuoto() const { return era_vuoto_; }
  bool era_decimale() const { return scritto_ != arrotondato_; }
  double scritto() const { return scritto_; }
  const std::string& testo() const { return testo_; }

  // Where reading stands, to look ahead and come back.
  struct stato {
    std::size_t pos, inizio, fine;
    bool numero, vuoto;
    double scritto, arrotondato;
  };
  stato salva() const { return {pos_, inizio_campo_, fine_campo_, era_numero_, era_vuoto_, scritto_, arrotondato_}; }
  void ripristina(const stato& s) {
    pos_ = s.pos, inizio_campo_ = s.inizio, fine_campo_ = s.fine, era_numero_ = s.numero, era_vuoto_ = s.vuoto;
    scritto_ = s.scritto, arrotondato_ = s.arrotondato;
  }

  // Goes on after the line end that follows the last field read, unless
  // reading is already past it: where recovery after a problem resumes.
  void salta_riga();

 private:
  double leggi_numero();
  void salta_vuoti();
  void consuma_fine_riga();
  void inizia_campo();

  std::string testo_;
  std::size_t pos_ = 0;
  std::size_t inizio_campo_ = 0;
  std::size_t fine_campo_ = 0;
  bool era_numero_ = true;
  bool era_vuoto_ = false;
  double scritto_ = 0, arrotondato_ = 0;
};

}  // namespace sc
