// Lines of a text: where each begins, so that a byte offset becomes a line
// and a column. CR LF, a lone CR and a lone LF each end a line.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>
#include <utility>
#include <vector>

namespace sc {

class indice_righe {
 public:
  indice_righe() = default;
  explicit indice_righe(std::string_view testo) {
    inizi_.push_back(0);
    for (std::size_t i = 0; i < testo.size(); ++i) {
      if (testo[i] == '\r' && i + 1 < testo.size() && testo[i + 1] == '\n') ++i;
      if (testo[i] == '\r' || testo[i] == '\n') inizi_.push_back(i + 1);
    }
  }

  // 1-based line and column (in bytes) of the offset.
  std::pair<int, int> posizione(std::size_t offset) const {
    if (inizi_.empty()) return {0, 0};
    auto it = std::upper_bound(inizi_.begin(), inizi_.end(), offset);
    const std::size_t riga = std::size_t(it - inizi_.begin());
    return {int(riga), int(offset - inizi_[riga - 1]) + 1};
  }

 private:
  std::vector<std::size_t> inizi_;
};

}  // namespace sc
