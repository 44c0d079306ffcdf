#include "tools/readback/ispeziona.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "compile/decodifica.h"
#include "model/record.h"
#include "model/regole.h"
#include "model/testo.h"
#include "tools/cli/testo_sicuro.h"

namespace sc {

namespace {

// A record's fields as they lie in the file, by their names in the format.
std::string valore_grezzo(const std::string& testo) { return json_stringa(cp1252_a_utf8(testo)); }
template <typename T>
std::string valore_grezzo(T v) {
  return std::to_string(v);
}
template <typename R, typename Campi>
std::string grezzo_json(const R& record, Campi campi) {
  std::string r;
  campi([&](const char* nome, auto membro) { r += std::string(r.empty() ? "{" : ", ") + "\"" + nome + "\": " + valore_grezzo(record.*membro); });
  return r + "}";
}

bool finisce(std::string_view s, std::string_view fine) {
  return s.size() >= fine.size() && s.substr(s.size() - fine.size()) == fine;
}

const char* nome_binario(tipo_binario t) {
  switch (t) {
    case tipo_binario::geometria: return "line geometry";
    case tipo_binario::servizio: return "service data";
    case tipo_binario::celle: return "track cell";
  }
  return "";
}

// The file as one kind: the decoded content, or why it is not of that kind.
std::variant<binario_letto, std::string> come(tipo_binario t, std::string_view dati) {
  binario_letto b{t, {}, {}, {}};
  switch (t) {
    case tipo_binario::celle: {
      auto c = decodifica_celle(dati);
      if (!c) return "its size, " + std::to_string(dati.size()) + " bytes, is not a whole number of " + std::to_string(byte_cella) + "-byte cells";
      if (auto m = motivo_non_celle(*c)) return *m;
      b.celle = std::move(*c);
      break;
    }
    case tipo_binario::servizio: {
      auto v = decodifica_servizio(dati);
      if (!v) return std::string("its bytes do not make 87 service records that end with the file");
      if (auto m = motivo_non_servizio(*v)) return *m;
      b.servizio = std::move(*v);
      break;
    }
    case tipo_binario::geometria: {
      auto g = decodifica_geometria(dati);
      if (!g) return std::string("its bytes are not a sequence of tagged plan values");
      if (auto m = motivo_non_geometria(*g)) return *m;
      b.geometria = std::move(*g);
      break;
    }
  }
  return b;
}

// A coordinate in CSV: every digit, and nan or inf as they are.
std::string numero_csv(double v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.17g", v);
  return buf;
}

std::string metri_cella(std::size_t i) {
  return std::to_string(metro_cella(std::int64_t(i))) + "-" + std::to_string(metro_cella(std::int64_t(i) + 1) - 1) + " m";
}
int velocita_kmh(const cella& c) { return int(c.val7) * regole::passo_velocita; }
int pendenza_permille(const cella& c) { return int(c.val8) - regole::pendenza_piana; }

std::string pendenza(int v) { return (v > 0 ? "+" : "") + std::to_string(v) + " per mille"; }

bool passa(const filtro_elenco& f, int da, int a) { return (!f.da || a >= *f.da) && (!f.a || da <= *f.a); }

std::string valori_json(const std::vector<valore_letto>& valori) {
  std::string r = "{";
  for (std::size_t i = 0; i < valori.size(); ++i) r += (i ? ", " : "") + json_stringa(valori[i].nome) + ": " + json_stringa(valori[i].testo);
  return r + "}";
}

std::string valori_testo(const std::vector<valore_letto>& valori) {
  std::string r;
  for (const valore_letto& v : valori) r += (r.empty() ? "" : ", ") + v.nome + " " + v.testo;
  return r;
}

// Fills of a cell in the author's units.
std::string riempimenti(const cella& c) {
  // The closing fills stop three cells before the end.
  if (c.val7 == 0 && c.val8 == 0 && c.val9 == 0 && c.montagna == 0) return "no speed, gradient or adhesion filled";
  std::string r = std::to_string(velocita_kmh(c)) + " km/h, " + pendenza(pendenza_permille(c)) + ", adhesion " + std::to_string(c.val9);
  if (c.montagna) r += ", mountain type " + std::to_string(c.montagna);
  return r;
}

// What cell i holds beyond its fills, in words; "" for nothing.
std::string contenuto(std::size_t i, const cella& c, const oggetto_linea& o) {
  std::string r;
  if (c.tipo != cella_vuota) {
    r = nome_tipo_cella(c.tipo);
    if (c.tipo == cella_stazione) r += " " + o.etichetta + ", at " + std::to_string(o.metri) + " m";
    else r += " at " + std::to_string(o.metri) + " m (" + std::to_string(o.mappati.da) + "-" + std::to_string(o.mappati.a) + " m map here)";
    if (!o.valori.empty()) r += ": " + valori_testo(o.valori);
  }
  if (i == 1) r += std::string(r.empty() ? "" : "; ") + "format marker " + std::to_string(c.val1) + ", competition code " + std::to_string(c.val2);
  if (c.val6) r += std::string(r.empty() ? "" : "; ") + "approach mark " + std::to_string(c.val6);
  return r;
}

}  // namespace

std::variant<binario_letto, std::string> leggi_binario(const std::string& nome, std::string_view dati, std::optional<tipo_binario> tipo) {
  std::optional<tipo_binario> dal_nome = tipo;
  if (dal_nome) {
    auto r = come(*dal_nome, dati);
    if (auto* motivo = std::get_if<std::string>(&r)) return "not a " + std::string(nome_binario(*dal_nome)) + " file: " + *motivo;
    return r;
  }
  if (finisce(nome, "_linea.dat")) dal_nome = tipo_binario::geometria;
  else if (finisce(nome, ".sim")) dal_nome = tipo_binario::servizio;
  else if (finisce(nome, ".dat")) dal_nome = tipo_binario::celle;
  if (dal_nome) {
    auto r = come(*dal_nome, dati);
    if (auto* motivo = std::get_if<std::string>(&r)) return "not a " + std::string(nome_binario(*dal_nome)) + " file, as its name says: " + *motivo;
    return r;
  }
  std::string motivi;
  for (tipo_binario t : {tipo_binario::servizio, tipo_binario::geometria, tipo_binario::celle}) {
    auto r = come(t, dati);
    if (std::holds_alternative<binario_letto>(r)) return r;
    motivi += std::string(motivi.empty() ? "" : "; ") + "as " + nome_binario(t) + " file, " + std::get<std::string>(r);
  }
  return "not a line geometry, service data or track cell file (" + motivi + ")";
}

std::string elenco_celle(const std::vector<cella>& celle, const filtro_elenco& f) {
  // The line's end from the service data, or from the number of cells,
  // which the run-out makes round((L + run-out) / cell) + 1.
  const bool da_servizio = f.servizio.size() == std::size_t(voci_servizio);
  const int fine = da_servizio ? f.servizio[voce_treno].valore2 : std::max(0, int(metro_cella(std::int64_t(celle.size()) - 1)) - regole::coda_linea);
  const std::string dove_fine =
      da_servizio ? "the service data beside it" : "the number of cells, within " + std::to_string(regole::metri_cella / 2) + " m";
  std::string r;
  if (f.json) {
    r = "{\"file\": \"track cells\", \"cells_count\": " + std::to_string(celle.size()) + ", \"line_end_m\": " + std::to_string(fine) +
        ", \"line_end_from\": " + json_stringa(dove_fine) + ", \"cells\": [";
  } else {
    r = "track cells: " + std::to_string(celle.size()) + " cells of " + std::to_string(regole::metri_cella) + " m; the line ends at " +
        std::to_string(fine) + " m (from " + dove_fine + "), the run-out follows to " + std::to_string(metro_cella(std::int64_t(celle.size()))) +
        " m\n";
  }
  bool primo = true;
  // Text: runs of cells that hold nothing but the same fills share one line.
  std::optional<std::size_t> gruppo;
  auto chiudi_gruppo = [&](std::size_t a) {
    if (!gruppo) return;
    const std::size_t da = *gruppo;
    gruppo.reset();
    char testa[64];
    if (a == da) std::snprintf(testa, sizeof testa, "cell  %-13zu", a);
    else std::snprintf(testa, sizeof testa, "cells %-13s", (std::to_string(da) + "-" + std::to_string(a)).c_str());
    r += std::string(testa) + std::to_string(metro_cella(std::int64_t(da))) + "-" + std::to_string(metro_cella(std::int64_t(a) + 1) - 1) + " m  " +
         (metro_cella(std::int64_t(da)) >= fine ? "run-out  " : "") +
         riempimenti(celle[da]) + "\n";
  };
  nomi_dati nomi;
  for (std::size_t i = 0; i < celle.size(); ++i) {
    const cella& c = celle[i];
    const int da = int(metro_cella(std::int64_t(i))), a = int(metro_cella(std::int64_t(i) + 1)) - 1;
    const oggetto_linea o = leggi_cella(i, c, f.servizio, nomi.nominata(i, c));
    const bool oggetto = c.tipo != cella_vuota || c.val6 != 0 || i == 1;
    const bool scelto = (f.tipi.empty() || f.tipi.count(c.tipo)) && (passa(f, da, a) || (c.tipo != cella_vuota && passa(f, o.metri, o.metri)));
    const bool coda = da >= fine;
    if (!scelto) {
      if (i) chiudi_gruppo(i - 1);
      continue;
    }
    if (f.json) {
      r += std::string(primo ? "\n" : ",\n") + "  {\"cell\": " + std::to_string(i) + ", \"from_m\": " + std::to_string(da) +
           ", \"to_m\": " + std::to_string(a + 1) + ", \"run_out\": " + (coda ? "true" : "false") + ", \"kind\": " + std::to_string(c.tipo) +
           ", \"kind_name\": " + json_stringa(nome_tipo_cella(c.tipo));
      if (c.tipo != cella_vuota)
        r += ", \"at_m\": " + std::to_string(o.metri) + ", \"maps_from_m\": " + std::to_string(o.mappati.da) + ", \"maps_to_m\": " +
             std::to_string(o.mappati.a) + ", \"label\": " + json_stringa(o.etichetta) + ", \"values\": " + valori_json(o.valori);
      r += ", \"speed_kmh\": " + std::to_string(velocita_kmh(c)) + ", \"gradient_permille\": " + std::to_string(pendenza_permille(c)) +
           ", \"adhesion\": " + std::to_string(c.val9) + ", \"mountain\": " + std::to_string(c.montagna) + ", \"approach\": " +
           std::to_string(c.val6) + ", \"raw\": " + grezzo_json(c, [](auto f) { per_campi_cella(f); }) + "}";
      primo = false;
      continue;
    }
    if (oggetto) {
      if (i) chiudi_gruppo(i - 1);
      char testa[64];
      std::snprintf(testa, sizeof testa, "cell  %-13zu", i);
      r += std::string(testa) + metri_cella(i) + "  " + (coda ? "run-out  " : "") + riempimenti(c) + "\n      " + contenuto(i, c, o) + "\n";
      continue;
    }
    const cella& g = celle[gruppo.value_or(i)];
    if (gruppo && (c.val7 != g.val7 || c.val8 != g.val8 || c.val9 != g.val9 || c.montagna != g.montagna || (metro_cella(std::int64_t(*gruppo)) >= fine) != coda))
      chiudi_gruppo(i - 1);
    if (!gruppo) gruppo = i;
  }
  if (!f.json && !celle.empty()) chiudi_gruppo(celle.size() - 1);
  return f.json ? r + (primo ? "]}\n" : "\n]}\n") : r;
}

namespace {

const char* ruolo(std::size_t i, const voce_servizio& v, std::size_t stazioni) {
  switch (i) {
    case 0: return "unused";
    case voce_progressiva_tre: return "kilometre reference tre";
    case voce_progressiva_due: return "kilometre reference due";
    case voce_progressiva_uno: return "kilometre reference uno";
    case voce_treno: return "train data";
    case voce_scenario: return "scenario data";
    case voce_corsa: return "run data";
    default: break;
  }
  if (v == voce_servizio{}) return "empty";
  return i <= stazioni ? "station" : "sign text";
}

std::vector<valore_letto> valori_voce(std::size_t i, const voce_servizio& v, const char* r) {
  const std::string nome = cp1252_a_utf8(v.nome);
  auto n = [](long long x) { return std::to_string(x); };
  const std::string ruolo_voce = r;
  if (ruolo_voce == "station")
    return {{"name", nome}, {"kind", n(v.tipo_voce)}, {"position", n(v.valore3) + " m"}, {"area", n(v.valore1) + " to " + n(v.valore2) + " m"},
            {"time", ore_minuti_secondi(v.codice)}, {"field 4", n(v.opzione)}, {"field 5", n(v.byte4)}, {"end extension", n(v.byte3)},
            {"fields 7 8 9", n(v.intero1) + " " + n(v.intero2) + " " + n(v.byte1)},
            {"fields 10 11 12 13", n(v.intero3) + " " + n(v.intero4) + " " + n(v.intero5) + " " + n(v.byte2)}};
  if (ruolo_voce == "sign text") return {{"text", nome}};
  if (ruolo_voce.rfind("kilometre", 0) == 0) return {{"values", n(v.valore1) + ", " + n(v.valore2) + ", " + n(v.valore3)}};
  switch (i) {
    case voce_treno:
      return {{"braked weight", n(v.valore1) + " %"}, {"line length", n(v.valore2) + " m"}, {"cars", n(v.valore3)}};
    case voce_scenario:
      return {{"scenario", nome}, {"background uno", n(v.valore1)}, {"background due", n(v.valore3)}, {"background tre", n(v.valore2)},
              {"format marker", n(v.intero1)}, {"competition code", n(v.codice)}};
    case voce_corsa:
      return {{"train", nome}, {"signal repetition", n(v.valore1) + " m, " + n(v.valore2) + " m, code " + n(v.valore3)},
              {"sand", n(v.intero1)}, {"clock at the start", n(v.intero3) + ":" + (v.intero4 < 10 ? "0" : "") + n(v.intero4) + ":" + (v.intero5 < 10 ? "0" : "") + n(v.intero5)}};
    default: break;
  }
  return {};
}

}  // namespace

std::string elenco_servizio(const std::vector<voce_servizio>& voci, const filtro_elenco& f) {
  // Stations fill the records from 1 up, without a gap; sign texts come down from 80.
  std::size_t stazioni = 0;
  for (std::size_t k = 1; k <= std::size_t(prima_voce_cartelli) && k < voci.size(); ++k) {
    const voce_servizio& v = voci[k];
    voce_servizio solo_nome;
    solo_nome.nome = v.nome;
    if (v == voce_servizio{} || v == solo_nome) break;
    stazioni = k;
  }
  std::string r = f.json ? "{\"file\": \"service data\", \"records\": [\n" : "service data: " + std::to_string(voci.size()) + " records\n";
  for (std::size_t i = 0; i < voci.size(); ++i) {
    const voce_servizio& v = voci[i];
    const char* ruolo_voce = ruolo(i, v, stazioni);
    const std::vector<valore_letto> valori = valori_voce(i, v, ruolo_voce);
    if (f.json) {
      r += "  {\"record\": " + std::to_string(i) + ", \"role\": " + json_stringa(ruolo_voce) + ", \"values\": " + valori_json(valori) +
           ", \"raw\": " + grezzo_json(v, [](auto f) { per_campi_servizio(f); }) + "}" + (i + 1 < voci.size() ? ",\n" : "\n");
    } else if (!(v == voce_servizio{})) {
      r += "record " + std::to_string(i) + " " + ruolo_voce + (valori.empty() ? "" : ": " + valori_testo(valori)) + "\n";
    }
  }
  return f.json ? r + "]}\n" : r;
}

std::string elenco_geometria(const std::vector<valore_profilo>& punti, const filtro_elenco& f) {
  const std::size_t metri = punti.size() / 2;
  std::size_t impostati = 0, ultimo = 0, non_finiti = 0;
  double min_x = std::numeric_limits<double>::infinity(), max_x = -min_x, min_y = min_x, max_y = -min_x;
  for (std::size_t m = 0; m < metri; ++m) {
    const valore_profilo &x = punti[m], &y = punti[metri + m];
    if (x.tag == valore_profilo::vuoto || y.tag == valore_profilo::vuoto) continue;
    ++impostati;
    ultimo = m;
    if (!std::isfinite(x.valore) || !std::isfinite(y.valore)) {
      ++non_finiti;
      continue;
    }
    min_x = std::min(min_x, x.valore), max_x = std::max(max_x, x.valore);
    min_y = std::min(min_y, y.valore), max_y = std::max(max_y, y.valore);
  }
  auto punto = [&](std::size_t m) { return "[" + json_numero(punti[m].valore) + ", " + json_numero(punti[metri + m].valore) + "]"; };
  std::vector<std::pair<const char*, std::string>> campi = {{"last_metre", std::to_string(metri - 1)}, {"points_set", std::to_string(impostati)}};
  if (impostati) {
    campi.push_back({"start", punto(0)});
    campi.push_back({"end_metre", std::to_string(ultimo)});
    campi.push_back({"end", punto(ultimo)});
    if (non_finiti < impostati)
      campi.push_back({"bbox", "[" + json_numero(min_x) + ", " + json_numero(min_y) + ", " + json_numero(max_x) + ", " + json_numero(max_y) + "]"});
    if (non_finiti) campi.push_back({"points_not_finite", std::to_string(non_finiti)});
  }
  if (f.json) {
    std::string r = "{\"file\": \"line geometry\"";
    for (const auto& [n, v] : campi) r += std::string(", \"") + n + "\": " + v;
    return r + "}\n";
  }
  std::string r = "line geometry: metres 0 to " + std::to_string(metri - 1) + " (the last " + std::to_string(regole::coda_linea) + " are the run-out after the line's end)\n";
  for (const auto& [n, v] : campi) r += std::string("  ") + n + ": " + v + "\n";
  return r + "  (--points lists every point)\n";
}

std::string punti_geometria(const std::vector<valore_profilo>& punti, const filtro_elenco& f) {
  const std::size_t metri = punti.size() / 2;
  std::string r = f.json ? "{\"file\": \"line geometry\", \"points\": [" : "metre,x,y\n";
  bool primo = true;
  for (std::size_t m = 0; m < metri; ++m) {
    const valore_profilo &x = punti[m], &y = punti[metri + m];
    if (x.tag == valore_profilo::vuoto || y.tag == valore_profilo::vuoto || !passa(f, int(m), int(m))) continue;
    if (f.json) r += std::string(primo ? "\n" : ",\n") + "[" + std::to_string(m) + ", " + json_numero(x.valore) + ", " + json_numero(y.valore) + "]";
    else r += std::to_string(m) + "," + numero_csv(x.valore) + "," + numero_csv(y.valore) + "\n";
    primo = false;
  }
  return f.json ? r + (primo ? "]}\n" : "\n]}\n") : r;
}

}  // namespace sc
