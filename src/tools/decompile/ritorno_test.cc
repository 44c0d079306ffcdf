// Round trips: descriptions compiled, decompiled and compiled again give the
// same bytes. The second compile here is the test's own, independent of the
// check the decompile makes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "test_support/compilazione.h"
#include "test_support/descrizioni.h"
#include "test_support/generatore_scenari.h"
#include "test_support/linea_grande.h"
#include "tools/decompile/decompila.h"
#include "tools/diff/differenze.h"

namespace sc {
namespace {

using test::carica_compilato;
using test::compila_in_memoria;
using test::compilazione;

// Decompiles and compiles again; "" when the bytes come back, else what
// differs and the descriptions on both sides. With `verifica` the
// decompile's own check must find the round trip exact too.
std::string ritorno(const compilazione& primo, const std::string& linea, const std::string& servizio, std::int32_t j, const std::string& scenario,
                    const std::string& treno, bool anche_verifica = true) {
  const scenario_compilato s = carica_compilato(primo, scenario, treno);
  const decompilazione d = decompila(s);
  if (d.con_piano != (j != 0)) return "the plan was lost";
  const compilazione secondo = compila_in_memoria(d.linea, d.servizio, j, scenario, treno);
  if (secondo.mostrato) return "the decompiled descriptions stop the compile";
  const bool uguali = secondo.file == primo.file;
  const bool verificata = !anche_verifica || verifica_decompilazione(s, d).esatta();
  // The status the decompile calls for is the one its descriptions end
  // with; files a clean compile wrote come back from a clean one, and a
  // stop the files show comes back as the same code.
  std::string esito;
  if ((secondo.codice != 0) != d.con_problemi) esito = "the descriptions end with code " + std::to_string(secondo.codice) + ", the decompile expects " + (d.con_problemi ? "a code" : "none") + "\n";
  if (primo.codice == 0 && secondo.codice != 0) esito += "a clean compile comes back with code " + std::to_string(secondo.codice) + "\n";
  if (d.fermata && d.codice_certo && d.codice != primo.codice && primo.codice < 11)
    esito += "the files show a stop at code " + std::to_string(d.codice) + ", the compile that wrote them recorded " + std::to_string(primo.codice) + "\n";
  if (uguali && verificata && esito.empty()) return "";
  std::string r = esito + "what differs (stored -> compiled back):\n";
  for (const differenza& x : differenze_scenari(s, carica_compilato(secondo, scenario, treno))) r += "  " + riga_differenza(x) + "\n";
  if (!verificata) r += "  the decompile's own check finds the round trip not exact\n";
  return r + "--- line description\n" + linea + "--- decompiled\n" + d.linea + "--- service description\n" + servizio + "--- decompiled\n" + d.servizio;
}

std::string ritorno(const std::string& linea, const std::string& servizio, std::int32_t j, const std::string& scenario, const std::string& treno) {
  const compilazione primo = compila_in_memoria(linea, servizio, j, scenario, treno);
  if (primo.mostrato) return "the descriptions stop the compile";
  return ritorno(primo, linea, servizio, j, scenario, treno);
}

std::uint64_t da_ambiente(const char* nome, std::uint64_t predefinito) {
  const char* v = std::getenv(nome);
  return v ? std::strtoull(v, nullptr, 10) : predefinito;
}

// The round trip of generated descriptions. SC_ROUND_TRIP_SEEDS raises the
// number of seeds for longer runs, SC_ROUND_TRIP_FIRST_SEED moves them on.
TEST(RitornoDecompilazione, GeneratedScenariosComeBackByteForByte) {
  const std::uint64_t semi = da_ambiente("SC_ROUND_TRIP_SEEDS", 2000), primo_seme = da_ambiente("SC_ROUND_TRIP_FIRST_SEED", 1);
  std::uint64_t saltati = 0;
  for (std::uint64_t seme = primo_seme; seme < primo_seme + semi; ++seme) {
    test::generatore_scenari g(seme);
    const test::descrizioni d = g.genera();
    const std::int32_t j = seme % 10 == 0 ? 0 : 1;
    const compilazione primo = compila_in_memoria(d.linea, d.servizio, j);
    // Every set of files a compile writes, whatever code it recorded.
    if (primo.mostrato || primo.file.empty()) {
      ++saltati;
      continue;
    }
    // The decompile's own check costs a third compile: one seed in eight.
    const std::string errore = ritorno(primo, d.linea, d.servizio, j, "Linea", "Treno", seme % 8 == 0);
    ASSERT_EQ(errore, "") << "seed " << seme << " (compile code " << primo.codice << "); rerun it with\n  SC_ROUND_TRIP_SEEDS=1 SC_ROUND_TRIP_FIRST_SEED=" << seme
                          << " ./build/scenario_tests --gtest_filter=RitornoDecompilazione.GeneratedScenariosComeBackByteForByte";
  }
  EXPECT_LT(saltati * 20, semi) << saltati << " of " << semi << " generated descriptions wrote no files";
}

// Files edited at random: the decompile still ends, with the closest
// descriptions and a list of what does not come back.
TEST(RitornoDecompilazione, FilesEditedAtRandomGiveTheClosestDescriptions) {
  const compilazione c = compila_in_memoria(test::linea_predefinita(), test::servizio_predefinito());
  const scenario_compilato originale = carica_compilato(c);
  std::uint64_t x = 88172645463325252ull;
  auto caso = [&](std::uint64_t n) {
    x ^= x << 13, x ^= x >> 7, x ^= x << 17;
    return x % n;
  };
  int esatte = 0;
  for (int prova = 0; prova < 300; ++prova) {
    scenario_compilato s = originale;
    for (int k = 0, n = int(caso(4)) + 1; k < n; ++k) {
      cella& z = s.celle[caso(s.celle.size())];
      voce_servizio& v = s.servizio[caso(s.servizio.size())];
      switch (caso(8)) {
        case 0: z.tipo = std::uint8_t(caso(16)); break;
        case 1: z.val1 = std::int16_t(caso(65536)); break;
        case 2: z.val6 = std::uint8_t(caso(256)); break;
        case 3: z.montagna = std::uint8_t(caso(5)); break;
        case 4: z.val2 = std::int16_t(caso(65536)), z.val4 = std::int16_t(caso(100)); break;
        case 5: v.valore2 = std::int32_t(caso(4000000000u)); break;
        case 6: v.valore3 = std::int32_t(caso(20000)) - 1000, v.tipo_voce = std::uint8_t(caso(40)); break;
        default: s.geometria[caso(s.geometria.size())].valore += 1; break;
      }
    }
    const decompilazione d = decompila(s);
    const verifica v = verifica_decompilazione(s, d);
    esatte += v.esatta();
    for (const differenza& r : v.differenze) EXPECT_FALSE(riga_diagnostica(s, r).empty());
  }
  EXPECT_LT(esatte, 300) << "some edits cannot come back";
}

TEST(RitornoDecompilazione, BuiltInScenario) {
  EXPECT_EQ(ritorno(test::linea_predefinita(), test::servizio_predefinito(), 1, "Vidaroz del Zavro", "Tersio"), "");
  EXPECT_EQ(ritorno(test::linea_predefinita(), test::servizio_predefinito(), 0, "Vidaroz del Zavro", "Tersio"), "");
}

TEST(RitornoDecompilazione, LargestLine) {
  const test::descrizioni d = test::linea_grande();
  EXPECT_EQ(ritorno(d.linea, d.servizio, 1, "Grande", "Treno").substr(0, 2000), "");
}

}  // namespace
}  // namespace sc
