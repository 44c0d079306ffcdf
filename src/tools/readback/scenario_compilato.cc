#include "tools/readback/scenario_compilato.h"

#include <algorithm>
#include <stdexcept>

#include "model/testo.h"
#include "platform/file.h"
#include "tools/cli/comandi.h"
#include "tools/cli/file_utente.h"

namespace sc {

namespace {

namespace p = piattaforma;

bool finisce(const std::string& s, std::string_view fine) {
  return s.size() >= fine.size() && std::string_view(s).substr(s.size() - fine.size()) == fine;
}

// A per-train file name NAME_TRAIN split into its two names: the names
// stored in the service data where they fit the file name, else the
// scenario of a geometry file beside it, else the last "_".
std::pair<std::string, std::string> dividi(const std::string& base, const std::vector<voce_servizio>& servizio,
                                           const std::vector<std::string>& geometrie) {
  const std::string scenario = cp1252_a_utf8(servizio[voce_scenario].nome);
  const std::string treno = cp1252_a_utf8(servizio[voce_corsa].nome);
  if (base == scenario + "_" + treno) return {scenario, treno};
  for (const std::string& g : geometrie)
    if (base.rfind(g + "_", 0) == 0 && base.size() > g.size() + 1) return {g, base.substr(g.size() + 1)};
  const std::size_t u = base.rfind('_');
  if (u == std::string::npos) return {base, ""};
  return {base.substr(0, u), base.substr(u + 1)};
}

}  // namespace

binario_letto leggi_compilato(const std::string& percorso, std::optional<tipo_binario> tipo) {
  const std::string mostrata = come_percorso(percorso);
  if (p::genere_di(p::percorso_di(percorso)) == p::genere_voce::cartella)
    throw errore_uso(mostrata + " is a directory, where a binary file of a compiled scenario belongs");
  auto letto = leggi_binario(nome_in_percorso(percorso), leggi_ingresso(percorso), tipo);
  if (const std::string* motivo = std::get_if<std::string>(&letto)) throw errore_uso(mostrata + " is " + *motivo);
  return std::get<binario_letto>(std::move(letto));
}

scenario_compilato carica_file(const std::string& sim, const std::string& celle, const std::string& geometria) {
  scenario_compilato s;
  s.servizio = leggi_compilato(sim, tipo_binario::servizio).servizio;
  s.celle = leggi_compilato(celle, tipo_binario::celle).celle;
  if (!geometria.empty()) s.geometria = leggi_compilato(geometria, tipo_binario::geometria).geometria;
  s.nome_base = p::testo_percorso(p::percorso_di(sim).stem());
  std::vector<std::string> geometrie;
  if (!geometria.empty() && finisce(nome_in_percorso(geometria), "_linea.dat")) {
    std::string g = nome_in_percorso(geometria);
    geometrie.push_back(g.substr(0, g.size() - 10));
  }
  std::tie(s.scenario, s.treno) = dividi(s.nome_base, s.servizio, geometrie);
  s.titolo = s.scenario + " - " + s.treno;
  return s;
}

scenario_compilato carica_scenario(const std::string& cartella, const scelta_scenario& scelta) {
  const std::string mostrata = come_percorso(cartella);
  const p::genere_voce genere = p::genere_di(p::percorso_di(cartella));
  if (genere == p::genere_voce::nessuna) throw errore_uso(mostrata + " does not exist");
  if (genere != p::genere_voce::cartella) throw errore_uso(mostrata + " is a file, where the directory of a compiled scenario belongs");
  std::vector<std::string> nomi;
  try {
    nomi = p::nomi_in(p::percorso_di(cartella));
  } catch (const std::runtime_error& e) {
    throw errore_uso(e.what());
  }
  std::vector<std::string> basi, geometrie;
  for (const std::string& nome : nomi) {
    if (finisce(nome, "_linea.dat")) geometrie.push_back(nome.substr(0, nome.size() - 10));
    else if (finisce(nome, ".sim") &&
             p::genere_di(p::percorso_di(unisci(cartella, nome.substr(0, nome.size() - 4) + ".dat"))) != p::genere_voce::nessuna)
      basi.push_back(nome.substr(0, nome.size() - 4));
  }
  std::sort(basi.begin(), basi.end());
  // Longest scenario names first, so that "A_B" wins over "A" for "A_B_T".
  std::sort(geometrie.begin(), geometrie.end(), [](const std::string& a, const std::string& b) { return a.size() > b.size(); });

  struct candidato {
    std::string base, scenario, treno;
    std::vector<voce_servizio> servizio;
  };
  std::vector<candidato> adatti;
  std::string tutti;
  for (const std::string& base : basi) {
    const std::vector<voce_servizio> servizio = leggi_compilato(unisci(cartella, base + ".sim"), tipo_binario::servizio).servizio;
    auto [scenario, treno] = dividi(base, servizio, geometrie);
    tutti += (tutti.empty() ? "" : ", ") + base;
    if (!scelta.scenario.empty() && scelta.scenario != scenario) continue;
    if (!scelta.treno.empty() && scelta.treno != treno) continue;
    adatti.push_back({base, scenario, treno, std::move(servizio)});
  }
  if (adatti.empty()) {
    if (basi.empty()) throw errore_uso("no compiled scenario (NAME_TRAIN.sim with NAME_TRAIN.dat) in " + mostrata);
    throw errore_uso("no compiled scenario in " + mostrata + " fits the names given; it holds " + tutti);
  }
  if (adatti.size() > 1) {
    std::string elenco;
    for (const candidato& c : adatti) elenco += (elenco.empty() ? "" : ", ") + c.base;
    throw errore_uso(mostrata + " holds several compiled scenarios (" + elenco + "); choose one with --train or --scenario");
  }
  candidato& c = adatti.front();
  scenario_compilato s;
  s.scenario = c.scenario;
  s.treno = c.treno;
  s.nome_base = c.base;
  s.titolo = c.scenario + " - " + c.treno;
  s.servizio = std::move(c.servizio);
  s.celle = leggi_compilato(unisci(cartella, c.base + ".dat"), tipo_binario::celle).celle;
  const std::string geometria = unisci(cartella, c.scenario + "_linea.dat");
  if (p::genere_di(p::percorso_di(geometria)) != p::genere_voce::nessuna) s.geometria = leggi_compilato(geometria, tipo_binario::geometria).geometria;
  return s;
}

}  // namespace sc
