// Feeds arbitrary bytes as the line description and the service description
// through the whole compile. The first byte chooses whether the geometry is
// built; the rest is the line description, a NUL, the service description.
// Every file the compile writes must read back with the project's own reader.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "compile/decodifica.h"
#include "compile/percorso.h"
#include "model/codici.h"
#include "model/disk.h"
#include "model/modello.h"
#include "model/nomi_file.h"

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  std::int32_t j = data[0] & 1;
  std::string testo(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::size_t taglio = std::min(testo.find('\0'), testo.size());

  sc::modello m;
  m.nome_scenario = "F";
  m.nome_treno = "T";
  sc::MemoryDisk disk;
  disk.replace(sc::nome_linea_txt(m), testo.substr(0, taglio));
  disk.replace(sc::nome_treno_txt(m), taglio < testo.size() ? testo.substr(taglio + 1) : "");
  try {
    sc::memorizza_percorso(m, disk, j);
  } catch (const sc::errore_mostrato& e) {
    if (e.codice != sc::codice::slot_formato_occupati && e.codice != sc::codice::slot_gara_occupati) __builtin_trap();
    // The run ends before any binary file.
    for (const std::string& nome : {sc::nome_linea_dat(m), sc::nome_servizio_sim(m), sc::nome_celle_dat(m)})
      if (disk.exists(nome)) __builtin_trap();
  }
  // Both descriptions are gone after a parse that got past the line file.
  if (m.codice_errore != sc::codice::linea_mancante && disk.exists(sc::nome_linea_txt(m))) __builtin_trap();
  for (const auto& [nome, dati] : disk.files())
    if (!si_rilegge(m, nome, dati)) __builtin_trap();
  return 0;
}
