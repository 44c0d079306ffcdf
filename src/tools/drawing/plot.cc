#include "tools/drawing/plot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>
#include <optional>
#include <string_view>

#include "tools/cli/testo_sicuro.h"
#include "tools/drawing/pianta_linea.h"
#include "tools/drawing/regole_disegno.h"
#include "tools/readback/curve_pianta.h"
#include "tools/readback/oggetti_linea.h"

namespace sc {

namespace {

using disegno::strato;

// The page's layout on a sheet of fixed width: a plan on top, then the
// panels that share one axis of metres, then a legend. The panels' titles
// line up with the headings, `bordo` from the left.
constexpr double larghezza = 1400, bordo = 14;
constexpr double x_lungo = bordo - disegno::rientro_titoli;  // where the page's canvas would start
constexpr double sinistra = x_lungo + disegno::inizio_grafici, destra = larghezza - x_lungo - disegno::margine_destro;
constexpr double corpo = disegno::corpo, piccolo = disegno::piccolo;

std::string f(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f", v);
  return buf;
}

const char* colore(strato s) { return disegno::di(s).colore; }

// "#rrggbb" at opacity a, as every SVG reader takes it.
std::string rgba(std::string_view hex, double a) {
  auto c = [&](std::size_t i) { return std::to_string(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)); };
  char alfa[16];
  std::snprintf(alfa, sizeof alfa, "%.2f", a);
  return "rgba(" + c(1) + "," + c(3) + "," + c(5) + "," + alfa + ")";
}
std::string fondo(strato s) { return rgba(disegno::di(s).colore, disegno::di(s).fondo); }

// Width of a text in DejaVu Sans, the widest of the usual sans-serif faces,
// so that the reserved room is never too small.
double larghezza_testo(std::string_view utf8, double dimensione) {
  double em = 0;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    if ((c & 0xC0) == 0x80) continue;  // continuation byte of one character
    if (c >= 0x80) em += 0.75;
    else if (c == ' ') em += 0.32;
    else if (std::string_view(".,:;|!'il()[]").find(char(c)) != std::string_view::npos) em += 0.40;
    else if (c >= '0' && c <= '9') em += 0.64;
    else if (c >= 'A' && c <= 'Z') em += c == 'M' || c == 'W' ? 1.0 : 0.76;
    else if (c == 'm' || c == 'w') em += 0.98;
    else em += 0.62;
  }
  return em * dimensione;
}

struct riquadro {
  double x0, y0, x1, y1;
};

// Boxes taken by labels and marks. A label keeps the shared gap from other
// labels, half of it from marks; it takes the first of its places that is
// free, or is left out.
class occupati {
 public:
  template <class F>
  std::optional<riquadro> posa(std::initializer_list<riquadro> candidati, F entra) {
    for (const riquadro& b : candidati) {
      const riquadro l = largo(b);
      if (!entra(b) || std::any_of(presi_.begin(), presi_.end(), [&](const riquadro& r) {
            return l.x0 < r.x1 && r.x0 < l.x1 && l.y0 < r.y1 && r.y0 < l.y1;
          }))
        continue;
      presi_.push_back(l);
      return b;
    }
    return std::nullopt;
  }
  std::optional<riquadro> posa(std::initializer_list<riquadro> candidati) {
    return posa(candidati, [](const riquadro&) { return true; });
  }
  // A mark on the one taken last adds nothing: objects in one spot of the
  // sheet take it once, which keeps crowded files in proportion.
  void segno(const riquadro& b) {
    if (!presi_.empty()) {
      const riquadro& u = presi_.back();
      if (std::abs(u.x0 - b.x0) < 0.5 && std::abs(u.x1 - b.x1) < 0.5 && u.y0 == b.y0 && u.y1 == b.y1) return;
    }
    presi_.push_back(b);
  }

 private:
  static riquadro largo(const riquadro& b) {
    return {b.x0 - disegno::spazio_etichette / 2, b.y0, b.x1 + disegno::spazio_etichette / 2, b.y1};
  }
  std::vector<riquadro> presi_;
};

// The smallest step of the series that is at least `minimo`.
double passo_bello(double minimo) {
  const double p = std::pow(10.0, std::floor(std::log10(std::max(minimo, 1e-9))));
  for (double k : disegno::passi)
    if (k * p >= minimo) return k * p;
  return 10 * p;
}

// Decimals of a km label that show a step of `passo` metres.
int cifre_km(double passo) { return std::clamp(3 - int(std::floor(std::log10(std::max(passo, 1.0)))), 0, 3); }

std::string km(double m, int cifre) {
  char buf[48];
  // A tick a hair before the start is the start, not "-0.0 km".
  std::snprintf(buf, sizeof buf, "%.*f km", cifre, std::abs(m) < 0.5 ? 0.0 : m / 1000);
  return buf;
}

std::string testo(double x, double y, std::string_view t, const std::string& attributi) {
  return "<text x=\"" + f(x) + "\" y=\"" + f(y) + "\" " + attributi + ">" + xml_testo(t) + "</text>\n";
}

