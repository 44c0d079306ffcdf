// Feeds arbitrary bytes as the line description and the service description
// through the whole compile. The first byte chooses whether the geometry is
// built; the rest is the line description, a NUL, the service description.
// Every file the compile writes must read back with the project's own reader;
// the same compile with the diagnostics watching must leave the same files
// and codes, and check's reading on past errors must end as cleanly, with
// every diagnostic at a place inside its file and printable.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <sstream>
#include <string>

#include "compile/decodifica.h"
#include "compile/compila.h"
#include "model/codici.h"
#include "model/disk.h"
#include "model/modello.h"
#include "model/nomi_file.h"
#include "diagnostics/osservatore_diagnostiche.h"
#include "tools/cli/resa_diagnostiche.h"

namespace {

// Whether a written file decodes into what the model holds.
bool si_rilegge(const sc::modello& m, const std::string& nome, const std::string& dati) {
  if (nome == sc::nome_linea_dat(m)) {
    auto g = sc::decodifica_geometria(dati);
    return g && g->size() == 2 * (std::size_t(m.profilo.ultimo_metro()) + 1);
  }
  if (nome == sc::nome_servizio_sim(m)) {
    auto s = sc::decodifica_servizio(dati);
    if (!s || s->size() != m.servizio.size()) return false;
    for (std::size_t i = 0; i < s->size(); ++i)
      if ((*s)[i].nome != m.servizio[i].nome || (*s)[i].codice != m.servizio[i].codice) return false;
    return true;
  }
  if (nome == sc::nome_celle_dat(m)) {
    auto c = sc::decodifica_celle(dati);
    return c && c->size() == m.celle.size();
  }
  // What may stay of the descriptions; nothing else is ever written.
  return nome == sc::nome_linea_txt(m) || nome == sc::nome_treno_txt(m);
}

struct esito {
  std::map<std::string, std::string> file;
  std::int32_t codice, posizione;
};

// One compile of the two descriptions; with `diag`, the diagnostics watch it.
esito compila(sc::modello& m, sc::MemoryDisk& disk, std::int32_t j, sc::ascoltatore_compilazione* diag, bool recupera = false) {
  const sc::esito_compilazione e = sc::compila({m.nome_scenario, m.nome_treno, j, recupera}, m, disk, diag);
  if (e.fermato()) {
    if (e.codice_mostrato != sc::codice::slot_formato_occupati && e.codice_mostrato != sc::codice::slot_gara_occupati) __builtin_trap();
    // The run ends before any binary file.
    for (const std::string& nome : {sc::nome_linea_dat(m), sc::nome_servizio_sim(m), sc::nome_celle_dat(m)})
      if (disk.exists(nome)) __builtin_trap();
  }
  return {disk.files(), m.codice_errore, m.posizione_errore};
}

// Every diagnostic points inside its description and can be printed.
void controlla(const sc::resa_diagnostiche& resa, const std::map<std::string, std::string>& testi) {
  auto dentro = [&](const sc::diagnostica& d) {
    if (!d.dove.noto()) return;
    auto t = testi.find(d.dove.file);
    if (t == testi.end() || d.dove.riga < 1 || d.dove.colonna < 1 || d.dove.inizio > d.dove.fine || d.dove.fine > t->second.size())
      __builtin_trap();
  };
  for (const sc::diagnostica& d : resa.mostrate()) {
    dentro(d);
    for (const sc::diagnostica& n : d.note) dentro(n);
  }
  std::ostringstream out;
  resa.stampa(out);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  std::int32_t j = data[0] & 1;
  std::string testo(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::size_t taglio = std::min(testo.find('\0'), testo.size());
  const std::map<std::string, std::string> descrizioni = {{"F_linea.txt", testo.substr(0, taglio)},
                                                          {"F_T-.txt", taglio < testo.size() ? testo.substr(taglio + 1) : ""}};
  auto prepara = [&](sc::modello& m, sc::MemoryDisk& disk) {
    m.nome_scenario = "F";
    m.nome_treno = "T";
    for (const auto& [nome, t] : descrizioni) disk.replace(nome, t);
  };

  sc::modello m;
  sc::MemoryDisk disk;
  prepara(m, disk);
  const esito semplice = compila(m, disk, j, nullptr);
  // Both descriptions are gone after a parse that got past the line file.
  if (m.codice_errore != sc::codice::linea_mancante && disk.exists(sc::nome_linea_txt(m))) __builtin_trap();
  for (const auto& [nome, dati] : disk.files())
    if (!si_rilegge(m, nome, dati)) __builtin_trap();

  // The compile command's run: the same files, the same code.
  for (bool recupera : {false, true}) {
    sc::modello m2;
    sc::MemoryDisk disk2;
    prepara(m2, disk2);
    sc::resa_diagnostiche resa({});
    for (const auto& [nome, t] : descrizioni) resa.file(nome, nome, t);
    sc::osservatore_diagnostiche diag(resa, m2);
    const esito osservato = compila(m2, disk2, j, &diag, recupera);
    if (!recupera && (osservato.file != semplice.file || osservato.codice != semplice.codice || osservato.posizione != semplice.posizione))
      __builtin_trap();
    controlla(resa, descrizioni);
  }
  return 0;
}
