#include "diagnostics/tabella.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "model/regole.h"
#include "model/testo.h"
#include "model/tipi_cella.h"

namespace sc {

namespace {

using namespace regole;
using g = gravita;

std::string n(std::int64_t v) { return std::to_string(v); }

// The first position of a point item, and of a fill or mark, that lands
// past cell 1: where objects may begin.
std::string primo_punto() { return n(mappati_in(cella_marcatori, aggancio::punto).a + 1); }
std::string primo_riempimento() { return n(mappati_in(cella_marcatori, aggancio::riempimento).a + 1); }

std::vector<scheda_diagnostica> crea() {
  const std::string cinquanta = n(multiplo_posizione);
  const std::string cella2 = "objects must go into cell " + n(cella_marcatori + 1) + " or later (point items at " + primo_punto() +
                             " m or later, abatement marks at " + primo_riempimento() + " m or later)";
  const std::string occupata = "%0 goes into cell %1 (metres %2), which already holds %t3";
  const std::string riletti = "the entry is dropped and its values are read as key fields";
  return {
      // ---------------------------------------------------------------- errors with a code
      {diag::lunghezza_eccessiva, g::errore, 1, nullptr, true, "line length %0 m is above the largest, " + n(lunghezza_massima) + " m", ""},
      {diag::progressiva_non_multipla, g::errore, 2, nullptr, true, "\"%0\": its %1 %2 is not a multiple of " + cinquanta + "; use %3 or %4", ""},
      {diag::ripetizione_primo, g::errore, 3, nullptr, true, "the signal repetition's %0 %1 is not a multiple of " + cinquanta + "; use %2 or %3", ""},
      {diag::ripetizione_secondo, g::errore, 4, nullptr, true, "the signal repetition's %0 %1 is not a multiple of " + cinquanta + "; use %2 or %3", ""},
      {diag::ripetizione_codici, g::errore, 5, nullptr, true,
       "the signal-repetition key field \"%0\" holds neither 4 nor 9, the number of codes: write \"ripetizione segnali 4 codici\" or "
       "\"ripetizione segnali 9 codici\"",
       ""},
      {diag::cartello_occupato, g::errore, 6, nullptr, true, occupata, ""},
      {diag::abbattimento_occupato, g::errore, 7, nullptr, true, occupata, ""},
      {diag::stazione_posizione, g::errore, 8, nullptr, true, "%0: position %1 m is not a multiple of " + cinquanta + " m; use %2 or %3", ""},
      {diag::stazione_lunghezza, g::errore, 9, nullptr, true,
       "%0: length %1 m is not a multiple of " + n(multiplo_lunghezza_stazione) + " m; use %2 or %3", ""},
      {diag::stazioni_troppe, g::errore, 10, nullptr, true,
       "%0 is one station too many: stations take the service records from 1 upwards and the %2 sign {2:board takes|boards take} "
       "them from " + n(prima_voce_cartelli) + " downwards, so at most %1 stations fit",
       ""},
      {diag::segnale_senza_spazio, g::errore, 11, nullptr, true, "%t0, %1 cells before %t2, has no free cell in front of it for its mark: %3", ""},
      {diag::approccio_pieno, g::errore, 12, nullptr, true, "%t0: no free cell for the approach mark %1 to %2 cells before it, at metres %3: %4", ""},
      {diag::ripetizione_piena, g::errore, 13, nullptr, true,
       "%t0: no free cell for the mark repeated every " + n(passo_ripetizione * metri_cella) + " m, due at metres %1, nor beside it: %2", ""},
      {diag::rallentamento_senza_fine, g::errore, 13, nullptr, true,
       "%t0 has no end cell after it (its end was overwritten or lies past the track): the repeated marks run to the last cell", ""},
      {diag::uscita_piena, g::errore, 13, nullptr, true, "%t0, the first signal after the end of %t1, has no free cell in front of it for its mark: %2",
       ""},
      {diag::fuori_linea, g::errore, 15, nullptr, true, "%0 lies outside the track, which takes positions up to %2 m", ""},
      {diag::fuori_linea_stazione, g::errore, 15, nullptr, true,
       "%0 lies outside the track: a station needs " + n(margine_stazione) + " m of track after its position, so positions up to %2 m", ""},
      {diag::segnale_occupato, g::errore, 16, nullptr, true, occupata, ""},
      {diag::avviso_occupato, g::errore, 17, nullptr, true,
       "%0: its warning board at %4 m, " + n(distanza_avviso) + " m before its start, goes into cell %1 (metres %2), which already holds %t3", ""},
      {diag::inizio_occupato, g::errore, 18, nullptr, true, occupata, ""},
      {diag::fine_occupata, g::errore, 19, nullptr, true, "%0: its end at %4 m goes into cell %1 (metres %2), which already holds %t3", ""},
      {diag::sequenza_occupata, g::errore, 20, nullptr, true,
       "%0: the " + n(celle_sequenza) + " cells before its warning board (metres %4) must be free for the warning sequence, but cell %1 "
       "holds %t3; signals and boards written at %5 m land in them",
       ""},
      {diag::indicatore_occupato, g::errore, 21, nullptr, true, occupata, ""},
      {diag::stazioni_vicine, g::errore, 22, nullptr, true,
       "%0 starts at %1 m, %2 m after the end of %t3 at %4 m; stations need at least " + n(spazio_stazioni) +
           " m between them: {6?there is no room for it before the line's end, which takes stations up to %6 m|move it to %5 m or later}",
       ""},
      {diag::stazioni_fuori_ordine, g::errore, 22, nullptr, true,
       "%0 starts at %1 m, before the end of %t2 at %3 m: stations are written in their order along the line, each starting at least " +
           n(spazio_stazioni) + " m after the end of the one before: write it before that station[4:, or move it to %4 m or later]",
       ""},
      {diag::stazione_troppo_presto, g::errore, 24, nullptr, true, "%0 ends at %1 m; a station must end after " + n(2 * metri_cella) + " m", ""},
      {diag::numero_fuori_campo, g::errore, 25, nullptr, true, "%0 of the \"%1\" entry: %2 does not fit its field (%3 to %4)", ""},
      {diag::velocita_fuori_byte, g::errore, 25, nullptr, true,
       "speed limit %0 km/h is outside 0 to " + n(velocita_massima) + " km/h: the track keeps the limit in steps of " + n(passo_velocita) +
           " km/h in one byte",
       ""},
      {diag::indicatore_fuori_16, g::errore, 25, nullptr, true, "%0: a speed value works out at %1, past the 16 bits the track stores (-32768 to 32767)",
       ""},
      {diag::valori_troncati, g::errore, 25, nullptr, true, "\"%0\" needs %1 values; the file ends after %2", ""},
      {diag::file_finito_tra_disabilitati, g::errore, 25, nullptr, true, "the file ends among fields disabled by \"-\", where a key field was due", ""},
      {diag::file_vuoto, g::errore, 25, nullptr, true, "the %0 description is empty: there is nothing to read", ""},
      {diag::senza_lunghezza, g::errore, 25, nullptr, true,
       "no \"lunghezza percorso\" entry before the line items: the track cannot be made; add \"lunghezza percorso, METRES\" to the general "
       "section",
       ""},
      {diag::lunghezza_senza_pista, g::errore, 25, nullptr, true,
       "line length %0 m leaves no track: with the " + n(coda_linea) + " m run-out it must be at least -" + n(coda_linea) + " m", ""},
      {diag::pista_senza_marcatori, g::errore, 25, nullptr, true,
       "line length %0 m leaves a track of %1 {1:cell|cells}; the format markers need cell " + n(cella_marcatori), ""},
      {diag::troppi_cartelli, g::errore, 25, nullptr, true,
       "more than " + n(prima_voce_cartelli) + " sign boards: their texts take the service records from " + n(prima_voce_cartelli) + " down to 1",
       ""},
      {diag::troppe_montagne, g::errore, 25, nullptr, true, "more than " + n(montagne_massime) + " mountain ranges: the lists hold " +
                                                                    n(montagne_massime), ""},
      {diag::testo_troppo_lungo, g::errore, 25, nullptr, true, "the %0 is %1 bytes long; the service data file stores at most " + n(testo_massimo), ""},
      {diag::cella_fuori_pista, g::errore, 25, nullptr, true, "%0 reaches cell %1 (metres %2), outside the track, whose last cell is %3 (up to metre %4)",
       ""},
      {diag::somma_fuori_32, g::errore, 25, nullptr, true, "%0: a value works out at %1, past the 32 bits it is stored in", ""},
      {diag::servizio_mancante, g::errore, 25, nullptr, true, "the service description is missing", ""},
      {diag::guasto_generico, g::errore, 25, nullptr, true, "the description could not be read", ""},
      {diag::linea_mancante, g::errore, 101, nullptr, true, "the line description does not exist", ""},
      {diag::generale_mancante, g::errore, 102, nullptr, true, "no \"[generale]\" section marker in the line description: nothing is read", ""},
      {diag::generale_mancante_simile, g::errore, 102, nullptr, true,
       "no \"[generale]\" section marker in the line description, so nothing is read; did you mean \"[generale]\" here instead of \"%0\"?", ""},
      {diag::curva_senza_classe, g::errore, 103, nullptr, true, "curve key field \"%0\" has no class digit: the classes are 1 to 6", ""},
      {diag::curva_oltre_milione, g::errore, 103, nullptr, true,
       "curve at %0 m of %1 m would end at metre %2, past metre " + n(metro_massimo_griglia), ""},
      {diag::slot_formato, g::errore, 1250, nullptr, true,
       "%t0 stands in cell " + n(cella_marcatori) + ", whose first value the compiler keeps for its format marker: " + cella2, ""},
      {diag::slot_gara, g::errore, 1251, nullptr, true,
       "%t0 stands in cell " + n(cella_marcatori) + ", whose second value the compiler keeps for the competition code: " + cella2, ""},
      // ---------------------------------------------------------------- errors without a code
      {diag::servizio_senza_generale, g::errore, 0, nullptr, true,
       "no \"[generale]\" section marker in the service description, so nothing in it is read: the train would have no data, no "
       "stations and no speed limits; write \"[generale]\" before its entries",
       ""},
      {diag::servizio_senza_generale_simile, g::errore, 0, nullptr, true,
       "no \"[generale]\" section marker in the service description, so nothing in it is read; did you mean \"[generale]\" here instead "
       "of \"%0\"?",
       ""},
      {diag::lunghezza_non_positiva, g::errore, 0, nullptr, true,
       "line length %0 m leaves no line to drive: every item would lie in the run-out; give the line's length in metres, above 0", ""},
      {diag::carattere_senza_cp1252, g::errore, 0, nullptr, true,
       "character %0 has no Windows-1252 byte, so the simulator cannot show it: replace it, or write the file in Windows-1252", ""},
      {diag::testo_utf16, g::errore, 0, nullptr, true,
       "this file is written in UTF-16 (%0), which the simulator does not read: save it as Windows-1252 (in Notepad: Save As, "
       "Encoding ANSI)",
       ""},
      {diag::non_testo, g::errore, 0, nullptr, true, "this file holds NUL bytes: it is not a text description, and only its first few problems are shown", ""},
      {diag::non_riprodotto, g::errore, 0, nullptr, true, "%0: not reproduced: %1", ""},
      // ---------------------------------------------------------------- warnings
      {diag::chiave_sconosciuta, g::avviso, 0, "unknown-key", true, "unknown key word \"%0\": " + riletti,
       "a key field that no entry takes, such as a misspelt key word"},
      {diag::chiave_sconosciuta_simile, g::avviso, 0, "unknown-key", true, "unknown key word \"%0\"; did you mean \"%1\"? The " + riletti.substr(4),
       ""},
      {diag::commento, g::avviso, 0, "comment", true, "the format has no comments: \"%0\" is read as a key field, matches no entry and is dropped",
       "a line written as a comment; the format has none"},
      {diag::campo_in_piu, g::avviso, 0, "extra-field", true,
       "extra field \"%0\" after the %2 {2:value|values} of the \"%1\" entry: it is read as a key field and dropped",
       "more fields on a line than its entry reads"},
      {diag::chiave_maiuscola, g::avviso, 0, "key-case", true, "\"%0\" is not recognised: the key words of the general section are case-exact; write \"%1\"",
       "a general key word written with capitals"},
      {diag::voce_generale_fuori_sezione, g::avviso, 0, "section", true,
       "\"%0\" is a general entry, but the general section ended at \"%1\" (line %2): it is not read here; move it above that line",
       "an entry written in a section that does not read it"},
      {diag::voce_linea_in_generale, g::avviso, 0, "section", true,
       "\"%0\" is a line item, but the general section, which runs to the first header, reads no line items: move it below the first header", ""},
      {diag::chiave_altro_file, g::avviso, 0, "other-file", true, "\"%0\" belongs in the %1 description: it is not read here",
       "an entry of the other description"},
      {diag::chiave_disabilitata, g::avviso, 0, "dash-in-key", true, "the \"-\" in key field \"%0\" disables it, so the entry is dropped; write \"%1\"",
       "a \"-\" inside a key word, which disables the entry"},
      {diag::chiave_in_testo, g::avviso, 0, "key-in-text", true, "key field \"%0\" is read as a \"%1\" entry because it contains %2; the format has no comments",
       "a sentence or comment that holds an entry's key word"},
      {diag::chiave_multipla, g::avviso, 0, "multiple-entries", true, "key field \"%0\" triggers both a \"%1\" and a \"%2\" entry, each reading values of its own",
       "one key field that triggers two entries"},
      {diag::testo_per_numero, g::avviso, 0, "text-for-number", true, "%0 of the \"%1\" entry: \"%2\" is not a number and is read as 0",
       "text where a number belongs, read as 0"},
      {diag::campo_vuoto, g::avviso, 0, "empty-field", true, "%0 of the \"%1\" entry is empty and is read as 0",
       "an empty field, read as 0, where the format has no such convention"},
      {diag::valore_mancante, g::avviso, 0, "run-on", true,
       "the \"%0\" entry ends its line without its %1: the next field, \"%3\" on line %4, is read in its place as 0[5:, so the %1 is %2 "
       "from %5 m][6:, and the \"%6\" entry written there is lost]",
       "an entry whose values run on to the next line"},
      {diag::decimale, g::avviso, 0, "decimal", true, "%0 of the \"%1\" entry: %2 is not a whole number; it is read as %3",
       "a decimal in a whole-number field, rounded"},
      {diag::valori_a_capo, g::avviso, 0, "run-on", true,
       "the \"%0\" entry has %1 {1:value|values} on its line but needs %2: its %3 is taken from line %4", ""},
      {diag::valori_a_capo_persa, g::avviso, 0, "run-on", true,
       "the \"%0\" entry has %1 {1:value|values} on its line but needs %2: its %3 is taken from line %4, and the \"%5\" entry written there "
       "is lost",
       ""},
      {diag::lato_curva, g::avviso, 0, "curve-side", true, "curve side \"%1\" in \"%0\" is neither d (right) nor s (left): the curve turns {2?left|right}",
       "a curve's side letter that says other than the curve does"},
      {diag::lato_curva_con_s, g::avviso, 0, "curve-side", true, "curve key field \"%0\" holds an \"s\", so the curve turns left although its side letter is d",
       ""},
      {diag::classe_curva_ambigua, g::avviso, 0, "curve-class", true, "curve key field \"%0\" holds several class digits: the lowest of them gives the class",
       "several class digits in a curve's key word"},
      {diag::curva_sovrapposta, g::avviso, 0, "curve-overlap", true,
       "curve at %0 m starts before metre %1, where the previous curve ended: only metres %2 to %3 bend (curves are laid in the order they "
       "are written)",
       "curves written over each other, or in the wrong order"},
      {diag::curva_nulla, g::avviso, 0, "curve-overlap", true, "curve at %0 m ends at metre %1, not after the previous curve's end at metre %2: it adds nothing",
       ""},
      {diag::curva_negativa, g::avviso, 0, "curve-length", true, "curve at %0 m has a negative length, %1 m: it bends nothing and is dropped",
       "a curve of negative length, which the format drops"},
      {diag::curva_tagliata, g::avviso, 0, "curve-cut", true, "%0 ends at metre %1, past the track's last metre %2: it bends only up to there",
       "a curve that runs past the end of the track"},
      {diag::fuori_ordine, g::avviso, 0, "out-of-order", true,
       "%0 is out of order: it is not after the previous change at %1 m, so it writes %2 {2:cell|cells} at metres %3 with the value then "
       "in force",
       "gradients, speed limits or adhesion changes not in the order of their positions"},
      {diag::oltre_fine_linea, g::avviso, 0, "run-out", true,
       "%0 lies beyond the line's end at %2 m, in the run-out the track carries after it (up to metre %3)",
       "an item placed in the run-out after the line's end"},
      {diag::fine_oltre_fine_linea, g::avviso, 0, "run-out", true,
       "%t0, at %1 m, lies beyond the line's end at %2 m, in the run-out the track carries after it (up to metre %3)", ""},
      {diag::fuori_intervallo, g::avviso, 0, "value-range", true, "%5: %0 %1 is outside %2 to %3; it becomes %4",
       "a value outside what the track stores, kept to its low bits"},
      {diag::valore_ridotto, g::avviso, 0, "value-range", true,
       "%0: %1 comes to %2, which does not fit %3 bits (%4 to %5); the track stores %6", ""},
      {diag::valore_ignorato, g::avviso, 0, "ignored-value", true, "%0: its %1 is %2, which the format sets to 0 here (%3)",
       "a value the format sets to 0 for this entry"},
      {diag::sequenza_senza_avviso, g::avviso, 0, "restriction-board", true,
       "%0 asks for the warning sequence, but a restriction starting at " + n(inizio_con_avviso) +
           " m or less gets no warning board and no sequence",
       "a warning sequence asked of a restriction that gets no warning board"},
      {diag::cella_sostituita, g::avviso, 0, "stop-cell", true,
       "the stop cell of %0 is cell %1 (metres %2), and it replaces %t3 there: stations write their stop cell over whatever stands in it",
       "a station's stop cell written over another object"},
      {diag::ora_impossibile, g::avviso, 0, "time-of-day", true, "{0?%0's timetable time|the clock at the start} %1 is not a time of day; it counts as %2",
       "a clock or timetable time that is no time of day"},
      {diag::testo_utf8, g::avviso, 0, "utf8", true,
       "this file looks like UTF-8 (\"%0\"), but the simulator reads Windows-1252: each such character would be stored as %1 bytes; use "
       "--input-encoding utf-8 to convert it",
       "a description written in UTF-8"},
      {diag::bom_utf8, g::avviso, 0, "utf8", true,
       "this file begins with a UTF-8 byte order mark, which the simulator reads as three characters: use --input-encoding utf-8, which "
       "drops it, or save the file as Windows-1252",
       ""},
      {diag::vuoto_convenzionale, g::avviso, 0, "conventional-blank", false, "%0 of the \"%1\" entry is empty: the format reads it as 0 by convention",
       "an empty field where the format's convention allows one"},
      // ---------------------------------------------------------------- notes
      {diag::voce_disabilitata, g::nota, 0, nullptr, true, "entry disabled by its leading \"-\": \"%0\" is dropped and its values are read as key fields", ""},
      {diag::montagna_tipo_3, g::nota, 0, nullptr, true,
       "%0 starts %1 m after the previous range ends: within " + n(distanza_montagna_vicina) + " m a range becomes type " +
           n(tipo_montagna_vicina) + " (it was given type %2)",
       ""},
      {diag::tempo_101, g::nota, 0, nullptr, true,
       "%0: a time of %1 becomes " + n(tempo_minimo) + " (times from 1 to " + n(tempo_minimo_sotto) + " are raised to " + n(tempo_minimo) + ")", ""},
      {diag::tempo_ignorato, g::nota, 0, nullptr, true,
       "%0: its time %1 is not stored: a signal keeps its time only when sx is " + n(sx_con_tempo) + " (here %2)", ""},
      {diag::rallentamento_senza_avviso, g::nota, 0, nullptr, true,
       "%0 gets no warning board: only restrictions starting after " + n(inizio_con_avviso) + " m get one", ""},
      {diag::marche_sovrascritte, g::nota, 0, nullptr, true,
       "%0 writes its approach marks over those of another object in cells %1 (stations leave " + n(marca_stazione_prima) + " to " +
           n(marca_stazione_prima + marche_stazione - 1) + ", signals their own codes)",
       ""},
      {diag::nome_da_file, g::nota, 0, nullptr, true, "the %0 name \"%1\" comes from this file's name, which does not end in %2; give %3 NAME to choose it", ""},
      {diag::lettura_interrotta, g::nota, 0, nullptr, true,
       "the service description is read no further: the earlier error [15] in the line description stops it at its first signal or "
       "restriction, %0",
       ""},
      {diag::nota_occupante, g::nota, 0, nullptr, true, "%t0 is placed here, in cell %1 (metres %2)", ""},
      {diag::nota_valore, g::nota, 0, nullptr, true, "its %0 is taken from here: \"%1\"", ""},
      {diag::nota_stazione_precedente, g::nota, 0, nullptr, true, "%t0 ends at %1 m", ""},
      {diag::nota_voce, g::nota, 0, nullptr, true, "%t0 is written here", ""},
      {diag::nota_non_testo, g::nota, 0, nullptr, true, "the first NUL byte is here", ""},
  };
}

const std::vector<scheda_diagnostica>& per_id() {
  static const std::vector<scheda_diagnostica> t = [] {
    std::vector<scheda_diagnostica> r = crea();
    std::sort(r.begin(), r.end(), [](const scheda_diagnostica& a, const scheda_diagnostica& b) { return a.id < b.id; });
    return r;
  }();
  return t;
}

std::string due(std::int64_t v) { return (v >= 0 && v < 10 ? "0" : "") + n(v); }

std::string secondi_come_ora(std::int64_t s) {
  if (s < 0) return n(s) + " s";
  return due(s / 3600) + ":" + due(s / 60 % 60) + ":" + due(s % 60);
}

std::string valore_con_unita(voce v, std::size_t campo, std::int64_t valore) {
  const campo_voce& c = campo_n(v, campo);
  const std::string u = c.unita;
  if (u.empty()) return n(valore);
  return n(valore) + (u == "%" ? "" : " ") + u;
}

bool dato(const std::vector<argomento>& arg, std::size_t i) {
  if (i >= arg.size()) return false;
  const argomento& a = arg[i];
  return (a.g != argomento::genere::testo && a.g != argomento::genere::parole) || !a.s.empty();
}

std::string scrivi(const argomento& a, bool articolo) {
  using ge = argomento::genere;
  switch (a.g) {
    case ge::testo: return testo_sicuro(a.s);
    case ge::parole: return a.s;
    case ge::numero: return n(a.a);
    case ge::metri: return n(a.a);
    case ge::intervallo: return n(a.a) + "-" + n(a.b);
    case ge::campo: return nome_campo(campo_n(a.v, std::size_t(a.a)));
    case ge::chiave: return formato(a.v).chiave;
    case ge::oggetto: return testo_oggetto(a.o, articolo);
    case ge::ora: return n(a.a) + ":" + due(a.b) + ":" + due(a.c);
    case ge::secondi: return secondi_come_ora(a.a);
    case ge::valore: return valore_con_unita(a.v, std::size_t(a.a), a.b);
    case ge::parte: return a.a == std::int64_t(parte_descrizione::servizio) ? "service" : "line";
  }
  return "";
}

// Expands a template; see scheda_diagnostica::testo.
std::string espandi(std::string_view t, const std::vector<argomento>& arg) {
  std::string r;
  auto numero = [&](std::size_t i) -> std::size_t { return i < t.size() && t[i] >= '0' && t[i] <= '9' ? std::size_t(t[i] - '0') : 10; };
  for (std::size_t i = 0; i < t.size(); ++i) {
    const char c = t[i];
    if (c == '%' && numero(i + 1) < 10) {
      const std::size_t k = numero(i + 1);
      if (k < arg.size()) r += scrivi(arg[k], false);
      ++i;
    } else if (c == '%' && i + 1 < t.size() && t[i + 1] == 't' && numero(i + 2) < 10) {
      const std::size_t k = numero(i + 2);
      if (k < arg.size()) r += scrivi(arg[k], true);
      i += 2;
    } else if ((c == '{' || c == '[') && numero(i + 1) < 10 && i + 2 < t.size() && (t[i + 2] == ':' || t[i + 2] == '?')) {
      const std::size_t k = numero(i + 1);
      const char chiusa = c == '{' ? '}' : ']';
      // The branch's end, past any nested placeholder braces.
      std::size_t fine = i + 3;
      for (int livello = 0; fine < t.size() && (t[fine] != chiusa || livello > 0); ++fine) {
        if (t[fine] == '{' || t[fine] == '[') ++livello;
        if ((t[fine] == '}' || t[fine] == ']') && livello > 0) --livello;
      }
      const std::string_view corpo = t.substr(i + 3, fine - i - 3);
      if (c == '[') {
        if (dato(arg, k)) r += espandi(corpo, arg);
      } else {
        const std::size_t barra = corpo.find('|');
        const std::string_view si = corpo.substr(0, barra), no = barra == std::string_view::npos ? "" : corpo.substr(barra + 1);
        const bool scelta = t[i + 2] == ':' ? k < arg.size() && arg[k].a == 1 && arg[k].g != argomento::genere::testo
                                             : dato(arg, k) && !(arg[k].g == argomento::genere::numero && arg[k].a == 0);
        r += espandi(scelta ? si : no, arg);
      }
      i = fine;
    } else {
      r += c;
    }
  }
  return r;
}

}  // namespace

const std::vector<scheda_diagnostica>& tabella_diagnostiche() { return per_id(); }

const scheda_diagnostica& scheda_di(diag id) {
  const auto& t = per_id();
  auto it = std::lower_bound(t.begin(), t.end(), id, [](const scheda_diagnostica& r, diag x) { return r.id < x; });
  return *it;
}

std::vector<std::string_view> nomi_avvisi() {
  std::vector<std::string_view> r;
  for (const scheda_diagnostica& x : crea())
    if (x.nome && std::find(r.begin(), r.end(), x.nome) == r.end()) r.emplace_back(x.nome);
  return r;
}

bool avviso_esiste(std::string_view nome) {
  for (const scheda_diagnostica& x : per_id())
    if (x.nome && nome == x.nome) return true;
  return false;
}

bool avviso_attivo_di_norma(std::string_view nome) {
  for (const scheda_diagnostica& x : per_id())
    if (x.nome && nome == x.nome) return x.attivo;
  return false;
}

std::string messaggio(const diagnostica& d) { return espandi(scheda_di(d.id).testo, d.arg); }

std::optional<std::int64_t> metri_di(const diagnostica& d) {
  if (d.metri) return *d.metri;
  for (const argomento& a : d.arg)
    if (a.g == argomento::genere::metri) return a.a;
  return std::nullopt;
}

std::string testo_oggetto(const oggetto_citato& o, bool articolo) {
  using p = oggetto_citato::parte;
  if (o.p == p::anonimo) {
    const tipo_cella_info* t = info_tipo(o.tipo_cella);
    return t ? t->oggetto : "an object";
  }
  const voce_formato& f = formato(o.v);
  std::string r;
  if (!f.oggetto) {
    r = std::string("\"") + f.chiave + "\" entry";
  } else if (o.v == voce::stazione) {
    r = o.nome.empty() ? "station at " + n(o.metri) + " m" : "station \"" + testo_sicuro(o.nome) + "\"";
  } else if (o.v == voce::cartello) {
    r = "sign board \"" + testo_sicuro(o.nome) + "\" at " + n(o.metri) + " m";
  } else {
    r = std::string(f.oggetto) + " at " + n(o.metri) + " m";
  }
  // A station is known by its name: "station \"BRUNEA\"" needs no article.
  const std::string definito = o.v == voce::stazione && !o.nome.empty() ? r : "the " + r;
  switch (o.p) {
    case p::intero: return articolo ? definito : r;
    case p::inizio: return "the start of " + definito;
    case p::fine: return "the end of " + definito;
    case p::avviso: return "the warning board of " + definito;
    case p::sequenza: return "the warning sequence of " + definito;
    case p::fermata: return "the stop cell of " + definito;
    case p::marca: return "the compiler's mark for " + definito;
    case p::anonimo: break;
  }
  return r;
}

const char* testo_formula(formula f) {
  switch (f) {
    case formula::aspetto_1: return "s1 x 10 + d1";
    case formula::aspetto_2: return "s2 x 10 + d2";
    case formula::aspetto_3: return "s3 x 10 + d3";
    case formula::segnali: return "rapp x 10 + sx x 3 + dx";
    case formula::marca_approccio: return "the approach code (sx x 3 + dx) x 10 + 4";
    case formula::strisce: return "strisces x 10 + strisced";
  }
  return "";
}

std::string elenco_oggetti(const std::vector<std::pair<oggetto_citato, std::int64_t>>& oggetti) {
  std::string r;
  for (std::size_t i = 0; i < oggetti.size(); ++i) {
    if (i) r += i + 1 == oggetti.size() ? " and " : ", ";
    r += testo_oggetto(oggetti[i].first, true) + " (cell " + n(oggetti[i].second) + ")";
  }
  return r;
}

std::string testo_sicuro(std::string_view cp1252, std::size_t massimo) {
  const std::string utf8 = cp1252_a_utf8(cp1252);
  std::string r;
  std::size_t caratteri = 0;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    if ((c & 0xC0) != 0x80 && ++caratteri > massimo) return r + "…";
    if (c < 0x20 || c == 0x7F) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02x", c);
      r += buf;
    } else {
      r += char(c);
    }
  }
  return r;
}

}  // namespace sc
