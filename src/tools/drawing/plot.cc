#include "tools/drawing/plot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>
#include <string_view>

#include "tools/inspect/oggetti_linea.h"
#include "tools/drawing/pianta_linea.h"
#include "tools/cli/testo_sicuro.h"

namespace sc {

namespace {

// The same layout as the view page: a plan on top, then panels that share
// one axis of metres, then a legend.
constexpr double larghezza = 1400, sinistra = 120, destra = 1370;
constexpr double corpo = 12, piccolo = 11;

std::string f(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f", v);
  return buf;
}

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

// Boxes taken by labels; a label that would overlap one is left out.
class occupati {
 public:
  bool libero(const riquadro& b) const {
    for (const riquadro& r : presi_)
      if (b.x0 < r.x1 && r.x0 < b.x1 && b.y0 < r.y1 && r.y0 < b.y1) return false;
    return true;
  }
  // A box on the one taken last adds nothing: objects in one spot of the
  // sheet take it once.
  void prendi(const riquadro& b) {
    if (!presi_.empty()) {
      const riquadro& u = presi_.back();
      if (std::abs(u.x0 - b.x0) < 0.5 && std::abs(u.x1 - b.x1) < 0.5 && u.y0 == b.y0 && u.y1 == b.y1) return;
    }
    presi_.push_back(b);
  }

 private:
  std::vector<riquadro> presi_;
};

double passo_bello(double minimo) {
  const double p = std::pow(10.0, std::floor(std::log10(std::max(minimo, 1e-9))));
  for (double k : {1.0, 2.0, 5.0, 10.0})
    if (k * p >= minimo) return k * p;
  return 10 * p;
}

std::string km(double m, int cifre) {
  char buf[48];
  // A tick a hair before the start is the start, not "-0.0 km".
  std::snprintf(buf, sizeof buf, "%.*f km", cifre, std::abs(m) < 0.5 ? 0.0 : m / 1000);
  return buf;
}

std::string testo(double x, double y, std::string_view t, const std::string& attributi) {
  return "<text x=\"" + f(x) + "\" y=\"" + f(y) + "\" " + attributi + ">" + xml_testo(t) + "</text>\n";
}

const char* colore_tipo(int tipo) {
  switch (tipo) {
    case cella_segnale: return "#1e8449";
    case cella_fine_rallentamento:
    case cella_inizio_rallentamento: return "#ba4a00";
    case cella_avviso_rallentamento: return "#e67e22";
    case cella_sequenza_avviso: return "#f5b041";
    case cella_indicatore_vmax: return "#c0392b";
    case cella_stazione: return "#1f6fb2";
    case cella_marcatore_montagna: return "#7d6608";
    case cella_abbattimento: return "#616a6b";
    case cella_abbattimento_nullo: return "#aab7b8";
    case cella_cartello: return "#7d3c98";
    default: return "#7f8c8d";
  }
}

std::string triangolo(double x, double y, double r, const char* colore) {
  return "<path d=\"M" + f(x) + " " + f(y - r) + "L" + f(x + r) + " " + f(y + r * 0.8) + "L" + f(x - r) + " " + f(y + r * 0.8) +
         "Z\" fill=\"" + colore + "\"/>\n";
}

// The mark of an object in its lane.
std::string segno(int tipo, double x, double y) {
  const char* c = colore_tipo(tipo);
  switch (tipo) {
    case cella_segnale:
      return "<rect x=\"" + f(x - 0.75) + "\" y=\"" + f(y - 7) + "\" width=\"1.5\" height=\"14\" fill=\"" + c + "\"/><circle cx=\"" + f(x) +
             "\" cy=\"" + f(y - 5) + "\" r=\"3.5\" fill=\"" + c + "\"/>\n";
    case cella_indicatore_vmax: return "<rect x=\"" + f(x - 4) + "\" y=\"" + f(y - 4) + "\" width=\"8\" height=\"8\" fill=\"" + c + "\"/>\n";
    case cella_cartello:
      return "<path d=\"M" + f(x) + " " + f(y - 6) + "l5 6l-5 6l-5 -6Z\" fill=\"" + c + "\"/>\n";
    case cella_avviso_rallentamento:
    case cella_stazione: return triangolo(x, y, tipo == cella_stazione ? 5 : 6, c);
    case cella_fine_rallentamento:
      return "<path d=\"M" + f(x - 5) + " " + f(y - 5) + "l10 10M" + f(x + 5) + " " + f(y - 5) + "l-10 10\" stroke=\"" + c +
             "\" stroke-width=\"2\"/>\n";
    case cella_sequenza_avviso:
    case cella_marcatore_montagna: return "<circle cx=\"" + f(x) + "\" cy=\"" + f(y) + "\" r=\"2.5\" fill=\"" + c + "\"/>\n";
    default: return "<rect x=\"" + f(x - 1) + "\" y=\"" + f(y - 6) + "\" width=\"2\" height=\"12\" fill=\"" + c + "\"/>\n";
  }
}

std::string colore_pendenza(int v) {
  if (v == 0) return "#eaeded";
  const double k = std::min(std::abs(v) / 30.0, 1.0);
  return std::string(v > 0 ? "rgba(203,67,53," : "rgba(40,116,166,") + f(0.18 + 0.6 * k).substr(0, 4) + ")";
}

class disegno {
 public:
  explicit disegno(const scenario_compilato& s) : s_(s), l_(leggi_linea(s.celle, s.servizio)) {
    fine_ = l_.lunghezza;
    totale_ = std::max({l_.metri_celle, fine_, 1});
    const double margine = std::max(fine_ * 0.03, 200.0);
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
    r += "<style>text{font-family:'DejaVu Sans',Verdana,sans-serif;font-size:12px;fill:#1b2631}.p{font-size:11px}"
         ".t{font-weight:bold;font-size:13px}.n{fill:#34495e}.g{fill:#5d6d7e}</style>\n";
    r += "<defs><pattern id=\"coda\" width=\"8\" height=\"8\" patternUnits=\"userSpaceOnUse\" patternTransform=\"rotate(45)\">"
         "<rect width=\"8\" height=\"8\" fill=\"rgba(127,140,141,0.16)\"/><path d=\"M0 0v8\" stroke=\"rgba(127,140,141,0.3)\"/></pattern></defs>\n";
    r += "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
    return r + corpo_svg + "</svg>\n";
  }

