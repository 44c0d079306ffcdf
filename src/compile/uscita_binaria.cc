#include "compile/uscita_binaria.h"

#include <utility>

#include "compile/scrittore_byte.h"
#include "model/disk.h"
#include "model/modello.h"
#include "model/nomi_file.h"
#include "model/record.h"

namespace sc {

namespace {

// The geometry file is large: it goes out in pieces of about a mebibyte.
constexpr std::size_t pezzo_geometria = std::size_t(1) << 20;

template <typename Scrivi>
void geometria_a_pezzi(const profilo_linea& p, Scrivi&& scrivi) {
  const std::size_t metri = std::size_t(p.ultimo_metro()) + 1;
  const std::size_t interi = std::size_t(p.interi()), calcolati = std::size_t(p.calcolati());
  scrittore_byte w;
  w.riserva(pezzo_geometria + 10);
  for (int asse = 0; asse < 2; ++asse) {
    for (std::size_t i = 0; i < metri; ++i) {
      const auto m = std::int32_t(i);
      if (i < interi) {
        w.u16(valore_profilo::intero);
        w.i16(std::int16_t(asse == 0 ? p.x(m) : p.y(m)));
      } else if (i < calcolati) {
        w.u16(valore_profilo::reale);
        w.f64(asse == 0 ? p.x(m) : p.y(m));
      } else {
        w.u16(valore_profilo::vuoto);
      }
      if (w.dimensione() >= pezzo_geometria) {
        scrivi(w.vista());
        w.svuota();
      }
    }
  }
  scrivi(w.vista());
}

}  // namespace

std::string contenuto_linea_dat(const modello& m) {
  std::string r;
  geometria_a_pezzi(m.profilo, [&](std::string_view pezzo) { r.append(pezzo); });
  return r;
}

std::string contenuto_servizio_sim(const modello& m) {
  scrittore_byte w;
  for (const voce_servizio& v : m.servizio) per_campi_servizio([&](const char*, auto membro) { w.campo(v.*membro); });
  return std::move(w).prendi();
}

std::string contenuto_celle_dat(const modello& m) {
  scrittore_byte w;
  w.riserva(m.celle.size() * byte_cella);
  for (const cella& c : m.celle) per_campi_cella([&](const char*, auto membro) { w.campo(c.*membro); });
  return std::move(w).prendi();
}

void scrivi_file_binari(const modello& m, Disk& disk) {
  // One batch: an older set of files stays whole unless all three are written.
  Disk::Batch lotto(disk);
  if (m.genera_linea != 0) {
    Disk::Output& out = lotto.add(nome_linea_dat(m));
    geometria_a_pezzi(m.profilo, [&](std::string_view pezzo) { out.write(pezzo); });
    out.close();
  }
  lotto.add(nome_servizio_sim(m), contenuto_servizio_sim(m));
  lotto.add(nome_celle_dat(m), contenuto_celle_dat(m));
  lotto.commit();
}

}  // namespace sc
