// The table of diagnostics: for every event its severity, the format's code
// where there is one, the name of a warning (for -Wname, -Wno-name and
// -Werror=name) and whether it is on by default, and its text with typed
// placeholders. The only place that words a diagnostic.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "diagnostics/diagnostica.h"
#include "parsing/ascoltatore_lettura.h"

namespace sc {

enum class gravita { errore, avviso, nota };

struct scheda_diagnostica {
  diag id;
  gravita g;
  std::int32_t codice;  // the format's code; 0 for none
  const char* nome;     // a warning's name, kebab-case; nullptr for errors and notes
  bool attivo;          // a warning on by default
  // The text. %N is argument N; %tN an object with its article ("the signal
  // at 900 m", "a signal"); {N:one|more} agrees with number N; {N?yes|no}
  // chooses on whether argument N is given; [N:text] shows text only when
  // argument N is given.
  std::string testo;
  const char* spiegazione;  // for help: what a warning is about; "" for others
};

const std::vector<scheda_diagnostica>& tabella_diagnostiche();
const scheda_diagnostica& scheda_di(diag id);

inline gravita gravita_di(diag id) { return scheda_di(id).g; }
inline std::int32_t codice_di(diag id) { return scheda_di(id).codice; }

// The warnings by name, in the table's order (several ids may share one).
std::vector<std::string_view> nomi_avvisi();
// Whether `nome` names a warning.
bool avviso_esiste(std::string_view nome);
bool avviso_attivo_di_norma(std::string_view nome);

// The message of an event, in plain words, without place or code.
std::string messaggio(const diagnostica& d);

// The metres the event concerns: its own, or the first metres it names.
std::optional<std::int64_t> metri_di(const diagnostica& d);

// A value the stores work out from several fields, as a formula.
const char* testo_formula(formula f);

// Words the diagnostics share: an object in a sentence ("signal at 900 m",
// with its article "the signal at 900 m"), and a text from a description
// made safe for a terminal (control bytes escaped, cut at a sensible length).
std::string testo_oggetto(const oggetto_citato& o, bool articolo);
std::string testo_sicuro(std::string_view cp1252, std::size_t massimo = 60);
// "the signal at 950 m (cell 20) and a signal (cell 19)".
std::string elenco_oggetti(const std::vector<std::pair<oggetto_citato, std::int64_t>>& oggetti);

}  // namespace sc