 private:
  double x_di(double m) const { return sinistra + (m - da_) / (a_ - da_) * (destra - sinistra); }
  bool visibile(double m0, double m1) const { return m1 > da_ && m0 < a_; }

  std::string intestazione(double& y) {
    std::string r = testo(14, 26, s_.titolo, "style=\"font-size:18px;font-weight:bold\"");
    std::string dati;
    for (const valore_letto& v : l_.dati_generali) dati += (dati.empty() ? "" : " · ") + v.nome + ": " + v.testo;
    r += testo(14, 46, dati, "class=\"g\"");
    y = 58;
    return r;
  }

  // ---- the plan ----

  std::string pianta(double& y) {
    const double y0 = y;
    std::string r = testo(14, y0 + 16, "Plan", "class=\"t\"");
    const std::vector<punto_pianta> tutti = punti_pianta(s_.geometria);
    if (tutti.empty()) {
      y += 70;
      return r + testo(14, y0 + 44, "No plan: the scenario was compiled without its line geometry file.", "class=\"g\"");
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
    const std::vector<punto_pianta> punti = semplifica(tutti, 0.25 / scala, {fine_});
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
    auto linea = [&](bool coda, const char* stile) {
      std::string d;
      for (const punto_pianta& p : punti)
        if (coda ? p.metro >= fine_ : p.metro <= fine_) d += (d.empty() ? "M" : "L") + f(px(p.x)) + " " + f(py(p.y));
      return d.empty() ? "" : "<path d=\"" + d + "\" fill=\"none\" " + stile + "/>\n";
    };
    r += linea(true, "stroke=\"#95a5a6\" stroke-width=\"2.5\" stroke-dasharray=\"7 5\"");
    r += linea(false, "stroke=\"#2c3e50\" stroke-width=\"3\" stroke-linejoin=\"round\"");
    occupati presi;
    for (const stazione_letta& st : l_.stazioni) {
      std::string d;
      for (int i = 0; i <= 24; ++i) {
        const punto_pianta q = punto_a(st.inizio + (st.fine - st.inizio) * i / 24);
        d += (i ? "L" : "M") + f(px(q.x)) + " " + f(py(q.y));
      }
      r += "<path d=\"" + d + "\" fill=\"none\" stroke=\"rgba(31,111,178,0.55)\" stroke-width=\"7\"/>\n";
    }
    const punto_pianta pf = punto_a(fine_), prima = punto_a(fine_ - 5), dopo = punto_a(fine_ + 5);
    const double lx = dopo.x - prima.x, ly = dopo.y - prima.y, ll = std::max(std::hypot(lx, ly), 1e-9);
    const double nx = -ly / ll, ny = lx / ll;  // across the track
    r += "<path d=\"M" + f(px(pf.x) - nx * 9) + " " + f(py(pf.y) + ny * 9) + "L" + f(px(pf.x) + nx * 9) + " " + f(py(pf.y) - ny * 9) +
         "\" stroke=\"#c0392b\" stroke-width=\"3\"/>\n";
    presi.prendi({px(pf.x) - 9, py(pf.y) - 9, px(pf.x) + 9, py(pf.y) + 9});
    const double bordo_alto = y0 + 24, bordo_basso = y0 + 24 + alto;
    auto etichetta = [&](const std::string& t, double x, double yv, const char* colore, double d, double dimensione) {
      const double w = larghezza_testo(t, dimensione), h = dimensione + 3;
      const double prove[4][2] = {{x + d, yv - h / 2}, {x - d - w, yv - h / 2}, {x - w / 2, yv - d - h}, {x - w / 2, yv + d}};
      for (const auto& q : prove) {
        const riquadro b{q[0] - 2, q[1], q[0] + w + 2, q[1] + h};
        if (b.x0 < 4 || b.x1 > larghezza - 4 || b.y0 < bordo_alto || b.y1 > bordo_basso || !presi.libero(b)) continue;
        presi.prendi(b);
        r += "<rect x=\"" + f(b.x0) + "\" y=\"" + f(b.y0) + "\" width=\"" + f(b.x1 - b.x0) + "\" height=\"" + f(h) +
             "\" fill=\"#ffffff\" fill-opacity=\"0.85\"/>\n";
        r += testo(q[0], q[1] + h - 3.5, t, std::string("style=\"fill:") + colore + ";font-size:" + f(dimensione) + "px\"");
        return;
      }
    };
    etichetta("end of line " + km(fine_, 3), px(pf.x), py(pf.y), "#c0392b", 12, corpo);
    for (const stazione_letta& st : l_.stazioni) {
      const punto_pianta q = punto_a(st.posizione);
      r += "<circle cx=\"" + f(px(q.x)) + "\" cy=\"" + f(py(q.y)) + "\" r=\"5\" fill=\"#1f6fb2\" stroke=\"#ffffff\" stroke-width=\"1.5\"/>\n";
      presi.prendi({px(q.x) - 5, py(q.y) - 5, px(q.x) + 5, py(q.y) + 5});
    }
    for (const stazione_letta& st : l_.stazioni) {
      const punto_pianta q = punto_a(st.posizione);
      etichetta(st.nome, px(q.x), py(q.y), "#154360", 9, corpo);
    }
    const double passo = passo_bello(70 / scala);
    const int cifre = passo >= 1000 ? 0 : passo >= 100 ? 1 : 2;
    const int ultimo = std::min(punti.back().metro, totale_);
    for (double m = passo; m <= ultimo && ultimo / passo < 40000; m += passo) {
      const punto_pianta q = punto_a(int(m)), a = punto_a(int(m) - 5), b = punto_a(int(m) + 5);
      const double dx = b.x - a.x, dy = b.y - a.y, d = std::max(std::hypot(dx, dy), 1e-9);
      const double X = px(q.x), Y = py(q.y);
      const char* colore = m > fine_ ? "#7f8c8d" : "#34495e";
      r += "<path d=\"M" + f(X + dy / d * 5) + " " + f(Y + dx / d * 5) + "L" + f(X - dy / d * 5) + " " + f(Y - dx / d * 5) + "\" stroke=\"" +
           colore + "\"/>\n";
      etichetta(km(m, cifre), X, Y, colore, 7, piccolo);
    }
    r += "</g>\n";
    const double barra = passo_bello(100 / scala), lb = barra * scala;
    r += "<path d=\"M14 " + f(bordo_basso - 4) + "h" + f(lb) + "\" stroke=\"#34495e\" stroke-width=\"2\"/>\n";
    r += testo(18 + lb, bordo_basso, barra >= 1000 ? json_numero(barra / 1000) + " km" : json_numero(barra) + " m", "class=\"p n\"");
    y = bordo_basso + 14;
    return r;
  }

  // ---- the panels along the line ----

  struct pannello {
    double y, h;
  };

  std::string lungo_linea(double& y) {
    const double y0 = y;
    std::string r = testo(14, y0 + 16, "Along the line", "class=\"t\"");
    double yp = y0 + 24;
    auto prossimo = [&](double h) { pannello p{yp, h}; yp += h; return p; };
    const pannello asse = prossimo(30), quota = prossimo(120), pendenza = prossimo(22), velocita = prossimo(110), aderenza = prossimo(56);
    const char* nomi_corsie[] = {"Stations", "Signals", "Speed boards", "Sign boards", "Restrictions", "Abatement", "Mountains"};
    std::vector<pannello> corsie;
    for (int i = 0; i < 7; ++i) corsie.push_back(prossimo(46));
    const double basso = yp;
    const pannello tutti[] = {quota, pendenza, velocita, aderenza};
    int i = 0;
    for (const pannello& p : tutti) {
      r += "<rect x=\"" + f(sinistra) + "\" y=\"" + f(p.y) + "\" width=\"" + f(destra - sinistra) + "\" height=\"" + f(p.h) + "\" fill=\"" +
           (i++ % 2 ? "#ffffff" : "#fbfcfc") + "\"/>\n";
    }
    for (const pannello& p : corsie)
      r += "<rect x=\"" + f(sinistra) + "\" y=\"" + f(p.y) + "\" width=\"" + f(destra - sinistra) + "\" height=\"" + f(p.h) + "\" fill=\"" +
           (i++ % 2 ? "#ffffff" : "#fbfcfc") + "\"/>\n";
    const std::pair<pannello, const char*> nomi[] = {{quota, "Altitude"}, {pendenza, "Gradient ‰"}, {velocita, "Speed limit"}, {aderenza, "Adhesion"}};
    for (const auto& [p, n] : nomi) r += testo(14, p.y + 16, n, "class=\"n\"");
    for (int k = 0; k < 7; ++k) r += testo(14, corsie[std::size_t(k)].y + 16, nomi_corsie[k], "class=\"n\"");
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
      r += "<path d=\"M" + f(xf) + " " + f(asse.y + 16) + "V" + f(basso) + "\" stroke=\"#c0392b\" stroke-dasharray=\"5 3\"/>\n";
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
      r += testo(x0, p.y + 12, t, "class=\"p\" style=\"fill:#c0392b\"");
      presi.prendi({x0 - 4, p.y, x0 + w + 4, p.y + 16});
      const std::string c = "run-out, " + std::to_string(totale_ - fine_) + " m";
      const double wc = larghezza_testo(c, piccolo), xc = (xf + destra) / 2;
      const riquadro b{xc - wc / 2 - 4, p.y + 16, xc + wc / 2 + 4, p.y + 30};
      if (destra - xf > wc + 10 && presi.libero(b)) {
        r += testo(xc - wc / 2, p.y + 27, c, "class=\"p g\"");
        presi.prendi(b);
      }
    }
    const double passo = passo_bello((larghezza_testo("1000.0 km", piccolo) + 18) * (a_ - da_) / (destra - sinistra));
    const int cifre = passo >= 1000 ? 0 : passo >= 100 ? 1 : passo >= 10 ? 2 : 3;
    for (double m = std::ceil(da_ / passo) * passo; m <= a_; m += passo) {
      const double x = x_di(m);
      if (x < sinistra - 0.5 || x > destra + 0.5) continue;
      r += "<path d=\"M" + f(x) + " " + f(p.y + 24) + "v6\" stroke=\"#aab7b8\"/>\n";
      // The label stands above its tick, and never left of the panels.
      const std::string t = km(m, cifre);
      const double w = larghezza_testo(t, piccolo);
      const double x0 = std::max(x - w / 2, sinistra);
      const riquadro b{x0 - 3, p.y + 12, x0 + w + 3, p.y + 23};
      if (b.x1 > destra + 12 || !presi.libero(b)) continue;
      r += testo(x0, p.y + 21, t, "class=\"p n\"");
      presi.prendi(b);
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
    std::string r = "<path d=\"" + d + "\" fill=\"rgba(138,90,43,0.13)\"/>\n<path d=\"" + linea + "\" fill=\"none\" stroke=\"#8a5a2b\" stroke-width=\"1.6\"/>\n";
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
      if (x1 - x0 >= w + 6)
        r += testo((x0 + x1 - w) / 2, p.y + p.h / 2 + 4, v, std::string("class=\"p\"") + (std::abs(t.valore) > 18 ? " style=\"fill:#fff\"" : ""));
    }
    return r;
  }

