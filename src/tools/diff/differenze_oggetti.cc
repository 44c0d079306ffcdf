// What differs between two compiled scenarios by the objects the
// descriptions wrote: each cell matched to the object that made it (a
// station by its name, a signal or a board by its order among those of its
// kind), the approach marks and the compiler's marks folded into the
// objects they belong to, values in the author's units.
#include <algorithm>
#include <functional>
#include <map>

#include "model/regole.h"
#include "model/testo.h"
#include "tools/diff/differenze.h"
#include "tools/readback/oggetti_linea.h"

namespace sc {

namespace {

std::string freccia(const std::string& a, const std::string& b) { return a + " -> " + b; }
std::string metri(int m) { return std::to_string(m) + " m"; }

differenza oggetto(std::string chi, std::string cosa, std::int64_t metri_a) {
  return {differenza::parte::oggetti, metri_a, metri_a, std::move(chi), std::move(cosa)};
}

// The values of two objects of one kind, by name, that differ.
std::string valori_cambiati(const std::vector<valore_letto>& a, const std::vector<valore_letto>& b) {
  std::string r;
  for (const valore_letto& x : a)
    for (const valore_letto& y : b)
      if (x.nome == y.nome && x.testo != y.testo) r += std::string(r.empty() ? "" : ", ") + x.nome + " " + freccia(x.testo, y.testo);
  return r;
}

// Two lists of one kind of object, in their order along the line, paired:
// those that stand where they stood first, then the others in their order;
// what is left over was removed or added.
template <typename T>
std::vector<std::pair<const T*, const T*>> accoppia(const std::vector<const T*>& a, const std::vector<const T*>& b, std::function<int(const T&)> metri) {
  std::vector<const T*> per_a(a.size(), nullptr);
  std::vector<bool> preso(b.size(), false);
  for (std::size_t i = 0, j = 0; i < a.size() && j < b.size();) {
    if (metri(*a[i]) == metri(*b[j])) per_a[i] = b[j], preso[j] = true, ++i, ++j;
    else if (metri(*a[i]) < metri(*b[j])) ++i;
    else ++j;
  }
  std::vector<std::pair<const T*, const T*>> r;
  std::size_t j = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (per_a[i]) {
      r.push_back({a[i], per_a[i]});
      continue;
    }
    while (j < b.size() && preso[j]) ++j;
    if (j < b.size()) preso[j] = true, r.push_back({a[i], b[j]});
    else r.push_back({a[i], nullptr});
  }
  for (std::size_t k = 0; k < b.size(); ++k)
    if (!preso[k]) r.push_back({nullptr, b[k]});
  return r;
}

// Objects of one kind of cell, paired as above.
void per_ordine(const std::vector<const oggetto_linea*>& a, const std::vector<const oggetto_linea*>& b, std::vector<differenza>& r) {
  for (auto [x, y] : accoppia<oggetto_linea>(a, b, [](const oggetto_linea& o) { return o.metri; })) {
    const std::string nome = nome_tipo_cella((x ? x : y)->tipo);
    if (!y) {
      r.push_back(oggetto(nome + " at " + metri(x->metri), "removed", x->metri));
      continue;
    }
    if (!x) {
      r.push_back(oggetto(nome + " at " + metri(y->metri), "added" + (y->etichetta.empty() ? "" : " (" + y->etichetta + ")"), y->metri));
      continue;
    }
    const std::string valori = valori_cambiati(x->valori, y->valori);
    if (x->metri != y->metri)
      r.push_back(oggetto(nome + " moved " + freccia(std::to_string(x->metri), std::to_string(y->metri)) + " m", valori, x->metri));
    else if (!valori.empty())
      r.push_back(oggetto(nome + " at " + metri(x->metri), valori, x->metri));
  }
}

// Stations by their names, the first of a name with the first of that name.
void stazioni(const std::vector<stazione_letta>& a, const std::vector<stazione_letta>& b, std::vector<differenza>& r) {
  std::vector<bool> preso(b.size(), false);
  for (const stazione_letta& x : a) {
    std::size_t j = 0;
    while (j < b.size() && (preso[j] || b[j].nome != x.nome)) ++j;
    const std::string nome = "station " + x.nome;
    if (j == b.size()) {
      r.push_back(oggetto(nome, "removed", x.posizione));
      continue;
    }
    preso[j] = true;
    const stazione_letta& y = b[j];
    std::string cosa;
    auto campo = [&](const char* n, const std::string& p, const std::string& q) {
      if (p != q) cosa += std::string(cosa.empty() ? "" : ", ") + n + " " + freccia(p, q);
    };
    campo("position", metri(x.posizione), metri(y.posizione));
    campo("area", std::to_string(x.inizio) + "-" + metri(x.fine), std::to_string(y.inizio) + "-" + metri(y.fine));
    campo("time", ore_minuti_secondi(x.orario), ore_minuti_secondi(y.orario));
    campo("kind", std::to_string(x.tipo), std::to_string(y.tipo));
    campo("record", std::to_string(x.numero), std::to_string(y.numero));
    if (!cosa.empty()) r.push_back(oggetto(nome, cosa, x.posizione));
  }
  for (std::size_t j = 0; j < b.size(); ++j)
    if (const stazione_letta& y = b[j]; !preso[j]) r.push_back(oggetto("station " + y.nome, "added (at " + metri(y.posizione) + ", time " + ore_minuti_secondi(y.orario) + ")", y.posizione));
}

void rallentamenti(const std::vector<rallentamento_letto>& a, const std::vector<rallentamento_letto>& b, std::vector<differenza>& r) {
  std::vector<const rallentamento_letto*> pa, pb;
  for (const auto& x : a) pa.push_back(&x);
  for (const auto& y : b) pb.push_back(&y);
  for (auto [x, y] : accoppia<rallentamento_letto>(pa, pb, [](const rallentamento_letto& t) { return t.inizio; })) {
    if (!y) {
      r.push_back(oggetto("restriction at " + metri(x->inizio), "removed", x->inizio));
      continue;
    }
    if (!x) {
      r.push_back(oggetto("restriction at " + metri(y->inizio), "added (" + std::to_string(y->velocita) + " km/h to " + metri(y->fine) + ")", y->inizio));
      continue;
    }
    std::string cosa;
    auto campo = [&](const char* n, const std::string& p, const std::string& q) {
      if (p != q) cosa += std::string(cosa.empty() ? "" : ", ") + n + " " + freccia(p, q);
    };
    campo("end", metri(x->fine), metri(y->fine));
    campo("speed", std::to_string(x->velocita) + " km/h", std::to_string(y->velocita) + " km/h");
    campo("second speed", std::to_string(x->d_v), std::to_string(y->d_v));
    campo("flag", std::to_string(x->f_tt), std::to_string(y->f_tt));
    campo("warning board", x->avviso >= 0 ? metri(x->avviso) : "none", y->avviso >= 0 ? metri(y->avviso) : "none");
    if (x->inizio != y->inizio) r.push_back(oggetto("restriction moved " + freccia(std::to_string(x->inizio), std::to_string(y->inizio)) + " m", cosa, x->inizio));
    else if (!cosa.empty()) r.push_back(oggetto("restriction at " + metri(x->inizio), cosa, x->inizio));
  }
}

void montagne(const std::vector<montagna_letta>& a, const std::vector<montagna_letta>& b, std::vector<differenza>& r) {
  auto testo = [](const montagna_letta& m) {
    return std::to_string(m.da) + "-" + metri(m.a) + ", type " + std::to_string(m.tipo) + (m.segnalata ? " with markers" : "");
  };
  for (std::size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
    const montagna_letta* x = i < a.size() ? &a[i] : nullptr;
    const montagna_letta* y = i < b.size() ? &b[i] : nullptr;
    if (!y) r.push_back(oggetto("mountain range", "removed (" + testo(*x) + ")", x->da));
    else if (!x) r.push_back(oggetto("mountain range", "added (" + testo(*y) + ")", y->da));
    else if (testo(*x) != testo(*y)) r.push_back(oggetto("mountain range", freccia(testo(*x), testo(*y)), x->da));
  }
}

// Runs of a fill along the line that differ, by metres.
void riempimenti(const char* nome, const char* unita, const std::vector<tratto>& a, const std::vector<tratto>& b, std::vector<differenza>& r) {
  auto valore_in = [](const std::vector<tratto>& t, int m) {
    for (const tratto& x : t)
      if (m >= x.da && m < x.a) return std::optional<int>(x.valore);
    return std::optional<int>();
  };
  // The metres where a run begins on either side cut the line into pieces
  // of one value on both sides.
  std::vector<int> tagli;
  for (const auto* t : {&a, &b})
    for (const tratto& x : *t) tagli.push_back(x.da), tagli.push_back(x.a);
  std::sort(tagli.begin(), tagli.end());
  tagli.erase(std::unique(tagli.begin(), tagli.end()), tagli.end());
  std::optional<differenza> aperta;
  auto scrivi = [&](std::optional<int> v) { return v ? std::to_string(*v) + unita : std::string("nothing"); };
  for (std::size_t i = 0; i + 1 < tagli.size(); ++i) {
    const auto x = valore_in(a, tagli[i]), y = valore_in(b, tagli[i]);
    const std::string cosa = x == y ? "" : freccia(scrivi(x), scrivi(y));
    if (aperta && aperta->testo == cosa && aperta->ultimo == tagli[i] - 1) {
      aperta->ultimo = tagli[i + 1] - 1;
      continue;
    }
    if (aperta) r.push_back(*aperta), aperta.reset();
    if (!cosa.empty()) aperta = differenza{differenza::parte::oggetti, tagli[i], tagli[i + 1] - 1, std::string(nome), cosa};
  }
  if (aperta) r.push_back(*aperta);
  for (differenza& d : r)
    if (d.oggetto == nome && d.primo != d.ultimo) d.oggetto = std::string(nome) + " at metres " + std::to_string(d.primo) + "-" + std::to_string(d.ultimo);
}

// The objects of one kind of cell, in their order along the line; the
// compiler's own marks are left to the objects they serve.
std::vector<const oggetto_linea*> di_tipo(const linea_letta& l, std::function<bool(const oggetto_linea&)> scelto) {
  std::vector<const oggetto_linea*> r;
  for (const oggetto_linea& o : l.oggetti)
    if (scelto(o)) r.push_back(&o);
  return r;
}

}  // namespace

