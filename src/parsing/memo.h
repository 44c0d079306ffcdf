// The item stores: each places one item of a description into the model.
// A store that finds a cell taken refuses the item and says so in what it
// returns: the code, and the cell with what stood there. The reader records
// the code; nothing else needs to find the cell again.
#pragma once

#include <cstdint>
#include <optional>

namespace sc {

struct modello;

struct rifiuto {
  std::int32_t codice;  // 16 to 21
  std::int64_t cella;   // the cell found taken
  std::uint8_t occupante;  // the kind of what stands there
};
using esito_memo = std::optional<rifiuto>;

// Writes an approach mark into cell j, telling the observer when it
// replaces another one.
void marca_approccio(modello& m, std::int64_t j, std::uint8_t valore);

// Orders the three kilometre references (elements 81 to 83).
void progressive_ordina(modello& m);

// Stores a mountain range; returns the type stored, which a flag above the
// type or a previous range close by changes. More than the lists hold is a
// reading failure.
std::int32_t memo_montagna(modello& m, std::int32_t inizio, std::int32_t fine, std::int32_t tipo);

struct rallentamento {
  std::int32_t x, v, l, f_tt, f_ta, d_v;
};
// Stores a speed restriction: end, start, warning board and the optional
// sequence in front of the board.
esito_memo memo_rallentamento(modello& m, rallentamento r);

struct segnale {
  std::int32_t posizione, sx, s1, s2, s3, rapp, dx, d1, d2, d3, tempo;
};
// Stores a signal and its approach marks.
esito_memo memo_segnale(modello& m, segnale s);

struct indicatori {
  std::int32_t posizione, vas, vbs, vcs, strisces, vad, vbd, vcd, strisced;
};
// Stores a speed board.
esito_memo memo_indicatori_v_max(modello& m, indicatori t);

}  // namespace sc
