// A compiled scenario read in the author's terms: the objects along the line
// with their decoded values and the metres they were written at, the runs of
// gradient, speed limit and adhesion, the stations and the restrictions.
// What inspect lists and what plot and view draw.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/modello.h"
#include "model/tipi_cella.h"

namespace sc {

// One value of an object, as the author wrote it: {"speed", "80 km/h"}.
struct valore_letto {
  std::string nome, testo;
};

// Metres from `da` to `a`, both included.
struct intervallo {
  int da = 0, a = 0;
};

// A cell's object, or a cell with nothing in it.
struct oggetto_linea {
  std::size_t cella = 0;
  int voce = -1;  // the record of the service table it refers to: station or sign text
  int tipo = 0;
  int metri = 0;        // the position the author gives for an object in this cell
  intervallo mappati;   // every author position that lands in this cell
  std::string etichetta;  // short, for drawings: "80 km/h", a station's name
  std::vector<valore_letto> valori;
};

// A run of cells that carry the same value: metres [da, a).
struct tratto {
  int da = 0, a = 0;
  int valore = 0;
};

struct stazione_letta {
  int numero = 0;  // element of the service table
  std::string nome;  // UTF-8
  int tipo = 0, posizione = 0, inizio = 0, fine = 0;
  int orario = 0;  // seconds after midnight
  int cella_fermata = -1;  // the cell that names the station, -1 when none does
};

struct rallentamento_letto {
  int inizio = 0, fine = 0;  // metres, as the author gives them
  int velocita = 0, d_v = 0, f_tt = 0;
  int avviso = -1;  // the warning board's metres, -1 without one
  std::size_t cella_inizio = 0, cella_fine = 0;
};

struct montagna_letta {
  int da = 0, a = 0;  // metres [da, a)
  int tipo = 0;
  bool segnalata = false;  // with periodic markers
};

struct linea_letta {
  int lunghezza = 0;      // the line's end, metres
  int metri_celle = 0;    // what the cells cover: the line and its run-out
  std::vector<oggetto_linea> oggetti;  // cells that hold an object, in order
  std::vector<tratto> pendenze, velocita, aderenza;
  std::vector<montagna_letta> montagne;
  std::vector<stazione_letta> stazioni;
  std::vector<rallentamento_letto> rallentamenti;
  std::vector<valore_letto> dati_generali;  // train and run data
  int orologio = 0;  // seconds after midnight at the start
};

linea_letta leggi_linea(const std::vector<cella>& celle, const std::vector<voce_servizio>& servizio);

// The object of one cell, decoded; the service table gives names and texts.
// A station's name or a sign's text is given once: where `nominata` holds
// the cell that gave it already, the object refers to that cell instead.
oggetto_linea leggi_cella(std::size_t i, const cella& c, const std::vector<voce_servizio>& servizio, std::int64_t nominata = -1);

// The first cell that refers to each record of the service table (a stop
// cell to its station, a sign board to its text), for leggi_cella.
class nomi_dati {
 public:
  // The cell that named the record cell i refers to, or -1 when this one
  // is the first and names it.
  std::int64_t nominata(std::size_t i, const cella& c);

 private:
  std::vector<std::int64_t> prima_;  // per record, the first cell; -1 for none yet
};

// "08:15:00" for 29700.
std::string ore_minuti_secondi(int secondi);

// Why these bytes are not a file of that kind, or nothing when they are one.
std::optional<std::string> motivo_non_celle(const std::vector<cella>& celle);
std::optional<std::string> motivo_non_servizio(const std::vector<voce_servizio>& servizio);
std::optional<std::string> motivo_non_geometria(const std::vector<valore_profilo>& punti);

}  // namespace sc
