// The whole built-in run, and a compile of the largest line accepted.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "compile/percorso.h"
#include "driver/form1.h"
#include "driver/real_disk.h"
#include "model/disk.h"
#include "model/modello.h"
#include "model/nomi_file.h"

namespace sc {
namespace {

struct nessuna_interfaccia : Interfaccia {
  void mostra_attesa() override {}
  void mostra_messaggio(const std::string&) override {}
};

// A line of 1000000 m: a curve every 5 km, a gradient change every 3 km, a
// signal every 2 km, a station every 20 km and a slow restriction with its
// warning board every 50 km, placed so that none takes another's cell.
struct descrizioni {
  std::string linea, servizio;
};

descrizioni linea_grande() {
  constexpr int lunghezza = 1000000;
  descrizioni d;
  d.linea = "[generale]\r\nlunghezza percorso, " + std::to_string(lunghezza) + "\r\n[curve]\r\n";
  for (int s = 1000; s + 1000 < lunghezza; s += 5000)
    d.linea += std::string((s / 5000) % 2 ? "curvad" : "curvas") + std::to_string(1 + (s / 5000) % 6) + ", " + std::to_string(s) + ", 800\r\n";
  d.linea += "[pendenze]\r\n";
  for (int p = 0; p < lunghezza; p += 3000) d.linea += "pendenza, " + std::to_string(p) + ", " + std::to_string((p / 3000) % 25 - 12) + "\r\n";
  d.linea += "[fine]\r\n";

  d.servizio = "[generale]\r\nnumero vetture, 4\r\npercentuale massa frenata, 105\r\nsabbia, 15\r\norologio, 8 0 0\r\n";
  d.servizio += "aderenza, 0, 90\r\n";
  for (int p = 0; p < lunghezza; p += 10000) d.servizio += "velocita, " + std::to_string(p) + ", " + std::to_string(p % 20000 ? 120 : 100) + "\r\n";
  for (int x = 32000; x < lunghezza; x += 50000) d.servizio += "rallentamento, " + std::to_string(x) + ", 60, 1000, 0, 1, 0\r\n";
  for (int p = 500; p < lunghezza; p += 2000) d.servizio += "segnale, " + std::to_string(p) + ", 1, 3, 1, 1, 0, 0, 0, 0, 0, 0\r\n";
  for (int k = 0; k < 50; ++k)
    d.servizio += "stazione, " + std::to_string(10000 + 20000 * k) + ", 23, 200, 0,0,0, 0,0,0, 4,1,1, 20, 9," + std::to_string(k) + ",0, S" + std::to_string(k) + "\r\n";
  d.servizio += "[fine]\r\n";
  return d;
}

void BM_EsecuzionePredefinita(benchmark::State& state) {
  for (auto _ : state) {
    MemoryDisk disk;
    nessuna_interfaccia ui;
    Form1 form(disk, ui);
    form.form_load();
    benchmark::DoNotOptimize(disk.files().size());
  }
}
BENCHMARK(BM_EsecuzionePredefinita)->Unit(benchmark::kMillisecond);

void compila_grande(benchmark::State& state, Disk& disk, const descrizioni& d) {
  modello m;
  m.nome_scenario = "Grande";
  m.nome_treno = "Treno";
  disk.replace(nome_linea_txt(m), d.linea);
  disk.replace(nome_treno_txt(m), d.servizio);
  std::int32_t j = 1;
  memorizza_percorso(m, disk, j);
  if (m.codice_errore != 0) state.SkipWithError(("code " + std::to_string(m.codice_errore)).c_str());
}

std::filesystem::path cartella_temporanea() {
  auto dir = std::filesystem::temp_directory_path() / "scenario-bench";
  std::filesystem::create_directories(dir);
  return dir;
}

void BM_LineaGrandeSuDisco(benchmark::State& state) {
  const descrizioni d = linea_grande();
  RealDisk disk(cartella_temporanea().string(), '/');
  for (auto _ : state) compila_grande(state, disk, d);
}
BENCHMARK(BM_LineaGrandeSuDisco)->Unit(benchmark::kMillisecond);

// The baseline: writing files of the same sizes as the compile's output.
void BM_CopiaStesseDimensioni(benchmark::State& state) {
  MemoryDisk prova;
  compila_grande(state, prova, linea_grande());
  RealDisk disk(cartella_temporanea().string(), '/');
  for (auto _ : state)
    for (const auto& [nome, dati] : prova.files()) disk.replace("copia " + nome, dati);
}
BENCHMARK(BM_CopiaStesseDimensioni)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace sc
