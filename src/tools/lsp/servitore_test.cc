// The protocol layer in memory: lifecycle and errors, pairs of open buffers
// over a folder, when diagnostics go out, and the grammar's copy in the
// VS Code extension.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "test_support/descrizioni.h"
#include "tools/lsp/grammatica.h"
#include "tools/lsp/servitore.h"

namespace sc {
namespace {

using json = nlohmann::json;
using test::righe;

// A client on the other side of the server, with a folder in memory and a
// clock it moves by hand.
struct cliente {
  MemoryDisk cartella;
  servitore_lsp::istante ora{};
  std::vector<json> ricevuti;
  servitore_lsp s{[this](const std::string& corpo) { ricevuti.push_back(json::parse(corpo)); },
                  servitore_lsp::opzioni{std::chrono::milliseconds(200), [this] { return ora; },
                                         [this](const std::filesystem::path&) { return std::make_unique<OverlayDisk>(cartella, std::map<std::string, std::string>{}); },
                                         [this](const std::filesystem::path&) {
                                           std::vector<std::string> r;
                                           for (const auto& [nome, dati] : cartella.files()) r.push_back(nome);
                                           return r;
                                         }}};
  int id = 0;

  static std::string uri(const std::string& nome) { return "file:///linee/" + nome; }
  json chiedi(const std::string& metodo, json parametri) {
    const int mio = ++id;
    s.ricevi({json{{"jsonrpc", "2.0"}, {"id", mio}, {"method", metodo}, {"params", std::move(parametri)}}.dump()});
    for (const json& m : ricevuti)
      if (m.contains("id") && m["id"] == mio) return m;
    return nullptr;
  }
  // As the command does: checks that fall due run once the messages are read.
  void avvisa(const std::string& metodo, json parametri) {
    s.ricevi({json{{"jsonrpc", "2.0"}, {"method", metodo}, {"params", std::move(parametri)}}.dump()});
    s.esegui_scadenze();
  }
  void inizia() {
    chiedi("initialize", {{"capabilities", json::object()}});
    avvisa("initialized", json::object());
  }
  void apri(const std::string& nome, const std::string& testo) {
    avvisa("textDocument/didOpen", {{"textDocument", {{"uri", uri(nome)}, {"languageId", "scenario-description"}, {"version", 1}, {"text", testo}}}});
  }
  void cambia(const std::string& nome, const std::string& testo) {
    avvisa("textDocument/didChange", {{"textDocument", {{"uri", uri(nome)}, {"version", 2}}}, {"contentChanges", {{{"text", testo}}}}});
  }
  // The codes of the last diagnostics published for the file, and how many
  // times they were published.
  std::vector<std::string> diagnostiche(const std::string& nome, int* volte = nullptr) {
    std::vector<std::string> r;
    if (volte) *volte = 0;
    for (const json& m : ricevuti) {
      if (m.value("method", "") != "textDocument/publishDiagnostics" || m["params"]["uri"] != uri(nome)) continue;
      if (volte) ++*volte;
      r.clear();
      for (const json& d : m["params"]["diagnostics"]) r.push_back(std::to_string(d["range"]["start"]["line"].get<int>()) + ":" + d["code"].dump());
    }
    return r;
  }
};

const std::string linea = righe({"[generale]", "lunghezza percorso, 6000", "[curve]", "cartello_indicatore, 900, (BIVIO)", "[fine]"});
const std::string servizio = righe({"[generale]", "segnale, 900, 1, 3, 1, 1, 0, 0, 0, 0, 0, 0", "stazione, 2210, 23, 200, 0,0,0, 0,0,0, 4,1,1, 20, 8,20,0, A", "[fine]"});

int codice_errore(const json& risposta) { return risposta.contains("error") ? risposta["error"]["code"].get<int>() : 0; }

TEST(Servitore, CicloDiVitaEdErrori) {
  cliente c;
  EXPECT_EQ(codice_errore(c.chiedi("textDocument/hover", json::object())), -32002);  // before initialize
  c.inizia();
  c.apri("L_T-.txt", servizio);
  const json posizione = {{"textDocument", {{"uri", cliente::uri("L_T-.txt")}}}, {"position", {{"line", 40}, {"character", 0}}}};
  const struct {
    const char* nome;
    std::string corpo;
    int atteso;
  } casi[] = {
      {"no JSON", "{\"jsonrpc\": \"2.0\", \"id\": 1,", -32700},
      {"no object", "[1, 2]", -32600},
      {"no method", "{\"jsonrpc\": \"2.0\", \"id\": 7}", -32600},
      {"unknown method", json{{"jsonrpc", "2.0"}, {"id", 8}, {"method", "textDocument/rename"}}.dump(), -32601},
      {"outside the document", json{{"jsonrpc", "2.0"}, {"id", 9}, {"method", "textDocument/hover"}, {"params", posizione}}.dump(), -32602},
      {"not open", json{{"jsonrpc", "2.0"}, {"id", 10}, {"method", "textDocument/documentSymbol"}, {"params", {{"textDocument", {{"uri", "file:///x/y-.txt"}}}}}}.dump(), -32602},
      {"initialize again", json{{"jsonrpc", "2.0"}, {"id", 11}, {"method", "initialize"}, {"params", json::object()}}.dump(), -32600},
  };
  for (const auto& x : casi) {
    c.ricevuti.clear();
    c.s.ricevi({x.corpo});
    ASSERT_EQ(c.ricevuti.size(), 1u) << x.nome;
    EXPECT_EQ(codice_errore(c.ricevuti[0]), x.atteso) << x.nome;
  }
  // A request cancelled by a message read with it.
  c.ricevuti.clear();
  c.s.ricevi({json{{"jsonrpc", "2.0"}, {"id", 20}, {"method", "textDocument/documentSymbol"}, {"params", {{"textDocument", {{"uri", cliente::uri("L_T-.txt")}}}}}}.dump(),
              json{{"jsonrpc", "2.0"}, {"method", "$/cancelRequest"}, {"params", {{"id", 20}}}}.dump()});
  ASSERT_EQ(c.ricevuti.size(), 1u);
  EXPECT_EQ(codice_errore(c.ricevuti[0]), -32800);
  c.avvisa("textDocument/unknownNotification", json::object());  // ignored
  EXPECT_EQ(c.chiedi("shutdown", nullptr)["result"], nullptr);
  EXPECT_EQ(codice_errore(c.chiedi("textDocument/documentSymbol", {{"textDocument", {{"uri", cliente::uri("L_T-.txt")}}}})), -32600);
  EXPECT_FALSE(c.s.finito());
  c.avvisa("exit", nullptr);
  EXPECT_TRUE(c.s.finito());
  EXPECT_EQ(c.s.esito(), 0);

  cliente senza;
  senza.inizia();
  senza.avvisa("exit", nullptr);
  EXPECT_EQ(senza.s.esito(), 1);  // exit without shutdown
}

TEST(Servitore, CoppieEAggiornamenti) {
  cliente c;
  c.inizia();
  // Alone: what is missing, and the service description still checked.
  c.apri("L_T-.txt", servizio);
  EXPECT_EQ(c.diagnostiche("L_T-.txt"), (std::vector<std::string>{"0:101", "2:8"}));
  // The line description on disk pairs with it once it is saved there.
  c.cartella.replace("L_linea.txt", linea);
  c.avvisa("textDocument/didSave", {{"textDocument", {{"uri", cliente::uri("L_T-.txt")}}}});
  EXPECT_EQ(c.diagnostiche("L_T-.txt"), (std::vector<std::string>{"1:16", "2:8"}));

  // An open buffer of the line description is read instead of its file, and
  // editing it checks the open service description again.
  c.apri("L_linea.txt", righe({"[generale]", "lunghezza percorso, 6000", "[curve]", "[fine]"}));
  EXPECT_EQ(c.diagnostiche("L_T-.txt"), (std::vector<std::string>{"2:8"}));
  EXPECT_TRUE(c.diagnostiche("L_linea.txt").empty());
  int volte = 0;
  c.diagnostiche("L_T-.txt", &volte);
  // A change after a quiet spell is checked at once; the ones that follow
  // wait for the interval and are checked together.
  c.ora += std::chrono::seconds(1);
  c.cambia("L_linea.txt", linea);
  c.s.esegui_scadenze();
  int dopo = 0;
  EXPECT_EQ(c.diagnostiche("L_T-.txt", &dopo), (std::vector<std::string>{"1:16", "2:8"}));
  EXPECT_EQ(dopo, volte + 1);
  for (int i = 0; i < 5; ++i) {
    c.ora += std::chrono::milliseconds(10);
    c.cambia("L_linea.txt", i % 2 ? linea : righe({"[generale]", "lunghezza percorso, 6000", "[curve]", "[fine]"}));
    c.s.esegui_scadenze();
  }
  c.diagnostiche("L_T-.txt", &volte);
  EXPECT_EQ(volte, dopo);
  ASSERT_TRUE(c.s.prossima_scadenza());
  c.ora = *c.s.prossima_scadenza();
  c.s.esegui_scadenze();
  EXPECT_EQ(c.diagnostiche("L_T-.txt", &volte), (std::vector<std::string>{"2:8"}));
  EXPECT_EQ(volte, dopo + 1);
  EXPECT_FALSE(c.s.prossima_scadenza());

  // Closing clears a document's diagnostics.
  c.avvisa("textDocument/didClose", {{"textDocument", {{"uri", cliente::uri("L_T-.txt")}}}});
  EXPECT_TRUE(c.diagnostiche("L_T-.txt").empty());
}

TEST(Servitore, GrammaticaDellEstensioneDallaTabella) {
  std::ifstream in(std::string(SC_EDITORS) + "/vscode/syntaxes/scenario.tmLanguage.json", std::ios::binary);
  std::ostringstream copia;
  copia << in.rdbuf();
  EXPECT_EQ(copia.str(), grammatica_textmate()) << "write it again: cmake --build build --target grammatica_vscode";
  const json g = json::parse(grammatica_textmate());
  EXPECT_EQ(g["scopeName"], scope_grammatica);
  EXPECT_EQ(g["repository"]["chiave"]["patterns"].size(), tabella_voci().size());
}

}  // namespace
}  // namespace sc
