#include <gtest/gtest.h>

#include <memory>

#include <array>
#include <optional>
#include <string>

#include "model/codici.h"
#include "test_support/descrizioni.h"

namespace sc {
namespace {

using test::leggi;
using test::righe;
using test::servizio_con;

std::string stazione(int p, int tipo, int lunghezza, int f5 = 0, int f6 = 0, const char* nome = "S") {
  return "stazione, " + std::to_string(p) + ", " + std::to_string(tipo) + ", " + std::to_string(lunghezza) +
         ", 0, " + std::to_string(f5) + ", " + std::to_string(f6) + ", 0,0,0, 4,1,1, 20, 11,40,0, " + nome + "\r\n";
}

std::unique_ptr<test::lettura> leggi_servizio(const std::string& servizio, const std::string& linea = test::linea_con("")) {
  auto l = std::make_unique<test::lettura>();
  l->m.posizione_errore = -7;
  leggi(*l, linea, servizio);
  return l;
}

TEST(LetturaServizio, BuiltInService) {
  test::lettura l;
  leggi(l, test::linea_predefinita(), test::servizio_predefinito());
  const modello& m = l.m;
  EXPECT_EQ(m.codice_errore, 0);
  EXPECT_EQ(m.servizio[84].valore1, 105);
  EXPECT_EQ(m.servizio[84].valore3, 4);
  EXPECT_EQ(m.servizio[86].intero1, 15);
  EXPECT_EQ(m.servizio[86].intero3, 11);
  EXPECT_EQ(m.servizio[86].intero4, 34);
  EXPECT_EQ(m.servizio[86].intero5, 39);
  for (int i = 0; i <= 317; ++i) {
    EXPECT_EQ(m.celle[std::size_t(i)].val9, 90) << i;
    EXPECT_EQ(m.celle[std::size_t(i)].val7, i < 120 ? 14 : 12) << i;
  }
  for (int i = 318; i <= 320; ++i) EXPECT_EQ(m.celle[std::size_t(i)].val7, 0) << i;
  const std::int32_t codici[] = {41700, 42000, 42240, 42360, 42720};
  const char* nomi[] = {"PRATOSERVINO", "VALDISPRETO", "BRUNEA", "COLLE ZAVRO", "PIANOSCA"};
  for (int k = 1; k <= 5; ++k) {
    EXPECT_EQ(m.servizio[std::size_t(k)].codice, codici[k - 1]);
    EXPECT_EQ(m.servizio[std::size_t(k)].nome, nomi[k - 1]);
  }
  EXPECT_EQ(m.servizio[6].nome, "");
  const voce_servizio& prima = m.servizio[1];
  EXPECT_EQ(prima.tipo_voce, 23);
  EXPECT_EQ(prima.valore1, -250);
  EXPECT_EQ(prima.valore2, 250);
  EXPECT_EQ(prima.valore3, 0);
  EXPECT_EQ(prima.byte2, 1);
  EXPECT_EQ(prima.intero3, 4);
  EXPECT_EQ(m.celle[4].tipo, cella_stazione);
  EXPECT_EQ(m.celle[4].val1, 1);
  EXPECT_EQ(m.celle[3].val6, 81);
  EXPECT_EQ(m.celle[2].val6, 82);
  EXPECT_EQ(m.servizio[2].valore1, 3200);
  EXPECT_EQ(m.servizio[2].valore2, 3400);
  EXPECT_EQ(m.celle[67].val1, 2);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(m.celle[std::size_t(66 - i)].val6, 81 + i);
  for (int s : {53, 81, 125}) EXPECT_EQ(m.celle[std::size_t(s)].tipo, cella_segnale) << s;
  EXPECT_EQ(m.celle[81].val5, 240);
  EXPECT_EQ(m.servizio[0].nome, "");
  EXPECT_EQ(m.servizio[0].valore1, 0);
}

struct caso_codice {
  const char* nome;
  std::string servizio;
  std::int32_t codice;
  std::optional<std::int32_t> posizione;
};

TEST(LetturaServizio, EveryCodeWithItsPosition) {
  const std::string ral = "rallentamento, 3000, 30, 500, 0, 1, 0\r\n";
  const caso_codice casi[] = {
      {"signal just fits", servizio_con("segnale, 15900, 1,0,0,0,0,0,0,0,0,0\r\n"), 0, std::nullopt},
      {"signal past the track", servizio_con("segnale, 15901, 1,0,0,0,0,0,0,0,0,0\r\n"), codice::fuori_linea, 15901},
      {"speed past the track", servizio_con("velocita, 15901, 70\r\n"), codice::fuori_linea, 15901},
      {"adhesion past the track", servizio_con("aderenza, 15901, 70\r\n"), codice::fuori_linea, 15901},
      {"abatement past the track", servizio_con("abbattimento, 15901, 70\r\n"), codice::fuori_linea, 15901},
      {"station just fits", servizio_con(stazione(15200, 23, 200)), 0, std::nullopt},
      {"station past the track", servizio_con(stazione(15250, 23, 200)), codice::fuori_linea, 15250},
      {"station position", servizio_con(stazione(3310, 23, 200)), codice::stazione_posizione, 3310},
      {"station length", servizio_con(stazione(3300, 23, 250)), codice::stazione_lunghezza, 3300},
      {"station ends too early", servizio_con(stazione(50, 23, 100)), codice::stazione_troppo_presto, std::nullopt},
      {"stations 300 m apart", servizio_con(stazione(1000, 23, 200) + stazione(1500, 23, 200)), codice::stazioni_vicine, 1500},
      {"stations 350 m apart", servizio_con(stazione(1000, 23, 200) + stazione(1550, 23, 200)), 0, std::nullopt},
      {"abatement on a signal", servizio_con("segnale, 950, 1,0,0,0,0,0,0,0,0,0\r\nabbattimento, 1000, 5\r\n"), codice::abbattimento_occupato, 1000},
      {"signal on a signal", servizio_con("segnale, 1000, 1,0,0,0,0,0,0,0,0,0\r\nsegnale, 1010, 1,0,0,0,0,0,0,0,0,0\r\n"), codice::segnale_occupato, 1010},
      {"warning board cell taken", servizio_con("segnale, 1800, 1,0,0,0,0,0,0,0,0,0\r\n" + ral), codice::avviso_occupato, 3000},
      {"start cell taken", servizio_con("segnale, 3000, 1,0,0,0,0,0,0,0,0,0\r\n" + ral), codice::inizio_occupato, 3000},
      {"end cell taken", servizio_con("segnale, 3500, 1,0,0,0,0,0,0,0,0,0\r\n" + ral), codice::fine_occupata, 3000},
      {"sequence cell taken", servizio_con("segnale, 1700, 1,0,0,0,0,0,0,0,0,0\r\n" + ral), codice::sequenza_occupata, 3000},
      {"speed 1277 fits a byte", servizio_con("velocita, 0, 1277\r\n"), 0, std::nullopt},
      {"speed 1280 does not", servizio_con("velocita, 0, 70\r\nvelocita, 6000, 1280\r\n"), codice::lettura_fallita, std::nullopt},
      {"clock value out of 16 bits", servizio_con("orologio, 40000, 0, 0\r\n"), codice::lettura_fallita, std::nullopt},
      {"values cut off", servizio_con("") + "segnale, 100\r\n", codice::lettura_fallita, std::nullopt},
      {"only the general marker", "[generale]\r\n", 0, std::nullopt},
      {"key as the very last field", servizio_con("") + "stazione\r\n", 0, std::nullopt},
      {"missing file", "", codice::lettura_fallita, std::nullopt},
  };
  for (const caso_codice& c : casi) {
    SCOPED_TRACE(c.nome);
    const auto letta = leggi_servizio(c.servizio);
    test::lettura& l = *letta;
    EXPECT_EQ(l.m.codice_errore, c.codice);
    EXPECT_EQ(l.m.posizione_errore, c.posizione.value_or(-7));
    EXPECT_FALSE(l.esiste(nome_linea_txt(l.m)));
    EXPECT_FALSE(l.esiste(nome_treno_txt(l.m)));
  }
}

TEST(LetturaServizio, AdhesionFillWritesTheLastCellAndNothingPast) {
  // A line of 0 m has cells 0 to 140. The fourth entry brings the fill index
  // to 140; the fifth writes cell 140 with the adhesion then in force (40),
  // and the final fill, already past the last cell, writes nothing.
  std::string voci;
  for (int a : {10, 20, 30, 40, 50}) voci += "aderenza, 6850, " + std::to_string(a) + "\r\n";
  const auto letta = leggi_servizio(servizio_con(voci), "[generale]\r\nlunghezza percorso, 0\r\n[curve]\r\n[fine]\r\n");
  test::lettura& l = *letta;
  ASSERT_EQ(l.m.codice_errore, 0);
  ASSERT_EQ(l.m.n_celle, 140);
  const std::array<int, 5> attese = {0, 10, 20, 30, 40};  // cells 136 to 140
  for (int i = 0; i < 5; ++i) EXPECT_EQ(l.m.celle[std::size_t(136 + i)].val9, attese[std::size_t(i)]) << 136 + i;
}

TEST(LetturaServizio, ThirtyTwoBitArithmeticFailsRatherThanWraps) {
  const std::string ampio = "[generale]\r\nlunghezza percorso, 9000\r\n";
  struct caso {
    const char* nome;
    std::string linea, servizio;
    std::int32_t codice;
  } casi[] = {
      // 600000 h is past 32 bits in seconds, though the whole sum would fit.
      {"station time", test::linea_con(""), servizio_con("stazione, 1000, 23, 200, 0,0,0, 0,0,0, 4,1,1, 20, 600000,-1000000,0, S\r\n"),
       codice::lettura_fallita},
      {"station time within range", test::linea_con(""), servizio_con("stazione, 1000, 23, 200, 0,0,0, 0,0,0, 4,1,1, 20, 596523,0,0, S\r\n"), 0},
      {"chainage sum", ampio + "progressiva chilometrica tre, 2000000000, 0, 0\r\nprogressiva chilometrica due, 2000000000, 0, 0\r\n[curve]\r\n[fine]\r\n",
       servizio_con(""), codice::lettura_fallita},
      {"mountain spacing", test::linea_con("montagna, 100, 2000000000, 1\r\nmontagna, -2000000000, 100, 1\r\n"), servizio_con(""),
       codice::lettura_fallita},
  };
  for (const caso& c : casi) {
    SCOPED_TRACE(c.nome);
    const auto letta = leggi_servizio(c.servizio, c.linea);
    test::lettura& l = *letta;
    EXPECT_EQ(l.m.codice_errore, c.codice);
  }
}

TEST(LetturaServizio, StationNamePastSixteenBitsIsNeverStored) {
  const std::string nome(70000, 'N');
  const auto letta = leggi_servizio(servizio_con("stazione, 1000, 23, 200, 0,0,0, 0,0,0, 4,1,1, 20, 11,40,0, " + nome + "\r\n"));
  test::lettura& l = *letta;
  EXPECT_EQ(l.m.codice_errore, codice::lettura_fallita);
  EXPECT_EQ(l.m.servizio[1].valore3, 1000) << "the fields before the name stay";
  EXPECT_EQ(l.m.servizio[1].nome, "");
}

TEST(LetturaServizio, EmptyFileFails) {
  test::lettura l;
  l.m.nome_scenario = "Linea";
  l.m.nome_treno = "Treno";
  l.m.genera_linea = 1;
  l.disk.replace(nome_linea_txt(l.m), test::linea_con(""));
  l.disk.replace(nome_treno_txt(l.m), "");
  memorizza_dati(l.m, l.disk, nessun_ascoltatore());
  EXPECT_EQ(l.m.codice_errore, codice::lettura_fallita);
  EXPECT_TRUE(l.disk.files().empty());
}

TEST(LetturaServizio, SpeedFillsFromTheRoundedCell) {
  struct caso {
    const char* voci;
    std::array<int, 4> val7;  // cells 0 to 3
  } casi[] = {
      {"velocita, 25, 70\r\n", {14, 14, 14, 14}},
      // Before the first limit the speed in force is 0.
      {"velocita, 75, 70\r\n", {0, 0, 14, 14}},
      // A second entry at the same place writes one more cell with the old limit.
      {"velocita, 0, 70\r\nvelocita, 75, 60\r\nvelocita, 75, 50\r\n", {14, 14, 12, 10}},
      {"velocita, 0, 1277\r\n", {255, 255, 255, 255}},
  };
  for (const caso& c : casi) {
    SCOPED_TRACE(c.voci);
    const auto letta = leggi_servizio(servizio_con(c.voci));
    test::lettura& l = *letta;
    EXPECT_EQ(l.m.codice_errore, 0);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(l.m.celle[std::size_t(i)].val7, c.val7[std::size_t(i)]) << i;
    EXPECT_EQ(l.m.celle[317].val7, c.val7[3]);
    EXPECT_EQ(l.m.celle[318].val7, 0);
  }
}

TEST(LetturaServizio, StationAreasByKind) {
  struct caso {
    int tipo, lunghezza, f5, f6;
    std::int32_t inizio, fine;
    int fermata;  // -1: no cell touched
    bool avvicinamento;
  } casi[] = {
      {5, 300, 0, 1, 1700, 2150, 42, false},
      {7, 300, 0, 1, 1700, 2300, 45, true},
      {23, 200, 0, 1, 1900, 2150, 42, true},
      {30, 200, 0, 0, 1900, 2100, -1, false},
  };
  for (const caso& c : casi) {
    SCOPED_TRACE(c.tipo);
    const auto letta = leggi_servizio(servizio_con(stazione(0, 23, 500) + stazione(2000, c.tipo, c.lunghezza, c.f5, c.f6)));
    test::lettura& l = *letta;
    EXPECT_EQ(l.m.codice_errore, 0);
    const voce_servizio& s = l.m.servizio[2];
    EXPECT_EQ(s.valore1, c.inizio);
    EXPECT_EQ(s.valore2, c.fine);
    int fermate = 0;
    for (std::size_t i = 5; i < l.m.celle.size(); ++i) fermate += l.m.celle[i].tipo == cella_stazione;
    EXPECT_EQ(fermate, c.fermata < 0 ? 0 : 1);
    if (c.fermata < 0) continue;
    EXPECT_EQ(l.m.celle[std::size_t(c.fermata)].val1, 2);
    for (int i = 1; i <= 4; ++i) EXPECT_EQ(l.m.celle[std::size_t(c.fermata - i)].val6, c.avvicinamento ? 80 + i : 0);
  }
}

TEST(LetturaServizio, FirstStationDropsItsFlagsButKeepsItsEnd) {
  const auto letta = leggi_servizio(servizio_con(stazione(1000, 23, 800, 1, 1) + stazione(5000, 23, 800, 1, 1)));
  test::lettura& l = *letta;
  EXPECT_EQ(l.m.codice_errore, 0);
  EXPECT_EQ(l.m.servizio[1].valore2, 1450);
  EXPECT_EQ(l.m.servizio[1].byte3, 0);
  EXPECT_EQ(l.m.servizio[1].byte4, 0);
  EXPECT_EQ(l.m.servizio[2].valore2, 5450);
  EXPECT_EQ(l.m.servizio[2].byte3, 1);
  EXPECT_EQ(l.m.servizio[2].byte4, 1);
}

TEST(LetturaServizio, StationsStopBelowTheSignTexts) {
  for (int cartelli : {0, 6}) {
    std::string linea_voci, voci;
    for (int b = 0; b < cartelli; ++b) linea_voci += "cartello_indicatore, " + std::to_string(15000 + 100 * b) + ", T\r\n";
    for (int k = 0; k < 80; ++k) voci += stazione(400 + 400 * k, 30, 0);
    const std::string linea = "[generale]\r\nlunghezza percorso, 40000\r\n[curve]\r\n" + linea_voci + "[fine]\r\n";
    const auto letta = leggi_servizio(servizio_con(voci), linea);
    test::lettura& l = *letta;
    const int ultima = 80 - cartelli - 1;  // stored, then rejected
    EXPECT_EQ(l.m.codice_errore, codice::stazioni_troppe) << cartelli;
    EXPECT_EQ(l.m.servizio[std::size_t(ultima)].valore3, 400 * ultima) << cartelli;
    EXPECT_EQ(l.m.servizio[std::size_t(ultima + 1)].valore3, 0) << cartelli;
    if (cartelli) { EXPECT_EQ(l.m.servizio[80 - cartelli + 1].nome, "T") << "texts untouched"; }
  }
}

TEST(LetturaServizio, AbatementMarks) {
  struct caso {
    const char* prima;
    std::int32_t valore;
    std::uint8_t tipo;
    std::int16_t val1;
  } casi[] = {
      {"", 0, cella_abbattimento_nullo, 0},
      {"", -3, cella_abbattimento_nullo, 0},
      {"", 70000, cella_abbattimento, 4464},
      {"montagna, 850, 1500, 11\r\n", 70, cella_abbattimento, 70},  // cell 20 holds a marker
  };
  for (const caso& c : casi) {
    const auto letta = leggi_servizio(servizio_con("abbattimento, 1000, " + std::to_string(c.valore) + "\r\n"), test::linea_con(c.prima));
    test::lettura& l = *letta;
    EXPECT_EQ(l.m.codice_errore, 0) << c.valore;
    EXPECT_EQ(l.m.celle[20].tipo, c.tipo) << c.valore;
    EXPECT_EQ(l.m.celle[20].val1, c.val1) << c.valore;
  }
}

TEST(LetturaServizio, KeysInCapitalsAndLineStageCodes) {
  const auto letta = leggi_servizio(servizio_con(stazione(1000, 23, 200).replace(0, 8, "STAZIONE") + "[stazioni]\r\n"));
  test::lettura& l = *letta;
  EXPECT_EQ(l.m.codice_errore, 0);
  EXPECT_EQ(l.m.servizio[1].valore3, 1000);
  EXPECT_EQ(l.m.servizio[2].valore3, 0);

  // A code 15 from the line stage ends the service at the first signal.
  const auto letta_f = leggi_servizio(servizio_con("segnale, 2600, 1,0,0,0,0,0,0,0,0,0\r\nnumero vetture, 4\r\n"),
                                      test::linea_con("pendenza, 99999, 0\r\n"));
  test::lettura& f = *letta_f;
  EXPECT_EQ(f.m.codice_errore, codice::fuori_linea);
  EXPECT_EQ(f.m.posizione_errore, 2600);
  EXPECT_EQ(f.m.servizio[84].valore3, 0);
  EXPECT_EQ(f.errori(), std::vector<std::string>{"Linea_linea.txt:4 15"}) << "the stop at the signal is a note";
}

TEST(LetturaServizio, ChainageNotOnFiftyMetres) {
  const auto letta = leggi_servizio(servizio_con(""), righe({"[generale]", "lunghezza percorso, 9000",
                                                            "progressiva chilometrica uno, 1025, 0, 0", "[curve]", "[fine]"}));
  test::lettura& l = *letta;
  EXPECT_EQ(l.m.codice_errore, codice::progressiva_non_multipla);
  EXPECT_EQ(l.m.posizione_errore, -7);
  EXPECT_TRUE(l.disk.files().empty());
  EXPECT_EQ(l.errori(), std::vector<std::string>{"Linea_linea.txt:3 2"}) << "the chainage entry";
}

}  // namespace
}  // namespace sc
