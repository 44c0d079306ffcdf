// The largest line accepted, with items of every kind along it: shared by
// the benchmark and the tests.
#pragma once

#include <string>

namespace sc::test {

// A line of 1000000 m: a curve every 5 km, a gradient change every 3 km, a
// signal every 2 km, a station every 20 km and a slow restriction with its
// warning board every 50 km, placed so that none takes another's cell.
struct descrizioni {
  std::string linea, servizio;
};

inline descrizioni linea_grande() {
  constexpr int lunghezza = 1000000;
  descrizioni d;
  d.linea = "[generale]\r\nlunghezza percorso, " + std::to_string(lunghezza) + "\r\n[curve]\r\n";
  for (int s = 1000; s + 1000 < lunghezza; s += 5000)
    d.linea += std::string((s / 5000) % 2 ? "curvad" : "curvas") + std::to_string(1 + (s / 5000) % 6) + ", " + std::to_string(s) + ", 800\r\n";
  d.linea += "[pendenze]\r\n";
  for (int p = 0; p < lunghezza; p += 3000) d.linea += "pendenza, " + std::to_string(p) + ", " + std::to_string((p / 3000) % 25 - 12) + "\r\n";
  d.linea += "[fine]\r\n";

  d.servizio = "[generale]\r\nnumero vetture, 4\r\npercentuale massa frenata, 105\r\nsabbia, 15\r\norologio, 8 0 0\r\n";
  d.servizio += "aderenza, 0, 90\r\n";
  for (int p = 0; p < lunghezza; p += 10000) d.servizio += "velocita, " + std::to_string(p) + ", " + std::to_string(p % 20000 ? 120 : 100) + "\r\n";
  for (int x = 32000; x < lunghezza; x += 50000) d.servizio += "rallentamento, " + std::to_string(x) + ", 60, 1000, 0, 1, 0\r\n";
  for (int p = 500; p < lunghezza; p += 2000) d.servizio += "segnale, " + std::to_string(p) + ", 1, 3, 1, 1, 0, 0, 0, 0, 0, 0\r\n";
  for (int k = 0; k < 50; ++k)
    d.servizio += "stazione, " + std::to_string(10000 + 20000 * k) + ", 23, 200, 0,0,0, 0,0,0, 4,1,1, 20, 9," + std::to_string(k) + ",0, S" + std::to_string(k) + "\r\n";
  d.servizio += "[fine]\r\n";
  return d;
}

}  // namespace sc::test
