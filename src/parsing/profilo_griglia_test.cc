#include "parsing/profilo_griglia.h"

#include <gtest/gtest.h>

#include <cmath>

#include "model/modello.h"

namespace sc {
namespace {

TEST(Curvatura, FirstClassDigitAndSide) {
  struct caso {
    const char* campo;
    double k;
  } casi[] = {
      {"curvad1", 0.0001}, {"curvad2", 0.0002}, {"curvad3", 0.0004}, {"curvad4", 0.001},
      {"curvad5", 0.002},  {"curvad6", 0.003},  {"curvas5", -0.002}, {"CURVAS6", -0.003},
      {"curvad51", 0.0001}, {"curva", 0},       {"curvad7", 0},
  };
  for (const caso& c : casi) EXPECT_EQ(leggi_chiave_curva(c.campo).curvatura(), c.k) << c.campo;
}

class Griglia : public ::testing::Test {
 protected:
  void crea(std::int32_t n) {
    p.crea(n);
    g.semina();
  }
  profilo_linea p;
  griglia_piano g{p};
};

TEST_F(Griglia, StraightLineRunsAlongYToTwoMetresBeforeTheEnd) {
  crea(100);
  g.estendi();
  EXPECT_EQ(p(1, 1).tag, valore_profilo::intero);
  EXPECT_EQ(p(1, 1).valore, 1);
  for (int m = 2; m <= 98; ++m) {
    ASSERT_EQ(p(m, 0).tag, valore_profilo::reale);
    EXPECT_EQ(p(m, 0).valore, 0);
    EXPECT_EQ(p(m, 1).valore, m);
  }
  for (int m : {99, 100}) EXPECT_EQ(p(m, 0).tag, valore_profilo::vuoto);
}

TEST_F(Griglia, CurveTurnsClockwiseWithoutRescalingTheStep) {
  crea(16000);
  ASSERT_TRUE(g.integra_curva(1800, 300, leggi_chiave_curva("curvad5")));
  EXPECT_EQ(g.prossimo_metro(), 2101);
  EXPECT_EQ(p(1800, 0).valore, 0);
  EXPECT_EQ(p(1800, 1).valore, 1800);
  // First curved step: (dx, dy) = (0, 1) becomes (0.002, 1).
  EXPECT_DOUBLE_EQ(p(1801, 0).valore, 0.002);
  EXPECT_DOUBLE_EQ(p(1801, 1).valore, 1801);
  EXPECT_GT(p(2100, 0).valore, 0) << "clockwise bends towards +X";
  // The step grows by sqrt(1 + k^2) each metre.
  double dx = p(2100, 0).valore - p(2099, 0).valore, dy = p(2100, 1).valore - p(2099, 1).valore;
  EXPECT_NEAR(std::hypot(dx, dy), std::pow(1 + 0.002 * 0.002, 150.0), 1e-9);
}

TEST_F(Griglia, CurveStartingBeforeTheNextMetreBendsOnlyTheRest) {
  crea(16000);
  ASSERT_TRUE(g.integra_curva(100, 50, leggi_chiave_curva("curvas6")));
  ASSERT_TRUE(g.integra_curva(120, 50, leggi_chiave_curva("curvad6")));  // only metres 151 to 170
  EXPECT_EQ(g.prossimo_metro(), 171);
  ASSERT_TRUE(g.integra_curva(10, 20, leggi_chiave_curva("curvad6")));  // ends before the next metre
  EXPECT_EQ(g.prossimo_metro(), 171);
  EXPECT_LT(p(150, 0).valore, 0) << "anticlockwise bends towards -X";
}

TEST_F(Griglia, ReportsMissingClassAndTheMetreLimit) {
  crea(1007000);
  EXPECT_FALSE(g.integra_curva(10, 10, leggi_chiave_curva("curva")));
  EXPECT_EQ(g.prossimo_metro(), 2) << "nothing computed";
  EXPECT_TRUE(g.integra_curva(999000, 999, leggi_chiave_curva("curvad1")));
  EXPECT_FALSE(g.integra_curva(999999, 10, leggi_chiave_curva("curvad1")));
}

TEST_F(Griglia, CurvePastTheLastMetreStopsThere) {
  crea(1000);
  ASSERT_TRUE(g.integra_curva(900, 5000, leggi_chiave_curva("curvad1")));
  EXPECT_EQ(p.calcolati(), 1001) << "stored up to the last metre";
  EXPECT_EQ(p(1000, 0).tag, valore_profilo::reale);
  // The next metre is the one after the curve, as on a longer grid: a later
  // curve ending before it adds nothing, and nothing is stored past the end.
  EXPECT_EQ(g.prossimo_metro(), 5901);
  ASSERT_TRUE(g.integra_curva(950, 4000, leggi_chiave_curva("curvas6")));
  EXPECT_EQ(g.prossimo_metro(), 5901);
  g.estendi();
  EXPECT_EQ(p.calcolati(), 1001);
}

TEST_F(Griglia, TheMetreLimitCountsWhatTheCurveAsksForOnAShortGrid) {
  struct caso {
    std::int32_t s, n;
    bool ok;
  } casi[] = {
      {100, 999899, true},    // ends at metre 999999
      {100, 999900, false},   // its last step would be metre 1000000, the next 1000001
      {100, 1000000, false},
  };
  for (const caso& c : casi) {
    crea(16000);
    EXPECT_EQ(g.integra_curva(c.s, c.n, leggi_chiave_curva("curvad5")), c.ok) << c.n;
    EXPECT_EQ(p.calcolati(), 16001) << "the grid is bent to its last metre either way";
  }
}

TEST_F(Griglia, AGridOfOneMetreHoldsOnlyTheOrigin) {
  crea(0);
  EXPECT_EQ(p.calcolati(), 1);
  EXPECT_TRUE(g.integra_curva(-200, 5000, leggi_chiave_curva("curvad1")));
  g.estendi();
  EXPECT_EQ(p.calcolati(), 1);
}

}  // namespace
}  // namespace sc