std::vector<differenza> differenze_oggetti(const scenario_compilato& a, const scenario_compilato& b) {
  const linea_letta la = leggi_linea(a.celle, a.servizio), lb = leggi_linea(b.celle, b.servizio);
  std::vector<differenza> r;
  // General data and the kilometre references, as records; stations and
  // sign texts are objects below.
  for (differenza& d : differenze_servizio(a.servizio, b.servizio))
    if (d.oggetto.rfind("station ", 0) != 0 && d.oggetto.rfind("sign text ", 0) != 0) r.push_back(std::move(d));
  std::vector<differenza> lungo;
  stazioni(la.stazioni, lb.stazioni, lungo);
  const auto del_tipo = [](int tipo) { return [tipo](const oggetto_linea& o) { return o.tipo == tipo; }; };
  for (int tipo : {int(cella_segnale), int(cella_indicatore_vmax), int(cella_cartello)}) per_ordine(di_tipo(la, del_tipo(tipo)), di_tipo(lb, del_tipo(tipo)), lungo);
  // Signals and stations carry their approach marks, restrictions the
  // compiler's marks: those follow the objects, unless none of them changed.
  const std::size_t prima_dei_segnali = lungo.size();
  rallentamenti(la.rallentamenti, lb.rallentamenti, lungo);
  const bool regole_cambiate = lungo.size() > prima_dei_segnali;
  const bool marche_spiegate = !lungo.empty();
  const auto marche = [&](const oggetto_linea& o) {
    return o.tipo == cella_abbattimento_nullo ||
           (o.tipo == cella_abbattimento && (!regole_cambiate || o.etichetta != std::to_string(regole::valore_marca)));
  };
  per_ordine(di_tipo(la, marche), di_tipo(lb, marche), lungo);
  montagne(la.montagne, lb.montagne, lungo);
  riempimenti("gradient", " ‰", la.pendenze, lb.pendenze, lungo);
  riempimenti("speed limit", " km/h", la.velocita, lb.velocita, lungo);
  riempimenti("adhesion", "", la.aderenza, lb.aderenza, lungo);
  std::stable_sort(lungo.begin(), lungo.end(), [](const differenza& x, const differenza& y) { return x.primo < y.primo; });
  r.insert(r.end(), lungo.begin(), lungo.end());
  // What no object explains is said cell by cell: the length of the track,
  // the markers of cell 1, and approach marks that moved on their own.
  for (differenza& d : differenze_celle(a.celle, b.celle, &a.servizio, &b.servizio)) {
    const bool traccia = d.testo.rfind("track ", 0) == 0, marcatori = d.testo.rfind("format marker", 0) == 0 || d.testo.rfind("competition code", 0) == 0;
    const bool marca = d.testo.rfind("approach mark", 0) == 0 && !marche_spiegate;
    if (traccia || marcatori || marca) r.push_back(std::move(d));
  }
  for (differenza& d : differenze_piano(a.geometria, b.geometria)) r.push_back(std::move(d));
  // Anything else, as a file edited by hand may hold, cell by cell.
  if (r.empty())
    for (differenza& d : differenze_celle(a.celle, b.celle, &a.servizio, &b.servizio)) r.push_back(std::move(d));
  return r;
}

}  // namespace sc
