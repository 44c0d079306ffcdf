#include "compile/uscita_binaria.h"

#include <algorithm>
#include <bit>
#include <memory>
#include <utility>

#include "compile/scrittore_byte.h"
#include "model/disk.h"
#include "model/modello.h"
#include "model/nomi_file.h"
#include "model/record.h"

namespace sc {

namespace {

// The geometry file is large: it goes out in pieces of 256 KiB, so that it
// never stands whole in memory (larger pieces were no faster). Each kind of
// point has a loop of its own that encodes as many points as the piece has
// room for.
constexpr std::size_t pezzo_geometria = std::size_t(256) << 10;

template <typename Scrivi>
void geometria_a_pezzi(const profilo_linea& p, Scrivi&& scrivi) {
  const std::size_t metri = std::size_t(p.ultimo_metro() + 1);
  const std::size_t interi = std::size_t(p.interi()), calcolati = std::size_t(p.calcolati());
  // A small grid goes out in one piece of its own size.
  const std::size_t per_asse = 2 * metri + 2 * interi + 8 * (calcolati - interi);
  const std::size_t dimensione = std::min(pezzo_geometria, 2 * per_asse);
  const auto pezzo = std::make_unique_for_overwrite<char[]>(dimensione);
  std::size_t usati = 0;
  // Points da to a - 1, `byte` bytes each.
  auto punti = [&](std::size_t da, std::size_t a, std::size_t byte, auto codifica) {
    while (da < a) {
      if (dimensione - usati < byte) {
        scrivi(std::string_view(pezzo.get(), usati));
        usati = 0;
      }
      const std::size_t n = std::min(a - da, (dimensione - usati) / byte);
      char* q = pezzo.get() + usati;
      for (std::size_t i = da; i < da + n; ++i, q += byte) codifica(q, i);
      usati += n * byte;
      da += n;
    }
  };
  for (int asse = 0; asse < 2; ++asse) {
    const double* v = p.coordinate(asse);
    punti(0, interi, 4, [v](char* q, std::size_t i) {
      metti_le<2>(q, valore_profilo::intero);
      metti_le<2>(q + 2, std::uint16_t(std::int16_t(v[i])));
    });
    punti(interi, calcolati, 10, [v](char* q, std::size_t i) {
      metti_le<2>(q, valore_profilo::reale);
      metti_le<8>(q + 2, std::bit_cast<std::uint64_t>(v[i]));
    });
    punti(calcolati, metri, 2, [](char* q, std::size_t) { metti_le<2>(q, valore_profilo::vuoto); });
  }
  if (usati > 0) scrivi(std::string_view(pezzo.get(), usati));
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
  }
  lotto.add(nome_servizio_sim(m), contenuto_servizio_sim(m));
  lotto.add(nome_celle_dat(m), contenuto_celle_dat(m));
  lotto.commit();
}

}  // namespace sc
