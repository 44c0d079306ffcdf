#include "tools/drawing/pianta_linea.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace sc {

std::vector<punto_pianta> punti_pianta(const std::vector<valore_profilo>& geometria) {
  const std::size_t n = geometria.size() / 2;
  std::vector<punto_pianta> r;
  r.reserve(n);
  for (std::size_t m = 0; m < n; ++m) {
    const valore_profilo &x = geometria[m], &y = geometria[n + m];
    if (x.tag == valore_profilo::vuoto || y.tag == valore_profilo::vuoto) continue;
    if (!std::isfinite(x.valore) || !std::isfinite(y.valore)) continue;
    r.push_back({int(m), x.valore, y.valore});
  }
  return r;
}

namespace {

// Distance of p from the segment a-b.
double distanza(const punto_pianta& p, const punto_pianta& a, const punto_pianta& b) {
  const double dx = b.x - a.x, dy = b.y - a.y, l2 = dx * dx + dy * dy;
  double t = l2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / l2 : 0;
  t = std::clamp(t, 0.0, 1.0);
  return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

}  // namespace

std::vector<punto_pianta> semplifica(const std::vector<punto_pianta>& punti, double tolleranza, const std::vector<int>& fissi) {
  if (punti.size() < 3) return punti;
  std::vector<char> tieni(punti.size(), 0);
  tieni.front() = tieni.back() = 1;
  for (int f : fissi) {
    auto it = std::lower_bound(punti.begin(), punti.end(), f, [](const punto_pianta& p, int m) { return p.metro < m; });
    if (it != punti.end()) tieni[std::size_t(it - punti.begin())] = 1;
  }
  // Spans between kept points, split at their farthest point while it lies
  // beyond the tolerance; a stack instead of recursion for long lines.
  std::vector<std::pair<std::size_t, std::size_t>> da_fare;
  std::size_t prec = 0;
  for (std::size_t i = 1; i < punti.size(); ++i)
    if (tieni[i]) da_fare.push_back({std::exchange(prec, i), i});
  while (!da_fare.empty()) {
    auto [a, b] = da_fare.back();
    da_fare.pop_back();
    double peggiore = -1;
    std::size_t dove = a;
    for (std::size_t i = a + 1; i < b; ++i) {
      const double d = distanza(punti[i], punti[a], punti[b]);
      if (d > peggiore) peggiore = d, dove = i;
    }
    if (peggiore > tolleranza) {
      tieni[dove] = 1;
      da_fare.push_back({a, dove});
      da_fare.push_back({dove, b});
    }
  }
  std::vector<punto_pianta> r;
  for (std::size_t i = 0; i < punti.size(); ++i)
    if (tieni[i]) r.push_back(punti[i]);
  return r;
}

}  // namespace sc
