// The item stores: they place one item of a description into the model and
// report a conflict through codice_errore. Parameters the caller may see
// changed are references, as the descriptions' readers expect.
#pragma once

#include <cstdint>

namespace sc {

struct modello;

// Orders the three kilometre references (elements 81 to 83).
void progressive_ordina(modello& m);

// Stores a mountain range. More than 80 ranges is a reading failure.
void memo_montagna(modello& m, std::int32_t& inizio, std::int32_t& fine, std::int32_t& tipo);

// Stores a speed restriction: end, start, warning board and the optional
// four-cell sequence in front of the board.
void memo_rallentamento(modello& m, std::int32_t x, std::int32_t& v, std::int32_t& l,
                        std::int32_t& f_tt, std::int32_t f_ta, std::int32_t& d_v);

// Stores a signal and its four approach marks.
void memo_segnale(modello& m, std::int32_t posizione, std::int32_t& sx, std::int32_t& s1,
                  std::int32_t& s2, std::int32_t& s3, std::int32_t& rapp, std::int32_t& dx,
                  std::int32_t& d1, std::int32_t& d2, std::int32_t& d3, std::int32_t& tempo);

// Stores a speed board.
void memo_indicatori_v_max(modello& m, std::int32_t posizione, std::int32_t& vas,
                           std::int32_t& vbs, std::int32_t& vcs, std::int32_t& strisces,
                           std::int32_t& vad, std::int32_t& vbd, std::int32_t& vcd,
                           std::int32_t& strisced);

}  // namespace sc