  static std::function<double(double)> altezza(const pannello& p, double vmax) {
    return [p, vmax](double v) { return p.y + p.h - 6 - std::clamp(v, 0.0, vmax) / vmax * (p.h - 36); };
  }

  std::string scalino(const pannello& p, const std::vector<tratto>& lista, double vmax, const char* colore, const std::string& unita,
                      occupati& presi) {
    const auto y = altezza(p, vmax);
    std::string d, r;
    for (const tratto& t : lista) {
      if (!visibile(t.da, t.a)) continue;
      const double x0 = std::max(x_di(t.da), sinistra - 2), x1 = std::min(x_di(t.a), destra + 2);
      d += (d.empty() ? "M" : "L") + f(x0) + " " + f(y(t.valore)) + "L" + f(x1) + " " + f(y(t.valore));
    }
    r += "<path d=\"" + d + "\" fill=\"none\" stroke=\"" + colore + "\" stroke-width=\"1.8\"/>\n";
    for (const tratto& t : lista) {
      if (!visibile(t.da, t.a)) continue;
      const double x0 = std::max(x_di(t.da), sinistra) + 3;
      const std::string v = std::to_string(t.valore) + unita;
      const double w = larghezza_testo(v, piccolo);
      const riquadro b{x0 - 2, y(t.valore) - 15, x0 + w + 2, y(t.valore) - 1};
      if (b.x1 > destra || b.y0 < p.y + 2 || !presi.libero(b)) continue;
      r += testo(x0, y(t.valore) - 4, v, std::string("class=\"p\" style=\"fill:") + colore + "\"");
      presi.prendi(b);
    }
    return r;
  }

