// The parser's one failure: anything unexpected while reading the
// descriptions. The reader's failure handler turns it into code 25.
#pragma once

#include <cstdint>
#include <limits>
#include <stdexcept>

#include "model/modello.h"

namespace sc {

// What went wrong, for the diagnostics: the code stays 25 whatever the cause.
enum class causa_guasto {
  generico,
  fine_file,            // a read past the end of the file
  numero_fuori_campo,   // a number too large for the field it is read into
  velocita_fuori_byte,  // a speed limit / 5 past one byte
  indicatore_fuori_16,  // a speed board value past 16 bits
  cella_fuori_pista,    // an item reaching a cell outside the track
  testo_troppo_lungo,   // a text past the 16-bit length the file stores
  troppi_cartelli,
  troppe_montagne,
  senza_lunghezza,       // line items without a length entry
  lunghezza_senza_pista, // a length whose arrays cannot be created
  somma_fuori_32,        // a 32-bit sum or product past its range
  file_mancante,
};

struct guasto_lettura : std::runtime_error {
  explicit guasto_lettura(causa_guasto c, std::int64_t v = 0, std::int64_t min = 0, std::int64_t max = 0)
      : std::runtime_error("reading failure"), causa(c), valore(v), minimo(min), massimo(max) {}
  causa_guasto causa;
  std::int64_t valore, minimo, massimo;  // what the cause needs to be told
};

// Checked 32-bit arithmetic, as the model's 32-bit fields and sums are: a
// result past the range is a reading failure, never a wrap.
inline std::int32_t in_32(std::int64_t v) {
  if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max())
    throw guasto_lettura(causa_guasto::somma_fuori_32, v,
                         std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max());
  return std::int32_t(v);
}
inline std::int32_t somma_32(std::int32_t a, std::int32_t b) { return in_32(std::int64_t(a) + b); }
inline std::int32_t differenza_32(std::int32_t a, std::int32_t b) { return in_32(std::int64_t(a) - b); }
inline std::int32_t prodotto_32(std::int32_t a, std::int32_t b) { return in_32(std::int64_t(a) * b); }

// The cell at index i; an index outside the array is a failure, never an
// access out of bounds.
inline cella& cella_controllata(modello& m, std::int64_t i) {
  if (i < 0 || i >= std::int64_t(m.celle.size()))
    throw guasto_lettura(causa_guasto::cella_fuori_pista, i, 0, std::int64_t(m.celle.size()) - 1);
  return m.celle[std::size_t(i)];
}

}  // namespace sc
