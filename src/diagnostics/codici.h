// Translation of codes: each code the reading records, each refusal of a
// store, each reading failure and each problem of the placement walk, as an
// event at the entry it concerns, with the objects involved and their places.
#pragma once

#include <cstdint>
#include <optional>

#include "diagnostics/osservatore_diagnostiche.h"
#include "parsing/memo.h"

namespace sc {

class lint_diagnostiche;

class codici_diagnostiche {
 public:
  codici_diagnostiche(stato_diagnostiche& s, const lint_diagnostiche& lint) : s_(s), lint_(lint) {}

  void rifiutata(const rifiuto& r) { rifiuto_ = r; }
  void codice(std::int32_t codice, std::optional<std::int32_t> posizione, causa_codice causa);
  void guasto(const guasto_lettura& g);
  void progressive_non_multiple();
  void servizio_senza_generale();
  void problema(const problema_cammino& p);
  void fine_compilazione(std::int32_t codice);

 private:
  diagnostica evento_codice(std::int32_t codice, causa_codice causa);
  diagnostica occupata(const rifiuto& r);
  diagnostica stazioni_vicine(std::int64_t posizione);

  stato_diagnostiche& s_;
  const lint_diagnostiche& lint_;
  std::optional<rifiuto> rifiuto_;  // the store's refusal, for the code that follows it
};

}  // namespace sc
