#include "diagnostics/diagnostiche.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <tuple>

#include "model/testo.h"
#include "tools/cli/testo_sicuro.h"

namespace sc {

namespace {

// The message with %0, %1 ... replaced by the event's values, and each
// {N:word|words} by the form that agrees with value N.
std::string riempi(const char* modello, const std::vector<std::string>& arg) {
  std::string r;
  for (const char* p = modello; *p; ++p) {
    if (*p == '%' && p[1] >= '0' && p[1] <= '9') {
      const std::size_t i = std::size_t(p[1] - '0');
      if (i < arg.size()) r += arg[i];
      ++p;
    } else if (*p == '{' && p[1] >= '0' && p[1] <= '9' && p[2] == ':') {
      const std::size_t i = std::size_t(p[1] - '0');
      const char* barra = std::strchr(p, '|');
      const char* fine = std::strchr(p, '}');
      const bool uno = i < arg.size() && arg[i] == "1";
      r.append(uno ? p + 3 : barra + 1, uno ? barra : fine);
      p = fine;
    } else {
      r += *p;
    }
  }
  return r;
}

std::string a(const diagnostica& d, std::size_t i) { return i < d.arg.size() ? d.arg[i] : ""; }

const char* testo_di(const diagnostica& d) {
  switch (d.id) {
    case diag::lunghezza_eccessiva: return "line length %0 m is above the largest, 1000000 m";
    case diag::progressiva_non_multipla: return "\"%0\": its %1 value %2 is not a multiple of 50; use %3 or %4";
    case diag::ripetizione_primo: return "the first signal-repetition distance %0 is not a multiple of 50; use %1 or %2";
    case diag::ripetizione_secondo: return "the second signal-repetition distance %0 is not a multiple of 50; use %1 or %2";
    case diag::ripetizione_codici:
      return "the signal-repetition key field \"%0\" holds neither 4 nor 9, the number of codes: write \"ripetizione segnali 4 codici\" or "
             "\"ripetizione segnali 9 codici\"";
    case diag::cartello_occupato:
    case diag::abbattimento_occupato:
    case diag::segnale_occupato:
    case diag::inizio_occupato:
    case diag::indicatore_occupato: return "%0 goes into cell %1 (metres %2), which already holds %3";
    case diag::avviso_occupato:
      return "%0: its warning board at %4 m, 1200 m before its start, goes into cell %1 (metres %2), which already holds %3";
    case diag::fine_occupata: return "%0: its end at %4 m goes into cell %1 (metres %2), which already holds %3";
    case diag::sequenza_occupata:
      return "%0: the four cells before its warning board (metres %4) must be free for the warning sequence, but cell %1 holds %3; "
             "signals and boards written at %5 m land in them";
    case diag::stazione_posizione: return "%0: position %1 m is not a multiple of 50 m; use %2 or %3";
    case diag::stazione_lunghezza: return "%0: length %1 m is not a multiple of 100 m; use %2 or %3";
    case diag::stazioni_troppe:
      return "%0 is one station too many: stations take the service records from 1 upwards and the %2 sign boards take them from "
             "80 downwards, so at most %1 stations fit";
    case diag::segnale_senza_spazio: return "%0, %1 cells before %2, has no free cell in front of it for its mark: %3";
    case diag::approccio_pieno: return "%0: no free cell for the approach mark %1 to %2 cells before it, at metres %3: %4";
    case diag::ripetizione_piena: return "%0: no free cell for the mark repeated every 400 m, due at metres %1, nor beside it: %2";
    case diag::rallentamento_senza_fine:
      return "%0 has no end cell after it (its end was overwritten or lies past the track): the repeated marks run to the last cell";
    case diag::uscita_piena: return "%0, the first signal after the end of %1, has no free cell in front of it for its mark: %2";
    case diag::fuori_linea: return "%0 lies outside the track, which takes positions up to %2 m";
    case diag::stazioni_vicine:
      return "%0 starts at %1 m, %2 m after the end of station %3 at %4 m; stations need at least 350 m between them: move it to "
             "%5 m or later";
    case diag::stazione_troppo_presto: return "%0 ends at %1 m; a station must end after 100 m";
    case diag::numero_fuori_campo: return "%0 of the \"%1\" entry: %2 does not fit its field (%3 to %4)";
    case diag::velocita_fuori_byte: return "speed %0 km/h: the track stores speed / 5 in one byte, at most 1277 km/h";
    case diag::indicatore_fuori_16: return "%0: a speed value works out at %1, past the 16 bits the track stores (-32768 to 32767)";
    case diag::valori_troncati: return "\"%0\" needs %1 values; the file ends after %2";
    case diag::senza_lunghezza:
      return "no \"lunghezza percorso\" entry before the line items: the track cannot be made; add \"lunghezza percorso, METRES\" to "
             "the general section";
    case diag::lunghezza_senza_pista: return "line length %0 m leaves no track: with the 7000 m run-out it must be at least -7000 m";
    case diag::pista_senza_marcatori:
      return "line length %0 m leaves a track of %1 {1:cell|cells}; the format markers need cell 1, so the length must be at least -6974 m";
    case diag::troppi_cartelli: return "more than 80 sign boards: their texts take the service records from 80 down to 1";
    case diag::troppe_montagne: return "more than 80 mountain ranges: the lists hold 80";
    case diag::testo_troppo_lungo: return "the %0 is %1 bytes long; the service data file stores at most 65535";
    case diag::cella_fuori_pista:
      return "%0 reaches cell %1 (metres %2), outside the track, whose last cell is %3 (up to metre %4)";
    case diag::somma_fuori_32: return "%0: a value works out at %1, past the 32 bits it is stored in";
    case diag::servizio_mancante: return "the service description is missing";
    case diag::guasto_generico: return "the description could not be read: %0";
    case diag::linea_mancante: return "the line description does not exist";
    case diag::generale_mancante:
      if (!a(d, 0).empty())
        return "no \"[generale]\" section marker in the line description, so nothing is read; did you mean \"[generale]\" here "
               "instead of \"%0\"?";
      return "no \"[generale]\" section marker in the line description: nothing is read";
    case diag::curva_senza_classe: return "curve key field \"%0\" has no class digit: the classes are 1 to 6";
    case diag::curva_oltre_milione: return "curve at %0 m of %1 m would end at metre %2, past metre 1000000";
    case diag::slot_formato:
      return "%0 stands in cell 1, whose first value the compiler keeps for its format marker: objects must go into cell 2 or later "
             "(point items at 25 m or later, abatement marks at 75 m or later)";
    case diag::slot_gara:
      return "%0 stands in cell 1, whose second value the compiler keeps for the competition code: objects must go into cell 2 or "
             "later (point items at 25 m or later, abatement marks at 75 m or later)";
    case diag::carattere_senza_cp1252:
      return "character %0 has no Windows-1252 byte, so the simulator cannot show it: replace it, or write the file in "
             "Windows-1252";
    case diag::non_riprodotto: return "%0: not reproduced: %1";
    case diag::chiave_sconosciuta:
      if (a(d, 2) == "comment") return "the format has no comments: \"%0\" is read as a key field, matches no entry and is dropped";
      if (!a(d, 1).empty()) return "unknown key word \"%0\"; did you mean \"%1\"? The entry is dropped and its values are read as key fields";
      return "unknown key word \"%0\": the entry is dropped and its values are read as key fields";
    case diag::campo_in_piu:
      return "extra field \"%0\" after the %2 {2:value|values} of the \"%1\" entry: it is read as a key field and dropped";
    case diag::chiave_maiuscola:
      return "\"%0\" is not recognised: the key words of the general section are case-exact; write \"%1\"";
    case diag::chiave_fuori_sezione:
      if (a(d, 1) == "general entry")
        return "\"%0\" is a general entry, but the general section ended at \"%2\" (line %3): it is not read here; move it above that line";
      return "\"%0\" is a line item, but the general section, which runs to the first header, reads no line items: move it below the "
             "first header";
    case diag::chiave_altro_file: return "\"%0\" belongs in the %1 description: it is not read here";
    case diag::chiave_disabilitata: return "the \"-\" in key field \"%0\" disables it, so the entry is dropped; write \"%1\"";
    case diag::chiave_in_testo:
      return "key field \"%0\" is read as a \"%1\" entry because it contains %2; the format has no comments";
    case diag::chiave_multipla: return "key field \"%0\" triggers both a \"%1\" and a \"%2\" entry, each reading values of its own";
    case diag::testo_per_numero: return "%0 of the \"%1\" entry: \"%2\" is not a number and is read as 0";
    case diag::valori_a_capo:
      if (!a(d, 5).empty())
        return "the \"%0\" entry has %1 {1:value|values} on its line but needs %2: its %3 is taken from line %4, and the \"%5\" entry "
               "written there is lost";
      return "the \"%0\" entry has %1 {1:value|values} on its line but needs %2: its %3 is taken from line %4";
    case diag::lato_curva:
      if (a(d, 1) == "d") return "curve key field \"%0\" holds an \"s\", so the curve turns left although its side letter is d";
      return "curve side \"%1\" in \"%0\" is neither d (right) nor s (left): the curve turns %2";
    case diag::classe_curva_ambigua:
      return "curve key field \"%0\" holds several class digits: the lowest of them gives the class";
    case diag::curva_sovrapposta:
      return "curve at %0 m starts before metre %1, where the previous curve ended: only metres %2 to %3 bend (curves are laid in "
             "the order they are written)";
    case diag::curva_nulla: return "curve at %0 m ends at metre %1, not after the previous curve's end at metre %2: it adds nothing";
    case diag::curva_tagliata: return "%0 ends at metre %1, past the track's last metre %2: it bends only up to there";
    case diag::fuori_ordine:
      return "%0 is not after the previous change at %1 m: changes are not sorted, so it writes %2 {2:cell|cells} at metres %3 with the "
             "value then in force";
    case diag::oltre_fine_linea: return "%0 lies beyond the line's end at %2 m, in the run-out the track carries after it (up to metre %3)";
    case diag::sequenza_senza_avviso:
      return "%0 asks for the warning sequence, but a restriction starting at 1500 m or less gets no warning board and no sequence";
    case diag::cella_sostituita:
      return "the stop cell of %0 is cell %1 (metres %2), and it replaces %3 there: stations write their stop cell over "
             "whatever stands in it";
    case diag::ora_impossibile: return "%0 %1 is not a time of day; it counts as %2";
    case diag::tempo_ignorato: return "%0: its time %1 is not stored: a signal keeps its time only when sx is 2 (here %2)";
    case diag::rallentamento_senza_avviso: return "%0 gets no warning board: only restrictions starting after 1500 m get one";
    case diag::marche_sovrascritte:
      return "%0 writes its approach marks over those of another object in cells %1 (stations leave 81 to 84, signals their own codes)";
    case diag::nome_da_file: return "the %0 name \"%1\" comes from this file's name, which does not end in %2; give %3 NAME to choose it";
    case diag::valore_ridotto: return "%0: %1 = %2 does not fit %4 bits; the track stores %3";
    case diag::testo_utf8:
      return "this file looks like UTF-8 (\"%0\"), but the simulator reads Windows-1252: each such character would be stored as "
             "%1 bytes; use --input-encoding utf-8 to convert it";
    case diag::servizio_senza_generale: return "no \"[generale]\" section marker: nothing in this file is read";
    case diag::voce_disabilitata: return "entry disabled by its leading \"-\": \"%0\" is dropped and its values are read as key fields";
    case diag::montagna_tipo_3:
      return "%0 starts %1 m after the previous range ends: within 150 m a range becomes type 3 (it was given type %2)";
    case diag::tempo_101: return "%0: a time of %1 becomes 101 (times from 1 to 100 are raised to 101)";
    case diag::lettura_interrotta:
      return "the service description is read no further: the earlier error [15] in the line description stops it at its first "
             "signal or restriction, %0";
    case diag::nota_occupante: return "%0 is placed here, in cell %1 (metres %2)";
    case diag::nota_valore: return "its %0 is taken from here: \"%1\"";
    case diag::nota_stazione_precedente: return "%0 ends at %1 m";
    case diag::nota_voce: return "%0 is written here";
  }
  return "%0";
}

const char* nome_gravita(gravita g) {
  switch (g) {
    case gravita::errore: return "error";
    case gravita::avviso: return "warning";
    case gravita::nota: return "note";
  }
  return "";
}

}  // namespace

gravita gravita_di(diag id) {
  if (id < diag::chiave_sconosciuta) return gravita::errore;
  if (id < diag::voce_disabilitata) return gravita::avviso;
  return gravita::nota;
}

std::string messaggio(const diagnostica& d) {
  // The values are Windows-1252 text from the descriptions.
  std::vector<std::string> arg;
  for (const std::string& x : d.arg) arg.push_back(cp1252_a_utf8(x));
  return riempi(testo_di(d), arg);
}

void resa_diagnostiche::file(const std::string& nome, const std::string& percorso, std::string testo) {
  file_[nome] = {percorso, std::move(testo), int(file_.size())};
}

void resa_diagnostiche::riporta(const diagnostica& d) { eventi_.push_back(d); }

// By file, in the order the files were named, then by line and column; the walk's
// problems and anything else meet later are read where they belong.
std::vector<diagnostica> resa_diagnostiche::in_ordine() const {
  std::vector<diagnostica> r = eventi_;
  auto chiave = [&](const diagnostica& d) {
    auto it = file_.find(d.dove.file);
    const int f = it != file_.end() ? it->second.ordine : d.dove.noto() ? int(file_.size()) : int(file_.size()) + 1;
    return std::tuple{f, d.dove.riga, d.dove.colonna};
  };
  std::stable_sort(r.begin(), r.end(), [&](const diagnostica& a, const diagnostica& b) { return chiave(a) < chiave(b); });
  return r;
}

gravita resa_diagnostiche::effettiva(const diagnostica& d) const {
  gravita g = gravita_di(d.id);
  return g == gravita::avviso && opzioni_.avvisi_come_errori ? gravita::errore : g;
}

int resa_diagnostiche::conta(gravita g) const {
  return int(std::count_if(eventi_.begin(), eventi_.end(), [&](const diagnostica& d) { return effettiva(d) == g; }));
}

int resa_diagnostiche::errori() const { return conta(gravita::errore); }
int resa_diagnostiche::avvisi() const { return conta(gravita::avviso); }

void resa_diagnostiche::stampa_testo(std::ostream& out, const diagnostica& d, bool nota) const {
  const gravita g = nota ? gravita::nota : effettiva(d);
  auto it = file_.find(d.dove.file);
  const std::string percorso = it != file_.end() ? it->second.percorso : d.dove.file;
  if (!percorso.empty()) {
    out << percorso << ":";
    if (d.dove.riga > 0) out << d.dove.riga << ":" << d.dove.colonna << ":";
    out << " ";
  } else {
    out << "scenario-compiler: ";
  }
  out << nome_gravita(g) << ": " << messaggio(d);
  if (d.codice > 0) out << " [" << d.codice << "]";
  else if (g == gravita::errore && gravita_di(d.id) == gravita::avviso && !nota) out << " [--warnings-as-errors]";
  out << "\n";
  // The source line, with a caret under the field. The text is 8-bit, a
  // character a byte, so the caret's column is the field's byte offset.
  if (opzioni_.sorgente && it != file_.end() && d.dove.riga > 0) {
    const std::string& t = it->second.testo;
    const std::size_t inizio = d.dove.inizio - std::size_t(d.dove.colonna - 1);
    std::size_t fine = t.find_first_of("\r\n", inizio);
    if (fine == std::string::npos) fine = t.size();
    out << cp1252_a_utf8(std::string_view(t).substr(inizio, fine - inizio)) << "\n";
    std::string segno;
    for (std::size_t i = inizio; i < d.dove.inizio; ++i) segno += t[i] == '\t' ? '\t' : ' ';
    const std::size_t lungo = std::max<std::size_t>(1, std::min(d.dove.fine, fine) - std::min(d.dove.inizio, fine));
    segno += "^" + std::string(lungo - 1, '~');
    out << segno << "\n";
  }
  for (const diagnostica& n : d.note) stampa_testo(out, n, true);
}

std::string resa_diagnostiche::json(const diagnostica& d, bool nota) const {
  auto it = file_.find(d.dove.file);
  const std::string percorso = it != file_.end() ? it->second.percorso : d.dove.file;
  std::string r = "{\"file\": " + (percorso.empty() ? std::string("null") : json_stringa(percorso));
  r += ", \"line\": " + (d.dove.riga > 0 ? std::to_string(d.dove.riga) : "null");
  r += ", \"column\": " + (d.dove.riga > 0 ? std::to_string(d.dove.colonna) : "null");
  r += ", \"severity\": \"" + std::string(nome_gravita(nota ? gravita::nota : effettiva(d))) + "\"";
  r += ", \"code\": " + (d.codice > 0 ? std::to_string(d.codice) : "null");
  r += ", \"message\": " + json_stringa(messaggio(d));
  r += ", \"metres\": " + (d.metri ? std::to_string(*d.metri) : "null");
  r += ", \"notes\": [";
  for (std::size_t i = 0; i < d.note.size(); ++i) r += (i ? ", " : "") + json(d.note[i], true);
  return r + "]}";
}

void resa_diagnostiche::stampa(std::ostream& out) const {
  if (opzioni_.json) {
    out << "{\"diagnostics\": [";
    const std::vector<diagnostica> ordinati = in_ordine();
    for (std::size_t i = 0; i < ordinati.size(); ++i) out << (i ? ",\n  " : "\n  ") << json(ordinati[i], false);
    out << (eventi_.empty() ? "" : "\n") << "], \"errors\": " << errori() << ", \"warnings\": " << avvisi() << "}\n";
    return;
  }
  for (const diagnostica& d : in_ordine()) stampa_testo(out, d, false);
  const int e = errori(), w = avvisi();
  if (e + w == 0) return;
  auto conta = [](int n, const char* cosa) { return std::to_string(n) + " " + cosa + (n == 1 ? "" : "s"); };
  if (e && w) out << conta(e, "error") << ", " << conta(w, "warning") << "\n";
  else if (e) out << conta(e, "error") << "\n";
  else out << conta(w, "warning") << "\n";
}

}  // namespace sc
