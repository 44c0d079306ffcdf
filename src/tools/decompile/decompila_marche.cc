// Which abatement marks a description must give. The placement walk puts a
// mark (180) into the first free cell of each place it serves; a mark of
// the description in that cell sends the walk on to the next one, which
// also changes where the marks along a slow restriction fall after it.
// The walk is replayed over the compiled cells: a mark of 180 that the walk
// reaches first is left to it, unless that leads to a mark the cells do not
// hold; then the choices are revised, latest first.
#include <algorithm>
#include <initializer_list>

#include "compile/percorso.h"
#include "tools/decompile/decompila_parti.h"

namespace sc::inverso {

namespace {

constexpr std::int16_t valore_marca = 180;
constexpr std::int16_t velocita_ripetizione = 110;
constexpr int passo_ripetizione = 8;
constexpr int ricerca_segnale_uscita = 12;
constexpr int tentativi_massimi = 2000;

// What a cell is to the walk. A mark of 180 is undecided until the walk
// reaches it: then either the walk puts it there, or the description does.
enum class stato : std::uint8_t { oggetto, libera, marca_scritta, incerta, del_cammino, da_scrivere };

class replica {
 public:
  replica(const std::vector<cella>& celle, std::vector<stato> stati, std::vector<bool> scelte)
      : celle_(celle), st_(std::move(stati)), scelte_(std::move(scelte)), u_(std::int32_t(celle.size()) - 1) {}

  // Walks the cells; false when the walk would put a mark where none is
  // stored, or lower a stored mark's value.
  bool esegui() {
    for (std::int32_t i = 1; i <= u_ - 2 && !conflitto_; ++i) {
      if (tipo(i) == cella_avviso_rallentamento) regola_a(i);
      else if (tipo(i) == cella_inizio_rallentamento) regola_b(i);
    }
    // A mark left to the description must be one it can give.
    for (std::int32_t j = 0; j <= u_ && !conflitto_; ++j)
      if (st_[std::size_t(j)] == stato::incerta && !scrivibile(j)) conflitto_ = true;
    return !conflitto_;
  }
  // The choices made, in the order met: true for a mark of the description.
  const std::vector<bool>& scelte() const { return scelte_; }
  const std::vector<stato>& stati() const { return st_; }

 private:
  std::uint8_t tipo(std::int32_t i) const { return celle_[std::size_t(i)].tipo; }

  bool libera(std::int32_t j) {
    if (conflitto_) return false;  // no more choices past a conflict
    stato& s = st_[std::size_t(j)];
    if (s == stato::libera) return true;
    if (s != stato::incerta) return false;
    if (prossima_ == scelte_.size()) scelte_.push_back(false);
    if (!scelte_[prossima_++]) return true;
    s = stato::da_scrivere;
    if (!scrivibile(j)) conflitto_ = true;
    return false;
  }
  // An abatement entry reaches the cell: its position lies on the track.
  bool scrivibile(std::int32_t j) const { return entra(50 * std::int64_t(j), u_); }
  bool libera_in(std::int32_t j) { return j >= 0 && j <= u_ && libera(j); }
  void metti(std::int32_t j) {
    if (st_[std::size_t(j)] == stato::libera) conflitto_ = true;
    st_[std::size_t(j)] = stato::del_cammino;
  }
  bool marca_prima_libera(std::initializer_list<std::int32_t> celle) {
    for (std::int32_t j : celle) {
      if (libera(j)) {
        metti(j);
        return true;
      }
    }
    return false;
  }
  bool marca_davanti(std::int32_t s) { return marca_prima_libera({s - 1, s - 2}); }
  bool marca(std::int32_t j) const {
    stato s = st_[std::size_t(j)];
    return s == stato::marca_scritta || s == stato::del_cammino || s == stato::da_scrivere;
  }
  // The walk keeps the lower of 180 and the value there.
  void unisci(std::int32_t j) {
    if (minimo(valore_marca, celle_[std::size_t(j)].val1) != celle_[std::size_t(j)].val1) conflitto_ = true;
  }

