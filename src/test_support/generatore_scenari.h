// Descriptions with every kind of entry, from a seed, for round-trip tests:
// restrictions with and without warning boards and sequences, stations of
// every kind, flagged, adjacent and overlapping mountains, curves of every
// class and side, signals, speed and sign boards, abatement marks near the
// places the walk marks, chainage, backgrounds and signal repetition. Items
// are kept off each other's cells, so that almost every description
// compiles without a reading error.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "model/regole.h"
#include "test_support/linea_grande.h"

namespace sc::test {

class generatore_scenari {
 public:
  explicit generatore_scenari(std::uint64_t seme) : s_(seme * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull) {}

  descrizioni genera() {
    lunghezza_ = caso(4) ? tra(0, 300) : tra(1500, 14000);
    n_ = std::int64_t(arrotonda(double(lunghezza_ + 7000) / 50));
    occupata_.assign(std::size_t(n_) + 1, false);
    occupata_[1] = true;  // the format marker's cell
    descrizioni d;
    d.linea = linea();
    d.servizio = servizio();
    return d;
  }

 private:
  using righe = std::string;

  std::uint64_t prossimo() {
    s_ ^= s_ << 13, s_ ^= s_ >> 7, s_ ^= s_ << 17;
    return s_;
  }
  std::int64_t tra(std::int64_t a, std::int64_t b) { return a + std::int64_t(prossimo() % std::uint64_t(b - a + 1)); }
  bool caso(int percento) { return tra(0, 99) < percento; }
  template <typename T>
  const T& uno_di(const std::vector<T>& v) { return v[std::size_t(tra(0, std::int64_t(v.size()) - 1))]; }
  static std::string n(std::int64_t v) { return std::to_string(v); }

  std::int64_t ultima_posizione() const { return 50 * n_ - 100; }
  bool libera(std::int64_t c) const { return c >= 0 && c <= n_ && !occupata_[std::size_t(c)]; }
  // A point item somewhere on the track whose cell is free, or -1.
  std::int64_t posizione_libera(std::int64_t da = 0) {
    for (int prova = 0; prova < 20; ++prova) {
      const std::int64_t p = caso(60) ? tra(da / 50, ultima_posizione() / 50) * 50 : tra(da, ultima_posizione());
      const std::int64_t c = cella_di(p);
      if (c >= 2 && libera(c)) return p;
    }
    return -1;
  }
  void occupa(std::int64_t c) { occupata_[std::size_t(c)] = true; }

  std::string linea() {
    std::string t = "[generale]\r\nlunghezza percorso, " + n(lunghezza_) + "\r\n";
    std::vector<std::string> generali;
    for (const char* q : {"uno", "due", "tre"})
      if (caso(60))
        generali.push_back(std::string("progressiva chilometrica ") + q + ", " + n(tra(0, 3) * 5000) + ", " + n(tra(0, 3) * 50 + (caso(5) ? 25 : 0)) + ", " +
                           n(tra(0, 1)));
    for (const char* q : {"uno", "due", "tre"})
      if (caso(60)) generali.push_back(std::string("sfondo ") + q + ", " + n(tra(0, 3)));
    if (caso(70)) generali.push_back(std::string("ripetizione segnali ") + (caso(50) ? "4" : "9") + " codici, " + n(tra(0, 4) * 50) + ", " + n(tra(0, 3) * 50));
    for (std::size_t i = generali.size(); i > 1; --i) std::swap(generali[i - 1], generali[std::size_t(tra(0, std::int64_t(i) - 1))]);
    for (const std::string& g : generali) t += g + "\r\n";
    // Line items in any order of their sections.
    std::vector<std::string> sezioni = {curve(), pendenze(), montagne()};
    if (caso(50)) std::swap(sezioni[0], sezioni[2]);
    for (const std::string& s : sezioni) t += s;
    t += indicatori();
    t += cartelli();
    return t + "[fine]\r\n";
  }

  std::string curve() {
    std::string t = "[curve]\r\n";
    std::int64_t m = tra(0, 600);
    for (int i = 0, k = int(tra(0, 10)); i < k && m <= ultima_posizione(); ++i) {
      const std::int64_t l = tra(1, 500);
      const char* lato = caso(50) ? (caso(90) ? "curvad" : "CURVAD") : (caso(90) ? "curvas" : "Curvas");
      t += std::string(lato) + n(tra(1, 6)) + ", " + n(m) + ", " + n(l) + "\r\n";
      m += l + (caso(30) ? 0 : tra(1, 900));
    }
    return t;
  }

  std::string pendenze() {
    std::string t = "[pendenze]\r\n";
    for (std::int64_t p = caso(70) ? 0 : tra(1, 400); p <= ultima_posizione(); p += tra(30, 2500)) t += "pendenza, " + n(p) + ", " + n(tra(-30, 30)) + "\r\n";
    if (caso(15))  // entries at the last position reach the last cells
      for (int i = 0, k = int(tra(1, 3)); i < k; ++i) t += "pendenza, " + n(ultima_posizione()) + ", " + n(tra(-30, 30)) + "\r\n";
    return t;
  }

