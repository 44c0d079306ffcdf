// The parser's one failure: anything unexpected while reading the
// descriptions. The reader's failure handler turns it into code 25.
#pragma once

#include <cstdint>
#include <stdexcept>

#include "model/modello.h"

namespace sc {

struct guasto_lettura : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// The cell at index i; an index outside the array is a failure, never an
// access out of bounds.
inline cella& cella_controllata(modello& m, std::int64_t i) {
  if (i < 0 || i >= std::int64_t(m.celle.size())) throw guasto_lettura("cell outside the track");
  return m.celle[std::size_t(i)];
}

}  // namespace sc
