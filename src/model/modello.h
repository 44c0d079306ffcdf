// The scenario model: the one state of a run, shared by every procedure.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/osservatore.h"

namespace sc {

// One 50-metre cell of the compiled track.
struct cella {
  std::uint8_t tipo = 0;  // what stands in the cell; 0 = nothing
  std::int16_t val1 = 0;
  std::int16_t val2 = 0;
  std::int16_t val3 = 0;
  std::int16_t val4 = 0;
  std::uint8_t val5 = 0;      // signal time value
  std::uint8_t val6 = 0;      // approach mark
  std::uint8_t montagna = 0;  // scenery type
  std::uint8_t val7 = 0;      // speed limit / 5
  std::uint8_t val8 = 0;      // gradient + 100
  std::uint8_t val9 = 0;      // adhesion

  bool operator==(const cella&) const = default;
};

// Cell kinds.
enum tipo_cella : std::uint8_t {
  cella_vuota = 0,
  cella_segnale = 1,
  cella_fine_rallentamento = 2,
  cella_inizio_rallentamento = 3,
  cella_avviso_rallentamento = 4,
  cella_sequenza_avviso = 5,
  cella_indicatore_vmax = 6,
  cella_stazione = 10,
  cella_marcatore_montagna = 11,
  cella_abbattimento = 12,
  cella_abbattimento_nullo = 13,
  cella_cartello = 14,
};

// A cell may take a new object when nothing but a mountain marker stands in it.
inline bool libera(const cella& c) {
  return c.tipo == cella_vuota || c.tipo == cella_marcatore_montagna;
}

// One element of the service table.
struct voce_servizio {
  std::uint8_t tipo_voce = 0;
  std::int32_t valore1 = 0;
  std::int32_t valore2 = 0;
  std::int32_t valore3 = 0;
  std::uint8_t opzione = 0;
  std::string nome;  // 8-bit text
  std::int16_t intero1 = 0;
  std::int16_t intero2 = 0;
  std::int16_t intero3 = 0;
  std::int16_t intero4 = 0;
  std::int16_t intero5 = 0;
  std::uint8_t byte1 = 0;
  std::uint8_t byte2 = 0;
  std::uint8_t byte3 = 0;
  std::uint8_t byte4 = 0;
  std::int32_t codice = 0;

  bool operator==(const voce_servizio&) const = default;
};

// Fixed elements of the service table.
inline constexpr int voce_progressiva_tre = 81;
inline constexpr int voce_progressiva_due = 82;
inline constexpr int voce_progressiva_uno = 83;
inline constexpr int voce_treno = 84;
inline constexpr int voce_scenario = 85;
inline constexpr int voce_corsa = 86;
inline constexpr int voci_servizio = 87;
inline constexpr int prima_voce_cartelli = 80;

// A point of the plan grid: unset, a 16-bit integer or a double. The tags are
// the ones the geometry file carries.
struct valore_profilo {
  enum tag_t : std::uint16_t { vuoto = 0, intero = 2, reale = 5 };
  tag_t tag = vuoto;
  double valore = 0;  // the integer's value too, exactly representable

  static valore_profilo da_intero(std::int16_t v) { return {intero, double(v)}; }
  static valore_profilo da_reale(double v) { return {reale, v}; }
  bool operator==(const valore_profilo&) const = default;
};

// Per-metre plan of the line, X and Y at each metre from 0 to the last.
// Points are only ever computed in order from the start: the two seed metres
// hold 16-bit integers, the computed metres after them doubles, and the rest
// is unset, so the tags follow from two counts and only the coordinates are
// stored.
class profilo_linea {
 public:
  // Room for every metre at once, untouched until its point is computed.
  void crea(std::int32_t ultimo_metro) {
    ultimo_ = ultimo_metro;
    x_ = std::make_unique_for_overwrite<double[]>(std::size_t(ultimo_metro) + 1);
    y_ = std::make_unique_for_overwrite<double[]>(std::size_t(ultimo_metro) + 1);
    interi_ = calcolati_ = 0;
  }
  bool creato() const { return ultimo_ >= 0; }
  std::int32_t ultimo_metro() const { return ultimo_; }
  // Metres 0 and 1 as the integers (0, 0) and (0, 1), as far as the grid
  // reaches.
  void semina() {
    calcolati_ = 0;
    aggiungi(0, 0);
    aggiungi(0, 1);
    interi_ = calcolati_;
  }
  // The next metre, computed; nothing past the last metre.
  void aggiungi(double x, double y) {
    if (calcolati_ > ultimo_) return;
    x_[std::size_t(calcolati_)] = x;
    y_[std::size_t(calcolati_)] = y;
    ++calcolati_;
  }
  // Metres from 0 that hold a point.
  std::int32_t calcolati() const { return calcolati_; }
  std::int32_t interi() const { return interi_; }
  double x(std::int32_t m) const { return x_[std::size_t(m)]; }
  double y(std::int32_t m) const { return y_[std::size_t(m)]; }
  // The computed coordinates of one axis (0 is X, 1 is Y), metre 0 first.
  const double* coordinate(int asse) const { return asse == 0 ? x_.get() : y_.get(); }

  // The tagged value at (m, asse): asse 0 is X, 1 is Y.
  valore_profilo operator()(std::int32_t m, int asse) const {
    if (m >= calcolati()) return {};
    double v = asse == 0 ? x(m) : y(m);
    return m < interi_ ? valore_profilo{valore_profilo::intero, v} : valore_profilo::da_reale(v);
  }

 private:
  std::int32_t ultimo_ = -1;
  std::int32_t interi_ = 0;
  std::int32_t calcolati_ = 0;
  std::unique_ptr<double[]> x_, y_;
};

struct modello {
  profilo_linea profilo;
  std::vector<cella> celle;  // indices 0 to n_celle once created; empty before
  std::array<voce_servizio, voci_servizio> servizio{};
  std::array<std::int32_t, 81> montagna_inizio{};
  std::array<std::int32_t, 81> montagna_fine{};
  std::int32_t n_montagne = 0;
  std::int32_t genera_linea = 0;
  std::string nome_treno;
  std::string nome_scenario;
  std::string campo;
  std::int32_t lunghezza_metri = 0;
  std::int32_t n_celle = 0;
  std::int32_t codice_errore = 0;
  std::int32_t posizione_errore = 0;
  // Told where each object goes, for the diagnostics; nobody in the built-in run.
  osservatore_compilazione* osservatore = &nessun_osservatore();

  bool celle_create() const { return !celle.empty(); }
};

// Tells the observer that cell i took an object.
inline void segna_occupata(modello& m, std::int64_t i, std::int64_t per_cella = -1) { m.osservatore->cella_occupata(i, per_cella); }

}  // namespace sc
