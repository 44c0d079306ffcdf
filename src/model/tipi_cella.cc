#include "model/tipi_cella.h"

#include "model/regole.h"

namespace sc {

namespace {

using d = decodifica_valore;

std::vector<tipo_cella_info> crea_tabella() {
  return {
      {cella_segnale, "signal", "signal", "a signal", voce::segnale, aggancio::punto,
       {{"aspect 1, left and right", "s1/d1", d::aspetti},
        {"aspect 2, left and right", "s2/d2", d::aspetti},
        {"aspect 3, left and right", "s3/d3", d::aspetti},
        {"ratio and signals", "rapp/sx/dx", d::codice_segnale},
        {"time", "tempo", d::numero}},
       corsia::segnali, glifo::palo, "#1e8449"},
      {cella_fine_rallentamento, "restriction end", "restriction-end", "the end of a restriction", voce::rallentamento, aggancio::punto,
       {{"speed", "v", d::kmh}, {"second speed", "d_v", d::numero}, {"flag", "f_tt", d::numero}},
       corsia::rallentamenti, glifo::fine, "#ba4a00"},
      {cella_inizio_rallentamento, "restriction start", "restriction-start", "the start of a restriction", voce::rallentamento,
       aggancio::punto, {{"speed", "v", d::kmh}, {"second speed", "d_v", d::numero}, {"flag", "f_tt", d::numero}},
       corsia::rallentamenti, glifo::rallentamento, "#ba4a00"},
      {cella_avviso_rallentamento, "restriction warning board", "warning-board", "a restriction warning board", voce::rallentamento,
       aggancio::punto, {{"speed", "v", d::kmh}, {"second speed", "d_v", d::numero}}, corsia::rallentamenti, glifo::triangolo, "#e67e22"},
      {cella_sequenza_avviso, "warning board sequence", "warning-sequence", "a cell of a warning-board sequence", voce::rallentamento,
       aggancio::riempimento, {{"step before the warning board", nullptr, d::numero}, {"second step", nullptr, d::numero}},
       corsia::rallentamenti, glifo::punto, "#f5b041"},
      {cella_indicatore_vmax, "speed board", "speed-board", "a speed board", voce::indicatori, aggancio::punto,
       {{"speed a", "vas/vad", d::tabella}, {"speed b", "vbs/vbd", d::tabella}, {"speed c", "vcs/vcd", d::tabella},
        {"stripes", "strisces/strisced", d::strisce}},
       corsia::tabelle_velocita, glifo::quadrato, "#c0392b"},
      {cella_stazione, "station stop", "station", "a station's stop cell", voce::stazione, aggancio::stazione,
       {{"station record", nullptr, d::elemento}}, corsia::stazioni, glifo::stazione, "#1f6fb2"},
      {cella_marcatore_montagna, "mountain marker", "mountain-marker", "a mountain marker", voce::montagna, aggancio::nessuno, {},
       corsia::montagne, glifo::punto, "#7d6608"},
      {cella_abbattimento, "abatement mark", "abatement", "an abatement mark", voce::abbattimento, aggancio::riempimento,
       {{"value", nullptr, d::numero}}, corsia::abbattimenti, glifo::segno, "#616a6b"},
      {cella_abbattimento_nullo, "zero abatement mark", "zero-abatement", "an abatement mark without value", voce::abbattimento,
       aggancio::riempimento, {}, corsia::abbattimenti, glifo::segno, "#aab7b8"},
      {cella_cartello, "sign board", "sign-board", "a sign board", voce::cartello, aggancio::punto, {{"text record", nullptr, d::elemento}},
       corsia::cartelli, glifo::rombo, "#7d3c98"},
  };
}

}  // namespace

const std::vector<tipo_cella_info>& tabella_tipi_cella() {
  static const std::vector<tipo_cella_info> t = crea_tabella();
  return t;
}

const tipo_cella_info* info_tipo(int tipo) {
  for (const tipo_cella_info& t : tabella_tipi_cella())
    if (t.tipo == tipo) return &t;
  return nullptr;
}

std::string nome_tipo_cella(int tipo) {
  if (tipo == cella_vuota) return "";
  if (const tipo_cella_info* t = info_tipo(tipo)) return t->nome;
  return "kind " + std::to_string(tipo);
}

const char* chiave_tipo_cella(int tipo) {
  if (tipo == cella_vuota) return "empty";
  const tipo_cella_info* t = info_tipo(tipo);
  return t ? t->chiave : "unknown";
}

std::optional<int> tipo_da_chiave(std::string_view chiave) {
  if (chiave == "empty") return int(cella_vuota);
  for (const tipo_cella_info& t : tabella_tipi_cella())
    if (chiave == t.chiave) return int(t.tipo);
  return std::nullopt;
}

std::vector<std::string> chiavi_tipi() {
  std::vector<std::string> r = {"empty"};
  for (const tipo_cella_info& t : tabella_tipi_cella()) r.emplace_back(t.chiave);
  return r;
}

corsia corsia_di(int tipo) {
  const tipo_cella_info* t = info_tipo(tipo);
  return t ? t->in_corsia : corsia::nessuna;
}

const char* nome_corsia(corsia c) {
  switch (c) {
    case corsia::stazioni: return "Stations";
    case corsia::segnali: return "Signals";
    case corsia::tabelle_velocita: return "Speed boards";
    case corsia::cartelli: return "Sign boards";
    case corsia::rallentamenti: return "Restrictions";
    case corsia::abbattimenti: return "Abatement";
    case corsia::montagne: return "Mountains";
    case corsia::curve: return "Curves";
    case corsia::nessuna: break;
  }
  return "";
}

metri_mappati mappati_in(std::int64_t c, aggancio dove) {
  // Positions p with round-half-even(p / 50 + scarto) = c: an odd cell
  // loses both halves to its even neighbours.
  const int scarto = dove == aggancio::punto ? 1 : 0;
  const int centro = int(metro_cella(c - scarto));
  const int meta = regole::metri_cella / 2;
  const int pari = c % 2 == 0 ? 0 : 1;
  return {centro - meta + pari, centro + meta - pari};
}

int posizione_di(std::int64_t c, aggancio dove) { return int(metro_cella(c - (dove == aggancio::punto ? 1 : 0))); }

}  // namespace sc