  std::string montagne() {
    std::string t = "[montagne]\r\n";
    std::int64_t p = tra(0, 1500);
    for (int i = 0, k = int(tra(0, 7)); i < k && p <= ultima_posizione(); ++i) {
      const std::int64_t fine = p + tra(50, 1500);
      const bool segnata = caso(50);
      t += "montagna, " + n(p) + ", " + n(fine) + ", " + n(tra(1, 6) + (segnata ? 10 : 0)) + "\r\n";
      // Touching, within 150 m, apart, or over the end of a plain range
      // (under a flagged one, the markers a later range leaves in its
      // middle do not come back).
      const int modo = int(tra(0, 3));
      p = modo == 0 ? fine : modo == 1 ? fine + tra(1, 150) : modo == 2 && !segnata ? std::max(p, fine - tra(50, 400)) : fine + tra(151, 2000);
      if (p < 0) p = 0;
    }
    return t;
  }

  std::string indicatori() {
    std::string t = "[cartelli]\r\n";
    for (int i = 0, k = int(tra(0, 4)); i < k; ++i) {
      const std::int64_t p = posizione_libera();
      if (p < 0) continue;
      occupa(cella_di(p));
      auto velocita = [&] { return n(tra(3, 16) * 10); };
      auto decimi = [&] { return caso(50) ? std::string() : n(tra(0, 19) * (caso(80) ? 5 : 1)); };
      t += "indicatori_vmax, " + n(p) + ", " + velocita() + ", " + velocita() + ", " + velocita() + ", " + n(tra(0, 3)) + ", " + decimi() + ", " + decimi() + ", " +
           decimi() + ", " + n(tra(-2, 9)) + "\r\n";
    }
    return t;
  }

  std::string cartelli() {
    static const std::vector<std::string> testi = {"(BRUNEA)", "(       )(INERZIA)", "TERMINE, TRATTA", "  RIENTRATO",
                                                   "\"\"", "PIANO \"ALTO\"", "CITT\xc0 VECCHIA", "FINE  "};
    std::string t = "[indicazioni]\r\n";
    for (int i = 0, k = int(tra(0, 5)); i < k; ++i) {
      const std::int64_t p = posizione_libera();
      if (p < 0) continue;
      occupa(cella_di(p));
      std::string testo = uno_di(testi);
      if (testo.find(',') != std::string::npos || testo.front() == ' ' || testo.back() == ' ') testo = "\"" + testo + "\"";
      t += "cartello_indicatore, " + n(p) + ", " + testo + "\r\n";
    }
    return t;
  }

  std::string servizio() {
    std::string t = "[generale]\r\nnumero vetture, " + n(tra(1, 12)) + "\r\npercentuale massa frenata, " + n(tra(60, 140)) + "\r\n";
    t += "sabbia, " + n(tra(0, 30)) + "\r\n";
    t += "orologio, " + n(tra(0, 23)) + (caso(50) ? " " : ", ") + n(tra(0, 59)) + " " + n(tra(0, 59)) + "\r\n";
    t += riempimento("[aderenze]", "aderenza", [&] { return tra(30, 100); });
    t += riempimento("[vel_limite]", "velocita", [&] { return tra(4, 32) * 5 + (caso(10) ? tra(1, 4) : 0); });
    const std::string stazioni_ = stazioni(), rallentamenti_ = rallentamenti(), segnali_ = segnali();
    // Signals written before stations may lose approach marks to them.
    if (caso(30)) t += segnali_ + stazioni_ + rallentamenti_;
    else t += stazioni_ + rallentamenti_ + segnali_;
    return t + "[codici]\r\n[fine]\r\n";
  }

  template <typename Valore>
  std::string riempimento(const char* titolo, const char* chiave, Valore valore) {
    std::string t = std::string(titolo) + "\r\n";
    for (std::int64_t p = caso(80) ? 0 : tra(1, 300); p <= ultima_posizione(); p += tra(40, 4000)) t += std::string(chiave) + ", " + n(p) + ", " + n(valore()) + "\r\n";
    if (caso(15))
      for (int i = 0, k = int(tra(1, 3)); i < k; ++i) t += std::string(chiave) + ", " + n(ultima_posizione()) + ", " + n(valore()) + "\r\n";
    return t;
  }

