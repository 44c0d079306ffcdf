// Which abatement marks a description must give. The placement walk puts a
// mark of its own value into the first free cell of each place it serves; a
// mark of the description in that cell sends the walk on to the next one,
// which also changes where the marks along a slow restriction fall after it.
// The walk itself is replayed over the compiled cells: a mark of the walk's
// value that the walk reaches first is left to it, unless that leads to a
// mark the cells do not hold; then the choices are revised, latest first.
#include <limits>

#include "compile/cammino.h"
#include "compile/percorso.h"
#include "model/regole.h"
#include "tools/decompile/decompila_parti.h"

namespace sc::inverso {

namespace {

constexpr int tentativi_massimi = 2000;
// Revising choices costs whole walks again: together they may cost this many
// times the first walk (and a little more on short tracks), no more.
constexpr std::uint64_t volte_primo_cammino = 8;
constexpr std::uint64_t passi_minimi = 4000000;

// What a cell is to the walk. A mark of the walk's value is undecided until
// the walk reaches it: then either the walk puts it there, or the
// description does.
enum class stato : std::uint8_t { oggetto, libera, marca_scritta, incerta, del_cammino, da_scrivere };

// The walk's policy for the replay over the stored cells.
class replica {
 public:
  // Severe: a problem of the walk is a conflict too.
  replica(const std::vector<cella>& celle, std::vector<stato> stati, std::vector<bool> scelte, bool severo)
      : celle_(celle), st_(std::move(stati)), scelte_(std::move(scelte)), u_(std::int32_t(celle.size()) - 1), severo_(severo) {}

  // Walks the cells; false when the walk would put a mark where none is
  // stored, or lower a stored mark's value, or ran out of steps.
  bool esegui(std::uint64_t passi_massimi) {
    passi_massimi_ = passi_massimi;
    cammino<replica>(*this).esegui();
    // A mark left to the description must be one it can give.
    for (std::int32_t j = 0; j <= u_ && !conflitto_; ++j)
      if (st_[std::size_t(j)] == stato::incerta && !scrivibile(j)) conflitto_ = true;
    return !conflitto_;
  }
  // The choices made, in the order met: true for a mark of the description.
  const std::vector<bool>& scelte() const { return scelte_; }
  const std::vector<stato>& stati() const { return st_; }
  bool problema_registrato() const { return problema_; }
  std::uint64_t passi() const { return passi_; }

  // What the walk asks.
  std::int32_t ultima() const { return u_; }
  std::uint8_t tipo(std::int32_t i) {
    if (++passi_ > passi_massimi_) conflitto_ = true;
    return celle_[std::size_t(i)].tipo;
  }
  std::int16_t velocita(std::int32_t i) const { return celle_[std::size_t(i)].val1; }
  bool fermo() const { return conflitto_; }
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
  void marca(std::int32_t j, std::int32_t) {
    if (st_[std::size_t(j)] == stato::libera) conflitto_ = true;
    st_[std::size_t(j)] = stato::del_cammino;
  }
  bool ha_marca(std::int32_t j) const {
    stato s = st_[std::size_t(j)];
    return s == stato::marca_scritta || s == stato::del_cammino || s == stato::da_scrivere;
  }
  // The walk keeps the lower of its value and the value there.
  void abbassa(std::int32_t j) {
    if (minimo(regole::valore_marca, celle_[std::size_t(j)].val1) != celle_[std::size_t(j)].val1) conflitto_ = true;
  }
  void problema(const problema_cammino&) {
    problema_ = true;
    if (severo_) conflitto_ = true;
  }

 private:
  // An abatement entry reaches the cell: its position lies on the track.
  bool scrivibile(std::int32_t j) const { return entra(metro_cella(j), u_); }

  const std::vector<cella>& celle_;
  std::vector<stato> st_;
  std::vector<bool> scelte_;
  std::size_t prossima_ = 0;
  std::int32_t u_;
  bool severo_;
  bool conflitto_ = false;
  bool problema_ = false;
  std::uint64_t passi_ = 0, passi_massimi_ = 0;
};

std::vector<stato> stati_iniziali(const std::vector<cella>& celle) {
  std::vector<stato> st(celle.size(), stato::oggetto);
  for (std::size_t i = 0; i < celle.size(); ++i) {
    if (libera(celle[i])) st[i] = stato::libera;
    else if (celle[i].tipo == cella_abbattimento) st[i] = celle[i].val1 == regole::valore_marca ? stato::incerta : stato::marca_scritta;
  }
  return st;
}

// The entry value that stores val1 (a positive one, taken to 16 bits).
std::int32_t valore_voce(std::int16_t val1) { return val1 > 0 ? val1 : std::int32_t(val1) + 65536; }

}  // namespace

marche_decise marche_da_scrivere(const std::vector<cella>& celle) {
  const std::vector<stato> iniziali = stati_iniziali(celle);
  std::vector<stato> finali = iniziali;  // every undecided mark written, if no choice works
  marche_decise r_;
  // Every mark of the walk's value left to the walk: the usual answer, and
  // the measure of a whole walk for the searches below.
  replica prima(celle, iniziali, {}, false);
  bool riuscito = prima.esegui(std::numeric_limits<std::uint64_t>::max());
  if (riuscito) finali = prima.stati(), r_.problema = prima.problema_registrato();
  const std::uint64_t passi = volte_primo_cammino * prima.passi() + passi_minimi;
  // Then the choices are revised: first for a walk without a problem, as a
  // clean compile leaves the cells, then for one with a problem, as a
  // compile that recorded it does. Each search has its own steps.
  for (bool severo : {true, false}) {
    if (riuscito && (!r_.problema || !severo)) break;
    std::vector<bool> scelte = prima.scelte();
    std::uint64_t residui = passi;
    for (int tentativo = 0; tentativo < tentativi_massimi && residui > 0; ++tentativo) {
      // The latest choice left to the walk is given to the description.
      while (!scelte.empty() && scelte.back()) scelte.pop_back();
      if (scelte.empty()) break;
      scelte.back() = true;
      replica r(celle, iniziali, scelte, severo);
      const bool va = r.esegui(residui);
      residui -= std::min(residui, r.passi());
      if (va) {
        riuscito = true;
        finali = r.stati();
        r_.problema = r.problema_registrato();
        break;
      }
      scelte = r.scelte();
    }
  }
  for (std::size_t i = 0; i < celle.size(); ++i) {
    if (celle[i].tipo == cella_abbattimento_nullo) r_.marche.push_back({std::int32_t(i), 0});
    else if (celle[i].tipo == cella_abbattimento && finali[i] != stato::del_cammino) r_.marche.push_back({std::int32_t(i), valore_voce(celle[i].val1)});
  }
  return r_;
}

}  // namespace sc::inverso
