#include "model/voci.h"

#include <algorithm>
#include <array>
#include <limits>
#include <string>

#include "model/regole.h"
#include "model/testo.h"

namespace sc {

namespace {

using namespace regole;

std::string n(std::int64_t v) { return std::to_string(v); }

constexpr std::int64_t min32 = std::numeric_limits<std::int32_t>::min(), max32 = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t min16 = -32768, max16 = 32767;

const char* const come_letto = "passed to the simulator as stored";

// Fields that several entries share.
campo_voce posizione(const char* nome_formato, std::string significato, std::string controlli = "") {
  return {"position", nome_formato, "m", lettura_campo::i32, genere_campo::posizione, min32, max32, "", std::move(controlli), false,
          std::move(significato)};
}
campo_voce numero32(const char* nome, const char* nome_formato, const char* unita, std::string significato, std::string controlli = "") {
  return {nome, nome_formato, unita, lettura_campo::i32, genere_campo::numero, min32, max32, "", std::move(controlli), false,
          std::move(significato)};
}
// A 32-bit value the track keeps in 16 (or 8) bits.
campo_voce in16(const char* nome, const char* nome_formato, const char* unita, std::string memoria, std::string significato,
                bool vuoto = false) {
  return {nome, nome_formato, unita, lettura_campo::i32, genere_campo::numero, min16, max16, std::move(memoria), "", vuoto,
          std::move(significato)};
}
campo_voce letto16(const char* nome, const char* nome_formato, const char* unita, std::string significato, genere_campo g = genere_campo::numero) {
  return {nome, nome_formato, unita, lettura_campo::i16, g, min16, max16, "16 bits", "", false, std::move(significato)};
}
campo_voce letto8(const char* nome, const char* nome_formato, std::string significato) {
  return {nome, nome_formato, "", lettura_campo::u8, genere_campo::numero, 0, 255, "one byte", "", false, std::move(significato)};
}

std::string multiplo(std::int32_t m, int codice) { return "multiple of " + n(m) + " (error " + n(codice) + ")"; }

std::vector<voce_formato> crea_tabella() {
  const std::string dentro = "within the track: " + n(margine_elemento) + " m before its last cell (error 15)";
  const std::string progressiva = "a kilometre reference: the three references are sorted by their first value, largest first";
  auto valori_progressiva = [&] {
    return std::vector<campo_voce>{
        numero32("first value", nullptr, "m", "where the reference applies; the references are sorted by it", multiplo(multiplo_posizione, 2)),
        numero32("second value", nullptr, "m", come_letto, multiplo(multiplo_posizione, 2) + "; a third value of 1 adds " + n(margine_elemento) + " to it"),
        numero32("third value", nullptr, "", "1 adds " + n(margine_elemento) + " m to the second value; otherwise passed to the simulator as stored"),
    };
  };
  const std::string sfondo = "the scenery background the simulator shows";
  const std::string stazione_libera = "passed to the simulator as stored";
  return {
      // ---- line description, general section
      {voce::lunghezza, "lunghezza percorso", {"lunghezza", "percorso"}, false, parte_descrizione::linea, sezione_voce::generale, nullptr,
       "the length of the line; the track carries " + n(coda_linea) + " m of run-out after it",
       {numero32("line length", nullptr, "m", "where the line ends; the arrays of cells and points are made from it",
                 "at most " + n(lunghezza_massima) + " (error 1); above 0 for a line to drive")},
       "lunghezza percorso, 9000", {}},
      {voce::progressiva_tre, "progressiva chilometrica tre", {"tre", "progressiva"}, true, parte_descrizione::linea, sezione_voce::generale, nullptr,
       progressiva, valori_progressiva(), "progressiva chilometrica tre, 0, 0, 0", {}},
      {voce::progressiva_due, "progressiva chilometrica due", {"due", "progressiva"}, true, parte_descrizione::linea, sezione_voce::generale, nullptr,
       progressiva, valori_progressiva(), "progressiva chilometrica due, 0, 0, 0", {}},
      {voce::progressiva_uno, "progressiva chilometrica uno", {"uno", "progressiva"}, true, parte_descrizione::linea, sezione_voce::generale, nullptr,
       progressiva, valori_progressiva(), "progressiva chilometrica uno, 0, 0, 0", {}},
      {voce::sfondo_uno, "sfondo uno", {"sfondo", "uno"}, true, parte_descrizione::linea, sezione_voce::generale, nullptr, "the first scenery background",
       {numero32("background", nullptr, "", sfondo)}, "sfondo uno, 0", {}},
      {voce::sfondo_due, "sfondo due", {"sfondo", "due"}, true, parte_descrizione::linea, sezione_voce::generale, nullptr, "the second scenery background",
       {numero32("background", nullptr, "", sfondo)}, "sfondo due, 0", {}},
      {voce::sfondo_tre, "sfondo tre", {"sfondo", "tre"}, true, parte_descrizione::linea, sezione_voce::generale, nullptr, "the third scenery background",
       {numero32("background", nullptr, "", sfondo)}, "sfondo tre, 1", {}},
      {voce::ripetizione, "ripetizione segnali 4 codici", {"segnali", "ripetizione"}, true, parte_descrizione::linea, sezione_voce::generale, nullptr,
       "signal repetition: the key word holds the number of codes, 4 or 9 (error 5)",
       {numero32("first distance", nullptr, "m", come_letto, multiplo(multiplo_posizione, 3)),
        numero32("second distance", nullptr, "m", "0 turns signal repetition off", multiplo(multiplo_posizione, 4))},
       "ripetizione segnali 4 codici, 0, 0", {"4", "9"}},
      // ---- line description, line items
      {voce::pendenza, "pendenza", {"pendenza", nullptr}, false, parte_descrizione::linea, sezione_voce::voci_linea, "gradient change",
       "a gradient from a position on, up to the next change",
       {posizione(nullptr, "where the gradient begins; it takes effect at the cell the position rounds to", dentro),
        {"gradient", nullptr, "‰", lettura_campo::i32, genere_campo::numero, -pendenza_piana, 255 - pendenza_piana,
         "one byte: gradient + " + n(pendenza_piana), "", false, "the climb in metres per kilometre; negative falls"}},
       "pendenza, 1500, -8", {}},
      {voce::curva, "curvad5", {"curva", nullptr}, false, parte_descrizione::linea, sezione_voce::voci_linea, "curve",
       "a curve: the key word holds its side, d (right) or s (left), and its class digit, 1 (widest) to 6 (sharpest)",
       {posizione(nullptr, "the metre where the curve begins", dentro),
        numero32("length", nullptr, "m", "metres of the curve; a negative length adds nothing")},
       "curvad5, 1800, 300", {"d", "s", "1", "2", "3", "4", "5", "6"}},
      {voce::montagna, "montagna", {"montagna", nullptr}, false, parte_descrizione::linea, sezione_voce::voci_linea, "mountain range",
       "a range of mountain scenery beside the track",
       {posizione("inizio", "where the range begins", dentro),
        numero32("end", "fine", "m", "where the range ends"),
        {"type", "tipo", "", lettura_campo::i32, genere_campo::numero, 0, 255 + soglia_montagna_segnata, "one byte",
         "", false,
         "the scenery type; above " + n(soglia_montagna_segnata) + ", the type less " + n(soglia_montagna_segnata) +
             " with a marker every " + n(passo_marcatori_montagna) + " cells; a range starting within " +
             n(distanza_montagna_vicina) + " m of the previous one becomes type " + n(tipo_montagna_vicina)}},
       "montagna, 1200, 2600, 1", {}},
      {voce::indicatori, "indicatori_vmax", {"indicatori_v", nullptr}, false, parte_descrizione::linea, sezione_voce::voci_linea, "speed board",
       "a speed board: three speeds for the left side, three second speeds for the right",
       {posizione("posizione", "where the board stands", dentro),
        in16("speed a", "vas", "km/h", "16 bits with vad: vas x " + n(fattore_tabella) + " + vad / " + n(passo_velocita), "the first speed shown"),
        in16("speed b", "vbs", "km/h", "16 bits with vbd", "the second speed shown"),
        in16("speed c", "vcs", "km/h", "16 bits with vcd", "the third speed shown"),
        in16("stripes", "strisces", "", "16 bits with strisced: strisces x 10 + strisced", come_letto),
        in16("second speed a", "vad", "km/h", "with vas", come_letto, true),
        in16("second speed b", "vbd", "km/h", "with vbs", come_letto, true),
        in16("second speed c", "vcd", "km/h", "with vcs", come_letto, true),
        in16("right stripes", "strisced", "", "with strisces", come_letto, true)},
       "indicatori_vmax, 700, 70, 70, 70, 0, , , , 0", {}},
      {voce::cartello, "cartello_indicatore", {"cartello", "indicat"}, false, parte_descrizione::linea, sezione_voce::voci_linea, "sign board",
       "a sign board with a text, such as a station's name",
       {posizione(nullptr, "where the board stands", dentro),
        {"text", nullptr, "", lettura_campo::testo, genere_campo::testo, 0, testo_massimo, "a service record, from 80 downwards",
         "at most " + n(testo_massimo) + " bytes", false, "the text on the board"}},
       "cartello_indicatore, 2800, (VALDISPRETO)", {}},
      // ---- service description
      {voce::frenata, "percentuale massa frenata", {"frenata", "massa"}, false, parte_descrizione::servizio, sezione_voce::servizio, nullptr,
       "the train's braked-weight percentage", {numero32("braked weight", nullptr, "%", "the train's braking power")},
       "percentuale massa frenata, 105", {}},
      {voce::vetture, "numero vetture", {"vetture", nullptr}, false, parte_descrizione::servizio, sezione_voce::servizio, nullptr,
       "the number of cars of the train", {numero32("cars", nullptr, "", "the number of cars")}, "numero vetture, 4", {}},
      {voce::velocita, "velocita", {"velocit", nullptr}, false, parte_descrizione::servizio, sezione_voce::servizio, "speed limit",
       "the speed limit from a position on, up to the next change",
       {posizione(nullptr, "where the limit begins; it takes effect at the cell the position rounds to", dentro),
        {"speed limit", nullptr, "km/h", lettura_campo::i32, genere_campo::numero, 0, velocita_massima,
         "one byte: speed / " + n(passo_velocita) + ", rounded", "at most " + n(velocita_massima) + " (error 25)", false,
         "the line speed in force"}},
       "velocita, 0, 70", {}},
      {voce::aderenza, "aderenza", {"aderenza", nullptr}, false, parte_descrizione::servizio, sezione_voce::servizio, "adhesion",
       "the adhesion from a position on, up to the next change",
       {posizione(nullptr, "where the adhesion begins", dentro),
        {"adhesion", nullptr, "", lettura_campo::i32, genere_campo::numero, 0, 255, "one byte", "", false, come_letto}},
       "aderenza, 0, 90", {}},
      {voce::orologio, "orologio", {"orologio", nullptr}, false, parte_descrizione::servizio, sezione_voce::servizio, nullptr,
       "the clock at the start of the run",
       {letto16("hours", nullptr, "h", "the hour of the start", genere_campo::ora),
        letto16("minutes", nullptr, "min", "the minutes of the start", genere_campo::minuto),
        letto16("seconds", nullptr, "s", "the seconds of the start", genere_campo::secondo)},
       "orologio, 11, 34, 39", {}},
      {voce::sabbia, "sabbia", {"sabbia", nullptr}, false, parte_descrizione::servizio, sezione_voce::servizio, nullptr, "the train's sand",
       {letto16("sand", nullptr, "", come_letto)}, "sabbia, 15", {}},
      {voce::segnale, "segnale", {"segnale", nullptr}, false, parte_descrizione::servizio, sezione_voce::servizio, "signal",
       "a signal, with approach marks in the four cells every " + n(passo_marche_segnale * metri_cella) + " m before it",
       {posizione("posizione", "where the signal stands", dentro),
        in16("left signal", "sx", "", "with rapp and dx: rapp x 10 + sx x 3 + dx",
             "the left signal's kind; " + n(sx_con_tempo) + " keeps the time"),
        in16("left aspect 1", "s1", "", "16 bits: s1 x 10 + d1", come_letto),
        in16("left aspect 2", "s2", "", "16 bits: s2 x 10 + d2", come_letto),
        in16("left aspect 3", "s3", "", "16 bits: s3 x 10 + d3", come_letto),
        in16("ratio", "rapp", "", "with sx and dx", come_letto),
        in16("right signal", "dx", "", "with rapp and sx", "the right signal's kind"),
        in16("right aspect 1", "d1", "", "with s1", come_letto),
        in16("right aspect 2", "d2", "", "with s2", come_letto),
        in16("right aspect 3", "d3", "", "with s3", come_letto),
        {"time", "tempo", "", lettura_campo::i32, genere_campo::numero, 0, 255, "one byte, only when sx is " + n(sx_con_tempo),
         "1 to " + n(tempo_minimo_sotto) + " become " + n(tempo_minimo), false, come_letto}},
       "segnale, 2600, 1, 3, 1, 1, 0, 0, 0, 0, 0, 255", {}},
      {voce::rallentamento, "rallentamento", {"rallentamento", nullptr}, false, parte_descrizione::servizio, sezione_voce::servizio, "restriction",
       "a speed restriction, with a warning board " + n(distanza_avviso) + " m before it when it starts after " + n(inizio_con_avviso) + " m",
       {posizione("x", "where the restriction starts", dentro),
        in16("speed", "v", "km/h", "16 bits", "the speed allowed along it"),
        numero32("length", "l", "m", "how long it runs; its end is the start plus this"),
        in16("flag", "f_tt", "", "16 bits", come_letto),
        numero32("warning sequence", "f_ta", "",
                 "not 0: four cells of warning sequence before the board (only with a board)"),
        in16("second speed", "d_v", "km/h", "16 bits, only when not 0", come_letto)},
       "rallentamento, 3500, 30, 600, 0, 1, 0", {}},
      {voce::abbattimento, "abbattimento", {"abbattimento", nullptr}, false, parte_descrizione::servizio, sezione_voce::servizio, "abatement mark",
       "an abatement mark on one cell",
       {posizione(nullptr, "where the mark stands; it takes the cell the position rounds to", dentro),
        in16("value", nullptr, "", "16 bits when above 0", "above 0: the value of the mark; 0 or less: a mark without value")},
       "abbattimento, 2550, 150", {}},
      {voce::stazione, "stazione", {"stazione", nullptr}, false, parte_descrizione::servizio, sezione_voce::servizio, "station",
       "a station: its area, its stop cell, and its time in the timetable",
       {posizione(nullptr, "the station's position, from which its area is measured",
                  multiplo(multiplo_posizione, 8) + "; " + n(margine_stazione) + " m before the track's last cell (error 15)"),
        letto8("kind", nullptr,
               "how the area is measured: 5 and 6 run the length before the position and " + n(coda_stazione_corta) +
                   " m after, 7 and 8 the length on both sides, others half the length on each side; kinds from " +
                   n(tipo_stazione_senza_celle) + " on mark no cells"),
        {"length", nullptr, "m", lettura_campo::i32, genere_campo::lunghezza, min32, max32, "not stored: it gives the area's start and end",
         multiplo(multiplo_lunghezza_stazione, 9), false, "the length of the station's area"},
        letto8("option", nullptr, stazione_libera),
        letto8("field 5", nullptr, "kept for stations of " + n(lunghezza_stazione_lunga) + " m or more, except the first"),
        letto8("end extension", nullptr, "not 0: the area ends " + n(estensione_fine) + " m later (not for kinds 5 to 8, nor the first station)"),
        letto16("field 7", nullptr, "", stazione_libera),
        letto16("field 8", nullptr, "", stazione_libera),
        letto8("field 9", nullptr, stazione_libera),
        letto16("field 10", nullptr, "", stazione_libera),
        letto16("field 11", nullptr, "", stazione_libera),
        letto16("field 12", nullptr, "", stazione_libera),
        letto8("field 13", nullptr, stazione_libera),
        {"hours", nullptr, "h", lettura_campo::i32, genere_campo::ora, min32, max32, "with minutes and seconds, as seconds after midnight", "", false,
         "the timetable time"},
        {"minutes", nullptr, "min", lettura_campo::i32, genere_campo::minuto, min32, max32, "", "", false, "the timetable time"},
        {"seconds", nullptr, "s", lettura_campo::i32, genere_campo::secondo, min32, max32, "", "", false, "the timetable time"},
        {"name", nullptr, "", lettura_campo::testo, genere_campo::testo, 0, testo_massimo, "the station's service record",
         "at most " + n(testo_massimo) + " bytes", false, "the station's name"}},
       "stazione, 3300, 23, 200, 0, 0, 0, 0, 0, 0, 4, 1, 1, 20, 11, 40, 0, VALDISPRETO", {}},
  };
}

}  // namespace

const std::vector<voce_formato>& tabella_voci() {
  static const std::vector<voce_formato> t = crea_tabella();
  return t;
}

const voce_formato& formato(voce v) { return tabella_voci()[std::size_t(v)]; }

bool riconosce(voce v, std::string_view campo) {
  const voce_formato& f = formato(v);
  for (const char* parola : f.parole) {
    if (!parola) continue;
    if (f.maiuscole ? !contiene(campo, parola) : !contiene_nocase(campo, parola)) return false;
  }
  return true;
}

const std::vector<voce>& chiavi_di(sezione_voce s) {
  static const auto per_sezione = [] {
    std::array<std::vector<voce>, 3> r;
    for (const voce_formato& f : tabella_voci()) r[std::size_t(f.sezione)].push_back(f.tipo);
    return r;
  }();
  return per_sezione[std::size_t(s)];
}
const std::vector<voce>& chiavi_generali() { return chiavi_di(sezione_voce::generale); }
const std::vector<voce>& chiavi_linea() { return chiavi_di(sezione_voce::voci_linea); }
const std::vector<voce>& chiavi_servizio() { return chiavi_di(sezione_voce::servizio); }

std::optional<voce> voce_da_nome(std::string_view nome) {
  const std::string cercato = minuscolo_cp1252(nome);
  for (const voce_formato& f : tabella_voci())
    if (cercato == f.chiave) return f.tipo;
  // "curva", "curvas3", "velocità": the key words the test looks for.
  for (const voce_formato& f : tabella_voci())
    if (!cercato.empty() && riconosce(f.tipo, cercato) && !f.maiuscole) return f.tipo;
  for (const voce_formato& f : tabella_voci())
    if (!cercato.empty() && std::string_view(f.chiave).find(cercato) == 0) return f.tipo;
  return std::nullopt;
}

std::string nome_campo(const campo_voce& c) {
  return c.nome_formato ? std::string(c.nome) + " (" + c.nome_formato + ")" : std::string(c.nome);
}

const campo_voce& campo_n(voce v, std::size_t n) {
  const auto& campi = formato(v).campi;
  return campi[std::min(n, campi.size() - 1)];
}

}  // namespace sc
