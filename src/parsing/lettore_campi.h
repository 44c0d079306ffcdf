// Comma-separated-field input: the file is one stream of fields, and line
// ends only end a field.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace sc {

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

  // 1-based line of the last field read (1 before any read).
  int riga() const;

 private:
  double leggi_numero();
  void salta_vuoti();
  void consuma_fine_riga();
  void inizia_campo();

  std::string testo_;
  std::size_t pos_ = 0;
  std::size_t inizio_campo_ = 0;
};

}  // namespace sc
