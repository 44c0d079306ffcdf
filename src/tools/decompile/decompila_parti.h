// The parts of a decompile. Each one reads one layer of a compiled scenario
// and gives back the description entries that the readers, the item stores
// and the placement walk turn into that layer again.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model/modello.h"
#include "model/regole.h"

namespace sc::inverso {

// One line of a description: the key word, then its values as written.
struct riga {
  std::string chiave;
  std::vector<std::string> valori;
};

// A header and the lines under it.
struct sezione {
  std::string titolo;  // "[curve]"
  std::vector<riga> righe;
};

// The file: each header and each entry on its own line, CR LF, "[fine]"
// last (the readers never interpret a file's last field). With
// `senza_fine` the file ends with its last entry, so that a value read
// after it reads past the end.
std::string testo(const std::vector<sezione>& sezioni, bool senza_fine = false);

std::string numero(std::int64_t v);

// A text value written so that the field reader gives it back unchanged:
// quoted where the bare text would lose blanks, stop at a comma or be
// skipped as empty. False in `esatto` when no way of writing it survives.
std::string campo_testo(const std::string& t, bool* esatto = nullptr);

// Where the reading of the descriptions stopped, as the files show it: in
// the general section (nothing after it was read), among the line items
// (no closing fills, no plan after the last curve, no service data), in the
// service description (no closing fills and no check of the kilometre
// references), or nowhere.
enum class fase_arresto : std::uint8_t { nessuna, generale, voci_linea, servizio };

struct arresto {
  fase_arresto fase = fase_arresto::nessuna;
  // A station off the track stops the service reading, but its closing
  // steps still run.
  bool chiusura = false;
  std::int32_t codice = 0;  // the code the descriptions stop with
  bool certo = false;       // the files tell the code; else one of `possibili` stopped it
  bool fine_file = false;   // the stopping entry's last value is the file's last field
  const char* possibili = "";  // the codes that leave the same files: "6, 21, 25 or 103"
};

// What a station's stop cell was written over: the stop cell keeps every
// value of it but its kind and first value.
enum class sotto_fermata : std::uint8_t { nulla, cartello, indicatore, segnale, inizio, avviso, sequenza };

// A restriction, as its cells show it.
struct rallentamento_celle {
  std::int32_t inizio = 0, fine = 0;  // cells of the start and the end
  std::int16_t v = 0, d_v = 0, f_tt = 0;
  bool avviso = false;                 // a warning board before the start
  std::int32_t sequenza = -1;          // first cell of the warning sequence, -1 without one
};

// The abatement marks the placement walk would not place again, as (cell,
// value of the entry), and whether the walk records a problem placing its
// own.
struct marche_decise {
  std::vector<std::pair<std::int32_t, std::int32_t>> marche;
  bool problema = false;
};

// What the parts read: the compiled scenario, with cell 1 holding what the
// readers left there before the format marker and the competition code,
// and what the cells show beyond each object on its own.
struct vista {
  std::vector<cella> celle;
  const std::vector<voce_servizio>& servizio;
  const std::vector<valore_profilo>& geometria;  // empty without a plan
  std::int32_t n_celle = 0;                       // the last cell

  std::int32_t stazioni = 0;            // records 1 to this hold stations
  std::int32_t ultimo_cartello = prima_voce_cartelli + 1;  // sign boards took the text slots from 80 down to this
  std::vector<std::int32_t> fermate;    // the stop cell of each station, -1 where none stands
  std::vector<std::int32_t> prima_fermata;  // per cell: the first station whose stop cell it is, 0 for none
  std::vector<sotto_fermata> sotto;     // per cell: what a stop cell there was written over
  std::vector<std::int32_t> cartello_sotto;  // per cell: the text slot of a board under a stop cell, else 0
  std::vector<std::int32_t> codice_sotto;    // per cell: the approach code of a signal under a stop cell
  std::vector<rallentamento_celle> rallentamenti;
  arresto fine;
  marche_decise marche;