  std::string stazioni() {
    std::string t = "[stazioni]\r\n";
    std::int64_t fine_precedente = -1000000;
    for (std::int64_t p = tra(0, 12) * 50, k = 1; p + 800 <= 50 * n_ && k < 12; p += tra(7, 50) * 100) {
      const std::int64_t tipo = caso(50) ? 23 : caso(40) ? tra(5, 8) : tra(1, 30);
      const std::int64_t l = tra(1, 8) * 100;
      const bool lunga = caso(30), estesa = caso(30);
      const std::int64_t inizio = tipo >= 5 && tipo <= 8 ? p - l : p - l / 2;
      const std::int64_t fine = tipo == 5 || tipo == 6 ? p + 150 : tipo == 7 || tipo == 8 ? p + l : p + l / 2 + (estesa ? 50 : 0);
      const std::int64_t fermata = fine / 50 - 1;
      if (inizio - 350 < fine_precedente) continue;
      if (tipo < 25 && (fermata <= 1 || !libera(fermata))) continue;
      if (tipo < 25) occupa(fermata);
      fine_precedente = fine;
      t += "stazione, " + n(p) + ", " + n(tipo) + ", " + n(l) + ", " + n(tra(0, 2)) + ", " + n(lunga) + ", " + n(estesa) + ", " + n(tra(0, 3)) + ", " +
           n(tra(0, 3)) + ", " + n(tra(0, 2)) + ", " + n(tra(1, 6)) + ", 1, 1, " + n(tra(0, 20)) + ", " + n(tra(6, 20)) + ", " + n(tra(0, 59)) + ", " +
           n(caso(80) ? 0 : tra(1, 59)) + ", " + (caso(80) ? "STAZIONE " + n(k) : uno_di(std::vector<std::string>{"\"A, B\"", "COLLE ZAVRO", "\"\""})) + "\r\n";
      ++k;
    }
    return t;
  }

  std::string segnali() {
    std::string t = "[segnali]\r\n";
    auto cifra = [&] { return n(tra(0, 4)); };
    if (!prima_cella_presa_ && caso(10))  // a signal in the format marker's cell, with nothing in the reserved values
      t += "segnale, " + n(tra(-25, 24)) + ", " + n(tra(0, 2)) + ", 0, 0, " + cifra() + ", " + n(tra(0, 2)) + ", " + n(tra(0, 2)) + ", 0, 0, " + cifra() + ", 0\r\n";
    for (int i = 0, k = int(tra(0, 12)); i < k; ++i) {
      const std::int64_t p = posizione_libera(200);
      if (p < 0) continue;
      occupa(cella_di(p));
      const std::int64_t tempo = uno_di(std::vector<std::int64_t>{0, 0, -5, tra(1, 100), tra(101, 255), 300});
      t += "segnale, " + n(p) + ", " + n(tra(0, 2)) + ", " + cifra() + ", " + cifra() + ", " + cifra() + ", " + n(tra(0, 3)) + ", " + n(tra(0, 2)) + ", " +
           cifra() + ", " + cifra() + ", " + cifra() + ", " + n(tempo) + "\r\n";
    }
    return t;
  }

  // The cells a restriction takes, all free, or nothing.
  bool prendi_rallentamento(std::int64_t x, std::int64_t l, bool sequenza) {
    std::vector<std::int64_t> celle = {cella_di(x), cella_di(x + l)};
    if (celle[1] == celle[0]) celle.pop_back();
    if (x > 1500) {
      celle.push_back(cella_di(x - 1200));
      const std::int64_t prima = std::int64_t(arrotonda(double(x - 1200) / 50));
      if (sequenza)
        for (int i = 0; i < 4; ++i) celle.push_back(prima - i);
    }
    for (std::int64_t c : celle)
      if (!libera(c)) return false;
    for (std::int64_t c : celle) occupa(c);
    return true;
  }

  std::string rallentamenti() {
    std::string t = "[rallentamenti]\r\n";
    std::vector<std::int64_t> inizi;
    for (int i = 0, k = int(tra(0, 4)); i < k; ++i) {
      const std::int64_t x = tra(22, n_ - 3) * 50 + (caso(30) ? tra(-20, 20) : 0), l = caso(15) ? tra(0, 20) : tra(30, 1500);
      const bool sequenza = caso(50);
      if (x + l > ultima_posizione() || !prendi_rallentamento(x, l, sequenza)) continue;
      inizi.push_back(cella_di(x));
      t += "rallentamento, " + n(x) + ", " + n(caso(70) ? tra(2, 10) * 10 : tra(11, 15) * 10) + ", " + n(l) + ", " + n(tra(0, 2)) + ", " + n(sequenza) + ", " +
           n(caso(30) ? tra(1, 90) : 0) + "\r\n";
    }
    // Marks of the description, some where the walk would put its own.
    for (int i = 0, k = int(tra(0, 6)); i < k; ++i) {
      std::int64_t c = tra(2, n_ - 3);
      if (!inizi.empty() && caso(60)) c = uno_di(inizi) + uno_di(std::vector<std::int64_t>{-5, -6, -7, -11, -12, -18, 8, 7, 9, 16});
      if (!libera(c) || c < 2 || c > n_ - 3) continue;
      occupa(c);
      t += "abbattimento, " + n(50 * c + (caso(30) ? tra(-25, 24) : 0)) + ", " + n(uno_di(std::vector<std::int64_t>{0, -3, 180, 180, tra(1, 400), 70000, 40000})) + "\r\n";
    }
    if (caso(10)) {  // the format marker's cell takes a zero mark
      t += "abbattimento, 50, 0\r\n";
      prima_cella_presa_ = true;
    }
    return t;
  }

  std::uint64_t s_;
  std::int64_t lunghezza_ = 0, n_ = 0;
  std::vector<bool> occupata_;
  bool prima_cella_presa_ = false;
};

}  // namespace sc::test
