#include "tools/ispeziona.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <vector>

#include "compile/decodifica.h"
#include "model/modello.h"
#include "model/testo.h"

namespace sc {

namespace {

bool finisce(std::string_view s, std::string_view fine) {
  return s.size() >= fine.size() && s.substr(s.size() - fine.size()) == fine;
}

std::string json_testo(const std::string& cp1252) {
  std::string r = "\"";
  for (char c : cp1252_a_utf8(cp1252)) {
    if (c == '"' || c == '\\') r += '\\', r += c;
    else if (static_cast<unsigned char>(c) < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      r += buf;
    } else r += c;
  }
  return r + "\"";
}

std::string numero(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.17g", v);
  return buf;
}

// Fields of a record as name/value pairs, in file order.
struct campo_elenco {
  const char* nome;
  std::string valore;  // already JSON-formatted
};

std::string come_testo(const std::vector<campo_elenco>& campi) {
  std::string r;
  for (const auto& c : campi) r += std::string(" ") + c.nome + "=" + c.valore;
  return r;
}

std::string come_json(const std::vector<campo_elenco>& campi) {
  std::string r = "{";
  for (std::size_t i = 0; i < campi.size(); ++i) r += (i ? ", \"" : "\"") + std::string(campi[i].nome) + "\": " + campi[i].valore;
  return r + "}";
}

std::vector<campo_elenco> campi_cella(std::size_t i, const cella& c) {
  return {{"cell", std::to_string(i)},
          {"metres", std::to_string(i * 50)},
          {"kind", std::to_string(c.tipo)},
          {"kind_name", json_testo(nome_tipo_cella(c.tipo))},
          {"val1", std::to_string(c.val1)},
          {"val2", std::to_string(c.val2)},
          {"val3", std::to_string(c.val3)},
          {"val4", std::to_string(c.val4)},
          {"val5", std::to_string(c.val5)},
          {"approach", std::to_string(c.val6)},
          {"mountain", std::to_string(c.montagna)},
          {"speed_kmh", std::to_string(c.val7 * 5)},
          {"gradient", std::to_string(int(c.val8) - 100)},
          {"adhesion", std::to_string(c.val9)}};
}

const char* ruolo_voce(std::size_t i, const voce_servizio& v) {
  switch (i) {
    case 0: return "unused";
    case 81: case 82: case 83: return "kilometre reference";
    case 84: return "train data";
    case 85: return "scenario data";
    case 86: return "run data";
    default: break;
  }
  voce_servizio solo_nome;
  solo_nome.nome = v.nome;
  if (v == voce_servizio{}) return "empty";
  return v == solo_nome ? "sign text" : "station";
}

std::vector<campo_elenco> campi_voce(std::size_t i, const voce_servizio& v) {
  return {{"record", std::to_string(i)},
          {"role", json_testo(ruolo_voce(i, v))},
          {"tipo_voce", std::to_string(v.tipo_voce)},
          {"valore1", std::to_string(v.valore1)},
          {"valore2", std::to_string(v.valore2)},
          {"valore3", std::to_string(v.valore3)},
          {"opzione", std::to_string(v.opzione)},
          {"nome", json_testo(v.nome)},
          {"intero1", std::to_string(v.intero1)},
          {"intero2", std::to_string(v.intero2)},
          {"intero3", std::to_string(v.intero3)},
          {"intero4", std::to_string(v.intero4)},
          {"intero5", std::to_string(v.intero5)},
          {"byte1", std::to_string(v.byte1)},
          {"byte2", std::to_string(v.byte2)},
          {"byte3", std::to_string(v.byte3)},
          {"byte4", std::to_string(v.byte4)},
          {"codice", std::to_string(v.codice)}};
}

std::string elenco_celle(const std::vector<cella>& celle, bool json) {
  std::string r = json ? "{\"file\": \"track cells\", \"cells\": [\n" : "track cells: " + std::to_string(celle.size()) + " cells of 50 m\n";
  for (std::size_t i = 0; i < celle.size(); ++i) {
    auto campi = campi_cella(i, celle[i]);
    r += json ? "  " + come_json(campi) + (i + 1 < celle.size() ? ",\n" : "\n") : come_testo(campi) + "\n";
  }
  return json ? r + "]}\n" : r;
}

std::string elenco_servizio(const std::vector<voce_servizio>& voci, bool json) {
  std::string r = json ? "{\"file\": \"service data\", \"records\": [\n" : "service data: " + std::to_string(voci.size()) + " records\n";
  for (std::size_t i = 0; i < voci.size(); ++i) {
    auto campi = campi_voce(i, voci[i]);
    if (json) r += "  " + come_json(campi) + (i + 1 < voci.size() ? ",\n" : "\n");
    else if (!(voci[i] == voce_servizio{})) r += come_testo(campi) + "\n";
  }
  return json ? r + "]}\n" : r;
}

std::string elenco_geometria(const std::vector<valore_profilo>& punti, bool json) {
  const std::size_t metri = punti.size() / 2;
  std::size_t impostati = 0, ultimo = 0;
  double min_x = std::numeric_limits<double>::infinity(), max_x = -min_x, min_y = min_x, max_y = -min_x;
  for (std::size_t m = 0; m < metri; ++m) {
    const valore_profilo &x = punti[m], &y = punti[metri + m];
    if (x.tag == valore_profilo::vuoto || y.tag == valore_profilo::vuoto) continue;
    ++impostati;
    ultimo = m;
    min_x = std::min(min_x, x.valore), max_x = std::max(max_x, x.valore);
    min_y = std::min(min_y, y.valore), max_y = std::max(max_y, y.valore);
  }
  auto punto = [&](std::size_t m) { return "[" + numero(punti[m].valore) + ", " + numero(punti[metri + m].valore) + "]"; };
  std::vector<campo_elenco> campi = {{"last_metre", std::to_string(metri - 1)}, {"points_set", std::to_string(impostati)}};
  if (impostati) {
    campi.push_back({"start", punto(0)});
    campi.push_back({"end_metre", std::to_string(ultimo)});
    campi.push_back({"end", punto(ultimo)});
    campi.push_back({"bbox", "[" + numero(min_x) + ", " + numero(min_y) + ", " + numero(max_x) + ", " + numero(max_y) + "]"});
  }
  if (json) return "{\"file\": \"line geometry\", " + come_json(campi).substr(1) + "\n";
  std::string r = "line geometry: metres 0 to " + std::to_string(metri - 1) + "\n";
  for (const auto& c : campi) r += std::string("  ") + c.nome + ": " + c.valore + "\n";
  return r;
}

}  // namespace

std::optional<tipo_binario> riconosci_binario(const std::string& nome, std::string_view dati) {
  if (finisce(nome, "_linea.dat")) return tipo_binario::geometria;
  if (finisce(nome, ".sim")) return tipo_binario::servizio;
  if (finisce(nome, ".dat")) return tipo_binario::celle;
  if (decodifica_servizio(dati)) return tipo_binario::servizio;
  if (decodifica_geometria(dati)) return tipo_binario::geometria;
  if (decodifica_celle(dati)) return tipo_binario::celle;
  return std::nullopt;
}

std::optional<std::string> elenco_binario(tipo_binario tipo, std::string_view dati, bool json) {
  switch (tipo) {
    case tipo_binario::celle:
      if (auto c = decodifica_celle(dati)) return elenco_celle(*c, json);
      break;
    case tipo_binario::servizio:
      if (auto v = decodifica_servizio(dati)) return elenco_servizio(*v, json);
      break;
    case tipo_binario::geometria:
      if (auto g = decodifica_geometria(dati)) return elenco_geometria(*g, json);
      break;
  }
  return std::nullopt;
}

}  // namespace sc