std::string triangolo(double x, double y, double r, std::string_view c) {
  return "<path d=\"M" + f(x) + " " + f(y - r) + "L" + f(x + r) + " " + f(y + r * 0.8) + "L" + f(x - r) + " " + f(y + r * 0.8) +
         "Z\" fill=\"" + std::string(c) + "\"/>\n";
}

// The mark of a glyph in its lane.
std::string segno(glifo g, double x, double y, std::string_view colore) {
  const std::string c(colore);
  switch (g) {
    case glifo::palo:
      return "<rect x=\"" + f(x - 0.75) + "\" y=\"" + f(y - 7) + "\" width=\"1.5\" height=\"14\" fill=\"" + c + "\"/><circle cx=\"" + f(x) +
             "\" cy=\"" + f(y - 5) + "\" r=\"3.5\" fill=\"" + c + "\"/>\n";
    case glifo::quadrato: return "<rect x=\"" + f(x - 4) + "\" y=\"" + f(y - 4) + "\" width=\"8\" height=\"8\" fill=\"" + c + "\"/>\n";
    case glifo::rombo: return "<path d=\"M" + f(x) + " " + f(y - 6) + "l5 6l-5 6l-5 -6Z\" fill=\"" + c + "\"/>\n";
    case glifo::triangolo: return triangolo(x, y, 6, c);
    case glifo::stazione: return triangolo(x, y, 5, c);
    case glifo::fine:
      return "<path d=\"M" + f(x - 5) + " " + f(y - 5) + "l10 10M" + f(x + 5) + " " + f(y - 5) + "l-10 10\" stroke=\"" + c +
             "\" stroke-width=\"2\"/>\n";
    case glifo::punto: return "<circle cx=\"" + f(x) + "\" cy=\"" + f(y) + "\" r=\"2.5\" fill=\"" + c + "\"/>\n";
    case glifo::nessuno: return "";
    case glifo::segno:
    case glifo::rallentamento: break;
  }
  return "<rect x=\"" + f(x - 1) + "\" y=\"" + f(y - 6) + "\" width=\"2\" height=\"12\" fill=\"" + c + "\"/>\n";
}

// Stronger with the gradient, a quarter of the colour at the least.
std::string colore_pendenza(int v) {
  if (v == 0) return colore(strato::piano);
  const disegno::info_strato& s = disegno::di(v > 0 ? strato::salita : strato::discesa);
  const double k = std::min(std::abs(v) / disegno::pendenza_piena, 1.0);
  return rgba(s.colore, s.fondo * (1 + 3 * k) / 4);
}

class tavola {
 public:
  explicit tavola(const scenario_compilato& s) : s_(s), l_(leggi_linea(s.celle, s.servizio)), curve_(leggi_curve(s.geometria)) {
    fine_ = l_.lunghezza;
    totale_ = std::max({l_.metri_celle, fine_, 1});
    const double margine = std::max(fine_ * disegno::margine_vista, disegno::margine_vista_minimo);
    da_ = -margine / 3;
    a_ = std::min(fine_ + margine, double(totale_));
  }

  std::string svg() {
    double y = 0;
    std::string corpo_svg;
    corpo_svg += intestazione(y);
    corpo_svg += pianta(y);
    corpo_svg += lungo_linea(y);
    corpo_svg += legenda(y);
    std::string r = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" xml:space=\"preserve\" width=\"" + f(larghezza) +
                    "\" height=\"" + f(y) + "\" viewBox=\"0 0 " + f(larghezza) + " " + f(y) + "\">\n";
    r += "<style>text{font-family:" + std::string(disegno::caratteri) + ";font-size:" + f(corpo) + "px;fill:#1b2631}.p{font-size:" + f(piccolo) +
         "px}.t{font-weight:bold;font-size:13px}.n{fill:#34495e}.g{fill:#5d6d7e}</style>\n";
    r += "<defs><pattern id=\"coda\" width=\"8\" height=\"8\" patternUnits=\"userSpaceOnUse\" patternTransform=\"rotate(45)\">"
         "<rect width=\"8\" height=\"8\" fill=\"" + fondo(strato::coda) + "\"/><path d=\"M0 0v8\" stroke=\"" +
         rgba(colore(strato::coda), 2 * disegno::di(strato::coda).fondo) + "\"/></pattern></defs>\n";
    r += "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
    return r + corpo_svg + "</svg>\n";
  }

 private:
  double x_di(double m) const { return sinistra + (m - da_) / (a_ - da_) * (destra - sinistra); }
  bool visibile(double m0, double m1) const { return m1 > da_ && m0 < a_; }

  std::string intestazione(double& y) {
    std::string r = testo(bordo, 26, s_.titolo, "style=\"font-size:18px;font-weight:bold\"");
    std::string dati;
    for (const valore_letto& v : l_.dati_generali) dati += (dati.empty() ? "" : " · ") + v.nome + ": " + v.testo;
    r += testo(bordo, 46, dati, "class=\"g\"");
    y = 58;
    return r;
  }

  // ---- the plan ----

