// The parser's one failure: anything unexpected while reading the
// descriptions. The reader's failure handler turns it into code 25.
#pragma once

#include <cstdint>
#include <limits>
#include <stdexcept>

#include "model/modello.h"

namespace sc {

struct guasto_lettura : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Checked 32-bit arithmetic, as the model's 32-bit fields and sums are: a
// result past the range is a reading failure, never a wrap.
inline std::int32_t in_32(std::int64_t v) {
  if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max())
    throw guasto_lettura("value too large for its field");
  return std::int32_t(v);
}
inline std::int32_t somma_32(std::int32_t a, std::int32_t b) { return in_32(std::int64_t(a) + b); }
inline std::int32_t differenza_32(std::int32_t a, std::int32_t b) { return in_32(std::int64_t(a) - b); }
inline std::int32_t prodotto_32(std::int32_t a, std::int32_t b) { return in_32(std::int64_t(a) * b); }

// The cell at index i; an index outside the array is a failure, never an
// access out of bounds.
inline cella& cella_controllata(modello& m, std::int64_t i) {
  if (i < 0 || i >= std::int64_t(m.celle.size())) throw guasto_lettura("cell outside the track");
  return m.celle[std::size_t(i)];
}

}  // namespace sc
