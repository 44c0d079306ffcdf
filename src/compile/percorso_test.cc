#include "compile/percorso.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "compile/codici_gara.h"
#include "model/codici.h"
#include "model/modello.h"
#include "test_support/descrizioni.h"

namespace sc {
namespace {

// A track of 100 cells with the given kinds (and restriction speeds).
struct pista {
  std::map<int, std::uint8_t> tipi;
  std::map<int, std::int16_t> val1;
};

modello costruisci(const pista& p) {
  modello m;
  m.n_celle = 100;
  m.celle.assign(101, cella{});
  for (auto [i, t] : p.tipi) m.celle[std::size_t(i)].tipo = t;
  for (auto [i, v] : p.val1) m.celle[std::size_t(i)].val1 = v;
  return m;
}

// Cells holding a mark of kind 12, with their values.
std::map<int, std::int16_t> marche(const modello& m) {
  std::map<int, std::int16_t> r;
  for (std::size_t i = 0; i < m.celle.size(); ++i)
    if (m.celle[i].tipo == cella_abbattimento) r[int(i)] = m.celle[i].val1;
  return r;
}

struct caso {
  const char* nome;
  pista p;
  std::map<int, std::int16_t> attese;
  std::int32_t codice = 0;
  std::int32_t posizione = 0;
};

constexpr std::uint8_t S = cella_segnale, A = cella_avviso_rallentamento, I = cella_inizio_rallentamento,
                       F = cella_fine_rallentamento, X = cella_stazione, M = cella_marcatore_montagna,
                       K = cella_abbattimento;

void verifica(const caso& c) {
  SCOPED_TRACE(c.nome);
  modello m = costruisci(c.p);
  cammino_posizionamento(m);
  EXPECT_EQ(marche(m), c.attese);
  EXPECT_EQ(m.codice_errore, c.codice);
  if (c.codice) { EXPECT_EQ(m.posizione_errore, c.posizione); }
}

TEST(RegolaA, SignalsBeforeAWarningBoard) {
  const caso casi[] = {
      {"front cell free", {{{30, A}, {25, S}}}, {{24, 180}}},
      {"second cell when the first is taken", {{{30, A}, {25, S}, {24, X}}}, {{23, 180}}},
      {"mountain marker is free", {{{30, A}, {25, S}, {24, M}}}, {{24, 180}}},
      {"no room", {{{30, A}, {25, S}, {24, X}, {23, X}}}, {}, codice::segnale_senza_spazio, 1250},
      {"merge keeps a lower value", {{{30, A}, {25, S}, {24, K}, {23, X}}, {{24, 150}}}, {{24, 150}}},
      {"merge lowers a higher value", {{{30, A}, {25, S}, {24, K}, {23, X}}, {{24, 200}}}, {{24, 180}}},
      {"merge on the second cell", {{{30, A}, {25, S}, {24, X}, {23, K}}, {{23, 300}}}, {{23, 180}}},
      {"free preferred to a merge", {{{30, A}, {25, S}, {24, K}}, {{24, 300}}}, {{24, 300}, {23, 180}}},
      {"20 cells back, not 21", {{{30, A}, {10, S}, {9, S}}}, {{8, 180}}},
      {"nearer signals first", {{{30, A}, {25, S}, {24, S}}}, {{23, 180}, {22, 180}}},
      {"board in cell 5 looks down to cell 3", {{{5, A}, {3, S}, {2, S}}}, {{1, 180}}},
      {"last cells are never walked", {{{99, A}, {97, S}}}, {}},
  };
  for (const caso& c : casi) verifica(c);
}

TEST(RegolaB, ApproachWindows) {
  const caso casi[] = {
      {"three windows", {{{30, I}, {40, F}}, {{30, 120}}}, {{25, 180}, {19, 180}, {12, 180}}},
      {"next cell of a window", {{{30, I}, {40, F}, {25, X}, {19, X}, {18, X}}, {{30, 120}}}, {{24, 180}, {17, 180}, {12, 180}}},
      {"window full", {{{30, I}, {40, F}, {25, X}, {24, X}, {23, X}}, {{30, 120}}}, {{19, 180}, {12, 180}},
       codice::rallentamento_approccio, 1500},
      {"start in cell 7: no window", {{{7, I}, {40, F}}, {{7, 120}}}, {}},
      {"start in cell 8 reaches cell 1", {{{8, I}, {40, F}, {3, X}, {2, X}}, {{8, 120}}}, {{1, 180}}},
      {"start in cell 13: first window only", {{{13, I}, {40, F}}, {{13, 120}}}, {{8, 180}}},
      {"start in cell 20: two windows", {{{20, I}, {40, F}}, {{20, 120}}}, {{15, 180}, {9, 180}}},
  };
  for (const caso& c : casi) verifica(c);
}

// The three approach marks of a restriction starting in cell 30.
const std::map<int, std::int16_t> finestre = {{25, 180}, {19, 180}, {12, 180}};

// Those marks and the given ones.
std::map<int, std::int16_t> con(std::map<int, std::int16_t> altre) {
  altre.insert(finestre.begin(), finestre.end());
  return altre;
}

TEST(RegolaB, RepetitionAlongASlowRestriction) {
  const caso casi[] = {
      {"every 8 cells", {{{30, I}, {50, F}}, {{30, 50}}}, con({{38, 180}, {46, 180}})},
      {"110 km/h gets none", {{{30, I}, {50, F}}, {{30, 110}}}, finestre},
      {"negative speed is slow", {{{30, I}, {50, F}}, {{30, -5}}}, con({{38, 180}, {46, 180}})},
      {"due cell taken: the one before", {{{30, I}, {50, F}, {38, X}}, {{30, 50}}}, con({{37, 180}, {45, 180}})},
      {"then the one after", {{{30, I}, {50, F}, {38, X}, {37, X}}, {{30, 50}}}, con({{39, 180}, {47, 180}})},
      {"no room stops the marks", {{{30, I}, {50, F}, {38, X}, {37, X}, {39, X}}, {{30, 50}}}, finestre,
       codice::rallentamento_ripetizione, 1900},
      {"8 cells long: before the end", {{{30, I}, {38, F}}, {{30, 50}}}, con({{37, 180}})},
      {"8 cells long: after the end", {{{30, I}, {38, F}, {37, X}}, {{30, 50}}}, con({{39, 180}})},
  };
  for (const caso& c : casi) verifica(c);
}

TEST(RegolaB, ExitSignal) {
  const caso casi[] = {
      {"signal 12 cells after the end", {{{30, I}, {34, F}, {46, S}}, {{30, 120}}}, con({{45, 180}})},
      {"13 cells is too far", {{{30, I}, {34, F}, {47, S}}, {{30, 120}}}, finestre},
      {"first signal only", {{{30, I}, {34, F}, {36, S}, {40, S}}, {{30, 120}}}, con({{35, 180}})},
      {"second cell in front", {{{30, I}, {34, F}, {40, S}, {39, X}}, {{30, 120}}}, con({{38, 180}})},
      {"no room", {{{30, I}, {34, F}, {40, S}, {39, X}, {38, X}}, {{30, 120}}}, finestre,
       codice::rallentamento_ripetizione, 1700},
      {"slow restriction too", {{{30, I}, {34, F}, {40, S}}, {{30, 50}}}, con({{39, 180}})},
  };
  for (const caso& c : casi) verifica(c);
}

TEST(RegolaB, StartWithoutEndStopsAtTheLastCell) {
  const std::map<int, std::int16_t> finestre_90 = {{85, 180}, {79, 180}, {72, 180}};
  const caso casi[] = {
      {"slow", {{{90, I}, {95, S}}, {{90, 50}}}, {{85, 180}, {79, 180}, {72, 180}, {98, 180}},
       codice::rallentamento_ripetizione, 4500},
      {"fast", {{{90, I}, {95, S}}, {{90, 120}}}, finestre_90, codice::rallentamento_ripetizione, 4500},
  };
  for (const caso& c : casi) verifica(c);
}

TEST(Cammino, LaterProblemWins) {
  verifica({"two problems",
            {{{30, A}, {25, S}, {24, X}, {23, X}, {60, I}, {70, F}, {55, X}, {54, X}, {53, X}}, {{60, 120}}},
            {{49, 180}, {42, 180}},
            codice::rallentamento_approccio,
            3000});
}

TEST(Minimo, FirstOnATie) {
  EXPECT_EQ(minimo(180, 150), 150);
  EXPECT_EQ(minimo(180, 200), 180);
  EXPECT_EQ(minimo(180, 180), 180);
  EXPECT_EQ(minimo(180, -5), -5);
}

// The whole compile on descriptions held in memory.
struct compilazione {
  test::lettura l;
  std::int32_t j = 1;
  void esegui(const std::string& linea, const std::string& servizio) {
    l.m.nome_scenario = "Linea";
    l.m.nome_treno = "Treno";
    if (!linea.empty()) l.disk.replace(nome_linea_txt(l.m), linea);
    if (!servizio.empty()) l.disk.replace(nome_treno_txt(l.m), servizio);
    memorizza_percorso(l.m, l.disk, j, l.diag);
  }
  bool binari() {
    return l.esiste(nome_linea_dat(l.m)) || l.esiste(nome_servizio_sim(l.m)) || l.esiste(nome_celle_dat(l.m));
  }
};

TEST(MemorizzaPercorso, BuiltInScenarioGetsMarkersAndCodes) {
  compilazione c;
  c.esegui(test::linea_predefinita(), test::servizio_predefinito());
  const modello& m = c.l.m;
  EXPECT_EQ(m.codice_errore, 0);
  EXPECT_EQ(m.servizio[85].intero1, 610);
  EXPECT_EQ(m.servizio[85].codice, codice_gara_st(m));
  EXPECT_EQ(m.celle[1].val1, 5121);
  EXPECT_EQ(m.celle[1].val2, codice_gara_og(m));
  EXPECT_TRUE(marche(m).empty()) << "no restrictions, no boards";
  EXPECT_EQ(c.l.disk.files().size(), 3u);
  EXPECT_EQ(c.l.disk.read(nome_linea_dat(m))->size(), 319964u);
  EXPECT_EQ(c.l.disk.read(nome_celle_dat(m))->size(), 4815u);
}

TEST(MemorizzaPercorso, ClearsTheServiceTableAndTheCode) {
  compilazione c;
  c.l.m.servizio[40].nome = "old";
  c.l.m.servizio[85].intero1 = 610;
  c.l.m.codice_errore = 12;
  c.esegui(test::linea_con(""), test::servizio_con(""));
  EXPECT_EQ(c.l.m.codice_errore, 0);
  EXPECT_EQ(c.l.m.servizio[40].nome, "");
}

TEST(MemorizzaPercorso, ReservedSlotsStopTheRunBeforeAnyBinaryFile) {
  struct caso {
    const char* nome;
    std::string linea, servizio;
    const char* messaggio;
  } casi[] = {
      {"mark in cell 1", test::linea_con(""), test::servizio_con("abbattimento, 50, 70\r\n"), " Errore n. 1250"},
      {"window reaches cell 1", test::linea_con(""),
       test::servizio_con("rallentamento, 360, 120, 100, 0, 0, 0\r\nabbattimento, 150, 1\r\nabbattimento, 100, 1\r\n"),
       " Errore n. 1250"},
      {"second value in cell 1", test::linea_con("indicatori_vmax, 10, 0, 1, 0, 0, 0, 0, 0, 0\r\n"), test::servizio_con(""),
       " Errore n. 1251"},
  };
  for (const caso& k : casi) {
    SCOPED_TRACE(k.nome);
    compilazione c;
    try {
      c.esegui(k.linea, k.servizio);
      ADD_FAILURE() << "no error shown";
    } catch (const errore_mostrato& e) {
      EXPECT_STREQ(e.what(), k.messaggio);
    }
    EXPECT_FALSE(c.binari());
  }
}

TEST(MemorizzaPercorso, RecordedCodesStillWriteTheFiles) {
  compilazione c;
  c.esegui(test::linea_con(""), test::servizio_con("rallentamento, 2000, 50, 200, 0, 0, 0\r\n"
                                                   "abbattimento, 1800, 1\r\nabbattimento, 1750, 1\r\nabbattimento, 1700, 1\r\n"));
  EXPECT_EQ(c.l.m.codice_errore, codice::rallentamento_approccio);
  EXPECT_EQ(c.l.m.posizione_errore, 41 * 50);
  EXPECT_EQ(c.l.disk.files().size(), 3u);
}

TEST(MemorizzaPercorso, WithoutGeometryTheOlderGeometryFileStays) {
  compilazione c;
  c.j = 0;
  c.l.m.nome_scenario = "Linea";
  c.l.disk.replace(nome_linea_dat(c.l.m), "older");
  c.esegui(test::linea_con("curvad5, 100, 100\r\n"), test::servizio_con(""));
  EXPECT_EQ(*c.l.disk.read(nome_linea_dat(c.l.m)), "older");
  EXPECT_TRUE(c.l.esiste(nome_celle_dat(c.l.m)));
  EXPECT_TRUE(c.l.esiste(nome_servizio_sim(c.l.m)));
}

TEST(MemorizzaPercorso, NegativeLengthsShortenTheRunOut) {
  struct caso {
    const char* lunghezza;
    std::int32_t codice;
    std::size_t celle;  // 0: no binary file
  } casi[] = {
      {"-100", 0, 139},       // 6900 m of track
      {"-6974", 0, 2},        // 26 m: cells 0 and 1, just room for the markers
      {"-6975", codice::lettura_fallita, 0},  // 25 m rounds to no cell 1
      {"-7001", codice::lettura_fallita, 0},  // the plan would end before metre 0
  };
  for (const caso& k : casi) {
    SCOPED_TRACE(k.lunghezza);
    compilazione c;
    c.esegui(std::string("[generale]\r\nlunghezza percorso, ") + k.lunghezza + "\r\n[curve]\r\n[fine]\r\n", test::servizio_con(""));
    EXPECT_EQ(c.l.m.codice_errore, k.codice);
    EXPECT_EQ(c.binari(), k.celle > 0);
    if (k.celle) {
      EXPECT_EQ(c.l.disk.read(nome_celle_dat(c.l.m))->size(), 15 * k.celle);
    }
  }
}

TEST(MemorizzaPercorso, AGeneralSectionStoppedAfterTheLengthStillHasItsTrack) {
  compilazione c;
  c.esegui("[generale]\r\nlunghezza percorso, 9000\r\nripetizione segnali 4 codici, 75, 0\r\n[curve]\r\n[fine]\r\n", test::servizio_con(""));
  EXPECT_EQ(c.l.m.codice_errore, codice::ripetizione_primo_valore);
  ASSERT_TRUE(c.l.esiste(nome_celle_dat(c.l.m)));
  EXPECT_EQ(c.l.disk.read(nome_celle_dat(c.l.m))->size(), 15u * 321);
}

TEST(MemorizzaPercorso, CurvePastMetreOneMillionOnAShortLine) {
  compilazione c;
  c.esegui(test::linea_con("curvad5, 100, 1000000\r\n"), test::servizio_con("numero vetture, 4\r\n"));
  EXPECT_EQ(c.l.m.codice_errore, codice::curva_errata);
  EXPECT_EQ(c.l.m.servizio[84].valore3, 0) << "the service description is not read";
  EXPECT_TRUE(c.l.esiste(nome_linea_dat(c.l.m)));
}

TEST(MemorizzaPercorso, NoTrackNoBinaryFiles) {
  for (const char* linea : {"", "[generale]\r\n[curve]\r\n[fine]\r\n"}) {
    compilazione c;
    c.esegui(linea, test::servizio_con(""));
    EXPECT_GT(c.l.m.codice_errore, 0) << linea;
    EXPECT_FALSE(c.binari()) << linea;
  }
}

}  // namespace
}  // namespace sc
