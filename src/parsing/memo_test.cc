#include "parsing/memo.h"

#include <gtest/gtest.h>

#include <array>

#include "model/codici.h"
#include "model/modello.h"
#include "parsing/guasto.h"

namespace sc {
namespace {

modello con_celle(int n_celle = 320) {
  modello m;
  m.n_celle = n_celle;
  m.celle.assign(std::size_t(n_celle) + 1, cella{});
  return m;
}

using terna = std::array<std::int32_t, 3>;

TEST(ProgressiveOrdina, OrdersByFirstThenSecondValue) {
  struct caso {
    const char* nome;
    std::array<terna, 3> prima;  // elements 81, 82, 83
    std::array<terna, 3> dopo;
  } casi[] = {
      {"all zero stay zero", {{{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}}, {{{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}}},
      {"C greatest, tie below keeps the later first", {{{0, 1, 0}, {0, 2, 0}, {5000, 3, 0}}},
       {{{5000, 3, 0}, {0, 2, 0}, {0, 1, 0}}}},
      {"A, B, C descending stay", {{{3000, 0, 0}, {2000, 0, 0}, {1000, 0, 0}}}, {{{3000, 0, 0}, {2000, 0, 0}, {1000, 0, 0}}}},
      {"B greatest, then C over A", {{{1000, 0, 0}, {3000, 0, 0}, {2000, 0, 0}}}, {{{3000, 0, 0}, {2000, 0, 0}, {1000, 0, 0}}}},
      {"tie for the top clears", {{{3000, 5, 5}, {3000, 5, 5}, {1000, 5, 5}}}, {{{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}}},
      {"sum zero: B second value leads", {{{0, 0, 0}, {0, 7, 0}, {0, 0, 0}}}, {{{0, 7, 0}, {0, 0, 0}, {0, 0, 0}}}},
      {"sum zero: C overrides A", {{{0, 4, 0}, {0, 0, 0}, {0, 9, 0}}}, {{{0, 9, 0}, {0, 0, 0}, {0, 4, 0}}}},
      {"sum zero, no positive second: zeros", {{{5, -3, 1}, {-5, 0, 1}, {0, 0, 1}}}, {{{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}}},
      {"third value 1 adds 100, moved or not", {{{3000, 10, 1}, {2000, 20, 0}, {1000, 30, 1}}},
       {{{3000, 110, 1}, {2000, 20, 0}, {1000, 130, 1}}}},
  };
  for (const caso& c : casi) {
    SCOPED_TRACE(c.nome);
    modello m;
    for (int i = 0; i < 3; ++i) {
      auto& v = m.servizio[std::size_t(voce_progressiva_tre + i)];
      v.valore1 = c.prima[std::size_t(i)][0];
      v.valore2 = c.prima[std::size_t(i)][1];
      v.valore3 = c.prima[std::size_t(i)][2];
    }
    progressive_ordina(m);
    for (int i = 0; i < 3; ++i) {
      const auto& v = m.servizio[std::size_t(voce_progressiva_tre + i)];
      EXPECT_EQ((terna{v.valore1, v.valore2, v.valore3}), c.dopo[std::size_t(i)]) << "element " << 81 + i;
    }
  }
}

TEST(ProgressiveOrdina, AddingPastThirtyTwoBitsFails) {
  modello m;
  m.servizio[voce_progressiva_tre] = {};
  m.servizio[voce_progressiva_tre].valore1 = 50;
  m.servizio[voce_progressiva_tre].valore2 = 2147483600;
  m.servizio[voce_progressiva_tre].valore3 = 1;
  EXPECT_THROW(progressive_ordina(m), guasto_lettura);
}

TEST(MemoMontagna, FlaggedRangeGetsMarkersEveryFourthFreeCell) {
  modello m = con_celle();
  m.celle[14].tipo = cella_segnale;
  EXPECT_EQ(memo_montagna(m, 500, 1500, 12), 2);
  EXPECT_EQ(m.n_montagne, 1);
  EXPECT_EQ(m.montagna_inizio[1], 500);
  EXPECT_EQ(m.montagna_fine[1], 1500);
  // Cells 10 to 29; the 4th, 8th, ... are 13, 17, 21, 25, 29.
  for (int i = 0; i <= 320; ++i) EXPECT_EQ(m.celle[std::size_t(i)].montagna, i >= 10 && i <= 29 ? 2 : 0) << i;
  for (int i : {13, 17, 21, 25, 29}) EXPECT_EQ(m.celle[std::size_t(i)].tipo, cella_marcatore_montagna) << i;
  EXPECT_EQ(m.celle[14].tipo, cella_segnale);
  EXPECT_EQ(m.celle[12].tipo, cella_vuota);

  // Starting 150 m after the previous end: type 3, still flagged.
  EXPECT_EQ(memo_montagna(m, 1650, 2000, 15), 3);
  EXPECT_EQ(m.celle[33].montagna, 3);
  EXPECT_EQ(m.celle[36].tipo, cella_marcatore_montagna);
  // 151 m after: keeps its own type.
  EXPECT_EQ(memo_montagna(m, 2151, 2300, 4), 4);
}

TEST(MemoMontagna, RangesStayInsideTheTrackAndTheLists) {
  modello m = con_celle(20);
  memo_montagna(m, -500, 100000, 11);
  for (const cella& c : m.celle) EXPECT_EQ(c.montagna, 1);
  // Counting starts at cell -10, so the markers fall on cells 1, 5, 9, ...
  EXPECT_EQ(m.celle[1].tipo, cella_marcatore_montagna);
  EXPECT_EQ(m.celle[2].tipo, cella_vuota);
  for (int n = 2; n <= 80; ++n) memo_montagna(m, 0, 0, 0);
  EXPECT_THROW(memo_montagna(m, 0, 0, 0), guasto_lettura);
  EXPECT_EQ(m.n_montagne, 80);
}

TEST(MemoRallentamento, PlacesEndStartBoardAndSequence) {
  modello m = con_celle();
  EXPECT_EQ(memo_rallentamento(m, {3000, 30, 500, 7, 1, 2}), std::nullopt);
  const cella& inizio = m.celle[61];
  const cella& fine = m.celle[71];
  const cella& avviso = m.celle[37];
  EXPECT_EQ(inizio.tipo, cella_inizio_rallentamento);
  EXPECT_EQ(fine.tipo, cella_fine_rallentamento);
  EXPECT_EQ(avviso.tipo, cella_avviso_rallentamento);
  for (const cella* c : {&inizio, &fine}) {
    EXPECT_EQ(c->val1, 30);
    EXPECT_EQ(c->val2, 2);
    EXPECT_EQ(c->val3, 7);
  }
  EXPECT_EQ(avviso.val1, 30);
  EXPECT_EQ(avviso.val2, 2);
  // Sequence in cells 36 down to 33, 1 nearest the board.
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(m.celle[std::size_t(36 - i)].tipo, cella_sequenza_avviso);
    EXPECT_EQ(m.celle[std::size_t(36 - i)].val1, i + 1);
    EXPECT_EQ(m.celle[std::size_t(36 - i)].val2, i + 1);
  }
}

TEST(MemoRallentamento, WarningBoardOnlyAfter1500m) {
  for (std::int32_t x : {1500, 1550}) {
    modello m = con_celle();
    memo_rallentamento(m, {x, 30, 200, 0, 1, 0});
    int avvisi = 0, sequenza = 0;
    for (const cella& c : m.celle) avvisi += c.tipo == cella_avviso_rallentamento, sequenza += c.tipo == cella_sequenza_avviso;
    EXPECT_EQ(avvisi, x > 1500 ? 1 : 0) << x;
    EXPECT_EQ(sequenza, x > 1500 ? 4 : 0) << x;
    if (x == 1550) { EXPECT_EQ(m.celle[8].tipo, cella_avviso_rallentamento); }
    EXPECT_EQ(m.celle[31].val2, 0) << "d_v 0 leaves val2";
  }
}

TEST(MemoRallentamento, ShortRestrictionLeavesAStart) {
  modello m = con_celle();
  memo_rallentamento(m, {1000, 50, 20, 3, 0, 0});
  EXPECT_EQ(m.celle[21].tipo, cella_inizio_rallentamento);
  EXPECT_EQ(m.celle[21].val1, 50);
  EXPECT_EQ(m.celle[21].val3, 3);
}

TEST(MemoRallentamento, ConflictsAreReported) {
  struct caso {
    int cella_occupata;
    std::int32_t codice;
    bool scritto;
  } casi[] = {
      {37, codice::avviso_occupato, false}, {61, codice::inizio_occupato, false},
      {71, codice::fine_occupata, false},   {34, codice::sequenza_occupata, true},
  };
  for (const caso& c : casi) {
    modello m = con_celle();
    m.celle[std::size_t(c.cella_occupata)].tipo = cella_stazione;
    const esito_memo no = memo_rallentamento(m, {3000, 30, 500, 0, 1, 0});
    ASSERT_TRUE(no) << c.cella_occupata;
    EXPECT_EQ(no->codice, c.codice) << c.cella_occupata;
    EXPECT_EQ(no->cella, c.cella_occupata);
    EXPECT_EQ(no->occupante, cella_stazione);
    EXPECT_EQ(m.celle[61].tipo == cella_inizio_rallentamento, c.scritto) << c.cella_occupata;
  }
  // A mountain marker never blocks.
  modello m = con_celle();
  m.celle[61].tipo = cella_marcatore_montagna;
  EXPECT_EQ(memo_rallentamento(m, {3000, 30, 500, 0, 1, 0}), std::nullopt);
  // An end beyond the track is a failure, not a write out of bounds.
  EXPECT_THROW(memo_rallentamento(m, {5000, 30, 1000000, 0, 0, 0}), guasto_lettura);
}

TEST(MemoSegnale, StoresValuesAndApproachMarks) {
  modello m = con_celle();
  EXPECT_EQ(memo_segnale(m, {4000, 2, 3, 1, 1, 0, 0, 0, 0, 0, 50}), std::nullopt);
  const cella& c = m.celle[81];
  EXPECT_EQ(c.tipo, cella_segnale);
  EXPECT_EQ(c.val1, 30);
  EXPECT_EQ(c.val2, 10);
  EXPECT_EQ(c.val3, 10);
  EXPECT_EQ(c.val4, 6);
  EXPECT_EQ(c.val5, 101);
  for (int b = 1; b <= 4; ++b) EXPECT_EQ(m.celle[std::size_t(81 - 2 * b)].val6, 60 + b);

  memo_segnale(m, {2600, 1, 3, 1, 1, 0, 0, 0, 0, 0, 50});
  EXPECT_EQ(m.celle[53].val5, 0) << "val5 only for sx = 2";
  const esito_memo no = memo_segnale(m, {2600, 1, 3, 1, 1, 0, 0, 0, 0, 0, 0});
  ASSERT_TRUE(no);
  EXPECT_EQ(no->codice, codice::segnale_occupato);
  EXPECT_EQ(no->cella, 53);
}

TEST(MemoSegnale, ApproachCellsBeforeTheTrackAreSkipped) {
  modello m = con_celle();
  EXPECT_EQ(memo_segnale(m, {200, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0}), std::nullopt);  // cell 5
  EXPECT_EQ(m.celle[3].val6, 31);
  EXPECT_EQ(m.celle[1].val6, 32);
}

TEST(MemoIndicatori, RoundsSpeedsIntoSixteenBits) {
  modello m = con_celle();
  const indicatori t{700, 70, 60, 0, 1, 0, 12, 13, 2};
  memo_indicatori_v_max(m, t);
  const cella& c = m.celle[15];
  EXPECT_EQ(c.tipo, cella_indicatore_vmax);
  EXPECT_EQ(c.val1, 1400);
  EXPECT_EQ(c.val2, 1202);  // 2.4 rounds to 2
  EXPECT_EQ(c.val3, 3);     // 2.6 rounds to 3
  EXPECT_EQ(c.val4, 12);
  EXPECT_EQ(memo_indicatori_v_max(m, t)->codice, codice::indicatore_occupato);
  EXPECT_THROW(memo_indicatori_v_max(m, {1000, 1700, 60, 0, 1, 0, 12, 13, 2}), guasto_lettura);  // 34000 does not fit
}

}  // namespace
}  // namespace sc
