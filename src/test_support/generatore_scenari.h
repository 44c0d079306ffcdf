// Descriptions with every kind of entry, from a seed, for round-trip tests:
// restrictions with and without warning boards and sequences, stations of
// every kind, flagged, adjacent, overlapping and type-0 mountains, curves of
// every class and side, signals, speed and sign boards, abatement marks near
// the places the walk marks, chainage, backgrounds and signal repetition.
// Some seeds write objects over each other (a station's stop cell over any
// kind, or an item on a taken cell, which stops the reading), some end a
// description with an entry that records a code, some write 80 entries of a
// kind or more, and positions take every remainder modulo 50 and 100.
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
    molte_ = caso(4);
    lunghezza_ = molte_ ? tra(13000, 14000) : caso(4) ? tra(0, 300) : tra(1500, 14000);
    n_ = std::int64_t(arrotonda(double(lunghezza_ + 7000) / 50));
    occupata_.assign(std::size_t(n_) + 1, false);
    occupata_[1] = true;  // the format marker's cell
    sovrapposti_ = caso(35);
    errore_ = caso(25) ? int(tra(1, 14)) : 0;
    descrizioni d;
    d.linea = linea();
    d.servizio = servizio();
    return d;
  }

 private:
  using righe = std::vector<std::string>;

  std::uint64_t prossimo() {
    s_ ^= s_ << 13, s_ ^= s_ >> 7, s_ ^= s_ << 17;
    return s_;
  }
  std::int64_t tra(std::int64_t a, std::int64_t b) { return a + std::int64_t(prossimo() % std::uint64_t(b - a + 1)); }
  bool caso(int percento) { return tra(0, 99) < percento; }
  template <typename T>
  const T& uno_di(const std::vector<T>& v) { return v[std::size_t(tra(0, std::int64_t(v.size()) - 1))]; }
  static std::string n(std::int64_t v) { return std::to_string(v); }
  static std::string testo(const righe& r) {
    std::string t;
    for (const std::string& x : r) t += x + "\r\n";
    return t;
  }
  // An entry that records a code, somewhere among the entries from `da` on.
  void inserisci(righe& r, std::size_t da, const std::string& voce) {
    r.insert(r.begin() + std::ptrdiff_t(tra(std::int64_t(da), std::int64_t(r.size()))), voce);
  }

  std::int64_t ultima_posizione() const { return 50 * n_ - 100; }
  bool libera(std::int64_t c) const { return c >= 0 && c <= n_ && !occupata_[std::size_t(c)]; }
  // A point item somewhere on the track whose cell is free, or -1. Objects
  // written over others may take a taken cell.
  std::int64_t posizione_libera(std::int64_t da = 0) {
    for (int prova = 0; prova < 20; ++prova) {
      const std::int64_t p = caso(60) ? tra(da / 50, ultima_posizione() / 50) * 50 : tra(da, ultima_posizione());
      const std::int64_t c = cella_di(p);
      if (c >= 2 && (libera(c) || (sovrapposti_ && caso(8)))) return p;
    }
    return -1;
  }
  void occupa(std::int64_t c) {
    if (c < 0 || c > n_) return;
    if (!occupata_[std::size_t(c)]) oggetti_.push_back(c);
    occupata_[std::size_t(c)] = true;
  }

  std::string linea() {
    righe generali = {"lunghezza percorso, " + n(lunghezza_)};
    for (const char* q : {"uno", "due", "tre"})
      if (caso(60))
        generali.push_back(std::string("progressiva chilometrica ") + q + ", " + n(tra(0, 3) * 5000) + ", " + n(tra(0, 3) * 50 + (caso(5) ? 25 : 0)) + ", " +
                           n(tra(0, 1)));
    for (const char* q : {"uno", "due", "tre"})
      if (caso(60)) generali.push_back(std::string("sfondo ") + q + ", " + n(tra(0, 3)));
    if (caso(70)) generali.push_back(std::string("ripetizione segnali ") + (caso(50) ? "4" : "9") + " codici, " + n(tra(0, 4) * 50) + ", " + n(tra(0, 3) * 50));
    for (std::size_t i = generali.size(); i > 2; --i) std::swap(generali[i - 1], generali[std::size_t(tra(1, std::int64_t(i) - 1))]);
    // Stops in the general section: a length past the limit, a signal
    // repetition that is no multiple of 50 or names no code, a number no
    // field takes.
    switch (errore_) {
      case 1: inserisci(generali, 1, "lunghezza percorso, " + n(tra(1000001, 3000000))); break;
      case 2: inserisci(generali, 1, "ripetizione segnali 4 codici, " + n(tra(1, 9) * 50 + 25) + ", 100"); break;
      case 3: inserisci(generali, 1, "ripetizione segnali 9 codici, 100, " + n(tra(1, 9) * 50 + 10)); break;
      case 4: inserisci(generali, 1, "ripetizione segnali, " + n(tra(0, 4) * 50) + ", " + n(tra(0, 4) * 50)); break;
      case 5: inserisci(generali, 1, "sfondo uno, 99999999999"); break;
      default: break;
    }
    righe voci;
    // Line items in any order of their sections.
    std::vector<righe> sezioni = {curve(), pendenze(), montagne()};
    if (caso(50)) std::swap(sezioni[0], sezioni[2]);
    for (const righe& s : sezioni) voci.insert(voci.end(), s.begin(), s.end());
    for (const righe& s : {indicatori(), cartelli()}) voci.insert(voci.end(), s.begin(), s.end());
    // Stops among the line items: a position off the track, a curve with no
    // class, a number no field takes.
    switch (errore_) {
      case 6: inserisci(voci, 0, "pendenza, " + n(ultima_posizione() + tra(1, 5000)) + ", 3"); break;
      case 7: inserisci(voci, 0, "curva, " + n(tra(0, ultima_posizione())) + ", " + n(tra(1, 300))); break;
      case 8: inserisci(voci, 0, "montagna, 99999999999, 0, 0"); break;
      default: break;
    }
    return "[generale]\r\n" + testo(generali) + testo(voci) + "[fine]\r\n";
  }

  righe curve() {
    righe t = {"[curve]"};
    std::int64_t m = tra(0, 600);
    for (int i = 0, k = int(tra(0, 10)); i < k && m <= ultima_posizione(); ++i) {
      const std::int64_t l = tra(1, 500);
      const char* lato = caso(50) ? (caso(90) ? "curvad" : "CURVAD") : (caso(90) ? "curvas" : "Curvas");
      t.push_back(std::string(lato) + n(tra(1, 6)) + ", " + n(m) + ", " + n(l));
      m += l + (caso(30) ? 0 : tra(1, 900));
    }
    return t;
  }

  righe pendenze() {
    righe t = {"[pendenze]"};
    for (std::int64_t p = caso(70) ? 0 : tra(1, 400); p <= ultima_posizione(); p += tra(30, 2500)) t.push_back("pendenza, " + n(p) + ", " + n(tra(-30, 30)));
    if (caso(15))  // entries at the last position reach the last cells
      for (int i = 0, k = int(tra(1, 3)); i < k; ++i) t.push_back("pendenza, " + n(ultima_posizione()) + ", " + n(tra(-30, 30)));
    return t;
  }

  // A mountain type of any kind: plain, flagged, 0, flagged 0 (266), 10,
  // past 255.
  std::int64_t tipo_montagna() {
    if (caso(70)) return tra(1, 6) + (caso(50) ? 10 : 0);
    return uno_di(std::vector<std::int64_t>{0, 0, 266, 266, 3, 13, 10, 20, 300, -5});
  }

  righe montagne() {
    righe t = {"[montagne]"};
    const int modo = int(tra(0, 3));
    if (modo == 0 || (modo == 3 && !molte_)) {
      std::int64_t p = tra(0, 1500);
      for (int i = 0, k = int(tra(0, 7)); i < k && p <= ultima_posizione(); ++i) {
        const std::int64_t fine = p + tra(50, 1500);
        const bool segnata = caso(50);
        t.push_back("montagna, " + n(p) + ", " + n(fine) + ", " + n(tra(1, 6) + (segnata ? 10 : 0)));
        // Touching, within 150 m, apart, or over the end of the last.
        const int vicino = int(tra(0, 3));
        p = vicino == 0 ? fine : vicino == 1 ? fine + tra(1, 150) : vicino == 2 ? std::max(p, fine - tra(50, 400)) : fine + tra(151, 2000);
        if (p < 0) p = 0;
      }
      return t;
    }
    if (modo == 3) {
      // As many ranges as the readers keep, apart, and one more, which
      // stops the reading.
      std::int64_t p = tra(-100, 200);
      for (int i = 0, k = int(tra(78, 81)); i < k; ++i) {
        const std::int64_t fine = p + tra(50, 80);
        t.push_back("montagna, " + n(p) + ", " + n(fine) + ", " + n(caso(90) ? tra(1, 6) + (caso(50) ? 10 : 0) : tipo_montagna()));
        p = fine + (caso(90) ? tra(151, 170) : tra(0, 150));
      }
      return t;
    }
    // Ranges over each other in any order, or over the last cells.
    const int k = int(tra(1, 12));
    for (int i = 0; i < k; ++i) {
      const std::int64_t inizio = modo == 2 && caso(50) ? ultima_posizione() - tra(0, 300) : tra(-200, ultima_posizione());
      const std::int64_t fine = inizio + (caso(10) ? -tra(0, 200) : tra(30, modo == 2 ? 2000 : 3000));
      t.push_back("montagna, " + n(inizio) + ", " + n(fine) + ", " + n(tipo_montagna()));
    }
    return t;
  }

  righe indicatori() {
    righe t = {"[cartelli]"};
    for (int i = 0, k = int(tra(0, 4)); i < k; ++i) {
      const std::int64_t p = posizione_libera();
      if (p < 0) continue;
      occupa(cella_di(p));
      auto velocita = [&] { return n(tra(3, 16) * 10); };
      auto decimi = [&] { return caso(50) ? std::string() : n(tra(0, 19) * (caso(80) ? 5 : 1)); };
      t.push_back("indicatori_vmax, " + n(p) + ", " + velocita() + ", " + velocita() + ", " + velocita() + ", " + n(tra(0, 3)) + ", " + decimi() + ", " +
                  decimi() + ", " + decimi() + ", " + n(tra(-2, 9)));
    }
    return t;
  }

  righe cartelli() {
    static const std::vector<std::string> testi = {"(BRUNEA)", "(       )(INERZIA)", "TERMINE, TRATTA", "  RIENTRATO",
                                                   "\"\"", "PIANO \"ALTO\"", "CITT\xc0 VECCHIA", "FINE  "};
    righe t = {"[indicazioni]"};
    // As many boards as text slots, and one more.
    const int k = molte_ && caso(50) ? int(tra(78, 81)) : int(tra(0, 5));
    cartelli_ = 0;
    for (int i = 0; i < k; ++i) {
      const std::int64_t p = posizione_libera();
      if (p < 0) continue;
      occupa(cella_di(p));
      ++cartelli_;
      std::string testo = uno_di(testi);
      if (testo.find(',') != std::string::npos || testo.front() == ' ' || testo.back() == ' ') testo = "\"" + testo + "\"";
      t.push_back("cartello_indicatore, " + n(p) + ", " + testo);
    }
    return t;
  }

  std::string servizio() {
    righe t = {"numero vetture, " + n(tra(1, 12)), "percentuale massa frenata, " + n(tra(60, 140)), "sabbia, " + n(tra(0, 30)),
               "orologio, " + n(tra(0, 23)) + (caso(50) ? " " : ", ") + n(tra(0, 59)) + " " + n(tra(0, 59))};
    for (const righe& r : {riempimento("[aderenze]", "aderenza", [&] { return tra(30, 100); }),
                           riempimento("[vel_limite]", "velocita", [&] { return tra(4, 32) * 5 + (caso(10) ? tra(1, 4) : 0); })})
      t.insert(t.end(), r.begin(), r.end());
    // The objects' sections in any order: a station written after an
    // object takes over its cell, an object after a station stops on it.
    std::vector<int> ordine = {0, 1, 2};
    for (std::size_t i = ordine.size(); i > 1; --i) std::swap(ordine[i - 1], ordine[std::size_t(tra(0, std::int64_t(i) - 1))]);
    for (int sezione : ordine) {
      const righe r = sezione == 0 ? stazioni() : sezione == 1 ? rallentamenti() : segnali();
      t.insert(t.end(), r.begin(), r.end());
    }
    // Stops in the service description.
    switch (errore_) {
      case 9: inserisci(t, 0, "stazione, " + n(tra(1, n_ - 20) * 50 + tra(1, 49)) + ", 23, 200, 0, 0, 0, 0, 0, 0, 4, 1, 1, 1, 11, 35, 0, STORTA"); break;
      case 10: inserisci(t, 0, "stazione, " + n(tra(2, n_ - 20) * 50) + ", " + n(tra(0, 30)) + ", " + n(tra(1, 9) * 100 + 50) + ", 0, 0, 0, 0, 0, 0, 4, 1, 1, 1, 11, 35, 0, CORTA"); break;
      case 11: inserisci(t, 0, "stazione, 50, 23, 100, 0, 0, 0, 0, 0, 0, 4, 1, 1, 1, 11, 35, 0, PRESTO"); break;
      case 12: inserisci(t, 0, "velocita, " + n(ultima_posizione() + tra(1, 5000)) + ", 50"); break;
      case 13: inserisci(t, 0, "stazione, " + n(50 * n_ - tra(0, 10) * 50) + ", 23, 200, 0, 0, 0, 0, 0, 0, 4, 1, 1, 1, 11, 35, 0, FUORI"); break;
      case 14: inserisci(t, 0, caso(50) ? "sabbia, 99999" : "stazione, " + n(tra(2, n_ - 20) * 50) + ", 23, 200, 0, 0, 999, 0, 0, 0, 4, 1, 1, 1, 11, 35, 0, LUNGA"); break;
      default: break;
    }
    return "[generale]\r\n" + testo(t) + "[codici]\r\n[fine]\r\n";
  }

  template <typename Valore>
  righe riempimento(const char* titolo, const char* chiave, Valore valore) {
    righe t = {titolo};
    for (std::int64_t p = caso(80) ? 0 : tra(1, 300); p <= ultima_posizione(); p += tra(40, 4000)) t.push_back(std::string(chiave) + ", " + n(p) + ", " + n(valore()));
    if (caso(15))
      for (int i = 0, k = int(tra(1, 3)); i < k; ++i) t.push_back(std::string(chiave) + ", " + n(ultima_posizione()) + ", " + n(valore()));
    return t;
  }

  // A station whose stop cell is cell j, or "" when none fits after `da`.
  std::string stazione_su(std::int64_t j, std::int64_t fine_precedente, std::int64_t k, std::int64_t& fine_nuova) {
    const std::int64_t fine = 50 * (j + 1), tipo = caso(70) ? 23 : caso(50) ? tra(5, 8) : tra(1, 24);
    const std::int64_t l = tra(1, 8) * 100;
    const bool estesa = tipo != 5 && tipo != 6 && tipo != 7 && tipo != 8 && k > 1 && caso(30);
    const std::int64_t p = tipo == 5 || tipo == 6 ? fine - 150 : tipo == 7 || tipo == 8 ? fine - l : fine - l / 2 - (estesa ? 50 : 0);
    const std::int64_t inizio = tipo >= 5 && tipo <= 8 ? p - l : p - l / 2;
    if (p % 50 != 0 || p + 800 > 50 * n_ || inizio - 350 < fine_precedente || fine <= 100) return "";
    fine_nuova = fine;
    return "stazione, " + n(p) + ", " + n(tipo) + ", " + n(l) + ", " + n(tra(0, 2)) + ", " + n(caso(30)) + ", " + n(estesa) + ", " + n(tra(0, 3)) + ", " +
           n(tra(0, 3)) + ", " + n(tra(0, 2)) + ", " + n(tra(1, 6)) + ", 1, 1, " + n(tra(0, 20)) + ", " + n(tra(6, 20)) + ", " + n(tra(0, 59)) + ", " +
           n(caso(80) ? 0 : tra(1, 59)) + ", " + (caso(80) ? "STAZIONE " + n(k) : uno_di(std::vector<std::string>{"\"A, B\"", "COLLE ZAVRO", "\"\""}));
  }

  righe stazioni() {
    righe t = {"[stazioni]"};
    std::int64_t fine_precedente = -1000000;
    // As many stations as the records beside the sign texts hold, and one more.
    const int massimo = molte_ && caso(50) ? 80 : 12;
    const std::int64_t passo_minimo = massimo > 12 ? 2 : 7;
    std::vector<std::int64_t> bersagli = oggetti_;
    std::sort(bersagli.begin(), bersagli.end());
    for (std::int64_t p = tra(0, 12) * 50, k = 1; p + 800 <= 50 * n_ && k < massimo; p += tra(passo_minimo, 50) * 100) {
      // A stop cell over an object written before it.
      if (sovrapposti_ && caso(40)) {
        const auto dopo = std::upper_bound(bersagli.begin(), bersagli.end(), (fine_precedente + 350) / 50 + 2);
        if (dopo != bersagli.end()) {
          std::int64_t fine = 0;
          const std::string voce = stazione_su(*dopo, fine_precedente, k, fine);
          if (!voce.empty()) {
            t.push_back(voce);
            fine_precedente = fine;
            p = fine;
            ++k;
            continue;
          }
        }
      }
      const std::int64_t tipo = caso(50) ? 23 : caso(40) ? tra(5, 8) : tra(1, 30);
      const std::int64_t l = tra(1, 8) * 100;
      const bool lunga = caso(30), estesa = caso(30);
      const std::int64_t inizio = tipo >= 5 && tipo <= 8 ? p - l : p - l / 2;
      const std::int64_t fine = tipo == 5 || tipo == 6 ? p + 150 : tipo == 7 || tipo == 8 ? p + l : p + l / 2 + (estesa ? 50 : 0);
      const std::int64_t fermata = fine / 50 - 1;
      // Two stations too close stop the reading.
      const bool vicina = errore_ == 14 && caso(60);
      if (inizio - 350 < fine_precedente && !vicina) continue;
      if (tipo < 25 && (fermata <= 1 || (!libera(fermata) && !sovrapposti_))) continue;
      if (tipo < 25) occupa(fermata);
      fine_precedente = fine;
      t.push_back("stazione, " + n(p) + ", " + n(tipo) + ", " + n(l) + ", " + n(tra(0, 2)) + ", " + n(lunga) + ", " + n(estesa) + ", " + n(tra(0, 3)) + ", " +
                  n(tra(0, 3)) + ", " + n(tra(0, 2)) + ", " + n(tra(1, 6)) + ", 1, 1, " + n(tra(0, 20)) + ", " + n(tra(6, 20)) + ", " + n(tra(0, 59)) + ", " +
                  n(caso(80) ? 0 : tra(1, 59)) + ", " + (caso(80) ? "STAZIONE " + n(k) : uno_di(std::vector<std::string>{"\"A, B\"", "COLLE ZAVRO", "\"\""})));
      ++k;
    }
    return t;
  }

  righe segnali() {
    righe t = {"[segnali]"};
    auto cifra = [&] { return n(tra(0, 4)); };
    if (!prima_cella_presa_ && caso(10))  // a signal in the format marker's cell, with nothing in the reserved values
      t.push_back("segnale, " + n(tra(-25, 24)) + ", " + n(tra(0, 2)) + ", 0, 0, " + cifra() + ", " + n(tra(0, 2)) + ", " + n(tra(0, 2)) + ", 0, 0, " + cifra() + ", 0");
    for (int i = 0, k = int(tra(0, molte_ ? 90 : 12)); i < k; ++i) {
      const std::int64_t p = posizione_libera(200);
      if (p < 0) continue;
      occupa(cella_di(p));
      const std::int64_t tempo = uno_di(std::vector<std::int64_t>{0, 0, -5, tra(1, 100), tra(101, 255), 300});
      // Now and then aspects whose approach code passes 9.
      const bool largo = caso(10);
      t.push_back("segnale, " + n(p) + ", " + n(tra(0, largo ? 5 : 2)) + ", " + cifra() + ", " + cifra() + ", " + cifra() + ", " + n(tra(0, 3)) + ", " +
                  n(tra(0, largo ? 9 : 2)) + ", " + cifra() + ", " + cifra() + ", " + cifra() + ", " + n(tempo));
    }
    return t;
  }

  // The cells a restriction takes, all free, or nothing; over each other,
  // any cells.
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
      if (!libera(c) && !(sovrapposti_ && caso(10))) return false;
    for (std::int64_t c : celle) occupa(c);
    return true;
  }

  righe rallentamenti() {
    righe t = {"[rallentamenti]"};
    std::vector<std::int64_t> inizi;
    for (int i = 0, k = int(tra(0, molte_ ? 30 : 4)); i < k; ++i) {
      // Every remainder modulo 50 and 100: the halves round apart.
      const std::int64_t x = tra(22, n_ - 3) * 50 + (caso(50) ? tra(-25, 25) : 0), l = caso(15) ? tra(0, 20) : tra(30, 1500);
      const bool sequenza = caso(50);
      if (x + l > ultima_posizione() || !prendi_rallentamento(x, l, sequenza)) continue;
      inizi.push_back(cella_di(x));
      t.push_back("rallentamento, " + n(x) + ", " + n(caso(70) ? tra(2, 10) * 10 : tra(11, 15) * 10) + ", " + n(l) + ", " + n(tra(0, 2)) + ", " + n(sequenza) +
                  ", " + n(caso(30) ? tra(1, 90) : 0));
    }
    // Marks of the description, some where the walk would put its own.
    for (int i = 0, k = int(tra(0, 6)); i < k; ++i) {
      std::int64_t c = tra(2, n_ - 3);
      if (!inizi.empty() && caso(60)) c = uno_di(inizi) + uno_di(std::vector<std::int64_t>{-5, -6, -7, -11, -12, -18, 8, 7, 9, 16});
      if (c < 2 || c > n_ - 3 || (!libera(c) && !(sovrapposti_ && caso(20)))) continue;
      occupa(c);
      t.push_back("abbattimento, " + n(50 * c + (caso(30) ? tra(-25, 24) : 0)) + ", " + n(uno_di(std::vector<std::int64_t>{0, -3, 180, 180, tra(1, 400), 70000, 40000})));
    }
    if (caso(10)) {  // the format marker's cell takes a zero mark
      t.push_back("abbattimento, 50, 0");
      prima_cella_presa_ = true;
    }
    return t;
  }

  std::uint64_t s_;
  std::int64_t lunghezza_ = 0, n_ = 0;
  std::vector<bool> occupata_;
  std::vector<std::int64_t> oggetti_;  // cells taken, in the order written
  bool prima_cella_presa_ = false;
  bool sovrapposti_ = false;  // objects may be written over each other
  bool molte_ = false;        // 80 entries of a kind and more
  int errore_ = 0;            // which entry that records a code, 0 for none
  int cartelli_ = 0;
};

}  // namespace sc::test
