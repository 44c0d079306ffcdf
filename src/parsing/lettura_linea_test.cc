#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "model/codici.h"
#include "test_support/descrizioni.h"

namespace sc {
namespace {

using test::leggi;
using test::linea_con;
using test::righe;

TEST(LetturaLinea, BuiltInLine) {
  test::lettura l;
  leggi(l, test::linea_predefinita(), test::servizio_predefinito());
  const modello& m = l.m;
  EXPECT_EQ(m.codice_errore, 0);
  EXPECT_EQ(m.servizio[84].valore2, 9000);
  EXPECT_EQ(m.servizio[85].valore1, 0);
  EXPECT_EQ(m.servizio[85].valore2, 1);
  EXPECT_EQ(m.servizio[85].valore3, 0);
  EXPECT_EQ(m.servizio[85].nome, "Linea");
  EXPECT_EQ(m.servizio[86].nome, "Treno");
  for (int v : {81, 82, 83, 86}) {
    EXPECT_EQ(m.servizio[std::size_t(v)].valore1, 0) << v;
    EXPECT_EQ(m.servizio[std::size_t(v)].valore2, 0) << v;
    EXPECT_EQ(m.servizio[std::size_t(v)].valore3, 0) << v;
  }
  EXPECT_EQ(m.lunghezza_metri, 16000);
  EXPECT_EQ(m.n_celle, 320);
  ASSERT_EQ(m.celle.size(), 321u);
  struct tratto {
    int da, a, val8;
  } pendenze[] = {{0, 19, 100}, {20, 29, 88}, {30, 51, 92}, {52, 71, 100}, {72, 135, 95}, {136, 317, 100}, {318, 320, 0}};
  for (const tratto& t : pendenze)
    for (int i = t.da; i <= t.a; ++i) EXPECT_EQ(m.celle[std::size_t(i)].val8, t.val8) << "cell " << i;
  const char* testi[] = {"(VALDISPRETO)", "(BRUNEA)", "(COLLE ZAVRO)", "(       )(INERZIA)", "(PIANOSCA)", "(TERMINE TRATTA)"};
  int celle_cartelli[] = {57, 83, 97, 119, 135, 147};
  for (int b = 0; b < 6; ++b) {
    const cella& c = m.celle[std::size_t(celle_cartelli[b])];
    EXPECT_EQ(c.tipo, cella_cartello);
    EXPECT_EQ(c.val1, 80 - b);
    EXPECT_EQ(m.servizio[std::size_t(80 - b)].nome, testi[b]);
  }
  EXPECT_EQ(m.servizio[74].nome, "");
  EXPECT_EQ(m.celle[15].tipo, cella_indicatore_vmax);
  EXPECT_EQ(m.celle[111].val1, 1200);
  EXPECT_FALSE(l.esiste(nome_linea_txt(m)));
  EXPECT_FALSE(l.esiste(nome_treno_txt(m)));
  // The built-in plan grid.
  EXPECT_NEAR(m.profilo(2100, 0).valore, 87.65, 0.005);
  EXPECT_NEAR(m.profilo(2100, 1).valore, 2082.32, 0.005);
  EXPECT_NEAR(m.profilo(15998, 0).valore, 3897.93, 0.005);
  EXPECT_NEAR(m.profilo(15998, 1).valore, 13225.59, 0.005);
  EXPECT_EQ(m.profilo(15999, 0).tag, valore_profilo::vuoto);
  EXPECT_EQ(m.profilo(16000, 1).tag, valore_profilo::vuoto);
}

struct caso_codice {
  const char* nome;
  std::string linea;  // empty: no line file
  std::int32_t codice;
  std::optional<std::int32_t> posizione;
  bool servizio_resta;  // the service description is left on disk
};

TEST(LetturaLinea, EveryCodeWithItsPositionAndFiles) {
  const std::string generale = "[generale]\r\nlunghezza percorso, 9000\r\n";
  const caso_codice casi[] = {
      {"missing file", "", codice::linea_mancante, std::nullopt, true},
      {"no general section", righe({"lunghezza percorso, 9000", "[fine]"}), codice::generale_mancante, std::nullopt, true},
      {"general marker last", righe({"x", "[generale]"}), codice::generale_mancante, std::nullopt, true},
      {"length too large", righe({"[generale]", "lunghezza percorso, 1000001", "[curve]", "[fine]"}), codice::lunghezza_eccessiva, std::nullopt, true},
      {"largest length", righe({"[generale]", "lunghezza percorso, 1000000", "[curve]", "[fine]"}), 0, std::nullopt, false},
      {"repetition first value", generale + righe({"ripetizione segnali 4, 75, 0", "[curve]", "[fine]"}), codice::ripetizione_primo_valore, std::nullopt, true},
      {"repetition second value", generale + righe({"ripetizione segnali 9, 100, 120", "[curve]", "[fine]"}), codice::ripetizione_secondo_valore, std::nullopt, true},
      {"repetition without code count", generale + righe({"ripetizione segnali, 100, 200", "[curve]", "[fine]"}), codice::ripetizione_codici, std::nullopt, true},
      {"board on a board", linea_con(righe({"cartello_indicatore, 2800, A", "cartello_indicatore, 2810, B"})), codice::cartello_occupato, 2810, true},
      {"board on a speed board", linea_con(righe({"indicatori_vmax, 2800, 1,1,1,0,0,0,0,0", "cartello_indicatore, 2800, A"})), codice::cartello_occupato, 2800, true},
      {"speed board on a board", linea_con(righe({"cartello_indicatore, 2800, A", "indicatori_vmax, 2800, 1,1,1,0,0,0,0,0"})), codice::indicatore_occupato, 2800, true},
      {"item just fits", linea_con(righe({"pendenza, 15900, 3"})), 0, std::nullopt, false},
      {"item past the track", linea_con(righe({"pendenza, 15901, 3", "cartello_indicatore, 2800, A"})), codice::fuori_linea, 15901, false},
      {"curve without class", linea_con(righe({"curva, 100, 50"})), codice::curva_errata, std::nullopt, true},
      {"curve past metre 1000000", righe({"[generale]", "lunghezza percorso, 1000000", "[curve]", "curvad1, 1000500, 10", "[fine]"}), codice::curva_errata, std::nullopt, true},
      {"no length entry", righe({"[generale]", "[curve]", "pendenza, 0, 0", "[fine]"}), codice::lettura_fallita, std::nullopt, false},
      {"negative length", righe({"[generale]", "lunghezza percorso, -100", "[curve]", "[fine]"}), 0, std::nullopt, false},
      {"plan ending before metre 0", righe({"[generale]", "lunghezza percorso, -7001", "[curve]", "[fine]"}), codice::lettura_fallita, std::nullopt, false},
      {"values cut off", linea_con("") + "pendenza, 100\r\n", codice::lettura_fallita, std::nullopt, false},
      {"number too large", linea_con(righe({"pendenza, 100, 99999999999"})), codice::lettura_fallita, std::nullopt, false},
  };
  for (const caso_codice& c : casi) {
    SCOPED_TRACE(c.nome);
    test::lettura l;
    l.m.posizione_errore = -7;
    leggi(l, c.linea, test::servizio_con(""));
    EXPECT_EQ(l.m.codice_errore, c.codice);
    EXPECT_EQ(l.m.posizione_errore, c.posizione.value_or(-7));
    EXPECT_FALSE(l.esiste(nome_linea_txt(l.m)));
    EXPECT_EQ(l.esiste(nome_treno_txt(l.m)), c.servizio_resta);
  }
}

TEST(LetturaLinea, GradientChangesRoundToWholeCells) {
  struct caso {
    int posizione, ultima_vecchia;
  } casi[] = {{1025, 19}, {1075, 21}, {1000, 19}};
  for (const caso& c : casi) {
    test::lettura l;
    const std::string p = std::to_string(c.posizione);
    leggi(l, linea_con("pendenza, 0, 5\r\npendenza, " + p + ", -3\r\n"), test::servizio_con(""));
    EXPECT_EQ(l.m.celle[std::size_t(c.ultima_vecchia)].val8, 105) << c.posizione;
    EXPECT_EQ(l.m.celle[std::size_t(c.ultima_vecchia + 1)].val8, 97) << c.posizione;
    EXPECT_EQ(l.m.celle[317].val8, 97);
    EXPECT_EQ(l.m.celle[318].val8, 0);
  }
}

TEST(LetturaLinea, GradientRunsThatDoNotIncreaseStayInsideTheTrack) {
  std::string voci;
  for (int i = 0; i < 400; ++i) voci += "pendenza, 15000, 1\r\n";
  test::lettura l;
  leggi(l, linea_con(voci), test::servizio_con(""));
  EXPECT_EQ(l.m.codice_errore, 0);
  EXPECT_EQ(l.m.celle[320].val8, 101);
}

TEST(LetturaLinea, KeywordCaseAndDisabledFields) {
  test::lettura l;
  leggi(l,
        righe({"[GENERALE]", "LUNGHEZZA PERCORSO, 9000", "Sfondo uno, 5", "sfondo tre, 7", "- -, x, sfondo due, 9",
               "[curve]", "-pendenza, 1000, -12", "pendenza, 2000, 3", "---, --, PENDENZA, 3000, 4", "[fine]"}),
        test::servizio_con(""));
  EXPECT_EQ(l.m.codice_errore, 0);
  EXPECT_EQ(l.m.n_celle, 320);
  EXPECT_EQ(l.m.servizio[85].valore1, 0) << "capital S is not recognised";
  EXPECT_EQ(l.m.servizio[85].valore2, 7);
  EXPECT_EQ(l.m.servizio[85].valore3, 9) << "dash fields skipped in the general section";
  // "-pendenza" is replaced by 1000; "-12" is dropped in favour of the next
  // line's key, which is read normally; two dash fields are skipped.
  EXPECT_EQ(l.m.celle[39].val8, 100);
  EXPECT_EQ(l.m.celle[40].val8, 103);
  EXPECT_EQ(l.m.celle[60].val8, 104);
}

TEST(LetturaLinea, TheGeneralSectionEndsAtAHeaderNotDisabledAfterLeadingBlanks) {
  // The eleventh field in a row is kept even with a dash; once its leading
  // blank is gone it begins with "-", so it does not end the section.
  test::lettura l;
  leggi(l, righe({"[generale]", "lunghezza percorso, 9000", "-a,-b,-c,-d,-e,-f,-g,-h,-i,-j,\" -[x]\"", "sfondo uno, 5", "[curve]", "[fine]"}),
        test::servizio_con(""));
  EXPECT_EQ(l.m.codice_errore, 0);
  EXPECT_EQ(l.m.servizio[85].valore1, 5);
}

TEST(LetturaLinea, TheLastOfRepeatedLengthEntriesMakesTheTrack) {
  std::string generale = "[generale]\r\n";
  for (int i = 0; i < 1000; ++i) generale += "lunghezza percorso, " + std::to_string(i % 2 ? 1000000 : 9000) + "\r\n";
  test::lettura l;
  leggi(l, generale + "lunghezza percorso, 100\r\n[curve]\r\npendenza, 0, 4\r\n[fine]\r\n", test::servizio_con(""));
  EXPECT_EQ(l.m.codice_errore, 0);
  EXPECT_EQ(l.m.n_celle, 142);
  EXPECT_EQ(l.m.celle.size(), 143u);
  EXPECT_EQ(l.m.profilo.ultimo_metro(), 7100);
  EXPECT_EQ(l.m.celle[139].val8, 104);
}

TEST(LetturaLinea, WithoutGeometryCurvesAreNotRecognised) {
  test::lettura l;
  leggi(l, linea_con(righe({"curva, 100, 50"})), test::servizio_con(""), 0);
  EXPECT_EQ(l.m.codice_errore, 0);
  EXPECT_FALSE(l.m.profilo.creato());
}

TEST(LetturaLinea, BoardsTakeElementsDownToOne) {
  std::string voci;
  for (int b = 0; b < 81; ++b) voci += "cartello_indicatore, " + std::to_string(100 + 100 * b) + ", T" + std::to_string(b) + "\r\n";
  test::lettura l;
  leggi(l, linea_con(voci), test::servizio_con(""));
  EXPECT_EQ(l.m.codice_errore, codice::lettura_fallita);
  EXPECT_EQ(l.m.servizio[1].nome, "T79");
  EXPECT_EQ(l.m.servizio[0].nome, "") << "element 0 stays cleared";
}

TEST(LetturaLinea, BoardOnAMountainMarkerIsPlaced) {
  test::lettura l;
  // Cells 53 to 59, the marker on the fourth, cell 56.
  leggi(l, linea_con(righe({"montagna, 2650, 3000, 11", "cartello_indicatore, 2750, A"})), test::servizio_con(""));
  EXPECT_EQ(l.m.codice_errore, 0);
  EXPECT_EQ(l.m.celle[56].tipo, cella_cartello);
  EXPECT_EQ(l.m.celle[56].montagna, 1);
}

TEST(LetturaLinea, CodeFifteenStillReadsTheService) {
  test::lettura l;
  leggi(l, linea_con(righe({"pendenza, 99999, 1"})), test::servizio_con(righe({"numero vetture, 4"})));
  EXPECT_EQ(l.m.codice_errore, codice::fuori_linea);
  EXPECT_EQ(l.m.posizione_errore, 99999);
  EXPECT_EQ(l.m.servizio[84].valore3, 4);
  EXPECT_EQ(l.m.celle[317].val8, 100) << "closing fill ran";
  EXPECT_EQ(l.errori(), std::vector<std::string>{"Linea_linea.txt:4 15"});
}

}  // namespace
}  // namespace sc