  std::string disegna_velocita(const pannello& p) {
    double vmax = 10;
    for (const tratto& t : l_.velocita) vmax = std::max(vmax, double(t.valore));
    for (const rallentamento_letto& t : l_.rallentamenti) vmax = std::max(vmax, double(t.velocita));
    const auto y = altezza(p, vmax);
    std::string r = "</g>\n" + testo(sinistra - 6, y(vmax) + 4, json_numero(vmax) + " km/h", "class=\"p g\" text-anchor=\"end\"") +
                    testo(sinistra - 6, y(0) + 4, "0", "class=\"p g\" text-anchor=\"end\"") + "<g clip-path=\"url(#lungo)\">\n";
    occupati presi;
    for (const rallentamento_letto& t : l_.rallentamenti) {
      const double x0 = x_di(t.inizio), x1 = std::max(x_di(t.fine), x0 + 2), yv = y(t.velocita);
      if (t.avviso >= 0 && x_di(t.avviso) >= sinistra && x_di(t.avviso) <= destra) {
        const double xa = x_di(t.avviso), ya = p.y + 24;
        r += "<path d=\"M" + f(xa) + " " + f(ya) + "H" + f(std::min(x0, destra)) + "V" + f(yv) +
             "\" fill=\"none\" stroke=\"#e67e22\" stroke-dasharray=\"2 3\"/>\n";
        r += triangolo(xa, ya, 6, "#e67e22");
        presi.prendi({xa - 7, ya - 7, xa + 7, ya + 6});
      }
      if (!visibile(t.inizio, std::max(t.fine, t.inizio + 1))) continue;
      r += "<rect x=\"" + f(x0) + "\" y=\"" + f(yv) + "\" width=\"" + f(x1 - x0) + "\" height=\"" + f(p.y + p.h - 6 - yv) +
           "\" fill=\"rgba(230,126,34,0.22)\"/>\n<path d=\"M" + f(x0) + " " + f(yv) + "H" + f(x1) + "\" stroke=\"#e67e22\" stroke-width=\"2.2\"/>\n";
      // The longest of these that fits inside the band.
      for (const std::string& v : {std::to_string(t.velocita) + " km/h, " + std::to_string(t.fine - t.inizio) + " m",
                                   std::to_string(t.velocita) + " km/h", std::to_string(t.velocita)}) {
        const double w = larghezza_testo(v, piccolo);
        const riquadro b{(x0 + x1 - w) / 2 - 2, yv + 2, (x0 + x1 + w) / 2 + 2, yv + 16};
        if (x1 - x0 < w + 6 || x0 < sinistra || x1 > destra || b.y1 > p.y + p.h || !presi.libero(b)) continue;
        r += testo(b.x0 + 2, yv + 13, v, "class=\"p\" style=\"fill:#a04000\"");
        presi.prendi(b);
        break;
      }
    }
    return r + scalino(p, l_.velocita, vmax, "#c0392b", " km/h", presi);
  }