  std::string pianta(double& y) {
    const double y0 = y;
    std::string r = testo(bordo, y0 + 16, "Plan", "class=\"t\"");
    const std::vector<punto_pianta> tutti = punti_pianta(s_.geometria);
    if (tutti.empty()) {
      y += 70;
      return r + testo(bordo, y0 + 44, "No plan: the scenario was compiled without its line geometry file.", "class=\"g\"");
    }
    double x0 = std::numeric_limits<double>::infinity(), x1 = -x0, yy0 = x0, yy1 = -x0;
    for (const punto_pianta& p : tutti) {
      if (p.metro > fine_ && fine_ > 0) break;
      x0 = std::min(x0, p.x), x1 = std::max(x1, p.x), yy0 = std::min(yy0, p.y), yy1 = std::max(yy1, p.y);
    }
    const double largo = larghezza - 80;
    const double alto = std::clamp((yy1 - yy0) / std::max(x1 - x0, 1.0) * largo, 260.0, 560.0);
    const double scala = std::min((largo - 160) / std::max(x1 - x0, 1.0), (alto - 40) / std::max(yy1 - yy0, 1.0));
    const double cx = (x0 + x1) / 2, cy = (yy0 + yy1) / 2, ox = larghezza / 2, oy = y0 + 24 + alto / 2;
    auto px = [&](double x) { return ox + (x - cx) * scala; };
    auto py = [&](double v) { return oy - (v - cy) * scala; };
    const std::vector<punto_pianta> punti = semplifica(tutti, disegno::tolleranza_pixel / scala, {fine_});
    auto punto_a = [&](int m) {
      auto it = std::lower_bound(punti.begin(), punti.end(), m, [](const punto_pianta& p, int v) { return p.metro < v; });
      if (it == punti.begin()) return *it;
      if (it == punti.end()) return punti.back();
      const punto_pianta &b = *it, &a = *(it - 1);
      const double t = double(m - a.metro) / std::max(1, b.metro - a.metro);
      return punto_pianta{m, a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)};
    };
    r += "<clipPath id=\"riquadro-pianta\"><rect x=\"0\" y=\"" + f(y0 + 22) + "\" width=\"" + f(larghezza) + "\" height=\"" + f(alto + 4) +
         "\"/></clipPath>\n<g clip-path=\"url(#riquadro-pianta)\">\n";
    auto linea = [&](bool coda, const std::string& stile) {
      std::string d;
      for (const punto_pianta& p : punti)
        if (coda ? p.metro >= fine_ : p.metro <= fine_) d += (d.empty() ? "M" : "L") + f(px(p.x)) + " " + f(py(p.y));
      return d.empty() ? "" : "<path d=\"" + d + "\" fill=\"none\" " + stile + "/>\n";
    };
    r += linea(true, "stroke=\"" + std::string(colore(strato::coda)) + "\" stroke-width=\"2.5\" stroke-dasharray=\"7 5\"");
    r += linea(false, "stroke=\"" + std::string(colore(strato::traccia)) + "\" stroke-width=\"3\" stroke-linejoin=\"round\"");
    occupati presi;
    for (const stazione_letta& st : l_.stazioni) {
      std::string d;
      for (int i = 0; i <= 24; ++i) {
        const punto_pianta q = punto_a(st.inizio + (st.fine - st.inizio) * i / 24);
        d += (i ? "L" : "M") + f(px(q.x)) + " " + f(py(q.y));
      }
      r += "<path d=\"" + d + "\" fill=\"none\" stroke=\"" + fondo(strato::area_stazione) + "\" stroke-width=\"7\"/>\n";
    }
    const punto_pianta pf = punto_a(fine_), prima = punto_a(fine_ - 5), dopo = punto_a(fine_ + 5);
    const double lx = dopo.x - prima.x, ly = dopo.y - prima.y, ll = std::max(std::hypot(lx, ly), 1e-9);
    const double nx = -ly / ll, ny = lx / ll;  // across the track
    r += "<path d=\"M" + f(px(pf.x) - nx * 9) + " " + f(py(pf.y) + ny * 9) + "L" + f(px(pf.x) + nx * 9) + " " + f(py(pf.y) - ny * 9) +
         "\" stroke=\"" + colore(strato::fine_linea) + "\" stroke-width=\"3\"/>\n";
    presi.segno({px(pf.x) - 9, py(pf.y) - 9, px(pf.x) + 9, py(pf.y) + 9});
    const double bordo_alto = y0 + 24, bordo_basso = y0 + 24 + alto;
    // Right of the point, left, above, below: the first place that is free.
    auto etichetta = [&](const std::string& t, double x, double yv, const char* c, double d, double dimensione) {
      const double w = larghezza_testo(t, dimensione), h = dimensione + 3;
      const auto b = presi.posa({{x + d, yv - h / 2, x + d + w, yv + h / 2}, {x - d - w, yv - h / 2, x - d, yv + h / 2},
                                 {x - w / 2, yv - d - h, x + w / 2, yv - d}, {x - w / 2, yv + d, x + w / 2, yv + d + h}},
                                [&](const riquadro& b) { return b.x0 >= 6 && b.x1 <= larghezza - 6 && b.y0 >= bordo_alto && b.y1 <= bordo_basso; });
      if (!b) return;
      r += "<rect x=\"" + f(b->x0 - 2) + "\" y=\"" + f(b->y0) + "\" width=\"" + f(w + 4) + "\" height=\"" + f(h) +
           "\" fill=\"#ffffff\" fill-opacity=\"0.85\"/>\n";
      r += testo(b->x0, b->y1 - 3.5, t, std::string("style=\"fill:") + c + ";font-size:" + f(dimensione) + "px\"");
    };
    etichetta("end of line " + km(fine_, 3), px(pf.x), py(pf.y), colore(strato::fine_linea), 12, corpo);
    for (const stazione_letta& st : l_.stazioni) {
      const punto_pianta q = punto_a(st.posizione);
      r += "<circle cx=\"" + f(px(q.x)) + "\" cy=\"" + f(py(q.y)) + "\" r=\"5\" fill=\"" + colore(strato::area_stazione) +
           "\" stroke=\"#ffffff\" stroke-width=\"1.5\"/>\n";
      presi.segno({px(q.x) - 5, py(q.y) - 5, px(q.x) + 5, py(q.y) + 5});
    }
    for (const stazione_letta& st : l_.stazioni) {
      const punto_pianta q = punto_a(st.posizione);
      etichetta(st.nome, px(q.x), py(q.y), "#154360", 9, corpo);
    }
    const double passo = passo_bello(disegno::distanza_km_pianta / scala);
    const int ultimo = std::min(punti.back().metro, totale_);
    for (double m = passo; m <= ultimo && ultimo / passo < 40000; m += passo) {
      const punto_pianta q = punto_a(int(m)), a = punto_a(int(m) - 5), b = punto_a(int(m) + 5);
      const double dx = b.x - a.x, dy = b.y - a.y, d = std::max(std::hypot(dx, dy), 1e-9);
      const double X = px(q.x), Y = py(q.y);
      const char* c = m > fine_ ? colore(strato::coda) : "#34495e";
      r += "<path d=\"M" + f(X + dy / d * 5) + " " + f(Y + dx / d * 5) + "L" + f(X - dy / d * 5) + " " + f(Y - dx / d * 5) + "\" stroke=\"" + c +
           "\"/>\n";
      etichetta(km(m, cifre_km(passo)), X, Y, c, 7, piccolo);
    }
    r += "</g>\n";
    const double barra = passo_bello(disegno::barra_scala / scala), lb = barra * scala;
    r += "<path d=\"M" + f(bordo) + " " + f(bordo_basso - 4) + "h" + f(lb) + "\" stroke=\"#34495e\" stroke-width=\"2\"/>\n";
    r += testo(bordo + 4 + lb, bordo_basso, barra >= 1000 ? json_numero(barra / 1000) + " km" : json_numero(barra) + " m", "class=\"p n\"");
    y = bordo_basso + 14;
    return r;
  }

  // ---- the panels along the line ----

  struct pannello {
    double y, h;
  };

  std::string lungo_linea(double& y) {
    const double y0 = y;
    std::string r = testo(bordo, y0 + 16, "Along the line", "class=\"t\"");
    double yp = y0 + 24;
    auto prossimo = [&](double h) { pannello p{yp, h}; yp += h; return p; };
    std::array<pannello, disegno::pannelli.size()> pannelli;
    for (std::size_t i = 0; i < pannelli.size(); ++i) pannelli[i] = prossimo(disegno::pannelli[i].altezza);
    const auto& [asse, quota, pendenza, velocita, aderenza] = pannelli;
    std::vector<pannello> corsie;
    for (int i = 0; i < numero_corsie; ++i) corsie.push_back(prossimo(disegno::altezza_corsia));
    const double basso = yp;
    int i = 0;
    auto fondo_pannello = [&](const pannello& p, const char* nome) {
      r += "<rect x=\"" + f(sinistra) + "\" y=\"" + f(p.y) + "\" width=\"" + f(destra - sinistra) + "\" height=\"" + f(p.h) + "\" fill=\"" +
           (i++ % 2 ? "#ffffff" : "#fbfcfc") + "\"/>\n";
      r += testo(bordo, p.y + 16, nome, "class=\"n\"");
    };
    for (std::size_t k = 1; k < pannelli.size(); ++k) fondo_pannello(pannelli[k], disegno::pannelli[k].nome);
    for (int k = 0; k < numero_corsie; ++k) fondo_pannello(corsie[std::size_t(k)], nome_corsia(corsia(k)));
    r += "<clipPath id=\"lungo\"><rect x=\"" + f(sinistra) + "\" y=\"" + f(y0) + "\" width=\"" + f(destra - sinistra) + "\" height=\"" +
         f(basso - y0) + "\"/></clipPath>\n";
    // Run-out, shaded in every panel.
    const double xf = x_di(fine_), xt = std::min(x_di(totale_), destra);
    if (xf < destra) {
      r += "<rect x=\"" + f(xf) + "\" y=\"" + f(quota.y) + "\" width=\"" + f(xt - xf) + "\" height=\"" + f(basso - quota.y) + "\" fill=\"url(#coda)\"/>\n";
    }
    r += "<g clip-path=\"url(#lungo)\">\n";
    r += disegna_asse(asse);
    r += disegna_quota(quota);
    r += disegna_pendenze(pendenza);
    r += disegna_velocita(velocita);
    r += disegna_aderenza(aderenza);
    r += disegna_corsie(corsie);
    if (xf >= sinistra && xf <= destra)
      r += "<path d=\"M" + f(xf) + " " + f(asse.y + 16) + "V" + f(basso) + "\" stroke=\"" + colore(strato::fine_linea) + "\" stroke-dasharray=\"5 3\"/>\n";
    r += "</g>\n";
    y = basso + 14;
    return r;
  }

  std::string disegna_asse(const pannello& p) {
    std::string r;
    occupati presi;
    const double xf = x_di(fine_);
    if (xf >= sinistra && xf <= destra) {
      const std::string t = "end of line " + km(fine_, 3);
      const double w = larghezza_testo(t, piccolo), x0 = std::clamp(xf - w / 2, sinistra, destra - w);
      r += testo(x0, p.y + 12, t, "class=\"p\" style=\"fill:" + std::string(colore(strato::fine_linea)) + "\"");
      presi.posa({{x0, p.y, x0 + w, p.y + 16}});
      const std::string c = "run-out, " + std::to_string(totale_ - fine_) + " m";
      const double wc = larghezza_testo(c, piccolo), xc = (xf + destra) / 2;
      if (destra - xf > wc + 10 && presi.posa({{xc - wc / 2, p.y + 16, xc + wc / 2, p.y + 30}})) r += testo(xc - wc / 2, p.y + 27, c, "class=\"p g\"");
    }
    const double passo = passo_bello((larghezza_testo(disegno::campione_asse, piccolo) + disegno::spazio_asse) * (a_ - da_) / (destra - sinistra));
    for (double m = std::ceil(da_ / passo) * passo; m <= a_; m += passo) {
      const double x = x_di(m);
      if (x < sinistra - 0.5 || x > destra + 0.5) continue;
      r += "<path d=\"M" + f(x) + " " + f(p.y + 24) + "v6\" stroke=\"#aab7b8\"/>\n";
      // The label stands above its tick, and never left of the panels.
      const std::string t = km(m, cifre_km(passo));
      const double w = larghezza_testo(t, piccolo);
      const double x0 = std::max(x - w / 2, sinistra);
      if (presi.posa({{x0, p.y + 12, x0 + w, p.y + 23}}, [](const riquadro& b) { return b.x1 <= destra + 12; }))
        r += testo(x0, p.y + 21, t, "class=\"p n\"");
    }
    return r;
  }

  double quota_a(double m) const {
    double q = 0;
    for (const tratto& t : l_.pendenze) {
      if (t.da >= m) break;
      q += t.valore * (std::min(m, double(t.a)) - t.da) / 1000;
    }
    return q;
  }

  std::string disegna_quota(const pannello& p) {
    std::vector<std::pair<double, double>> punti;
    const double da = std::max(da_, 0.0), a = std::min(a_, double(totale_));
    punti.push_back({da, quota_a(da)});
    for (const tratto& t : l_.pendenze)
      if (t.da > da && t.da < a) punti.push_back({double(t.da), quota_a(t.da)});
    punti.push_back({a, quota_a(a)});
    double min = std::numeric_limits<double>::infinity(), max = -min;
    for (const auto& [m, v] : punti) min = std::min(min, v), max = std::max(max, v);
    if (max - min < 2) min = (max + min) / 2 - 1, max = min + 2;
    auto y = [&](double v) { return p.y + p.h - 8 - (v - min) / (max - min) * (p.h - 38); };
    std::string d = "M" + f(x_di(punti.front().first)) + " " + f(p.y + p.h), linea;
    for (const auto& [m, v] : punti) {
      d += "L" + f(x_di(m)) + " " + f(y(v));
      linea += (linea.empty() ? "M" : "L") + f(x_di(m)) + " " + f(y(v));
    }
    d += "L" + f(x_di(punti.back().first)) + " " + f(p.y + p.h) + "Z";
    std::string r = "<path d=\"" + d + "\" fill=\"" + fondo(strato::quota) + "\"/>\n<path d=\"" + linea + "\" fill=\"none\" stroke=\"" +
                    colore(strato::quota) + "\" stroke-width=\"1.6\"/>\n";
    r += "</g>\n";  // the axis labels stand in the gutter, outside the clip
    r += testo(sinistra - 6, y(max) + 4, f(max) + " m", "class=\"p g\" text-anchor=\"end\"");
    r += testo(sinistra - 6, y(min) + 4, f(min) + " m", "class=\"p g\" text-anchor=\"end\"");
    return r + "<g clip-path=\"url(#lungo)\">\n";
  }

  std::string disegna_pendenze(const pannello& p) {
    std::string r;
    for (const tratto& t : l_.pendenze) {
      if (!visibile(t.da, t.a)) continue;
      const double x0 = std::max(x_di(t.da), sinistra), x1 = std::min(x_di(t.a), destra);
      if (x1 <= x0) continue;
      r += "<rect x=\"" + f(x0) + "\" y=\"" + f(p.y + 3) + "\" width=\"" + f(x1 - x0) + "\" height=\"" + f(p.h - 6) + "\" fill=\"" +
           colore_pendenza(t.valore) + "\"" + (x1 - x0 >= 3 ? " stroke=\"#ffffff\"" : "") + "/>\n";
      const std::string v = (t.valore > 0 ? "+" : t.valore < 0 ? "−" : "") + std::to_string(std::abs(t.valore)) + "‰";
      const double w = larghezza_testo(v, piccolo);
      if (x1 - x0 >= w + disegno::spazio_etichette)
        r += testo((x0 + x1 - w) / 2, p.y + p.h / 2 + 4, v,
                   std::string("class=\"p\"") + (std::abs(t.valore) > disegno::pendenza_testo_chiaro ? " style=\"fill:#fff\"" : ""));
    }
    return r;
  }

  static std::function<double(double)> altezza(const pannello& p, double vmax) {
    return [p, vmax](double v) { return p.y + p.h - 6 - std::clamp(v, 0.0, vmax) / vmax * (p.h - 36); };
  }

  std::string scalino(const pannello& p, const std::vector<tratto>& lista, double vmax, const char* c, const std::string& unita, occupati& presi) {
    const auto y = altezza(p, vmax);
    std::string d, r;
    for (const tratto& t : lista) {
      if (!visibile(t.da, t.a)) continue;
      const double x0 = std::max(x_di(t.da), sinistra - 2), x1 = std::min(x_di(t.a), destra + 2);
      d += (d.empty() ? "M" : "L") + f(x0) + " " + f(y(t.valore)) + "L" + f(x1) + " " + f(y(t.valore));
    }
    r += "<path d=\"" + d + "\" fill=\"none\" stroke=\"" + c + "\" stroke-width=\"1.8\"/>\n";
    for (const tratto& t : lista) {
      if (!visibile(t.da, t.a)) continue;
      const double x0 = std::max(x_di(t.da), sinistra) + 3;
      const std::string v = std::to_string(t.valore) + unita;
      const double w = larghezza_testo(v, piccolo);
      if (presi.posa({{x0, y(t.valore) - 15, x0 + w, y(t.valore) - 1}}, [&](const riquadro& b) { return b.x1 <= destra && b.y0 >= p.y + 2; }))
        r += testo(x0, y(t.valore) - 4, v, std::string("class=\"p\" style=\"fill:") + c + "\"");
    }
    return r;
  }

  std::string disegna_velocita(const pannello& p) {
    double vmax = 10;
    for (const tratto& t : l_.velocita) vmax = std::max(vmax, double(t.valore));
    for (const rallentamento_letto& t : l_.rallentamenti) vmax = std::max(vmax, double(t.velocita));
    const auto y = altezza(p, vmax);
    const char* c = colore(strato::rallentamento);
    std::string r = "</g>\n" + testo(sinistra - 6, y(vmax) + 4, json_numero(vmax) + " km/h", "class=\"p g\" text-anchor=\"end\"") +
                    testo(sinistra - 6, y(0) + 4, "0", "class=\"p g\" text-anchor=\"end\"") + "<g clip-path=\"url(#lungo)\">\n";
    occupati presi;
    for (const rallentamento_letto& t : l_.rallentamenti) {
      const double x0 = x_di(t.inizio), x1 = std::max(x_di(t.fine), x0 + 2), yv = y(t.velocita);
      if (t.avviso >= 0 && x_di(t.avviso) >= sinistra && x_di(t.avviso) <= destra) {
        const double xa = x_di(t.avviso), ya = p.y + 24;
        r += "<path d=\"M" + f(xa) + " " + f(ya) + "H" + f(std::min(x0, destra)) + "V" + f(yv) + "\" fill=\"none\" stroke=\"" + c +
             "\" stroke-dasharray=\"2 3\"/>\n";
        r += triangolo(xa, ya, 6, c);
        presi.segno({xa - 7, ya - 7, xa + 7, ya + 6});
      }
      if (!visibile(t.inizio, std::max(t.fine, t.inizio + 1))) continue;
      r += "<rect x=\"" + f(x0) + "\" y=\"" + f(yv) + "\" width=\"" + f(x1 - x0) + "\" height=\"" + f(p.y + p.h - 6 - yv) + "\" fill=\"" +
           fondo(strato::rallentamento) + "\"/>\n<path d=\"M" + f(x0) + " " + f(yv) + "H" + f(x1) + "\" stroke=\"" + c + "\" stroke-width=\"2.2\"/>\n";
      // The longest of these that fits inside the band.
      const std::string v = std::to_string(t.velocita);
      for (const std::string& e : {v + " km/h, " + std::to_string(t.fine - t.inizio) + " m", v + " km/h", v}) {
        const double w = larghezza_testo(e, piccolo);
        const auto entra = [&](const riquadro& b) { return x1 - x0 >= w + disegno::spazio_etichette && x0 >= sinistra && x1 <= destra && b.y1 <= p.y + p.h; };
        if (!presi.posa({{(x0 + x1 - w) / 2, yv + 2, (x0 + x1 + w) / 2, yv + 16}}, entra)) continue;
        r += testo((x0 + x1 - w) / 2, yv + 13, e, "class=\"p\" style=\"fill:#a04000\"");
        break;
      }
    }
    return r + scalino(p, l_.velocita, vmax, colore(strato::limite), " km/h", presi);
  }

  std::string disegna_aderenza(const pannello& p) {
    double vmax = 1;
    for (const tratto& t : l_.aderenza) vmax = std::max(vmax, double(t.valore));
    occupati presi;
    return scalino(p, l_.aderenza, vmax, colore(strato::aderenza), "", presi);
  }

  // A mark at x (metres) with its glyph, or a bar [x0, x1] with its label
  // in the middle (mountain ranges, curves), or both.
  struct voce_corsia {
    double x, x0, x1;
    bool barra;
    glifo g;
    std::string etichetta;
    std::string colore, fondo;
  };

  std::vector<std::vector<voce_corsia>> voci_corsie() const {
    std::vector<std::vector<voce_corsia>> voci(static_cast<std::size_t>(numero_corsie));
    // Restrictions by the cell of their start, both in the order of their cells.
    auto rallentamento = l_.rallentamenti.begin();
    for (const oggetto_linea& o : l_.oggetti) {
      const tipo_cella_info* info = info_tipo(o.tipo);
      if (!info || info->in_corsia == corsia::nessuna) continue;
      const disegno::info_glifo& g = disegno::di(info->segno);
      voce_corsia v{double(o.metri), double(o.mappati.da), double(o.mappati.a), g.barra.has_value(), info->segno,
                    g.etichetta ? o.etichetta : "", info->colore, g.barra ? fondo(*g.barra) : ""};
      // A restriction's bar runs from its start to its end; a station's stop
      // cell says the station's name and time.
      while (rallentamento != l_.rallentamenti.end() && rallentamento->cella_inizio < o.cella) ++rallentamento;
      if (rallentamento != l_.rallentamenti.end() && rallentamento->cella_inizio == o.cella)
        v.x0 = rallentamento->inizio, v.x1 = std::max(rallentamento->fine, rallentamento->inizio);
      for (const stazione_letta& st : l_.stazioni)
        if (st.cella_fermata == int(o.cella) && g.etichetta) {
          const std::string t = ore_minuti_secondi(st.orario);
          v.etichetta = st.nome + " " + (t.substr(t.size() - 3) == ":00" ? t.substr(0, t.size() - 3) : t);
        }
      voci[std::size_t(info->in_corsia)].push_back(v);
    }
    for (const montagna_letta& m : l_.montagne)
      voci[std::size_t(disegno::di(strato::montagna).in_corsia)].push_back({double(m.da), double(m.da), double(m.a), true, glifo::nessuno,
                                                      "type " + std::to_string(m.tipo) + (m.segnalata ? ", markers" : ""),
                                                      colore(strato::montagna), fondo(strato::montagna)});
    for (const curva_letta& c : curve_) {
      const strato s = c.sinistra ? strato::curva_sinistra : strato::curva_destra;
      voci[std::size_t(disegno::di(s).in_corsia)].push_back(
          {double(c.inizio), double(c.inizio), double(c.fine), true, glifo::nessuno, lato_classe(c), colore(s), fondo(s)});
    }
    for (auto& lista : voci)
      std::stable_sort(lista.begin(), lista.end(), [](const voce_corsia& a, const voce_corsia& b) { return a.x < b.x; });
    return voci;
  }

  std::string disegna_corsie(const std::vector<pannello>& corsie) {
    std::string r;
    const double margine = 40 * (a_ - da_) / (destra - sinistra);
    const std::vector<std::vector<voce_corsia>> voci = voci_corsie();
    for (std::size_t k = 0; k < voci.size(); ++k) {
      const pannello& p = corsie[k];
      const double y_segno = p.y + disegno::riga_segni;
      occupati presi;
      for (const voce_corsia& v : voci[k]) {
        if (v.x1 < da_ - margine || v.x0 > a_ + margine) continue;
        const double x = x_di(v.x);
        if (v.barra) {
          const double b0 = x_di(v.x0), b1 = std::max(x_di(v.x1), b0 + 2);
          // A white edge keeps bars that meet apart.
          r += "<rect x=\"" + f(b0) + "\" y=\"" + f(y_segno - 4) + "\" width=\"" + f(b1 - b0) + "\" height=\"8\" fill=\"" + v.fondo + "\"" +
               (b1 - b0 >= 3 ? " stroke=\"#ffffff\"" : "") + "/>\n";
        }
        r += segno(v.g, x, y_segno, v.colore);
        if (v.etichetta.empty()) continue;
        // Under its mark, or in the middle of the visible part of its bar.
        const double w = larghezza_testo(v.etichetta, piccolo);
        const double v0 = std::max(x_di(v.x0), sinistra), v1 = std::min(x_di(v.x1), destra);
        if (v.g == glifo::nessuno && v1 <= v0) continue;  // its bar is off the sheet
        const double cx = v.g == glifo::nessuno ? (v0 + v1) / 2 : x;
        const double l0 = std::max(sinistra + 1, std::min(cx - w / 2, destra - w - 1));
        if (std::abs(l0 + w / 2 - cx) > w / 2 + 8) continue;  // its object is off the sheet
        const double h = piccolo + 1;
        const auto [r0, r1] = disegno::righe_etichette;
        if (const auto b = presi.posa({{l0, p.y + r0 - h / 2, l0 + w, p.y + r0 + h / 2}, {l0, p.y + r1 - h / 2, l0 + w, p.y + r1 + h / 2}}))
          r += testo(l0, b->y1 - 2, v.etichetta, "class=\"p\" style=\"fill:" + v.colore + "\"");
      }
    }
    return r;
  }

  // ---- legend: the layers, then every kind of the cell table ----

  std::string simbolo(const disegno::info_strato& s) const {
    const std::string c = s.colore;
    switch (s.s) {
      case strato::traccia: return "<path d=\"M0 0h24\" stroke=\"" + c + "\" stroke-width=\"3\"/>";
      case strato::coda:
        return "<path d=\"M0 -4h24\" stroke=\"" + c + "\" stroke-width=\"2.5\" stroke-dasharray=\"5 3\"/><rect x=\"0\" y=\"0\" width=\"24\" height=\"6\" fill=\"url(#coda)\"/>";
      case strato::fine_linea: return "<path d=\"M12 -7v14\" stroke=\"" + c + "\" stroke-width=\"3\"/>";
      case strato::quota: return "<path d=\"M0 4l12 -8l12 4\" fill=\"none\" stroke=\"" + c + "\" stroke-width=\"1.6\"/>";
      case strato::salita:
        return "<rect x=\"0\" y=\"-5\" width=\"12\" height=\"10\" fill=\"" + colore_pendenza(20) + "\"/><rect x=\"12\" y=\"-5\" width=\"12\" height=\"10\" fill=\"" +
               colore_pendenza(-20) + "\"/>";
      case strato::limite: return "<path d=\"M0 -4h12v7h12\" fill=\"none\" stroke=\"" + c + "\" stroke-width=\"1.8\"/>";
      case strato::rallentamento:
        return "<rect x=\"0\" y=\"-2\" width=\"24\" height=\"8\" fill=\"" + fondo(s.s) + "\"/><path d=\"M0 -2h24\" stroke=\"" + c + "\" stroke-width=\"2.2\"/>";
      case strato::aderenza: return "<path d=\"M0 2h24\" stroke=\"" + c + "\" stroke-width=\"1.8\"/>";
      case strato::area_stazione:
      case strato::montagna:
      case strato::curva_destra:
      case strato::curva_sinistra: return "<rect x=\"0\" y=\"-4\" width=\"24\" height=\"8\" fill=\"" + fondo(s.s) + "\"/>";
      case strato::discesa:
      case strato::piano:
      case strato::cursore: break;  // in another layer's line, or not on a sheet
    }
    return "";
  }

  std::string legenda(double& y) {
    struct voce {
      std::string simbolo, testo;
    };
    std::vector<voce> voci;
    for (const disegno::info_strato& s : disegno::strati) {
      std::string t = s.nome ? s.nome : "", m = simbolo(s);
      if (s.s == strato::coda) t += ": " + std::to_string(totale_ - fine_) + " m";
      if (!t.empty() && !m.empty()) voci.push_back({m, t});
    }
    for (const tipo_cella_info& t : tabella_tipi_cella()) voci.push_back({segno(t.segno, 12, 0, t.colore), t.nome});
    std::string r = testo(bordo, y + 16, "Legend", "class=\"t\"");
    const double colonna = (larghezza - 2 * bordo) / 3;
    for (std::size_t i = 0; i < voci.size(); ++i) {
      const double x = bordo + colonna * double(i % 3), yv = y + 34 + 20 * double(i / 3);
      r += "<g transform=\"translate(" + f(x) + "," + f(yv) + ")\">" + voci[i].simbolo + "</g>\n";
      r += testo(x + 32, yv + 4, voci[i].testo, "class=\"p\"");
    }
    y += 34 + 20 * double((voci.size() + 2) / 3) + 10;
    return r;
  }

  const scenario_compilato& s_;
  linea_letta l_;
  std::vector<curva_letta> curve_;
  int fine_ = 0, totale_ = 1;
  double da_ = 0, a_ = 1;
};

}  // namespace

std::string disegna_svg(const scenario_compilato& s) { return tavola(s).svg(); }

}  // namespace sc
