#include "tools/cli/riferimento.h"

#include <limits>
#include <sstream>

#include "diagnostics/tabella.h"
#include "model/record.h"
#include "model/regole.h"
#include "model/tipi_cella.h"

namespace sc {

const char* const argomenti_aiuto = "COMMAND, an entry's key word (stazione, segnale ...), format, cells or warnings";

namespace {

constexpr std::size_t larghezza = 78;

// Words filled into lines after `rientro` columns, the first line after `testa`.
void riempi(std::ostringstream& r, const std::string& testa, std::string_view testo, std::size_t rientro) {
  r << testa;
  std::size_t colonna = testa.size();
  std::istringstream parole{std::string(testo)};
  bool primo = true;
  for (std::string p; parole >> p;) {
    if (!primo && colonna + 1 + p.size() > larghezza) {
      r << "\n" << std::string(rientro, ' ');
      colonna = rientro;
    } else if (!primo) {
      r << " ";
      ++colonna;
    }
    r << p;
    colonna += p.size();
    primo = false;
  }
  r << "\n";
}

std::string colonna(std::string s, std::size_t w) { return s.size() < w ? s + std::string(w - s.size(), ' ') : s + " "; }

const char* dove(const voce_formato& f) {
  switch (f.sezione) {
    case sezione_voce::generale: return "the line description (NAME_linea.txt), general section: after \"[generale]\", up to the first header";
    case sezione_voce::voci_linea: return "the line description (NAME_linea.txt), after the general section";
    case sezione_voce::servizio: return "the service description (NAME_TRAIN-.txt), after \"[generale]\"";
  }
  return "";
}

std::string riconoscimento(const voce_formato& f) {
  std::string r = "the key field contains \"" + std::string(f.parole[0]) + "\"";
  if (f.parole[1]) r += " and \"" + std::string(f.parole[1]) + "\"";
  return r + (f.maiuscole ? ", letter case exact" : ", in any letter case");
}

// What a field takes as it is read: a number outside its reading's range
// stops the reading.
std::string lettura(const campo_voce& c) {
  const std::string unita = c.unita[0] ? std::string(", in ") + c.unita : "";
  switch (c.lettura) {
    case lettura_campo::i32: return "a whole number" + unita;
    case lettura_campo::i16: return "a whole number" + unita + ", -32768 to 32767 (beyond, the reading fails: error 25)";
    case lettura_campo::u8: return "a whole number" + unita + ", 0 to 255 (beyond, the reading fails: error 25)";
    case lettura_campo::testo: return "text, up to a comma or the line's end, or between double quotes";
  }
  return "";
}

// The field keeps its value as written only within a narrower range.
bool ristretto(const campo_voce& c) {
  const auto [lo, hi] = c.lettura == lettura_campo::i16 ? std::pair<std::int64_t, std::int64_t>{-32768, 32767}
                        : c.lettura == lettura_campo::u8 ? std::pair<std::int64_t, std::int64_t>{0, 255}
                                                          : std::pair<std::int64_t, std::int64_t>{std::numeric_limits<std::int32_t>::min(),
                                                                                                  std::numeric_limits<std::int32_t>::max()};
  return c.lettura != lettura_campo::testo && (c.minimo > lo || c.massimo < hi);
}

}  // namespace

std::string intervallo_campo(const campo_voce& c) {
  const std::string u = c.unita[0] ? std::string(std::string_view(c.unita) == "%" ? "" : " ") + c.unita : "";
  if (c.lettura == lettura_campo::testo) return "up to " + std::to_string(c.massimo) + " bytes";
  return std::to_string(c.minimo) + " to " + std::to_string(c.massimo) + u;
}

std::string riferimento_campo(voce v, std::size_t i) {
  const campo_voce& c = formato(v).campi[i];
  std::ostringstream r;
  const std::string rientro(7, ' ');
  riempi(r, rientro + "value:    ", lettura(c), 17);
  std::string memoria = c.memoria;
  if (ristretto(c)) memoria += (memoria.empty() ? "" : "; ") + std::string("kept as written from ") + intervallo_campo(c);
  if (!memoria.empty()) riempi(r, rientro + "stored:   ", memoria, 17);
  if (!c.controlli.empty()) riempi(r, rientro + "checks:   ", c.controlli, 17);
  if (c.vuoto_convenzionale) riempi(r, rientro + "blank:    ", "left blank by convention, read as 0", 17);
  riempi(r, rientro + "meaning:  ", c.significato, 17);
  return r.str();
}

std::string riferimento_voce(voce v) {
  const voce_formato& f = formato(v);
  std::ostringstream r;
  r << f.chiave << " - " << f.descrizione << "\n\n";
  riempi(r, "  read in:     ", dove(f), 15);
  riempi(r, "  recognised:  ", riconoscimento(f), 15);
  if (!f.scelte_chiave.empty()) {
    std::string scelte;
    for (std::string_view s : f.scelte_chiave) scelte += std::string(scelte.empty() ? "" : ", ") + std::string(s);
    riempi(r, "  key word:    ", "holds one of " + scelte, 15);
  }
  r << "\nFIELDS, in order after the key word\n";
  for (std::size_t i = 0; i < f.campi.size(); ++i) {
    const std::string n = std::to_string(i + 1);
    r << "  " << std::string(3 - n.size(), ' ') << n << "  " << nome_campo(f.campi[i]) << "\n" << riferimento_campo(v, i);
  }
  r << "\nEXAMPLE\n  " << f.esempio << "\n";
  return r.str();
}

std::string riferimento_formato() {
  std::ostringstream r;
  auto sezione = [&](const char* titolo, sezione_voce s) {
    r << titolo << "\n";
    for (voce v : chiavi_di(s)) riempi(r, "  " + colonna(formato(v).chiave, 30), formato(v).descrizione, 32);
    r << "\n";
  };
  riempi(r, "",
         "Both descriptions are Windows-1252 text read field by field: fields end at a comma or a line end, and lines carry no "
         "meaning of their own. Each entry is a key word followed by its values. A key field holding \"-\" is disabled.",
         0);
  r << "\n";
  sezione("LINE DESCRIPTION, general section (after \"[generale]\", up to the first header)", sezione_voce::generale);
  sezione("LINE DESCRIPTION, line items (after the first header, any order)", sezione_voce::voci_linea);
  sezione("SERVICE DESCRIPTION (after \"[generale]\", any order)", sezione_voce::servizio);
  r << "\"scenario-compiler help ENTRY\" shows the fields of one entry, \"help cells\" the kinds of track cell.\n";
  return r.str();
}

std::string riferimento_celle() {
  std::ostringstream r;
  riempi(r, "",
         "Every compiled track holds one " + std::to_string(byte_cella) + "-byte cell per " + std::to_string(regole::metri_cella) +
             " m, the line and its " + std::to_string(regole::coda_linea) +
             " m run-out. A cell holds one object, of one of these kinds, and the layers that every cell carries: speed limit, "
             "gradient, adhesion, mountain scenery and approach marks.",
         0);
  r << "\n";
  for (const tipo_cella_info& t : tabella_tipi_cella()) {
    r << "  " << colonna(std::to_string(t.tipo), 4) << colonna(t.nome, 28) << "--kind " << t.chiave << "\n";
    if (t.da) r << "      written by the \"" << formato(*t.da).chiave << "\" entry\n";
    else r << "      written by the placement walk\n";
    for (std::size_t i = 0; i < t.valori.size(); ++i)
      r << "      val" << i + 1 << ": " << t.valori[i].nome << (t.valori[i].nome_formato ? std::string(" (") + t.valori[i].nome_formato + ")" : "") << "\n";
  }
  return r.str();
}

std::string riferimento_avvisi() {
  std::ostringstream r;
  riempi(r, "", "Every warning ends with its name, as [-WNAME]. -Wno-NAME turns one off, -WNAME turns one on, -Werror=NAME "
               "counts it as an error; --warnings-as-errors counts them all.", 0);
  r << "\n";
  for (std::string_view n : nomi_avvisi()) {
    std::string spiegazione;
    for (const scheda_diagnostica& s : tabella_diagnostiche())
      if (s.nome && n == s.nome && s.spiegazione[0]) spiegazione = s.spiegazione;
    const std::string stato = avviso_attivo_di_norma(n) ? "" : " (off by default)";
    riempi(r, "  " + colonna("-W" + std::string(n), 24), spiegazione + stato, 26);
  }
  return r.str();
}

}  // namespace sc
