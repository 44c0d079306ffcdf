// The curves of a line read back from its plan. Every computed metre is one
// step from the two metres before it, bent by the curvature of its class and
// side (0 on a straight), so the class of each step is the one that gives
// the stored point bit for bit. decompile writes these runs as curve
// entries; plot and view draw them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/modello.h"

namespace sc {

// Metres bent with one class and side: `inizio` is the metre before the
// first bent one (where an author writes the curve), `fine` the last bent.
struct curva_letta {
  std::int64_t inizio = 0, fine = 0;
  int classe = 0;  // 1 to 6
  bool sinistra = false;  // anticlockwise, "curvas"
};

// The runs in order, up to the first metre the plan does not hold. A step
// no class gives exactly (a plan this compiler did not write) takes the
// class that comes nearest.
// `fine_calcolo`, when given, receives the first metre the plan does not
// hold (its size when it holds them all).
std::vector<curva_letta> leggi_curve(const std::vector<valore_profilo>& geometria, std::size_t* fine_calcolo = nullptr);

// The side and class as the key word ends: "d5", "s3".
std::string lato_classe(const curva_letta& c);

}  // namespace sc
