#include "tools/readback/oggetti_linea.h"

#include <gtest/gtest.h>

#include "test_support/formati.h"
#include "test_support/scenario_in_memoria.h"
#include "test_support/tracciati_ostili.h"
#include "tools/readback/ispeziona.h"

namespace sc {
namespace {

cella di(std::uint8_t tipo, std::int16_t v1, std::int16_t v2 = 0, std::int16_t v3 = 0, std::int16_t v4 = 0, std::uint8_t v5 = 0) {
  cella c;
  c.tipo = tipo;
  c.val1 = v1, c.val2 = v2, c.val3 = v3, c.val4 = v4, c.val5 = v5;
  return c;
}

TEST(OggettiLinea, CellsDecodeToTheAuthorsUnitsAndPositions) {
  struct caso {
    std::size_t indice;
    cella c;
    std::string etichetta;
    int metri, da, a;
  } casi[] = {
      // A signal written at 2600 m: cell 53 takes 2576 to 2624 (halves go to even cells).
      {53, di(cella_segnale, 30, 10, 10, 3), "3/1/1", 2600, 2576, 2624},
      {54, di(cella_segnale, 30, 10, 10, 3), "3/1/1", 2650, 2625, 2675},
      // sx 2 (val4 = rapp 1 * 10 + 2 * 3 + dx 1) shows the right signal and the time.
      {40, di(cella_segnale, 32, 11, 11, 17, 120), "3/1/1 | 2/1/1 t120", 1950, 1925, 1975},
      {15, di(cella_indicatore_vmax, 1400, 1400, 1400), "70 km/h", 700, 676, 724},
      {15, di(cella_indicatore_vmax, 1612, 1400, 1200, 10), "80/70/60 km/h", 700, 676, 724},
      {61, di(cella_inizio_rallentamento, 30, 0, 0), "30 km/h", 3000, 2976, 3024},
      {37, di(cella_avviso_rallentamento, 30), "warn 30 km/h", 1800, 1776, 1824},
      {73, di(cella_fine_rallentamento, 30), "end 30 km/h", 3600, 3576, 3624},
      // Marks are placed by round(p / 50), without the + 1.
      {20, di(cella_abbattimento, 180), "180", 1000, 975, 1025},
      {21, di(cella_abbattimento_nullo, 0), "0", 1050, 1026, 1074},
      {36, di(cella_sequenza_avviso, 1, 1), "1", 1800, 1775, 1825},
  };
  for (const caso& k : casi) {
    SCOPED_TRACE(k.etichetta);
    const oggetto_linea o = leggi_cella(k.indice, k.c, {});
    EXPECT_EQ(o.etichetta, k.etichetta);
    EXPECT_EQ(o.metri, k.metri);
    EXPECT_EQ(o.mappati.da, k.da);
    EXPECT_EQ(o.mappati.a, k.a);
    EXPECT_FALSE(o.valori.empty());
  }
  const oggetto_linea s = leggi_cella(40, di(cella_segnale, 32, 11, 11, 17, 120), {});
  EXPECT_EQ(s.valori[4].nome, "rapp");
  EXPECT_EQ(s.valori[4].testo, "1");
  EXPECT_EQ(s.valori[5].testo, "120");
}

TEST(OggettiLinea, TheRestrictionRichScenarioReadsBackAsWritten) {
  const scenario_compilato s = test::scenario_in_memoria(test::descrizione_ricca("Ricca_linea.txt"), test::descrizione_ricca("Ricca_Treno-.txt"));
  const linea_letta l = leggi_linea(s.celle, s.servizio);
  EXPECT_EQ(l.lunghezza, 12000);
  EXPECT_EQ(l.metri_celle, 50 * 381);
  struct atteso {
    int inizio, fine, velocita, avviso;
  };
  const atteso rallentamenti[] = {{1200, 1400, 40, -1}, {3000, 3600, 30, 1800}, {6500, 6900, 50, 5300}, {9000, 9300, 120, 7800}};
  ASSERT_EQ(l.rallentamenti.size(), std::size(rallentamenti));
  for (std::size_t i = 0; i < l.rallentamenti.size(); ++i) {
    EXPECT_EQ(l.rallentamenti[i].inizio, rallentamenti[i].inizio) << i;
    EXPECT_EQ(l.rallentamenti[i].fine, rallentamenti[i].fine) << i;
    EXPECT_EQ(l.rallentamenti[i].velocita, rallentamenti[i].velocita) << i;
    EXPECT_EQ(l.rallentamenti[i].avviso, rallentamenti[i].avviso) << i;
  }
  ASSERT_EQ(l.stazioni.size(), 3u);
  EXPECT_EQ(l.stazioni[1].nome, "BETA");
  EXPECT_EQ(ore_minuti_secondi(l.stazioni[1].orario), "08:22:30");
  EXPECT_EQ(l.stazioni[1].inizio, 4900);
  EXPECT_EQ(l.stazioni[1].fine, 5100);
  EXPECT_EQ(l.stazioni[1].cella_fermata, 101);
  ASSERT_EQ(l.montagne.size(), 3u);
  EXPECT_EQ(l.montagne[0].tipo, 2);
  EXPECT_TRUE(l.montagne[0].segnalata);
  EXPECT_EQ(l.montagne[1].tipo, 3) << "starts 100 m after the previous range";
  EXPECT_FALSE(l.montagne[1].segnalata);
  EXPECT_EQ(l.orologio, 8 * 3600 + 15 * 60);
  // Speed limit runs in km/h, gradients in per mille.
  EXPECT_EQ(l.velocita.front().valore, 90);
  EXPECT_EQ(l.pendenze[1].valore, 12);
  EXPECT_EQ(l.pendenze[1].da, 2000);
  // The start's listing says where it ends and where it is announced.
  for (const oggetto_linea& o : l.oggetti)
    if (o.cella == l.rallentamenti[1].cella_inizio) {
      EXPECT_EQ(o.valori.back().testo, "1800 m");
    }
  EXPECT_FALSE(motivo_non_celle(s.celle));
  EXPECT_FALSE(motivo_non_servizio(s.servizio));
  EXPECT_FALSE(motivo_non_geometria(s.geometria));
}

TEST(OggettiLinea, ContentThatDoesNotFitItsKindIsRefusedWithAReason) {
  std::vector<cella> celle(32);
  celle[1].val1 = 25960;
  EXPECT_NE(motivo_non_celle(celle).value_or("").find("5121"), std::string::npos);
  celle[1].val1 = 5121;
  EXPECT_FALSE(motivo_non_celle(celle));
  celle[7].tipo = 99;
  EXPECT_NE(motivo_non_celle(celle).value_or("").find("cell 7 holds kind 99"), std::string::npos);
  EXPECT_TRUE(motivo_non_celle(std::vector<cella>(1)));

  std::vector<voce_servizio> servizio(87);
  EXPECT_NE(motivo_non_servizio(servizio).value_or("").find("610"), std::string::npos);
  servizio[85].intero1 = 610;
  EXPECT_FALSE(motivo_non_servizio(servizio));

  const valore_profilo zero = valore_profilo::da_intero(0), uno = valore_profilo::da_intero(1), reale = valore_profilo::da_reale(2), vuoto{};
  struct caso {
    std::vector<valore_profilo> x, y;
    bool valida;
  } casi[] = {
      {{zero, zero, reale, vuoto}, {zero, uno, reale, vuoto}, true},
      {{vuoto, vuoto, vuoto}, {vuoto, vuoto, vuoto}, true},  // a compile that never seeded the plan
      {{zero, zero, reale, vuoto}, {zero, zero, reale, vuoto}, false},
      {{zero, zero, vuoto, reale}, {zero, uno, vuoto, reale}, false},
      {{zero, zero, uno, vuoto}, {zero, uno, reale, vuoto}, false},
  };
  for (const caso& k : casi) {
    std::vector<valore_profilo> punti = k.x;
    punti.insert(punti.end(), k.y.begin(), k.y.end());
    EXPECT_EQ(!motivo_non_geometria(punti), k.valida) << motivo_non_geometria(punti).value_or("");
  }
}

TEST(OggettiLinea, KindsByTheirShortNames) {
  for (const std::string& k : chiavi_tipi()) EXPECT_EQ(chiave_tipo_cella(*tipo_da_chiave(k)), k);
  EXPECT_EQ(tipo_da_chiave("signal"), cella_segnale);
  EXPECT_FALSE(tipo_da_chiave("signals"));
  EXPECT_EQ(ore_minuti_secondi(29700), "08:15:00");
  EXPECT_EQ(ore_minuti_secondi(-61), "-00:01:01");
}

// Every stop cell of a long-named station refers to it; the listing names
// it once, in text and in JSON.
TEST(OggettiLinea, ARecordsNameIsListedOnce) {
  const scenario_compilato s = test::fermate_di_un_nome();
  const std::string& nome = s.servizio[1].nome;
  for (bool json : {false, true}) {
    filtro_elenco f;
    f.json = json;
    f.servizio = s.servizio;
    const std::string elenco = elenco_celle(s.celle, f);
    std::size_t occorrenze = 0;
    for (std::size_t p = elenco.find(nome); p != std::string::npos; p = elenco.find(nome, p + 1)) ++occorrenze;
    EXPECT_EQ(occorrenze, 2u) << "the first stop cell gives the name, as its label and as its value";
    // A few hundred bytes a cell, where each one naming it took 65 KB.
    EXPECT_LT(elenco.size(), 1000 * s.celle.size() + 2 * nome.size());
    EXPECT_TRUE(!json || test::json_valido(elenco));
  }
  const linea_letta l = leggi_linea(s.celle, s.servizio);
  EXPECT_EQ(l.oggetti[2].etichetta, "of station 1");
  EXPECT_EQ(l.oggetti[2].valori[1].testo, "as at cell 0");
}

}  // namespace
}  // namespace sc
