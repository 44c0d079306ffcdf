// The editor server on the largest line, through its protocol layer: the
// diagnostics after a one-character change (the change is the first after
// a quiet spell, so it is checked at once), and hover and completion on the
// checked pair.
#include <benchmark/benchmark.h>

#include <nlohmann/json.hpp>

#include "model/disk.h"
#include "test_support/linea_grande.h"
#include "tools/lsp/servitore.h"

namespace sc {
namespace {

using json = nlohmann::json;

struct sessione {
  MemoryDisk cartella;
  servitore_lsp::istante ora{};
  std::vector<json> ricevuti;
  servitore_lsp s{[this](const std::string& corpo) { ricevuti.push_back(json::parse(corpo)); },
                  {std::chrono::milliseconds(200), [this] { return ora; },
                   [this](const std::filesystem::path&) { return std::make_unique<OverlayDisk>(cartella, std::map<std::string, std::string>{}); },
                   [](const std::filesystem::path&) { return std::vector<std::string>{}; }}};
  const std::string linea = "file:///b/Grande_linea.txt", servizio = "file:///b/Grande_Treno-.txt";
  int id = 0;

  void manda(const std::string& metodo, json parametri, bool richiesta = false) {
    json m = {{"jsonrpc", "2.0"}, {"method", metodo}, {"params", std::move(parametri)}};
    if (richiesta) m["id"] = ++id;
    s.ricevi({m.dump()});
  }
  sessione() {
    const test::descrizioni d = test::linea_grande();
    manda("initialize", {{"capabilities", json::object()}}, true);
    for (const auto& [uri, testo] : {std::pair{linea, d.linea}, std::pair{servizio, d.servizio}})
      manda("textDocument/didOpen", {{"textDocument", {{"uri", uri}, {"version", 1}, {"text", testo}}}});
    s.esegui_scadenze();
  }
};

void BM_LspDiagnosticheDopoUnCarattere(benchmark::State& state) {
  sessione x;
  int versione = 1;
  for (auto _ : state) {
    // A quiet second, then one character of the first speed limit's position.
    x.ora += std::chrono::seconds(1);
    x.ricevuti.clear();
    const std::string cifra = versione % 2 ? "6" : "5";
    x.manda("textDocument/didChange", {{"textDocument", {{"uri", x.servizio}, {"version", ++versione}}},
                                       {"contentChanges", {{{"range", {{"start", {{"line", 6}, {"character", 10}}}, {"end", {{"line", 6}, {"character", 11}}}}}, {"text", cifra}}}}});
    x.s.esegui_scadenze();
    bool arrivate = false;
    for (const json& m : x.ricevuti) arrivate |= m.value("method", "") == "textDocument/publishDiagnostics" && m["params"]["uri"] == x.servizio;
    if (!arrivate) state.SkipWithError("no diagnostics");
  }
}
BENCHMARK(BM_LspDiagnosticheDopoUnCarattere)->Unit(benchmark::kMillisecond);

void richiesta(benchmark::State& state, const char* metodo, int riga, int colonna) {
  sessione x;
  for (auto _ : state) {
    x.ricevuti.clear();
    x.manda(metodo, {{"textDocument", {{"uri", x.servizio}}}, {"position", {{"line", riga}, {"character", colonna}}}}, true);
    if (x.ricevuti.size() != 1 || !x.ricevuti[0].contains("result") || x.ricevuti[0]["result"].is_null()) state.SkipWithError("no answer");
  }
}

// On the first signal's position, and at the start of a line.
void BM_LspHover(benchmark::State& state) { richiesta(state, "textDocument/hover", 126, 10); }
BENCHMARK(BM_LspHover)->Unit(benchmark::kMillisecond);
void BM_LspCompletamento(benchmark::State& state) { richiesta(state, "textDocument/completion", 126, 0); }
BENCHMARK(BM_LspCompletamento)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace sc
