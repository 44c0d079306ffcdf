#include "parsing/formati_voce.h"

#include <array>

#include "model/testo.h"

namespace sc {

namespace {

const std::vector<const char*> valori_progressiva = {"first value", "second value", "third value"};

const std::array<formato_voce, 23> formati = {{
    {voce::lunghezza, "lunghezza percorso", {"line length"}, {"lunghezza", "percorso"}, false},
    {voce::progressiva_tre, "progressiva chilometrica tre", valori_progressiva, {"tre", "progressiva"}, true},
    {voce::progressiva_due, "progressiva chilometrica due", valori_progressiva, {"due", "progressiva"}, true},
    {voce::progressiva_uno, "progressiva chilometrica uno", valori_progressiva, {"uno", "progressiva"}, true},
    {voce::sfondo_uno, "sfondo uno", {"background"}, {"sfondo", "uno"}, true},
    {voce::sfondo_due, "sfondo due", {"background"}, {"sfondo", "due"}, true},
    {voce::sfondo_tre, "sfondo tre", {"background"}, {"sfondo", "tre"}, true},
    {voce::ripetizione, "ripetizione segnali 4 codici", {"first distance", "second distance"}, {"segnali", "ripetizione"}, true},
    {voce::pendenza, "pendenza", {"position", "gradient"}, {"pendenza", nullptr}, false},
    {voce::curva, "curvad5", {"start", "length"}, {"curva", nullptr}, false},
    {voce::montagna, "montagna", {"start", "end", "type"}, {"montagna", nullptr}, false},
    {voce::indicatori,
     "indicatori_vmax",
     {"position", "vas", "vbs", "vcs", "strisces", "vad", "vbd", "vcd", "strisced"},
     {"indicatori_v", nullptr},
     false},
    {voce::cartello, "cartello_indicatore", {"position", "text"}, {"cartello", "indicat"}, false},
    {voce::frenata, "percentuale massa frenata", {"braked-weight percentage"}, {"frenata", "massa"}, false},
    {voce::vetture, "numero vetture", {"number of cars"}, {"vetture", nullptr}, false},
    {voce::velocita, "velocita", {"position", "speed"}, {"velocit", nullptr}, false},
    {voce::aderenza, "aderenza", {"position", "adhesion"}, {"aderenza", nullptr}, false},
    {voce::orologio, "orologio", {"hours", "minutes", "seconds"}, {"orologio", nullptr}, false},
    {voce::sabbia, "sabbia", {"sand"}, {"sabbia", nullptr}, false},
    {voce::segnale, "segnale", {"position", "sx", "s1", "s2", "s3", "rapp", "dx", "d1", "d2", "d3", "tempo"}, {"segnale", nullptr}, false},
    {voce::rallentamento, "rallentamento", {"position", "speed", "length", "f_tt", "f_ta", "d_v"}, {"rallentamento", nullptr}, false},
    {voce::abbattimento, "abbattimento", {"position", "value"}, {"abbattimento", nullptr}, false},
    {voce::stazione,
     "stazione",
     {"position", "kind", "length", "field 4", "field 5", "end extension (field 6)", "field 7", "field 8", "field 9", "field 10",
      "field 11", "field 12", "field 13", "hours", "minutes", "seconds", "name"},
     {"stazione", nullptr},
     false},
}};

}  // namespace

const formato_voce& formato(voce v) { return formati[std::size_t(v)]; }

bool riconosce(voce v, std::string_view campo) {
  const formato_voce& f = formato(v);
  for (const char* parola : f.parole) {
    if (!parola) continue;
    if (f.maiuscole ? !contiene(campo, parola) : !contiene_nocase(campo, parola)) return false;
  }
  return true;
}

const std::vector<voce>& chiavi_generali() {
  static const std::vector<voce> v = {voce::lunghezza,  voce::progressiva_tre, voce::progressiva_due, voce::progressiva_uno,
                                      voce::sfondo_uno, voce::sfondo_due,      voce::sfondo_tre,      voce::ripetizione};
  return v;
}
const std::vector<voce>& chiavi_linea() {
  static const std::vector<voce> v = {voce::pendenza, voce::curva, voce::montagna, voce::indicatori, voce::cartello};
  return v;
}
const std::vector<voce>& chiavi_servizio() {
  static const std::vector<voce> v = {voce::frenata, voce::vetture, voce::velocita,      voce::aderenza,     voce::orologio,
                                      voce::sabbia,  voce::segnale, voce::rallentamento, voce::abbattimento, voce::stazione};
  return v;
}

}  // namespace sc
