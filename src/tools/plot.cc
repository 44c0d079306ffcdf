#include "tools/plot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "tools/ispeziona.h"
#include "model/testo.h"

namespace sc {

namespace {

constexpr double larghezza = 1200, margine = 60;
constexpr double alto_pianta = 420, alto_profilo = 160, alto_velocita = 110, alto_oggetti = 150;

std::string f(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f", v);
  return buf;
}

std::string xml(const std::string& cp1252) {
  std::string r;
  for (char c : cp1252_a_utf8(cp1252)) {
    switch (c) {
      case '&': r += "&amp;"; break;
      case '<': r += "&lt;"; break;
      case '>': r += "&gt;"; break;
      case '"': r += "&quot;"; break;
      default: r += c;
    }
  }
  return r;
}

std::string testo(double x, double y, const std::string& t, const char* extra = "") {
  return "<text x=\"" + f(x) + "\" y=\"" + f(y) + "\" " + extra + ">" + xml(t) + "</text>\n";
}

// The plan, scaled to fit with north up; station names at their positions.
std::string pianta(const scenario_compilato& s, double y0) {
  const std::size_t metri = s.geometria.size() / 2;
  auto punto = [&](std::size_t m) { return std::pair{s.geometria[m].valore, s.geometria[metri + m].valore}; };
  auto impostato = [&](std::size_t m) { return s.geometria[m].tag != valore_profilo::vuoto && s.geometria[metri + m].tag != valore_profilo::vuoto; };
  double min_x = std::numeric_limits<double>::infinity(), max_x = -min_x, min_y = min_x, max_y = -min_x;
  std::size_t ultimo = 0;
  for (std::size_t m = 0; m < metri; ++m) {
    if (!impostato(m)) continue;
    auto [x, y] = punto(m);
    min_x = std::min(min_x, x), max_x = std::max(max_x, x), min_y = std::min(min_y, y), max_y = std::max(max_y, y);
    ultimo = m;
  }
  std::string r = testo(margine, y0 + 20, "Plan of the line", "class=\"titolo\"");
  if (!std::isfinite(min_x)) return r + testo(margine, y0 + 50, "(no geometry file)");
  const double scala = std::min((larghezza - 2 * margine) / std::max(max_x - min_x, 1.0), (alto_pianta - 60) / std::max(max_y - min_y, 1.0));
  const double centra = (larghezza - 2 * margine - (max_x - min_x) * scala) / 2;
  auto px = [&](double x) { return margine + centra + (x - min_x) * scala; };
  auto py = [&](double y) { return y0 + alto_pianta - 20 - (y - min_y) * scala; };
  const std::size_t passo = std::max<std::size_t>(1, metri / 3000);
  r += "<polyline class=\"binario\" points=\"";
  for (std::size_t m = 0; m <= ultimo; m += passo)
    if (impostato(m)) r += f(px(punto(m).first)) + "," + f(py(punto(m).second)) + " ";
  r += f(px(punto(ultimo).first)) + "," + f(py(punto(ultimo).second)) + "\"/>\n";
  for (std::size_t k = 1; k < s.servizio.size() && k <= 80; ++k) {
    const voce_servizio& v = s.servizio[k];
    if (v.tipo_voce == 0 && v.valore1 == 0 && v.valore2 == 0) continue;
    if (v.valore3 < 0 || std::size_t(v.valore3) > ultimo || !impostato(std::size_t(v.valore3))) continue;
    auto [x, y] = punto(std::size_t(v.valore3));
    r += "<circle class=\"stazione\" cx=\"" + f(px(x)) + "\" cy=\"" + f(py(y)) + "\" r=\"4\"/>\n";
    r += testo(px(x) + 7, py(y) + 4, v.nome);
  }
  return r;
}

// Altitude from the gradients (per mille over 50 m), the speed limit, and a
// row of the objects in the cells.
std::string lungo_linea(const scenario_compilato& s, double y0) {
  // The last cells past the fills carry no gradient or speed: leave them out.
  std::size_t n = s.celle.size();
  while (n > 1 && s.celle[n - 1].val8 == 0 && s.celle[n - 1].val7 == 0) --n;
  auto px = [&](double cella) { return margine + cella * (larghezza - 2 * margine) / double(std::max<std::size_t>(n, 2) - 1); };
  std::vector<double> quota(n + 1, 0);
  for (std::size_t i = 0; i < n; ++i) quota[i + 1] = quota[i] + (int(s.celle[i].val8) - 100) * 0.05;
  auto [qmin, qmax] = std::minmax_element(quota.begin(), quota.end());
  const double dq = std::max(*qmax - *qmin, 1.0);
  std::string r = testo(margine, y0 + 15, "Profile (altitude from the gradients, m)", "class=\"titolo\"");
  r += "<polyline class=\"profilo\" points=\"";
  for (std::size_t i = 0; i <= n; ++i) r += f(px(double(i))) + "," + f(y0 + alto_profilo - 10 - (quota[i] - *qmin) / dq * (alto_profilo - 40)) + " ";
  r += "\"/>\n";
  r += testo(larghezza - margine + 5, y0 + 30, f(*qmax) + " m") + testo(larghezza - margine + 5, y0 + alto_profilo - 10, f(*qmin) + " m");

  const double yv = y0 + alto_profilo;
  int vmax = 1;
  for (const cella& c : s.celle) vmax = std::max(vmax, c.val7 * 5);
  r += testo(margine, yv + 15, "Speed limit (km/h, up to " + std::to_string(vmax) + ")", "class=\"titolo\"");
  r += "<polyline class=\"velocita\" points=\"";
  for (std::size_t i = 0; i < n; ++i) {
    double y = yv + alto_velocita - 10 - s.celle[i].val7 * 5.0 / vmax * (alto_velocita - 40);
    r += f(px(double(i))) + "," + f(y) + " " + f(px(double(i + 1))) + "," + f(y) + " ";
  }
  r += "\"/>\n";

  const double yo = yv + alto_velocita;
  r += testo(margine, yo + 15, "Stations, signals, boards and restrictions", "class=\"titolo\"");
  for (std::size_t i = 0; i < n; ++i) {
    const cella& c = s.celle[i];
    if (c.tipo == cella_vuota || c.tipo == cella_marcatore_montagna) continue;
    const double x = px(double(i));
    std::string etichetta = nome_tipo_cella(c.tipo);
    if (c.tipo == cella_stazione && std::size_t(c.val1) < s.servizio.size()) etichetta = s.servizio[std::size_t(c.val1)].nome;
    if (c.tipo == cella_cartello && std::size_t(c.val1) < s.servizio.size()) etichetta = s.servizio[std::size_t(c.val1)].nome;
    if (c.tipo == cella_inizio_rallentamento || c.tipo == cella_avviso_rallentamento) etichetta += " " + std::to_string(c.val1) + " km/h";
    r += "<line class=\"k" + std::to_string(c.tipo) + "\" x1=\"" + f(x) + "\" y1=\"" + f(yo + 25) + "\" x2=\"" + f(x) + "\" y2=\"" + f(yo + 45) + "\"/>\n";
    if (c.tipo != cella_abbattimento && c.tipo != cella_sequenza_avviso)
      r += "<text class=\"etichetta\" transform=\"translate(" + f(x + 3) + "," + f(yo + 50) + ") rotate(60)\">" + xml(etichetta) + "</text>\n";
  }
  for (std::size_t km = 0; km * 20 < n; ++km)
    r += testo(px(double(km * 20)), yo + alto_oggetti + 20, std::to_string(km) + " km", "class=\"km\"");
  return r;
}

}  // namespace

std::string disegna_svg(const scenario_compilato& s) {
  const double altezza = alto_pianta + alto_profilo + alto_velocita + alto_oggetti + 80;
  std::string r = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + f(larghezza) +
                  "\" height=\"" + f(altezza) + "\" viewBox=\"0 0 " + f(larghezza) + " " + f(altezza) + "\">\n";
  r += "<style>text{font:12px sans-serif}.titolo{font-weight:bold;font-size:14px}.km{font-size:10px;fill:#555}"
       ".etichetta{font-size:10px}polyline{fill:none}.binario{stroke:#333;stroke-width:2}.profilo{stroke:#8a5a2b;stroke-width:1.5}"
       ".velocita{stroke:#c0392b;stroke-width:1.5}.stazione{fill:#1f6fb2}line{stroke:#999;stroke-width:1.5}"
       ".k1{stroke:#27ae60}.k10{stroke:#1f6fb2}.k14{stroke:#8e44ad}.k6{stroke:#c0392b}.k2,.k3,.k4{stroke:#e67e22}</style>\n";
  r += "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
  r += testo(margine, 30, s.titolo, "class=\"titolo\" style=\"font-size:18px\"");
  r += pianta(s, 40);
  r += lungo_linea(s, 40 + alto_pianta);
  return r + "</svg>\n";
}

}  // namespace sc
