// Cell provenance: for every cell that took an object, the entry that put
// it there and what the object is, so that a conflict can name what stands
// in a cell and point at the line that put it there.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "diagnostics/diagnostica.h"

namespace sc {

struct modello;

class provenienza {
 public:
  void segna(std::int64_t cella, luogo_testo dove, oggetto_citato cosa);

  // The object in the cell: the one an entry put there, or one known only
  // by the cell's kind.
  oggetto_citato oggetto(std::int64_t cella, const modello& m) const;
  // The entry of the object in the cell, or nothing.
  luogo_testo luogo(std::int64_t cella) const;
  // "the signal at 950 m is placed here, in cell 20", where it is known.
  std::optional<diagnostica> nota(std::int64_t cella, const modello& m) const;
  // The objects in the cells, with each cell: for lists in messages.
  std::string elenco(const std::vector<std::int32_t>& celle, const modello& m) const;

 private:
  struct origine {
    luogo_testo dove;
    oggetto_citato cosa;
  };
  std::vector<std::int32_t> di_cella_;  // index into origini_, -1 for none
  std::vector<origine> origini_;
};

}  // namespace sc
