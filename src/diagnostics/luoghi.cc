#include "diagnostics/luoghi.h"

#include <tuple>

#include "parsing/lettore_campi.h"

namespace sc {

void sorgenti::apri(const std::string& nome, lettore_campi& r, parte_descrizione parte) {
  file_.push_back({nome, std::nullopt});
  lettore_ = &r;
  parte_ = parte;
}

const std::string& sorgenti::testo() const {
  static const std::string vuoto;
  return lettore_ ? lettore_->testo() : vuoto;
}

std::string sorgenti::grezzo(std::size_t inizio, std::size_t fine) const {
  const std::string& t = testo();
  if (inizio >= t.size()) return "";
  return t.substr(inizio, std::min(fine, t.size()) - inizio);
}

luogo_testo sorgenti::luogo(std::size_t inizio, std::size_t fine) const {
  if (file_.empty() || !lettore_) return {};
  const file_letto& f = file_.back();
  if (!f.righe) f.righe.emplace(lettore_->testo());
  luogo_testo l{f.nome, inizio, fine, 0, 0};
  std::tie(l.riga, l.colonna) = f.righe->posizione(inizio);
  return l;
}

luogo_testo sorgenti::ultimo_campo() const {
  if (!lettore_) return {};
  return luogo(lettore_->inizio_campo(), lettore_->fine_campo());
}

std::string sorgenti::testo_ultimo_campo() const { return lettore_ ? std::string(lettore_->campo_grezzo()) : ""; }

int sorgenti::riga(std::size_t offset) const { return luogo(offset, offset).riga; }

}  // namespace sc
