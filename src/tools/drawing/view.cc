#include "tools/drawing/view.h"

#include <algorithm>
#include <string_view>

#include "tools/inspect/oggetti_linea.h"
#include "tools/drawing/pianta_linea.h"
#include "tools/cli/testo_sicuro.h"
#include "tools/drawing/view_risorse.h"

namespace sc {

namespace {

// Plan points closer than this to the full course add nothing a screen can show.
constexpr double tolleranza_pianta = 0.05;
// Beyond this many points the page would grow past a few megabytes: the
// tolerance doubles until the plan fits.
constexpr std::size_t punti_pianta_massimi = 150000;

std::string n(double v) { return json_numero(v); }
std::string n(int v) { return std::to_string(v); }

template <class T, class F>
std::string lista(const std::vector<T>& v, F voce) {
  std::string r = "[";
  for (std::size_t i = 0; i < v.size(); ++i) r += (i ? "," : "") + voce(v[i]);
  return r + "]";
}

std::string coppie(const std::vector<valore_letto>& v) {
  return lista(v, [](const valore_letto& c) { return "[" + json_stringa(c.nome) + "," + json_stringa(c.testo) + "]"; });
}

std::string tratti(const std::vector<tratto>& v) {
  return lista(v, [](const tratto& t) { return "[" + n(t.da) + "," + n(t.a) + "," + n(t.valore) + "]"; });
}

std::string pianta(const scenario_compilato& s, int lunghezza) {
  const std::vector<punto_pianta> tutti = punti_pianta(s.geometria);
  if (tutti.empty()) return "null";
  double tolleranza = tolleranza_pianta;
  std::vector<punto_pianta> p = semplifica(tutti, tolleranza, {lunghezza});
  while (p.size() > punti_pianta_massimi) p = semplifica(tutti, tolleranza *= 2, {lunghezza});
  std::string m = "[", x = "[", y = "[";
  for (std::size_t i = 0; i < p.size(); ++i) {
    const char* sep = i ? "," : "";
    m += sep + n(p[i].metro);
    x += sep + json_numero(p[i].x, 3);
    y += sep + json_numero(p[i].y, 3);
  }
  return "{\"m\":" + m + "],\"x\":" + x + "],\"y\":" + y + "],\"tolleranza\":" + n(tolleranza) + ",\"ultimo\":" + n(tutti.back().metro) + "}";
}

}  // namespace

std::string dati_view(const scenario_compilato& s) {
  const linea_letta l = leggi_linea(s.celle, s.servizio);
  std::string r = "{\"titolo\":" + json_stringa(s.titolo) + ",\"scenario\":" + json_stringa(s.scenario) + ",\"treno\":" + json_stringa(s.treno);
  r += ",\"lunghezza\":" + n(l.lunghezza) + ",\"metri\":" + n(l.metri_celle) + ",\"orologio\":" + n(l.orologio);
  r += ",\"generali\":" + coppie(l.dati_generali);
  r += ",\"pianta\":" + pianta(s, l.lunghezza);
  r += ",\"pendenze\":" + tratti(l.pendenze) + ",\"velocita\":" + tratti(l.velocita) + ",\"aderenza\":" + tratti(l.aderenza);
  r += ",\"montagne\":" + lista(l.montagne, [](const montagna_letta& m) {
         return "[" + n(m.da) + "," + n(m.a) + "," + n(m.tipo) + "," + (m.segnalata ? "1" : "0") + "]";
       });
  r += ",\"stazioni\":" + lista(l.stazioni, [](const stazione_letta& t) {
         return "[" + n(t.numero) + "," + json_stringa(t.nome) + "," + n(t.tipo) + "," + n(t.posizione) + "," + n(t.inizio) + "," +
                n(t.fine) + "," + json_stringa(ore_minuti_secondi(t.orario)) + "," + n(t.cella_fermata) + "]";
       });
  r += ",\"rallentamenti\":" + lista(l.rallentamenti, [](const rallentamento_letto& t) {
         return "[" + n(t.inizio) + "," + n(t.fine) + "," + n(t.velocita) + "," + n(t.avviso) + "," + n(int(t.cella_inizio)) + "," +
                n(int(t.cella_fine)) + "]";
       });
  r += ",\"oggetti\":" + lista(l.oggetti, [](const oggetto_linea& o) {
         return "[" + n(int(o.cella)) + "," + n(o.tipo) + "," + n(o.metri) + "," + n(o.mappati.da) + "," + n(o.mappati.a) + "," +
                json_stringa(o.etichetta) + "," + coppie(o.valori) + "]";
       });
  std::string tipi = "{";
  for (const tipo_cella_info& t : tabella_tipi_cella())
    tipi += std::string(tipi.size() > 1 ? "," : "") + "\"" + n(t.tipo) + "\":" + json_stringa(t.nome);
  return r + ",\"tipi\":" + tipi + "}}";
}

std::string pagina_view(const scenario_compilato& s) {
  const std::string_view modello = risorse_view::pagina_html();
  const std::pair<std::string_view, std::string> pezzi[] = {{"@TITOLO@", xml_testo(s.titolo)},
                                                             {"/*@STILE@*/", std::string(risorse_view::vista_css())},
                                                             {"@DATI@", dati_view(s)},
                                                             {"/*@CODICE@*/", std::string(risorse_view::vista_js())}};
  // One pass over the template: what goes in is never searched again, so a
  // name that looks like a placeholder stays text.
  std::string r;
  for (std::size_t p = 0;;) {
    std::size_t dove = std::string_view::npos;
    const std::pair<std::string_view, std::string>* quale = nullptr;
    for (const auto& pezzo : pezzi) {
      const std::size_t q = modello.find(pezzo.first, p);
      if (q < dove) dove = q, quale = &pezzo;
    }
    r += modello.substr(p, dove - p);
    if (!quale) return r;
    r += quale->second;
    p = dove + quale->first.size();
  }
}

}  // namespace sc
