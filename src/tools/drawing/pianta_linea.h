// The plan of the line as drawings use it: the points of the geometry file
// that hold finite coordinates, thinned to what a given tolerance can show.
#pragma once

#include <vector>

#include "model/modello.h"

namespace sc {

struct punto_pianta {
  int metro = 0;
  double x = 0, y = 0;
};

// Every metre whose X and Y are both set and finite, in order.
std::vector<punto_pianta> punti_pianta(const std::vector<valore_profilo>& geometria);

// The points that keep the course within `tolleranza` metres of the full
// one (Douglas-Peucker), always with the first and last points and the
// points of the metres in `fissi`.
std::vector<punto_pianta> semplifica(const std::vector<punto_pianta>& punti, double tolleranza, const std::vector<int>& fissi = {});

}  // namespace sc