  vista(std::vector<cella> c, const std::vector<voce_servizio>& s, const std::vector<valore_profilo>& g);
};

// Position in metres of a point item stored in cell c (the centre of what
// rounds to c).
inline std::int64_t posizione_punto(std::int64_t c) { return metro_cella(c - 1); }

// Half a cell: positions that far from a cell's centre round by parity.
inline constexpr std::int32_t mezza_cella = regole::metri_cella / 2;
// Metres a position moves on within its cell where the next object needs
// it a little further.
inline constexpr std::int32_t poco_dopo = 10;
// Cells from a restriction's warning board to its start.
inline constexpr std::int32_t celle_avviso = regole::distanza_avviso / regole::metri_cella;

// How the readers fill a value along the track from entries "KEY,
// position, value": the gradient and the adhesion up to the last cell, the
// speed limit never into it; the closing fill, when the stage reached it,
// takes the value in force on to the third last cell.
enum class tipo_riempimento : std::uint8_t { pendenza, velocita, aderenza };

// The cells and values of the entries that give back `valori` (one per
// cell): where runs change, and on the last three cells, which only
// repeated entries at the last position reach. Without the closing fill,
// one entry more writes the last value.
std::vector<std::pair<std::int32_t, int>> cambi_riempimento(const std::vector<int>& valori, bool chiusura = true,
                                                            tipo_riempimento tipo = tipo_riempimento::pendenza);

// The analysis every part relies on: stations, sign texts, what stands
// under stop cells, restrictions, and where the reading stopped. The
// length is the one the cells give.
void analizza(vista& v, std::int32_t lunghezza_celle);

// The approach marks (cell, value) of a station or a signal.
using marche = std::vector<std::pair<std::int32_t, std::uint8_t>>;

// A station record as the entry that stores it: the code reading it ends
// with (0 when reading goes on), whether the files tell that code, and the
// cells the entry marks.
struct stazione_scritta {
  riga voce;
  std::int32_t codice = 0;
  bool certo = true;
  const char* possibili = "";  // where not certain, the codes that leave the same record
  bool fine_file = false;  // its last value must be the file's last field
  marche segni;
  std::int32_t fermata = -1;  // its stop cell
};
stazione_scritta scrivi_stazione(const vista& v, std::int32_t k);

// The stop cell of a station that marks cells, -1 for one that marks none.
std::int32_t cella_fermata(const voce_servizio& s, std::int32_t n_celle);

// The kilometre references as some entries leave them once the reader has
// sorted them; false for references the sorting cannot give.
bool progressive_ordinabili(const std::vector<voce_servizio>& servizio);

// Per cell: whether a station or a signal writes the stored approach mark
// there: signals in sight with their plain codes, or with `decine` with the
// tens their own marks show where no one else explains them, and signals
// under stop cells with the codes found so far.
std::vector<bool> marche_spiegate(const vista& v, bool decine);
// The approach code of a signal in cell c whose fourth value is val4, when
// marks no one else writes show it: the one val4 gives, or with `decine`
// one of more tens.
std::optional<std::int32_t> codice_da_marche(const vista& v, std::int32_t c, std::int16_t val4, const std::vector<bool>& spiegate, bool decine);

// Line description. Entries that end the reading come last.
std::vector<riga> voci_generali(const vista& v, std::int32_t lunghezza);
std::vector<riga> voci_pendenze(const vista& v);
std::vector<riga> voci_montagne(const vista& v);
std::vector<riga> voci_indicatori(const vista& v);
std::vector<riga> voci_cartelli(const vista& v);

// The curve entries that bend the plan as `geometria` holds it: the class
// and side of every metre follow from its step and the two before it. A
// plan the closing steps did not extend ends with its last curve (a curve
// of no length carries a straight on); one bent past metre 1000000 ends
// with the curve that stopped the reading (error 103), set in `oltre`.
std::vector<riga> voci_curve(const std::vector<valore_profilo>& geometria, std::int32_t n_celle, bool estesa = true, bool* oltre = nullptr);

// The plan as the closing steps leave it: seeded, and computed to two
// metres before its end. False for a plan the reading left before.
bool piano_esteso(const std::vector<valore_profilo>& geometria);
bool piano_seminato(const std::vector<valore_profilo>& geometria);

// Service description.
std::vector<riga> voci_treno(const vista& v);
std::vector<riga> voci_aderenza(const vista& v);
std::vector<riga> voci_velocita(const vista& v);
// Stations, signals, restrictions and abatement marks in an order that
// leaves every cell as stored: a station or a signal written later
// overwrites the approach marks of one written earlier, a station's stop
// cell whatever stands there, and a station that stops the reading comes
// last. A header starts each group of one kind, so the sections repeat
// where the order requires.
std::vector<sezione> sezioni_oggetti(const vista& v);

marche_decise marche_da_scrivere(const std::vector<cella>& celle);

// The entry that ends a stage's reading with error 25 and stores nothing.
riga voce_guasto(fase_arresto fase);

}  // namespace sc::inverso
