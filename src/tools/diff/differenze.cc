#include "tools/diff/differenze.h"

#include <algorithm>
#include <array>
#include <bit>
#include <functional>
#include <optional>

#include "model/regole.h"
#include "model/testo.h"
#include "tools/readback/ispeziona.h"

namespace sc {

namespace {

std::string freccia(const std::string& a, const std::string& b) { return a + " -> " + b; }

// A name or text in quotes; a long one is cut, so that a line stays short
// whatever the record holds.
std::string tra_virgolette(const std::string& cp1252) {
  constexpr std::size_t lungo = 60;
  if (cp1252.size() <= lungo) return "\"" + cp1252_a_utf8(cp1252) + "\"";
  return "\"" + cp1252_a_utf8(cp1252.substr(0, lungo)) + "...\" (" + std::to_string(cp1252.size()) + " bytes)";
}

// ---- cells ----

// What val1 to val5 mean for each kind of cell; empty names are shown as
// the field's own name when they are not 0.
struct campi_tipo {
  std::array<const char*, 5> nomi;
};

campi_tipo campi_di(std::uint8_t tipo) {
  switch (tipo) {
    case cella_segnale: return {{"val1", "val2", "val3", "val4", "time"}};
    case cella_fine_rallentamento:
    case cella_inizio_rallentamento: return {{"speed", "second speed", "flag", nullptr, nullptr}};
    case cella_avviso_rallentamento: return {{"speed", "second speed", nullptr, nullptr, nullptr}};
    case cella_sequenza_avviso: return {{"step", "second step", nullptr, nullptr, nullptr}};
    case cella_indicatore_vmax: return {{"val1", "val2", "val3", "stripes", nullptr}};
    case cella_stazione: return {{"station", nullptr, nullptr, nullptr, nullptr}};
    case cella_abbattimento:
    case cella_abbattimento_nullo: return {{"value", nullptr, nullptr, nullptr, nullptr}};
    case cella_cartello: return {{"text slot", nullptr, nullptr, nullptr, nullptr}};
    default: return {{nullptr, nullptr, nullptr, nullptr, nullptr}};
  }
}

const char* nomi_generici[5] = {"val1", "val2", "val3", "val4", "val5"};

std::array<std::int32_t, 5> valori_oggetto(const cella& c) { return {c.val1, c.val2, c.val3, c.val4, c.val5}; }

// The object of a cell in a few words: 'sign board "BRUNEA"', "signal
// (val1 30, val2 10, val4 3)", "nothing".
std::string oggetto(const cella& c, const std::vector<voce_servizio>* servizio) {
  if (c.tipo == cella_vuota && valori_oggetto(c) == std::array<std::int32_t, 5>{}) return "nothing";
  std::string r = c.tipo == cella_vuota ? "leftover values" : nome_tipo_cella(c.tipo);
  if (c.tipo == cella_abbattimento && c.val1 != 0) r += " " + std::to_string(c.val1);
  const bool con_testo = servizio && c.val1 >= 0 && std::size_t(c.val1) < servizio->size();
  if (c.tipo == cella_cartello && con_testo) r += " " + tra_virgolette((*servizio)[std::size_t(c.val1)].nome);
  if (c.tipo == cella_stazione && con_testo) r = "stop of station " + std::to_string(c.val1) + " " + tra_virgolette((*servizio)[std::size_t(c.val1)].nome);
  const campi_tipo campi = campi_di(c.tipo);
  const auto valori = valori_oggetto(c);
  std::string dettagli;
  for (std::size_t i = 0; i < 5; ++i) {
    if (valori[i] == 0) continue;
    if (i == 0 && (c.tipo == cella_abbattimento || c.tipo == cella_cartello || c.tipo == cella_stazione)) continue;
    dettagli += std::string(dettagli.empty() ? "" : ", ") + (campi.nomi[i] ? campi.nomi[i] : nomi_generici[i]) + " " + std::to_string(valori[i]);
  }
  return dettagli.empty() ? r : r + " (" + dettagli + ")";
}

std::string cambio_oggetto(const cella& a, const cella& b, const std::vector<voce_servizio>* sa, const std::vector<voce_servizio>* sb) {
  const auto va = valori_oggetto(a), vb = valori_oggetto(b);
  if (a.tipo == b.tipo && va == vb) return "";
  if (a.tipo != b.tipo) return freccia(oggetto(a, sa), oggetto(b, sb));
  const campi_tipo campi = campi_di(a.tipo);
  std::string r = std::string(a.tipo == cella_vuota ? "leftover values" : nome_tipo_cella(a.tipo)) + ":";
  bool primo = true;
  for (std::size_t i = 0; i < 5; ++i) {
    if (va[i] == vb[i]) continue;
    r += std::string(primo ? " " : ", ") + (campi.nomi[i] ? campi.nomi[i] : nomi_generici[i]) + " " + freccia(std::to_string(va[i]), std::to_string(vb[i]));
    primo = false;
  }
  return r;
}

// One layer of a cell: the text of its change from A to B, "" when equal.
using strato = std::function<std::string(std::size_t, const cella&, const cella&)>;

strato valore(const char* nome, std::function<std::string(const cella&)> come) {
  return [nome, come](std::size_t, const cella& a, const cella& b) {
    const std::string x = come(a), y = come(b);
    return x == y ? std::string() : std::string(nome) + " " + freccia(x, y);
  };
}

std::vector<strato> strati(const std::vector<voce_servizio>* sa, const std::vector<voce_servizio>* sb) {
  // Cell 1 carries the format marker and the second competition code in
  // val1 and val2, above whatever object stands there.
  auto senza_codici = [](std::size_t i, cella c) {
    if (i == 1) c.val1 = c.val2 = 0;
    return c;
  };
  return {
      [=](std::size_t i, const cella& a, const cella& b) { return cambio_oggetto(senza_codici(i, a), senza_codici(i, b), sa, sb); },
      [](std::size_t i, const cella& a, const cella& b) {
        if (i != 1 || a.val1 == b.val1) return std::string();
        return "format marker " + freccia(std::to_string(a.val1), std::to_string(b.val1));
      },
      [](std::size_t i, const cella& a, const cella& b) {
        if (i != 1 || a.val2 == b.val2) return std::string();
        return "competition code " + freccia(std::to_string(a.val2), std::to_string(b.val2));
      },
      valore("approach mark", [](const cella& c) { return std::to_string(c.val6); }),
      valore("mountain", [](const cella& c) { return std::to_string(c.montagna); }),
      valore("speed limit", [](const cella& c) { return std::to_string(c.val7 * 5) + " km/h"; }),
      valore("gradient", [](const cella& c) { return std::to_string(int(c.val8) - 100); }),
      valore("adhesion", [](const cella& c) { return std::to_string(c.val9); }),
  };
}

// ---- service records ----

std::string tempo(std::int64_t secondi) {
  if (secondi < 0) return std::to_string(secondi) + " s";
  auto due = [](std::int64_t v) { return (v < 10 ? "0" : "") + std::to_string(v); };
  std::string r = std::to_string(secondi / 3600) + ":" + due(secondi % 3600 / 60);
  return secondi % 60 ? r + ":" + due(secondi % 60) : r;
}

enum class ruolo { vuoto, stazione, testo_cartello, progressiva, treno, scenario, corsa, altro };

ruolo ruolo_di(std::size_t i, const voce_servizio& v) {
  if (i >= voce_progressiva_tre && i <= voce_progressiva_uno) return ruolo::progressiva;
  if (i == voce_treno) return ruolo::treno;
  if (i == voce_scenario) return ruolo::scenario;
  if (i == voce_corsa) return ruolo::corsa;
  if (i == 0) return ruolo::altro;
  voce_servizio solo_nome;
  solo_nome.nome = v.nome;
  if (v == voce_servizio{}) return ruolo::vuoto;
  return v == solo_nome ? ruolo::testo_cartello : ruolo::stazione;
}

std::string nome_ruolo(std::size_t i, ruolo r, const voce_servizio& v) {
  switch (r) {
    case ruolo::stazione: return "station " + std::to_string(i) + (v.nome.empty() ? "" : " " + tra_virgolette(v.nome));
    case ruolo::testo_cartello: return "sign text " + std::to_string(i);
    case ruolo::progressiva: return "kilometre reference " + std::to_string(i);
    case ruolo::treno: return "train data";
    case ruolo::scenario: return "scenario data";
    case ruolo::corsa: return "run data";
    default: return "record " + std::to_string(i);
  }
}

struct campo_voce {
  const char* nome;
  std::function<std::string(const voce_servizio&)> valore;
};

std::vector<campo_voce> campi_voce(ruolo r) {
  auto n = [](auto membro) { return [membro](const voce_servizio& v) { return std::to_string(v.*membro); }; };
  auto t = [](const voce_servizio& v) { return tra_virgolette(v.nome); };
  switch (r) {
    case ruolo::stazione:
      return {{"position", n(&voce_servizio::valore3)}, {"kind", n(&voce_servizio::tipo_voce)},  {"start", n(&voce_servizio::valore1)},
              {"end", n(&voce_servizio::valore2)},      {"time", [](const voce_servizio& v) { return tempo(v.codice); }},
              {"name", t},                              {"field 4", n(&voce_servizio::opzione)}, {"field 5", n(&voce_servizio::byte4)},
              {"end extension", n(&voce_servizio::byte3)}, {"field 7", n(&voce_servizio::intero1)}, {"field 8", n(&voce_servizio::intero2)},
              {"field 9", n(&voce_servizio::byte1)},    {"field 10", n(&voce_servizio::intero3)}, {"field 11", n(&voce_servizio::intero4)},
              {"field 12", n(&voce_servizio::intero5)}, {"field 13", n(&voce_servizio::byte2)}};
    case ruolo::testo_cartello: return {{"text", t}};
    case ruolo::progressiva:
      return {{"first value", n(&voce_servizio::valore1)}, {"second value", n(&voce_servizio::valore2)}, {"third value", n(&voce_servizio::valore3)}};
    case ruolo::treno:
      return {{"braked weight percentage", n(&voce_servizio::valore1)}, {"line length", n(&voce_servizio::valore2)}, {"cars", n(&voce_servizio::valore3)}};
    case ruolo::scenario:
      return {{"scenario name", t},
              {"background uno", n(&voce_servizio::valore1)},
              {"background due", n(&voce_servizio::valore3)},
              {"background tre", n(&voce_servizio::valore2)},
              {"format marker", n(&voce_servizio::intero1)},
              {"competition code", n(&voce_servizio::codice)}};
    case ruolo::corsa:
      return {{"train name", t},
              {"signal repetition", [](const voce_servizio& v) { return std::to_string(v.valore1) + " " + std::to_string(v.valore2); }},
              {"repetition code", n(&voce_servizio::valore3)},
              {"sand", n(&voce_servizio::intero1)},
              {"clock", [](const voce_servizio& v) { return tempo(std::int64_t(v.intero3) * 3600 + v.intero4 * 60 + v.intero5); }}};
    default: return {};
  }
}

// Every field, so that a field the role does not use still shows.
std::vector<campo_voce> tutti_i_campi() {
  auto n = [](auto membro) { return [membro](const voce_servizio& v) { return std::to_string(v.*membro); }; };
  return {{"tipo_voce", n(&voce_servizio::tipo_voce)}, {"valore1", n(&voce_servizio::valore1)}, {"valore2", n(&voce_servizio::valore2)},
          {"valore3", n(&voce_servizio::valore3)},     {"opzione", n(&voce_servizio::opzione)},
          {"nome", [](const voce_servizio& v) { return tra_virgolette(v.nome); }},
          {"intero1", n(&voce_servizio::intero1)},     {"intero2", n(&voce_servizio::intero2)}, {"intero3", n(&voce_servizio::intero3)},
          {"intero4", n(&voce_servizio::intero4)},     {"intero5", n(&voce_servizio::intero5)}, {"byte1", n(&voce_servizio::byte1)},
          {"byte2", n(&voce_servizio::byte2)},         {"byte3", n(&voce_servizio::byte3)},     {"byte4", n(&voce_servizio::byte4)},
          {"codice", n(&voce_servizio::codice)}};
}

std::string cambio_voce(ruolo r, const voce_servizio& a, const voce_servizio& b) {
  std::string testo;
  for (const campo_voce& c : campi_voce(r)) {
    const std::string x = c.valore(a), y = c.valore(b);
    if (x != y) testo += std::string(testo.empty() ? "" : ", ") + c.nome + " " + freccia(x, y);
  }
  if (testo.empty())  // a field this role leaves alone
    for (const campo_voce& c : tutti_i_campi()) {
      const std::string x = c.valore(a), y = c.valore(b);
      if (x != y) testo += std::string(testo.empty() ? "" : ", ") + c.nome + " " + freccia(x, y);
    }
  return testo;
}

bool stessi_bit(const valore_profilo& a, const valore_profilo& b) {
  return a.tag == b.tag && std::bit_cast<std::uint64_t>(a.valore) == std::bit_cast<std::uint64_t>(b.valore);
}

}  // namespace

std::vector<differenza> differenze_celle(const std::vector<cella>& a, const std::vector<cella>& b, const std::vector<voce_servizio>* sa,
                                         const std::vector<voce_servizio>* sb) {
  std::vector<differenza> r;
  const std::size_t comuni = std::min(a.size(), b.size());
  for (const strato& s : strati(sa, sb)) {
    std::optional<differenza> aperta;
    for (std::size_t i = 0; i <= comuni; ++i) {
      const std::string t = i < comuni ? s(i, a[i], b[i]) : "";
      if (aperta && t == aperta->testo && std::int64_t(i) == aperta->ultimo + 1) {
        aperta->ultimo = std::int64_t(i);
        continue;
      }
      if (aperta) r.push_back(*aperta), aperta.reset();
      if (!t.empty()) aperta = differenza{differenza::parte::celle, std::int64_t(i), std::int64_t(i), "", t};
    }
  }
  if (a.size() != b.size())
    r.push_back({differenza::parte::celle, std::int64_t(comuni), std::int64_t(std::max(a.size(), b.size())) - 1, "",
                 std::string("track ") + freccia(std::to_string(a.size()) + " cells", std::to_string(b.size()) + " cells")});
  std::stable_sort(r.begin(), r.end(), [](const differenza& x, const differenza& y) { return x.primo < y.primo; });
  return r;
}

std::vector<differenza> differenze_servizio(const std::vector<voce_servizio>& a, const std::vector<voce_servizio>& b) {
  std::vector<differenza> r;
  const voce_servizio vuota;
  for (std::size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
    const voce_servizio& x = i < a.size() ? a[i] : vuota;
    const voce_servizio& y = i < b.size() ? b[i] : vuota;
    if (x == y) continue;
    ruolo rx = ruolo_di(i, x), ry = ruolo_di(i, y);
    const ruolo ru = rx == ruolo::vuoto ? ry : rx;
    const std::string nome = nome_ruolo(i, ru, rx == ruolo::vuoto ? y : x);
    std::string testo = rx == ruolo::vuoto ? "added" : ry == ruolo::vuoto ? "removed" : cambio_voce(ru, x, y);
    if (rx == ruolo::vuoto || ry == ruolo::vuoto) {
      const voce_servizio& presente = rx == ruolo::vuoto ? y : x;
      if (ru == ruolo::stazione) testo += " (position " + std::to_string(presente.valore3) + ", time " + tempo(presente.codice) + ")";
      if (ru == ruolo::testo_cartello) testo += " (" + tra_virgolette(presente.nome) + ")";
    }
    r.push_back({differenza::parte::servizio, std::int64_t(i), std::int64_t(i), nome, testo});
  }
  return r;
}

std::vector<differenza> differenze_piano(const std::vector<valore_profilo>& a, const std::vector<valore_profilo>& b) {
  std::vector<differenza> r;
  if (a.empty() != b.empty()) {
    r.push_back({differenza::parte::piano, 0, 0, "", a.empty() ? "only in the second scenario" : "only in the first scenario"});
    return r;
  }
  const std::size_t ma = a.size() / 2, mb = b.size() / 2;
  if (ma != mb)
    r.push_back({differenza::parte::piano, std::int64_t(std::min(ma, mb)), std::int64_t(std::max(ma, mb)) - 1, "",
                 "metres 0-" + std::to_string(ma ? ma - 1 : 0) + " -> 0-" + std::to_string(mb ? mb - 1 : 0)});
  std::optional<std::int64_t> primo;
  std::int64_t ultimo = 0;
  for (std::size_t m = 0; m < std::min(ma, mb); ++m) {
    if (stessi_bit(a[m], b[m]) && stessi_bit(a[ma + m], b[mb + m])) continue;
    if (!primo) primo = std::int64_t(m);
    ultimo = std::int64_t(m);
  }
  if (primo) r.insert(r.begin(), {differenza::parte::piano, *primo, ultimo, "", ""});
  return r;
}

std::vector<differenza> differenze_scenari(const scenario_compilato& a, const scenario_compilato& b) {
  std::vector<differenza> r = differenze_servizio(a.servizio, b.servizio);
  for (auto& d : differenze_celle(a.celle, b.celle, &a.servizio, &b.servizio)) r.push_back(std::move(d));
  for (auto& d : differenze_piano(a.geometria, b.geometria)) r.push_back(std::move(d));
  return r;
}

std::string riga_differenza(const differenza& d) {
  switch (d.dove) {
    case differenza::parte::servizio: return d.oggetto + ": " + d.testo;
    case differenza::parte::celle: {
      const std::string celle = d.primo == d.ultimo ? "cell " + std::to_string(d.primo) : "cells " + std::to_string(d.primo) + "-" + std::to_string(d.ultimo);
      return "metres " + std::to_string(metro_cella(d.primo)) + "-" + std::to_string(metro_cella(d.ultimo + 1) - 1) + " (" + celle + "): " + d.testo;
    }
    case differenza::parte::piano:
      if (d.testo.empty()) return "plan: metres " + std::to_string(d.primo) + "-" + std::to_string(d.ultimo) + " differ";
      return "plan: " + d.testo;
    case differenza::parte::oggetti: return d.testo.empty() ? d.oggetto : d.oggetto + ": " + d.testo;
  }
  return d.testo;
}

}  // namespace sc
