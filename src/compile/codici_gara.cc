#include "compile/codici_gara.h"

#include <string>
#include <string_view>

#include "model/modello.h"
#include "model/testo.h"

namespace sc {

namespace {

constexpr std::string_view riempimento = "ppqqrrssttuuvvzzhhkkwwxxyy";
constexpr int caratteri_contati = 25;

// Train name, then scenario name, lower case, then the padding: never
// shorter than the characters counted.
std::string testo_gara(const modello& m) {
  return minuscolo_cp1252(m.servizio[voce_corsa].nome + m.servizio[voce_scenario].nome) +
         std::string(riempimento);
}

}  // namespace

std::int32_t codice_gara_st(const modello& m) {
  std::string t = testo_gara(m);
  std::int32_t somma = 0;
  for (int i = 0; i < caratteri_contati; ++i) somma += (i + 1) * static_cast<unsigned char>(t[std::size_t(i)]);
  return somma;
}

std::int16_t codice_gara_og(const modello& m) {
  std::string t = testo_gara(m);
  std::int16_t somma = 0;
  for (int i = 0; i < caratteri_contati; ++i) somma = std::int16_t(somma + static_cast<unsigned char>(t[std::size_t(i)]));
  return somma;
}

}  // namespace sc
