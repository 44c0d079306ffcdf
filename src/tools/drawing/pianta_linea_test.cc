#include "tools/drawing/pianta_linea.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace sc {
namespace {

std::vector<punto_pianta> arco(int metri, double raggio) {
  std::vector<punto_pianta> r;
  for (int m = 0; m <= metri; ++m) r.push_back({m, raggio * std::sin(m / raggio), raggio * (1 - std::cos(m / raggio))});
  return r;
}

// Distance from p to the polyline q.
double distanza(const punto_pianta& p, const std::vector<punto_pianta>& q) {
  double d = 1e300;
  for (std::size_t i = 0; i + 1 < q.size(); ++i) {
    const double dx = q[i + 1].x - q[i].x, dy = q[i + 1].y - q[i].y;
    const double t = std::clamp(((p.x - q[i].x) * dx + (p.y - q[i].y) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    d = std::min(d, std::hypot(p.x - q[i].x - t * dx, p.y - q[i].y - t * dy));
  }
  return d;
}

TEST(PiantaLinea, AStraightKeepsItsEndsAndFixedMetres) {
  std::vector<punto_pianta> retta;
  for (int m = 0; m <= 1000; ++m) retta.push_back({m, 0, double(m)});
  const auto r = semplifica(retta, 0.05, {400});
  ASSERT_EQ(r.size(), 3u);
  EXPECT_EQ(r[0].metro, 0);
  EXPECT_EQ(r[1].metro, 400);
  EXPECT_EQ(r[2].metro, 1000);
}

TEST(PiantaLinea, CurvesStayWithinTheTolerance) {
  for (double tolleranza : {0.05, 1.0, 20.0}) {
    const auto tutti = arco(2000, 333);
    const auto r = semplifica(tutti, tolleranza);
    EXPECT_LT(r.size(), tutti.size());
    double peggiore = 0;
    for (const punto_pianta& p : tutti) peggiore = std::max(peggiore, distanza(p, r));
    EXPECT_LE(peggiore, tolleranza) << tolleranza;
  }
}

TEST(PiantaLinea, OnlySetAndFinitePointsArePlanPoints) {
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  const std::vector<valore_profilo> g = {
      valore_profilo::da_intero(0), valore_profilo::da_intero(0), valore_profilo::da_reale(nan), valore_profilo::da_reale(1), {},
      valore_profilo::da_intero(0), valore_profilo::da_intero(1), valore_profilo::da_reale(2), valore_profilo::da_reale(inf), {}};
  const auto p = punti_pianta(g);
  ASSERT_EQ(p.size(), 2u);
  EXPECT_EQ(p[1].metro, 1);
  EXPECT_EQ(p[1].y, 1);
}

}  // namespace
}  // namespace sc