  void regola_a(std::int32_t i) {
    for (std::int32_t s = i - 1; s >= i - 20 && s >= 3; --s) {
      if (tipo(s) != cella_segnale || marca_davanti(s)) continue;
      if (marca(s - 1)) unisci(s - 1);
      else if (marca(s - 2)) unisci(s - 2);
    }
  }
  void regola_b(std::int32_t i) {
    for (std::int32_t d : {5, 11, 18})
      if (i > d + 2) marca_prima_libera({i - d, i - d - 1, i - d - 2});
    const std::int32_t fine = celle_[std::size_t(i)].val1 < velocita_ripetizione ? ripetizione(i) : cerca_fine(i);
    if (fine >= 0) segnale_uscita(fine);
  }
  std::int32_t ripetizione(std::int32_t i) {
    std::int32_t p = i, conta = 0;
    do {
      if (p >= u_) return -1;
      ++p;
      ++conta;
      if (conta == passo_ripetizione) {
        if (libera_in(p)) metti(p), conta = 0;
        else if (libera_in(p - 1)) metti(p - 1), conta = 1;
        else if (libera_in(p + 1)) metti(p + 1), conta = -1;
      }
    } while (tipo(p) != cella_fine_rallentamento);
    return p;
  }
  std::int32_t cerca_fine(std::int32_t i) const {
    for (std::int32_t p = i + 1; p <= u_; ++p)
      if (tipo(p) == cella_fine_rallentamento) return p;
    return -1;
  }
  void segnale_uscita(std::int32_t e) {
    for (std::int32_t s = e; s <= std::min(e + ricerca_segnale_uscita, u_); ++s) {
      if (tipo(s) != cella_segnale) continue;
      marca_davanti(s);
      return;
    }
  }

  const std::vector<cella>& celle_;
  std::vector<stato> st_;
  std::vector<bool> scelte_;
  std::size_t prossima_ = 0;
  std::int32_t u_;
  bool conflitto_ = false;
};

std::vector<stato> stati_iniziali(const std::vector<cella>& celle) {
  std::vector<stato> st(celle.size(), stato::oggetto);
  for (std::size_t i = 0; i < celle.size(); ++i) {
    if (libera(celle[i])) st[i] = stato::libera;
    else if (celle[i].tipo == cella_abbattimento) st[i] = celle[i].val1 == valore_marca ? stato::incerta : stato::marca_scritta;
  }
  return st;
}

// The entry value that stores val1 (a positive one, taken to 16 bits).
std::int32_t valore_voce(std::int16_t val1) { return val1 > 0 ? val1 : std::int32_t(val1) + 65536; }

}  // namespace

std::vector<std::pair<std::int32_t, std::int32_t>> marche_da_scrivere(const std::vector<cella>& celle) {
  const std::vector<stato> iniziali = stati_iniziali(celle);
  std::vector<stato> finali = iniziali;  // every undecided mark written, if no choice works
  std::vector<bool> scelte;
  for (int tentativo = 0; tentativo < tentativi_massimi; ++tentativo) {
    replica r(celle, iniziali, scelte);
    if (r.esegui()) {
      finali = r.stati();
      break;
    }
    // The latest choice left to the walk is given to the description.
    scelte = r.scelte();
    while (!scelte.empty() && scelte.back()) scelte.pop_back();
    if (scelte.empty()) break;
    scelte.back() = true;
  }
  std::vector<std::pair<std::int32_t, std::int32_t>> marche;
  for (std::size_t i = 0; i < celle.size(); ++i) {
    if (celle[i].tipo == cella_abbattimento_nullo) marche.push_back({std::int32_t(i), 0});
    else if (celle[i].tipo == cella_abbattimento && finali[i] != stato::del_cammino) marche.push_back({std::int32_t(i), valore_voce(celle[i].val1)});
  }
  return marche;
}

std::vector<riga> voci_abbattimenti(const vista& v) {
  std::vector<riga> r;
  for (auto [c, valore] : marche_da_scrivere(v.celle))
    if (entra(50 * std::int64_t(c), v.n_celle)) r.push_back({"abbattimento", {numero(50 * std::int64_t(c)), numero(valore)}});
  return r;
}

}  // namespace sc::inverso
