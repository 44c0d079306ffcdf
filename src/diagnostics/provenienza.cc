#include "diagnostics/provenienza.h"

#include "diagnostics/tabella.h"
#include "model/modello.h"
#include "model/regole.h"

namespace sc {

void provenienza::segna(std::int64_t cella, luogo_testo dove, oggetto_citato cosa) {
  if (cella < 0) return;
  if (di_cella_.size() <= std::size_t(cella)) di_cella_.resize(std::size_t(cella) + 1, -1);
  origini_.push_back({std::move(dove), std::move(cosa)});
  di_cella_[std::size_t(cella)] = std::int32_t(origini_.size() - 1);
}

oggetto_citato provenienza::oggetto(std::int64_t cella, const modello& m) const {
  if (cella >= 0 && std::size_t(cella) < di_cella_.size() && di_cella_[std::size_t(cella)] >= 0)
    return origini_[std::size_t(di_cella_[std::size_t(cella)])].cosa;
  oggetto_citato o;
  o.p = oggetto_citato::parte::anonimo;
  if (cella >= 0 && std::size_t(cella) < m.celle.size()) o.tipo_cella = m.celle[std::size_t(cella)].tipo;
  return o;
}

luogo_testo provenienza::luogo(std::int64_t cella) const {
  if (cella >= 0 && std::size_t(cella) < di_cella_.size() && di_cella_[std::size_t(cella)] >= 0)
    return origini_[std::size_t(di_cella_[std::size_t(cella)])].dove;
  return {};
}

std::optional<diagnostica> provenienza::nota(std::int64_t cella, const modello& m) const {
  const luogo_testo dove = luogo(cella);
  if (!dove.noto()) return std::nullopt;
  return diagnostica{diag::nota_occupante, dove, std::nullopt,
                     {argomento::di_oggetto(oggetto(cella, m)), argomento::numero(cella),
                      argomento::metri_da_a(metro_cella(cella), metro_cella(cella + 1) - 1)},
                     {}};
}

std::string provenienza::elenco(const std::vector<std::int32_t>& celle, const modello& m) const {
  std::vector<std::pair<oggetto_citato, std::int64_t>> x;
  for (std::int32_t c : celle) x.emplace_back(oggetto(c, m), c);
  return elenco_oggetti(x);
}

}  // namespace sc
