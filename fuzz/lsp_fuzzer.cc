// Feeds arbitrary bytes to the editor server as the stream an editor would
// write: framing, JSON, methods and parameters all as they come. With the
// first byte odd the session starts initialized with a pair of descriptions
// open, so that the rest reaches every feature. The server must answer
// every request with one result or one error, write only JSON, and never
// touch a real file (its folder is in memory).
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <string>

#include <nlohmann/json.hpp>

#include "model/disk.h"
#include "tools/lsp/cornice.h"
#include "tools/lsp/servitore.h"

namespace {

using json = nlohmann::json;

std::string messaggio(const json& m) { return m.dump(); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  sc::MemoryDisk cartella;
  cartella.replace("F_linea.txt", "[generale]\r\nlunghezza percorso, 9000\r\n[curve]\r\ncartello_indicatore, 900, (X)\r\n[fine]\r\n");
  sc::servitore_lsp::istante ora{};
  std::set<std::string> risposte;
  sc::servitore_lsp s(
      [&](const std::string& corpo) {
        // Every message is JSON; a response has exactly one of result and error.
        const json m = json::parse(corpo);
        if (m.contains("id") && !m.contains("method") && m.contains("result") == m.contains("error")) __builtin_trap();
      },
      {std::chrono::milliseconds(200), [&] { return ora; },
       [&](const std::filesystem::path&) { return std::make_unique<sc::OverlayDisk>(cartella, std::map<std::string, std::string>{}); },
       [&](const std::filesystem::path&) { return std::vector<std::string>{"F_linea.txt"}; }});
  if (data[0] & 1) {
    s.ricevi({messaggio({{"jsonrpc", "2.0"}, {"id", 0}, {"method", "initialize"}, {"params", {{"capabilities", json::object()}}}}),
              messaggio({{"jsonrpc", "2.0"},
                         {"method", "textDocument/didOpen"},
                         {"params", {{"textDocument", {{"uri", "file:///l/F_T-.txt"}, {"version", 1}, {"text", "[generale]\r\nsegnale, 900, 1, 3, 1, 1, 0, 0, 0, 0, 0, 0\r\n[fine]\r\n"}}}}}})});
  }
  // The stream arrives in pieces of a few bytes, as pipes give it.
  sc::lettore_cornici cornici(1 << 20);
  const std::size_t pezzo = 1 + data[0] / 2 % 61;
  for (std::size_t i = 1; i < size && !s.finito(); i += pezzo) {
    cornici.aggiungi(std::string_view(reinterpret_cast<const char*>(data) + i, std::min(pezzo, size - i)));
    std::vector<std::string> insieme;
    while (auto e = cornici.prossimo()) {
      if (!e->guasto) {
        insieme.push_back(std::move(e->testo));
        continue;
      }
      s.ricevi(insieme);
      insieme.clear();
      s.guasto_cornice(e->testo);
    }
    s.ricevi(insieme);
    ora += std::chrono::milliseconds(50);
    s.esegui_scadenze();
  }
  return 0;
}