  std::string disegna_aderenza(const pannello& p) {
    double vmax = 1;
    for (const tratto& t : l_.aderenza) vmax = std::max(vmax, double(t.valore));
    occupati presi;
    return scalino(p, l_.aderenza, vmax, "#117a65", "", presi);
  }

  struct voce_corsia {
    double x, x0, x1;
    bool barra;
    int tipo;
    std::string etichetta;
    const char* colore_barra;
  };

  std::string disegna_corsie(const std::vector<pannello>& corsie) {
    std::vector<std::vector<voce_corsia>> voci(7);
    auto indice = [](corsia c) { return std::size_t(c); };
    // Restrictions by the cell of their start, both in the order of their cells.
    auto rallentamento = l_.rallentamenti.begin();
    for (const oggetto_linea& o : l_.oggetti) {
      const corsia c = corsia_di(o.tipo);
      if (c == corsia::nessuna) continue;
      voce_corsia v{double(o.metri), double(o.metri), double(o.metri), false, o.tipo, o.etichetta, nullptr};
      if (o.tipo == cella_stazione) {
        v = {double(o.metri), double(o.mappati.da), double(o.mappati.a), true, o.tipo, o.etichetta, "rgba(31,111,178,0.25)"};
        for (const stazione_letta& st : l_.stazioni)
          if (st.cella_fermata == int(o.cella)) {
            const std::string t = ore_minuti_secondi(st.orario);
            v.etichetta = st.nome + " " + (t.size() == 8 && t.substr(5) == ":00" ? t.substr(0, 5) : t);
          }
      } else if (o.tipo == cella_inizio_rallentamento) {
        while (rallentamento != l_.rallentamenti.end() && rallentamento->cella_inizio < o.cella) ++rallentamento;
        if (rallentamento != l_.rallentamenti.end() && rallentamento->cella_inizio == o.cella) {
          const rallentamento_letto& t = *rallentamento;
          v = {double(o.metri), double(t.inizio), double(std::max(t.fine, t.inizio)), true, o.tipo, o.etichetta, "rgba(230,126,34,0.35)"};
        }
      } else if (o.tipo == cella_fine_rallentamento || o.tipo == cella_sequenza_avviso || o.tipo == cella_marcatore_montagna) {
        v.etichetta.clear();
      }
      voci[indice(c)].push_back(v);
    }
    for (const montagna_letta& m : l_.montagne)
      voci[indice(corsia::montagne)].push_back({double(m.da), double(m.da), double(m.a), true, -1,
                                                 "type " + std::to_string(m.tipo) + (m.segnalata ? ", markers" : ""), "rgba(125,102,8,0.35)"});
    std::string r;
    const double margine = 40 * (a_ - da_) / (destra - sinistra);
    for (std::size_t k = 0; k < voci.size(); ++k) {
      std::vector<voce_corsia>& lista = voci[k];
      std::stable_sort(lista.begin(), lista.end(), [](const voce_corsia& a, const voce_corsia& b) { return a.x < b.x; });
      const pannello& p = corsie[k];
      const double y_segno = p.y + 12, righe[2] = {p.y + 27, p.y + 40};
      double fine_riga[2] = {-1e9, -1e9};
      for (const voce_corsia& v : lista) {
        if (v.x1 < da_ - margine || v.x0 > a_ + margine) continue;
        const double x = x_di(v.x);
        if (v.barra) {
          const double b0 = x_di(v.x0), b1 = std::max(x_di(v.x1), b0 + 2);
          r += "<rect x=\"" + f(b0) + "\" y=\"" + f(y_segno - 4) + "\" width=\"" + f(b1 - b0) + "\" height=\"8\" fill=\"" + v.colore_barra + "\"/>\n";
        }
        if (v.tipo >= 0) r += segno(v.tipo, x, y_segno);
        if (v.etichetta.empty()) continue;
        const double w = larghezza_testo(v.etichetta, piccolo);
        const double cx = v.tipo < 0 ? (std::max(x_di(v.x0), sinistra) + std::min(x_di(v.x1), destra)) / 2 : x;
        const double l0 = std::max(sinistra + 1, std::min(cx - w / 2, destra - w - 1));
        if (std::abs(l0 + w / 2 - cx) > w / 2 + 8) continue;  // its object is off the sheet
        for (int riga = 0; riga < 2; ++riga) {
          if (l0 < fine_riga[riga] + 6) continue;
          r += testo(l0, righe[riga] + 4, v.etichetta, std::string("class=\"p\" style=\"fill:") + (v.tipo < 0 ? "#7d6608" : colore_tipo(v.tipo)) + "\"");
          fine_riga[riga] = l0 + w;
          break;
        }
      }
    }
    return r;
  }

