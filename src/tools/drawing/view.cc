#include "tools/drawing/view.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "model/regole.h"
#include "parsing/profilo_griglia.h"
#include "tools/cli/testo_sicuro.h"
#include "tools/drawing/pianta_linea.h"
#include "tools/drawing/regole_disegno.h"
#include "tools/drawing/view_risorse.h"
#include "tools/readback/curve_pianta.h"
#include "tools/readback/oggetti_linea.h"

namespace sc {

namespace {

// Plan points closer than this to the full course add nothing a screen can show.
constexpr double tolleranza_pianta = 0.05;
// Beyond this many points the page would grow past a few megabytes: the
// tolerance doubles until the plan fits.
constexpr std::size_t punti_pianta_massimi = 150000;

std::string n(double v) { return json_numero(v); }
std::string n(int v) { return std::to_string(v); }
std::string n(std::int64_t v) { return std::to_string(v); }
std::string n(bool v) { return v ? "true" : "false"; }
std::string n(const char* t) { return t ? json_stringa(t) : "null"; }

template <class C, class F>
std::string lista(const C& v, F voce) {
  std::string r = "[";
  for (auto it = std::begin(v); it != std::end(v); ++it) r += (it != std::begin(v) ? "," : "") + voce(*it);
  return r + "]";
}

// {"chiave": valore, ...} in the order given.
std::string oggetto(std::initializer_list<std::pair<const char*, std::string>> campi) {
  std::string r = "{";
  for (const auto& [k, v] : campi) r += (r.size() > 1 ? ",\"" : "\"") + std::string(k) + "\":" + v;
  return r + "}";
}

// The same over the rows of a table, each under its key.
template <class C, class K, class V>
std::string mappa(const C& righe, K chiave, V valore) {
  std::string r = "{";
  for (const auto& x : righe) r += (r.size() > 1 ? "," : "") + json_stringa(chiave(x)) + ":" + valore(x);
  return r + "}";
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

// A lane as the page counts them; -1 for none.
int indice(corsia c) { return c == corsia::nessuna ? -1 : int(c); }

// The shared layout, for the script to draw as plot does.
std::string regole_pagina() {
  namespace d = disegno;
  const std::string strati = mappa(d::strati, [](const d::info_strato& s) { return s.chiave; }, [](const d::info_strato& s) {
    return oggetto({{"nome", n(s.nome)}, {"colore", n(s.colore)}, {"fondo", n(s.fondo)}, {"corsia", n(indice(s.in_corsia))}});
  });
  const std::string glifi = mappa(d::glifi, [](const d::info_glifo& g) { return g.chiave; }, [](const d::info_glifo& g) {
    return oggetto({{"etichetta", n(g.etichetta)}, {"barra", g.barra ? n(d::di(*g.barra).chiave) : "null"}, {"pianta", n(g.in_pianta)}});
  });
  return oggetto({
      {"caratteri", n(d::caratteri)},
      {"corpo", n(d::corpo)},
      {"piccolo", n(d::piccolo)},
      {"passi", lista(d::passi, [](double p) { return n(p); })},
      {"spazio_etichette", n(d::spazio_etichette)},
      {"campione_asse", n(d::campione_asse)},
      {"spazio_asse", n(d::spazio_asse)},
      {"distanza_km_pianta", n(d::distanza_km_pianta)},
      {"barra_scala", n(d::barra_scala)},
      {"tolleranza_pixel", n(d::tolleranza_pixel)},
      {"margine_vista", n(d::margine_vista)},
      {"margine_vista_minimo", n(d::margine_vista_minimo)},
      {"pannelli", lista(d::pannelli, [](const d::pannello& p) {
         return oggetto({{"chiave", n(p.chiave)}, {"nome", n(p.nome)}, {"altezza", n(p.altezza)}});
       })},
      {"altezza_corsia", n(d::altezza_corsia)},
      {"riga_segni", n(d::riga_segni)},
      {"righe_etichette", lista(d::righe_etichette, [](double r) { return n(r); })},
      {"rientro_titoli", n(d::rientro_titoli)},
      {"inizio_grafici", n(d::inizio_grafici)},
      {"margine_destro", n(d::margine_destro)},
      {"pendenza_piena", n(d::pendenza_piena)},
      {"pendenza_testo_chiaro", n(d::pendenza_testo_chiaro)},
      {"strati", strati},
      {"glifi", glifi},
  });
}

// The kinds by number: name, lane, glyph and colour, from the cell table.
std::string tipi_pagina() {
  return mappa(tabella_tipi_cella(), [](const tipo_cella_info& t) { return std::to_string(t.tipo); }, [](const tipo_cella_info& t) {
    return oggetto({{"nome", n(t.nome)}, {"corsia", n(indice(t.in_corsia))}, {"glifo", n(disegno::di(t.segno).chiave)}, {"colore", n(t.colore)}});
  });
}

// The lanes' titles, top to bottom.
std::string corsie_pagina() {
  std::string r = "[";
  for (int c = 0; c < numero_corsie; ++c) r += (c ? "," : "") + n(nome_corsia(corsia(c)));
  return r + "]";
}

std::string metri(std::int64_t m) { return std::to_string(m) + " m"; }

std::string curve_pagina(const scenario_compilato& s) {
  return lista(leggi_curve(s.geometria), [](const curva_letta& c) {
    const double k = std::abs(leggi_chiave_curva("curva" + lato_classe(c)).curvatura());
    const std::vector<valore_letto> valori = {
        {"side", c.sinistra ? "left (s), anticlockwise" : "right (d), clockwise"},
        {"class", std::to_string(c.classe) + ", a radius of about " + metri(std::int64_t(arrotonda(1 / k)))},
        {"from", metri(c.inizio)},
        {"to", metri(c.fine)},
        {"length", metri(c.fine - c.inizio)}};
    return "[" + n(c.inizio) + "," + n(c.fine) + "," + json_stringa(lato_classe(c)) + "," + n(c.sinistra) + "," + coppie(valori) + "]";
  });
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
  r += ",\"curve\":" + curve_pagina(s);
  r += ",\"metri_cella\":" + n(regole::metri_cella) + ",\"passo_marcatori_montagna\":" + n(regole::passo_marcatori_montagna);
  r += ",\"tipi\":" + tipi_pagina() + ",\"corsie\":" + corsie_pagina() + ",\"regole\":" + regole_pagina();
  return r + "}";
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
