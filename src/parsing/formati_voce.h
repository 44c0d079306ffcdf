// The entries of the two descriptions: the test that recognises each one's
// key field, and, for the diagnostics, the key word as the writer spells it
// and the name of each value. The readers dispatch on these tests and the
// diagnostics use the same ones, so the two never differ.
#pragma once

#include <string_view>
#include <vector>

namespace sc {

enum class voce : unsigned char {
  lunghezza, progressiva_tre, progressiva_due, progressiva_uno, sfondo_uno, sfondo_due, sfondo_tre, ripetizione,
  pendenza, curva, montagna, indicatori, cartello,
  frenata, vetture, velocita, aderenza, orologio, sabbia, segnale, rallentamento, abbattimento, stazione,
};

struct formato_voce {
  voce tipo;
  const char* chiave;              // as the writer spells it
  std::vector<const char*> valori;  // what each value is
  const char* parole[2];            // the key words the field must contain
  bool maiuscole;                   // the test is case-exact
};

const formato_voce& formato(voce v);

// Whether the key field triggers the entry.
bool riconosce(voce v, std::string_view campo);

// The entries of the general section, of the line items and of the service
// description, in the order their tests are applied.
const std::vector<voce>& chiavi_generali();
const std::vector<voce>& chiavi_linea();
const std::vector<voce>& chiavi_servizio();

}  // namespace sc
