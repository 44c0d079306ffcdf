// The placement walk, written once. It goes over the cells from 1 to the
// third last and serves two rules: in front of the signals before a warning
// board (rule A), and in the approach windows, along and after a restriction
// (rule B). What a cell is to the walk, and what placing a mark does, is the
// policy's: the compile writes into the cells and records its problems;
// decompile's replay decides which stored marks the walk put there.
//
// A policy `P` provides:
//   std::int32_t ultima() const            the last cell's index
//   std::uint8_t tipo(i) const             the cell's kind
//   std::int16_t velocita(i) const         a restriction start's speed (val1)
//   bool libera(i)                         the cell may take a mark
//   void marca(j, per)                     a mark in cell j, for the rule at cell `per`
//   bool ha_marca(j) const                 cell j holds an abatement mark
//   void abbassa(j)                        that mark keeps the lower of its value and the walk's
//   void problema(const problema_cammino&) the walk cannot place a mark
//   bool fermo() const                     stop walking (a replay that went wrong)
#pragma once

#include <algorithm>
#include <cstdint>
#include <initializer_list>

#include "model/codici.h"
#include "model/modello.h"
#include "model/osservatore.h"
#include "model/regole.h"

namespace sc {

template <typename P>
class cammino {
 public:
  explicit cammino(P& p) : p_(p), u_(p.ultima()) {}

  void esegui() {
    for (std::int32_t i = 1; i <= u_ - 2 && !p_.fermo(); ++i) {
      if (p_.tipo(i) == cella_avviso_rallentamento) regola_a(i);
      else if (p_.tipo(i) == cella_inizio_rallentamento) regola_b(i);
    }
  }

 private:
  using caso = problema_cammino::caso;

  bool libera_in(std::int32_t j) { return j >= 0 && j <= u_ && p_.libera(j); }

  // A mark in the first free cell of those given, in their order.
  bool marca_prima_libera(std::initializer_list<std::int32_t> celle, std::int32_t per) {
    for (std::int32_t j : celle) {
      if (p_.libera(j)) {
        p_.marca(j, per);
        return true;
      }
    }
    return false;
  }
  // A mark in one of the two cells in front of signal s.
  bool marca_davanti(std::int32_t s, std::int32_t per) { return marca_prima_libera({s - 1, s - 2}, per); }

  // Signals shortly before a warning board get a mark in front; where both
  // cells are taken, a mark already there keeps the lower value.
  void regola_a(std::int32_t i) {
    for (std::int32_t s = i - 1; s >= i - regole::ricerca_segnali_avviso && s >= regole::primo_segnale_avviso; --s) {
      if (p_.tipo(s) != cella_segnale || marca_davanti(s, i)) continue;
      if (p_.ha_marca(s - 1)) p_.abbassa(s - 1);
      else if (p_.ha_marca(s - 2)) p_.abbassa(s - 2);
      else p_.problema({caso::segnale_avviso, codice::segnale_senza_spazio, i, s, 0, {s - 1, s - 2}, s});
    }
  }

  void regola_b(std::int32_t i) {
    for (int d : regole::finestre_approccio) finestra(i, d);
    const std::int32_t fine = p_.velocita(i) < regole::velocita_ripetizione ? ripetizione(i) : cerca_fine(i);
    if (fine >= 0) segnale_uscita(i, fine);
  }

  // A mark in the first free cell of i - d, i - d - 1, i - d - 2.
  void finestra(std::int32_t i, std::int32_t d) {
    if (i <= d + 2) return;
    if (!marca_prima_libera({i - d, i - d - 1, i - d - 2}, i))
      p_.problema({caso::finestra, codice::rallentamento_approccio, i, -1, d, {i - d, i - d - 1, i - d - 2}, i});
  }

  // Marks every few cells from the start to the end cell, which it returns.
  // A start with no end before the last cell gets no exit mark (-1).
  std::int32_t ripetizione(std::int32_t i) {
    std::int32_t c = i, conta = 0;
    do {
      if (c >= u_) return senza_fine(i);
      ++c;
      ++conta;
      if (conta == regole::passo_ripetizione) {
        if (libera_in(c)) p_.marca(c, i), conta = 0;
        else if (libera_in(c - 1)) p_.marca(c - 1, i), conta = 1;
        else if (libera_in(c + 1)) p_.marca(c + 1, i), conta = -1;
        else p_.problema({caso::ripetizione, codice::rallentamento_ripetizione, i, c, 0, {c, c - 1, c + 1}, c});
      }
    } while (p_.tipo(c) != cella_fine_rallentamento);
    return c;
  }

  // The end cell of a fast restriction, found the same way without marks,
  // so that its exit signal is treated like a slow one's.
  std::int32_t cerca_fine(std::int32_t i) {
    for (std::int32_t c = i + 1; c <= u_; ++c)
      if (p_.tipo(c) == cella_fine_rallentamento) return c;
    return senza_fine(i);
  }

  std::int32_t senza_fine(std::int32_t i) {
    p_.problema({caso::senza_fine, codice::rallentamento_ripetizione, i, -1, 0, {}, i});
    return -1;
  }

  // The first signal shortly after the end gets a mark in front.
  void segnale_uscita(std::int32_t i, std::int32_t e) {
    for (std::int32_t s = e; s <= std::min(e + regole::ricerca_segnale_uscita, u_); ++s) {
      if (p_.tipo(s) != cella_segnale) continue;
      if (!marca_davanti(s, i)) p_.problema({caso::segnale_uscita, codice::rallentamento_ripetizione, i, s, 0, {s - 1, s - 2}, e});
      return;
    }
  }

  P& p_;
  std::int32_t u_;
};

}  // namespace sc
