// What diff says about each kind of change.
#include "tools/diff/differenze.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support/compilazione.h"
#include "writers/scrittori.h"
#include "test_support/compilazione.h"
#include "test_support/descrizioni.h"

namespace sc {
namespace {

// The built-in scenario as the tools load it.
scenario_compilato predefinito() {
  return test::carica_compilato(test::compila_in_memoria(test::linea_predefinita(), test::servizio_predefinito(), 1, scenario_predefinito, treno_predefinito),
                                scenario_predefinito, treno_predefinito);
}

struct caso {
  const char* nome;
  void (*modifica)(scenario_compilato&);
  std::vector<const char*> righe;    // cell by cell (--cells)
  std::vector<const char*> oggetti;  // by the objects (diff's own listing)
};

class Differenze : public ::testing::TestWithParam<caso> {};

TEST_P(Differenze, SayWhatChangedWhereInTheWordsOfTheDescriptions) {
  const scenario_compilato a = predefinito();
  scenario_compilato b = a;
  GetParam().modifica(b);
  std::vector<std::string> righe;
  for (const differenza& d : differenze_scenari(a, b)) righe.push_back(riga_differenza(d));
  EXPECT_EQ(righe, std::vector<std::string>(GetParam().righe.begin(), GetParam().righe.end()));
  std::vector<std::string> oggetti;
  for (const differenza& d : differenze_oggetti(a, b)) oggetti.push_back(riga_differenza(d));
  EXPECT_EQ(oggetti, std::vector<std::string>(GetParam().oggetti.begin(), GetParam().oggetti.end()));
}

const caso casi[] = {
    {"nothing", [](scenario_compilato&) {}, {}, {}},
    {"a station's time", [](scenario_compilato& s) { s.servizio[3].codice += 60; }, {"station 3 \"BRUNEA\": time 11:44 -> 11:45"},
     {"station BRUNEA: time 11:44:00 -> 11:45:00"}},
    {"a station moved and renamed",
     [](scenario_compilato& s) {
       s.servizio[2].valore3 += 50;
       s.servizio[2].nome = "VALLE";
     },
     {"station 2 \"VALDISPRETO\": position 3300 -> 3350, name \"VALDISPRETO\" -> \"VALLE\""},
     {"station VALDISPRETO: removed", "station VALLE: added (at 3350 m, time 11:40:00)"}},
    {"a station added", [](scenario_compilato& s) { s.servizio[6] = s.servizio[5], s.servizio[6].codice += 30; },
     {"station 6 \"PIANOSCA\": added (position 7100, time 11:52:30)"}, {"station PIANOSCA: added (at 7100 m, time 11:52:30)"}},
    {"a sign text", [](scenario_compilato& s) { s.servizio[80].nome = "(VALLE)"; }, {"sign text 80: text \"(VALDISPRETO)\" -> \"(VALLE)\""},
     {"sign board at 2800 m: text (VALDISPRETO) -> (VALLE)"}},
    {"the clock and the train", [](scenario_compilato& s) {
       s.servizio[voce_corsa].intero4 = 35;
       s.servizio[voce_treno].valore3 = 5;
     },
     {"train data: cars 4 -> 5", "run data: clock 11:34:39 -> 11:35:39"}, {"train data: cars 4 -> 5", "run data: clock 11:34:39 -> 11:35:39"}},
    {"a gradient over a stretch",
     [](scenario_compilato& s) {
       for (int c = 30; c <= 51; ++c) s.celle[std::size_t(c)].val8 = 91;
     },
     {"metres 1500-2599 (cells 30-51): gradient -8 -> -9"}, {"gradient at metres 1500-2599: -8 ‰ -> -9 ‰"}},
    {"a signal's time and a new mark",
     [](scenario_compilato& s) {
       s.celle[81].val5 = 200;
       s.celle[40].tipo = cella_abbattimento, s.celle[40].val1 = 180;
     },
     {"metres 2000-2049 (cell 40): nothing -> abatement mark 180", "metres 4050-4099 (cell 81): signal: time 240 -> 200"},
     {"abatement mark at 2000 m: added (180)", "signal at 4000 m: time tempo 240 -> 200"}},
    {"a sign board gone", [](scenario_compilato& s) { s.celle[57] = cella{0, 0, 0, 0, 0, 0, 0, 0, s.celle[57].val7, s.celle[57].val8, s.celle[57].val9}; },
     {"metres 2850-2899 (cell 57): sign board \"(VALDISPRETO)\" -> nothing"}, {"sign board at 2800 m: removed"}},
    {"the speed limit and the format marker",
     [](scenario_compilato& s) {
       s.celle[1].val1 = 0;
       s.celle[100].val7 = 13;
     },
     {"metres 50-99 (cell 1): format marker 5121 -> 0", "metres 5000-5049 (cell 100): speed limit 70 km/h -> 65 km/h"},
     {"speed limit at metres 5000-5049: 70 km/h -> 65 km/h", "metres 50-99 (cell 1): format marker 5121 -> 0"}},
    {"the plan",
     [](scenario_compilato& s) {
       s.geometria[2000].valore += 1;
       s.geometria[16001 + 2500].valore += 1;
     },
     {"plan: metres 2000-2500 differ"}, {"plan: metres 2000-2500 differ"}},
    {"a longer track",
     [](scenario_compilato& s) {
       s.celle.push_back({});
       s.geometria.clear();
     },
     {"metres 16050-16099 (cell 321): track 321 cells -> 322 cells", "plan: only in the first scenario"},
     {"gradient at metres 16050-16099: nothing -> -100 ‰", "speed limit at metres 16050-16099: nothing -> 0 km/h", "adhesion at metres 16050-16099: nothing -> 0",
      "metres 16050-16099 (cell 321): track 321 cells -> 322 cells", "plan: only in the first scenario"}},
    {"a signal moved, its approach marks with it",
     [](scenario_compilato& s) {
       std::swap(s.celle[53], s.celle[54]);
       for (int c : {45, 47, 49, 51}) std::swap(s.celle[std::size_t(c)].val6, s.celle[std::size_t(c + 1)].val6);
     },
     {"metres 2250-2299 (cell 45): approach mark 34 -> 0", "metres 2300-2349 (cell 46): approach mark 0 -> 34",
      "metres 2350-2399 (cell 47): approach mark 33 -> 0", "metres 2400-2449 (cell 48): approach mark 0 -> 33",
      "metres 2450-2499 (cell 49): approach mark 32 -> 0", "metres 2500-2549 (cell 50): approach mark 0 -> 32",
      "metres 2550-2599 (cell 51): approach mark 31 -> 0", "metres 2600-2649 (cell 52): approach mark 0 -> 31",
      "metres 2650-2699 (cell 53): signal (val1 30, val2 10, val3 10, val4 3) -> nothing",
      "metres 2700-2749 (cell 54): nothing -> signal (val1 30, val2 10, val3 10, val4 3)"},
     {"signal moved 2600 -> 2650 m"}},
};

INSTANTIATE_TEST_SUITE_P(Diff, Differenze, ::testing::ValuesIn(casi), [](const auto& i) { return test::nome_caso(i.param.nome); });

}  // namespace
}  // namespace sc
