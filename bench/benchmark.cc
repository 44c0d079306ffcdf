// The whole built-in run, a compile of the largest line accepted, and its
// decompile.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "compile/percorso.h"
#include "driver/form1.h"
#include "platform/real_disk.h"
#include "model/disk.h"
#include "model/modello.h"
#include "model/nomi_file.h"
#include "diagnostics/osservatore_diagnostiche.h"
#include "test_support/compilazione.h"
#include "test_support/linea_grande.h"
#include "test_support/tracciati_ostili.h"
#include "tools/drawing/view.h"
#include "tools/readback/ispeziona.h"
#include "tools/decompile/decompila.h"

namespace sc {
namespace {

using test::descrizioni;
using test::linea_grande;

struct nessuna_interfaccia : Interfaccia {
  void mostra_attesa() override {}
  void mostra_messaggio(const std::string&) override {}
};

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

// check on the largest line: the same compile with the diagnostics
// watching and reading on past errors, against the plain compile, both in
// memory.
void BM_CompilaLineaGrande(benchmark::State& state) {
  const descrizioni d = linea_grande();
  for (auto _ : state) {
    MemoryDisk disk;
    compila_grande(state, disk, d);
  }
}
BENCHMARK(BM_CompilaLineaGrande)->Unit(benchmark::kMillisecond);

void BM_CheckLineaGrande(benchmark::State& state) {
  const descrizioni d = linea_grande();
  for (auto _ : state) {
    MemoryDisk disk;
    modello m;
    m.nome_scenario = "Grande";
    m.nome_treno = "Treno";
    disk.replace(nome_linea_txt(m), d.linea);
    disk.replace(nome_treno_txt(m), d.servizio);
    raccolta_diagnostiche raccolta;
    osservatore_diagnostiche diag(raccolta, m);
    std::int32_t j = 1;
    memorizza_percorso(m, disk, j, diag, true);
    if (!raccolta.tutte.empty()) state.SkipWithError("the largest line should be clean");
  }
}
BENCHMARK(BM_CheckLineaGrande)->Unit(benchmark::kMillisecond);

// 10 MB of repeated length entries: they cost what their bytes cost.
void BM_LunghezzeRipetute(benchmark::State& state) {
  descrizioni d;
  d.linea = "[generale]\r\n";
  while (d.linea.size() < 10'000'000) d.linea += "lunghezza percorso, 1000000\r\nlunghezza percorso, 9000\r\n";
  d.linea += "[curve]\r\n[fine]\r\n";
  d.servizio = "[generale]\r\n[fine]\r\n";
  for (auto _ : state) {
    MemoryDisk disk;
    compila_grande(state, disk, d);
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(d.linea.size()));
}
BENCHMARK(BM_LunghezzeRipetute)->Unit(benchmark::kMillisecond);

// The baseline: writing files of the same sizes as the compile's output.
void BM_CopiaStesseDimensioni(benchmark::State& state) {
  MemoryDisk prova;
  compila_grande(state, prova, linea_grande());
  RealDisk disk(cartella_temporanea().string(), '/');
  for (auto _ : state)
    for (const auto& [nome, dati] : prova.files()) disk.replace("copia " + nome, dati);
}
BENCHMARK(BM_CopiaStesseDimensioni)->Unit(benchmark::kMillisecond);

// The largest line compiled in memory, and decompiled back from the result:
// the decompile (with the compile in memory that checks it) should take no
// longer than the compile.
void BM_LineaGrandeCompilata(benchmark::State& state) {
  const descrizioni d = linea_grande();
  for (auto _ : state) {
    MemoryDisk disk;
    compila_grande(state, disk, d);
    benchmark::DoNotOptimize(disk.files().size());
  }
}
BENCHMARK(BM_LineaGrandeCompilata)->Unit(benchmark::kMillisecond);

scenario_compilato grande_compilata() {
  const descrizioni d = linea_grande();
  return test::carica_compilato(test::compila_in_memoria(d.linea, d.servizio, 1, "Grande", "Treno"), "Grande", "Treno");
}

void BM_LineaGrandeDecompilata(benchmark::State& state) {
  const scenario_compilato s = grande_compilata();
  for (auto _ : state) {
    const decompilazione d = decompila(s);
    const verifica v = verifica_decompilazione(s, d);
    if (!v.esatta()) state.SkipWithError("the round trip is not exact");
    benchmark::DoNotOptimize(d.linea.size());
  }
}
BENCHMARK(BM_LineaGrandeDecompilata)->Unit(benchmark::kMillisecond);

// Its two parts: the descriptions alone, and the compile that checks them.
void BM_LineaGrandeSoloDescrizioni(benchmark::State& state) {
  const scenario_compilato s = grande_compilata();
  for (auto _ : state) benchmark::DoNotOptimize(decompila(s).linea.size());
}
BENCHMARK(BM_LineaGrandeSoloDescrizioni)->Unit(benchmark::kMillisecond);

void BM_LineaGrandeSoloVerifica(benchmark::State& state) {
  const scenario_compilato s = grande_compilata();
  const decompilazione d = decompila(s);
  for (auto _ : state) benchmark::DoNotOptimize(verifica_decompilazione(s, d).differenze.size());
}
BENCHMARK(BM_LineaGrandeSoloVerifica)->Unit(benchmark::kMillisecond);

// Two files made to be slow or large to read, each under a second: a track
// of 200000 restriction starts (3 MB), whose walks would each run to the
// last cell, and 20142 stop cells naming one station of a 65535-byte name
// (370 KB), which each took the name along.
void BM_OstileTuttePartenzeView(benchmark::State& state) {
  const scenario_compilato s = test::tutte_partenze();
  for (auto _ : state) benchmark::DoNotOptimize(pagina_view(s).size());
}
BENCHMARK(BM_OstileTuttePartenzeView)->Unit(benchmark::kMillisecond);

void BM_OstileTuttePartenzeDecompile(benchmark::State& state) {
  const scenario_compilato s = test::tutte_partenze();
  for (auto _ : state) {
    const decompilazione d = decompila(s);
    benchmark::DoNotOptimize(verifica_decompilazione(s, d).differenze.size());
  }
}
BENCHMARK(BM_OstileTuttePartenzeDecompile)->Unit(benchmark::kMillisecond);

void BM_OstileTuttePartenzeInspect(benchmark::State& state) {
  const scenario_compilato s = test::tutte_partenze();
  filtro_elenco f;
  f.servizio = s.servizio;
  for (auto _ : state) benchmark::DoNotOptimize(elenco_celle(s.celle, f).size());
}
BENCHMARK(BM_OstileTuttePartenzeInspect)->Unit(benchmark::kMillisecond);

void BM_OstileFermateView(benchmark::State& state) {
  const scenario_compilato s = test::fermate_di_un_nome();
  for (auto _ : state) benchmark::DoNotOptimize(pagina_view(s).size());
}
BENCHMARK(BM_OstileFermateView)->Unit(benchmark::kMillisecond);

void BM_OstileFermateDecompile(benchmark::State& state) {
  const scenario_compilato s = test::fermate_di_un_nome();
  for (auto _ : state) {
    const decompilazione d = decompila(s);
    benchmark::DoNotOptimize(verifica_decompilazione(s, d).differenze.size());
  }
}
BENCHMARK(BM_OstileFermateDecompile)->Unit(benchmark::kMillisecond);

void BM_OstileFermateInspect(benchmark::State& state) {
  const scenario_compilato s = test::fermate_di_un_nome();
  filtro_elenco f;
  f.json = true;
  f.servizio = s.servizio;
  for (auto _ : state) benchmark::DoNotOptimize(elenco_celle(s.celle, f).size());
}
BENCHMARK(BM_OstileFermateInspect)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace sc