  // ---- legend ----

  std::string legenda(double& y) {
    struct voce {
      std::string simbolo, testo;
    };
    const std::vector<voce> voci = {
        {"<path d=\"M0 0h24\" stroke=\"#2c3e50\" stroke-width=\"3\"/>", "track"},
        {"<path d=\"M0 0h24\" stroke=\"#95a5a6\" stroke-width=\"2.5\" stroke-dasharray=\"5 3\"/>", "run-out after the line's end (plan)"},
        {"<rect x=\"0\" y=\"-6\" width=\"24\" height=\"12\" fill=\"url(#coda)\"/>", "run-out after the line's end: " + std::to_string(totale_ - fine_) + " m"},
        {"<path d=\"M12 -7v14\" stroke=\"#c0392b\" stroke-width=\"3\"/>", "line's end"},
        {"<rect x=\"0\" y=\"-3\" width=\"24\" height=\"6\" fill=\"rgba(31,111,178,0.4)\"/>" + triangolo(12, 0, 5, "#1f6fb2"), "station and its area"},
        {"<path d=\"M0 4l12 -8l12 4\" fill=\"none\" stroke=\"#8a5a2b\" stroke-width=\"1.6\"/>", "altitude from the gradients"},
        {"<rect x=\"0\" y=\"-5\" width=\"12\" height=\"10\" fill=\"" + colore_pendenza(20) + "\"/><rect x=\"12\" y=\"-5\" width=\"12\" height=\"10\" fill=\"" +
             colore_pendenza(-20) + "\"/>", "gradient in per mille, rising / falling"},
        {"<path d=\"M0 -4h12v7h12\" fill=\"none\" stroke=\"#c0392b\" stroke-width=\"1.8\"/>", "speed limit"},
        {"<rect x=\"0\" y=\"-2\" width=\"24\" height=\"8\" fill=\"rgba(230,126,34,0.35)\"/><path d=\"M0 -2h24\" stroke=\"#e67e22\" stroke-width=\"2.2\"/>",
         "restriction: speed and length"},
        {"<path d=\"M0 2h24\" stroke=\"#117a65\" stroke-width=\"1.8\"/>", "adhesion"},
        {segno(cella_segnale, 12, 1), "signal: aspects s1/s2/s3 | d1/d2/d3, t = time"},
        {segno(cella_indicatore_vmax, 12, 0), "speed board (a/b/c km/h)"},
        {segno(cella_cartello, 12, 0), "sign board and its text"},
        {segno(cella_avviso_rallentamento, 12, 1), "restriction warning board"},
        {segno(cella_fine_rallentamento, 12, 0), "restriction end"},
        {segno(cella_sequenza_avviso, 12, 0), "cells before a warning board"},
        {segno(cella_abbattimento, 12, 0), "abatement mark and its value"},
        {"<rect x=\"0\" y=\"-4\" width=\"24\" height=\"8\" fill=\"rgba(125,102,8,0.35)\"/>" + segno(cella_marcatore_montagna, 12, 0),
         "mountain range, with markers when flagged"},
    };
    std::string r = testo(14, y + 16, "Legend", "class=\"t\"");
    const double colonna = (larghezza - 28) / 3;
    for (std::size_t i = 0; i < voci.size(); ++i) {
      const double x = 14 + colonna * double(i % 3), yv = y + 34 + 20 * double(i / 3);
      r += "<g transform=\"translate(" + f(x) + "," + f(yv) + ")\">" + voci[i].simbolo + "</g>\n";
      r += testo(x + 32, yv + 4, voci[i].testo, "class=\"p\"");
    }
    y += 34 + 20 * double((voci.size() + 2) / 3) + 10;
    return r;
  }

  const scenario_compilato& s_;
  linea_letta l_;
  int fine_ = 0, totale_ = 1;
  double da_ = 0, a_ = 1;
};

}  // namespace

std::string disegna_svg(const scenario_compilato& s) { return disegno(s).svg(); }

}  // namespace sc
