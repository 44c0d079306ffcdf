// Feeds arbitrary bytes as the line description and the service description
// through the whole compile. The first byte chooses whether the geometry is
// built; the rest is the line description, a NUL, the service description.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "compile/percorso.h"
#include "model/codici.h"
#include "model/disk.h"
#include "model/modello.h"
#include "model/nomi_file.h"

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
    if (disk.exists(sc::nome_celle_dat(m))) __builtin_trap();
  }
  // Both descriptions are gone after a parse that got past the line file.
  if (m.codice_errore != sc::codice::linea_mancante && disk.exists(sc::nome_linea_txt(m))) __builtin_trap();
  return 0;
}
