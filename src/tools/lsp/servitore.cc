#include "tools/lsp/servitore.h"

#include <algorithm>
#include <map>
#include <set>
#include <stdexcept>

#include <nlohmann/json.hpp>

#include "model/testo.h"
#include "platform/file.h"
#include "platform/real_disk.h"
#include "tools/lsp/analisi.h"
#include "tools/lsp/indirizzi.h"
#include "tools/lsp/lingua.h"
#include "tools/lsp/testo_lsp.h"

#ifndef SC_VERSION
#define SC_VERSION "unknown"
#endif

namespace sc {

namespace {

using json = nlohmann::json;
namespace fs = std::filesystem;

// JSON-RPC and protocol error codes.
enum codice_errore : int {
  non_json = -32700,
  richiesta_invalida = -32600,
  metodo_ignoto = -32601,
  parametri_invalidi = -32602,
  errore_interno = -32603,
  non_inizializzato = -32002,
  richiesta_fallita = -32803,
  richiesta_annullata = -32800,
};

struct errore_richiesta : std::runtime_error {
  errore_richiesta(int c, const std::string& m) : std::runtime_error(m), codice(c) {}
  int codice;
};

const char* const comando_pagina = "scenario-compiler.view-page";
const std::string suffisso_linea = "_linea.txt", suffisso_servizio = "-.txt";

bool finisce(const std::string& s, const std::string& fine) {
  return s.size() >= fine.size() && s.compare(s.size() - fine.size(), fine.size(), fine) == 0;
}

enum class ruolo { linea, servizio };

struct documento {
  std::string uri;
  std::int64_t versione = 0;
  testo_documento testo;
  std::optional<fs::path> percorso;  // for a file URI
  std::string nome;                  // UTF-8
  ruolo r = ruolo::servizio;
  bool troppo_grande() const { return testo.byte().size() > piattaforma::limite_ingresso; }
};

// A pair as the server keeps it: where its parts are, its names, its last
// facts and when it is checked next.
struct coppia {
  std::string uri_linea, uri_servizio;  // "" for a service description never given
  std::optional<fs::path> cartella;
  std::string nome_linea, nome_servizio;  // file names, Windows-1252
  std::string scenario, treno;
  std::shared_ptr<const analisi> fatti;
  std::string troppo_grande;  // the URI of a part too large to read
  bool sporca = true;
  servitore_lsp::istante scadenza{};
  std::optional<servitore_lsp::istante> ultima;
};

using chiave_coppia = std::pair<std::string, std::string>;

// A published diagnostic, with its fixes as edits of the document.
struct pubblicata {
  json diagnostica;
  std::size_t inizio, fine;
  std::vector<std::pair<std::pair<std::size_t, std::size_t>, std::string>> correzioni;
};

json posizione_json(posizione_lsp p) { return {{"line", p.riga}, {"character", p.carattere}}; }
json intervallo_json(const testo_documento& t, std::size_t da, std::size_t a) {
  return {{"start", posizione_json(t.posizione(da))}, {"end", posizione_json(t.posizione(std::max(da, a)))}};
}

std::string in_utf8(std::string_view cp1252) { return cp1252_a_utf8(cp1252); }

// A whole number the protocol sends (a line, a column, a version); anything
// else is a bad parameter, not a conversion that overflows.
int intero(const json& x) {
  if (!x.is_number_integer() || x.get<std::int64_t>() < -(std::int64_t(1) << 31) || x.get<std::int64_t>() >= (std::int64_t(1) << 31))
    throw errore_richiesta(parametri_invalidi, "not a whole number of 32 bits: " + x.dump());
  return int(x.get<std::int64_t>());
}

}  // namespace

// ---------------------------------------------------------------- the host's files

std::unique_ptr<Disk> disco_reale(const fs::path& cartella) { return std::make_unique<RealDisk>(cartella); }

std::vector<std::string> elenco_reale(const fs::path& cartella) {
  std::vector<std::string> r;
  std::error_code ec;
  for (fs::directory_iterator it(cartella, ec), fine; !ec && it != fine; it.increment(ec)) {
    const std::u8string n = it->path().filename().u8string();
    r.push_back(utf8_a_cp1252(std::string(n.begin(), n.end())));
  }
  std::sort(r.begin(), r.end());
  return r;
}

// ---------------------------------------------------------------- the server

struct servitore_lsp::stato {
  std::function<void(const std::string&)> invia;
  opzioni o;
  enum class fase { attesa, attivo, chiuso } f = fase::attesa;
  bool finito = false, spento = false;
  bool snippet = false, aggiorna_inlay = false, inlay = true;
  std::map<std::string, documento> documenti;
  std::map<chiave_coppia, coppia> coppie;
  std::map<std::string, std::vector<pubblicata>> pubblicate;
  std::set<std::string> annullate;  // ids, as JSON text
  int richieste_inviate = 0;

  // ---------------------------------------------------------------- messages

  void manda(const json& j) { invia(j.dump(-1, ' ', false, json::error_handler_t::replace)); }
  void risposta(const json& id, json risultato) { manda({{"jsonrpc", "2.0"}, {"id", id}, {"result", std::move(risultato)}}); }
  void errore(const json& id, int codice, const std::string& messaggio) {
    manda({{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", codice}, {"message", messaggio}}}});
  }
  void notifica(const std::string& metodo, json parametri) { manda({{"jsonrpc", "2.0"}, {"method", metodo}, {"params", std::move(parametri)}}); }

  void tratta(const std::string& corpo) {
    json m;
    try {
      m = json::parse(corpo);
    } catch (const json::exception& e) {
      return errore(nullptr, non_json, std::string("the message is not JSON: ") + e.what());
    }
    if (!m.is_object()) return errore(nullptr, richiesta_invalida, "a message is a JSON object");
    const bool con_id = m.contains("id");
    const json id = con_id ? m["id"] : json();
    if (con_id && !id.is_number_integer() && !id.is_string()) return errore(nullptr, richiesta_invalida, "an id is a number or a string");
    if (!m.contains("method")) {
      // A client's answer to a request of ours: nothing to do.
      if (con_id && (m.contains("result") || m.contains("error"))) return;
      return errore(id, richiesta_invalida, "a message without a method");
    }
    if (!m["method"].is_string()) return errore(id, richiesta_invalida, "the method is not a string");
    const std::string metodo = m["method"];
    const json parametri = m.contains("params") ? m["params"] : json::object();
    if (!con_id) return notifica_ricevuta(metodo, parametri);
    if (annullate.erase(id.dump())) return errore(id, richiesta_annullata, "the request was cancelled");
    try {
      risposta(id, richiesta_ricevuta(metodo, parametri));
    } catch (const errore_richiesta& e) {
      errore(id, e.codice, e.what());
    } catch (const json::exception& e) {
      errore(id, parametri_invalidi, std::string("invalid parameters: ") + e.what());
    } catch (const std::exception& e) {
      errore(id, errore_interno, e.what());
    }
  }

  void notifica_ricevuta(const std::string& metodo, const json& p) {
    if (metodo == "exit") {
      finito = true;
      return;
    }
    if (f != fase::attivo) return;  // before initialize, and after shutdown, notifications are dropped
    try {
      if (metodo == "textDocument/didOpen") aperto(p);
      else if (metodo == "textDocument/didChange") cambiato(p);
      else if (metodo == "textDocument/didSave") salvato(p);
      else if (metodo == "textDocument/didClose") chiuso(p);
      else if (metodo == "workspace/didChangeConfiguration") configurato(p.value("settings", json::object()));
    } catch (const std::exception&) {
      // A malformed notification has nobody to answer.
    }
  }

  json richiesta_ricevuta(const std::string& metodo, const json& p) {
    if (metodo == "initialize") {
      if (f != fase::attesa) throw errore_richiesta(richiesta_invalida, "initialize comes once");
      return inizializza(p);
    }
    if (f == fase::attesa) throw errore_richiesta(non_inizializzato, "the server is not initialized yet");
    if (f == fase::chiuso) throw errore_richiesta(richiesta_invalida, "the server is shut down: only exit remains");
    if (metodo == "shutdown") {
      f = fase::chiuso;
      spento = true;
      return nullptr;
    }
    if (metodo == "textDocument/hover") return hover_json(p);
    if (metodo == "textDocument/completion") return completamento_json(p);
    if (metodo == "textDocument/signatureHelp") return firma_json(p);
    if (metodo == "textDocument/documentSymbol") return simboli_json(p);
    if (metodo == "textDocument/definition") return definizione_json(p);
    if (metodo == "textDocument/codeAction") return azioni_json(p);
    if (metodo == "textDocument/inlayHint") return inlay_json(p);
    if (metodo == "textDocument/formatting") return formattazione_json(p);
    if (metodo == "workspace/executeCommand") return comando_json(p);
    throw errore_richiesta(metodo_ignoto, "no method " + metodo);
  }

  json inizializza(const json& p) {
    f = fase::attivo;
    const json capacita = p.value("capabilities", json::object());
    snippet = capacita.value("/textDocument/completion/completionItem/snippetSupport"_json_pointer, false);
    aggiorna_inlay = capacita.value("/workspace/inlayHint/refreshSupport"_json_pointer, false);
    if (const json opzioni = p.value("initializationOptions", json::object()); opzioni.is_object() && opzioni.contains("inlayHints"))
      inlay = opzioni["inlayHints"].is_boolean() ? opzioni["inlayHints"].get<bool>() : true;
    return {{"capabilities",
             {{"positionEncoding", "utf-16"},
              {"textDocumentSync", {{"openClose", true}, {"change", 2}, {"save", {{"includeText", false}}}}},
              {"hoverProvider", true},
              {"completionProvider", {{"triggerCharacters", {"["}}, {"resolveProvider", false}}},
              {"signatureHelpProvider", {{"triggerCharacters", {","}}, {"retriggerCharacters", {","}}}},
              {"documentSymbolProvider", true},
              {"definitionProvider", true},
              {"codeActionProvider", {{"codeActionKinds", {"quickfix"}}}},
              {"inlayHintProvider", true},
              {"documentFormattingProvider", true},
              {"executeCommandProvider", {{"commands", {comando_pagina}}}}}},
            {"serverInfo", {{"name", "scenario-compiler"}, {"version", SC_VERSION}}}};
  }

  void configurato(const json& impostazioni) {
    const json x = impostazioni.is_object() ? impostazioni.value("/scenarioCompiler/inlayHints/enabled"_json_pointer, json()) : json();
    if (!x.is_boolean() || x.get<bool>() == inlay) return;
    inlay = x.get<bool>();
    if (aggiorna_inlay)
      manda({{"jsonrpc", "2.0"}, {"id", "aggiorna-" + std::to_string(++richieste_inviate)}, {"method", "workspace/inlayHint/refresh"}});
  }

  // ---------------------------------------------------------------- documents

  void aperto(const json& p) {
    const json& d = p.at("textDocument");
    documento doc;
    doc.uri = d.at("uri").get<std::string>();
    doc.versione = d.contains("version") ? intero(d["version"]) : 0;
    doc.testo = testo_documento::da_utf8(d.at("text").get<std::string>());
    doc.percorso = percorso_da_uri(doc.uri);
    doc.nome = nome_da_uri(doc.uri);
    doc.r = finisce(doc.nome, suffisso_linea) ? ruolo::linea : ruolo::servizio;
    const std::string uri = doc.uri;
    documenti[uri] = std::move(doc);
    riallinea();
    per_documento(uri, true);
  }

  void cambiato(const json& p) {
    documento& d = documento_di(p);
    for (const json& c : p.at("contentChanges")) {
      const std::string testo = c.at("text").get<std::string>();
      if (!c.contains("range")) {
        d.testo = testo_documento::da_utf8(testo);
        continue;
      }
      auto offset = [&](const json& x) {
        const posizione_lsp q{intero(x.at("line")), intero(x.at("character"))};
        return d.testo.offset(q).value_or(d.testo.byte().size());
      };
      d.testo.sostituisci(offset(c.at("range").at("start")), offset(c.at("range").at("end")), testo);
    }
    if (p.at("textDocument").contains("version")) d.versione = intero(p["textDocument"]["version"]);
    per_documento(d.uri, false);
  }

  void salvato(const json& p) {
    const std::string uri = documento_di(p).uri;
    riallinea();
    per_documento(uri, true);
  }

  void chiuso(const json& p) {
    const std::string uri = p.at("textDocument").at("uri").get<std::string>();
    if (!documenti.erase(uri)) return;
    pubblicate.erase(uri);
    notifica("textDocument/publishDiagnostics", {{"uri", uri}, {"diagnostics", json::array()}});
    riallinea();
    for (auto& [k, c] : coppie)
      if (documenti.count(c.uri_linea)) pubblica(c.uri_linea);
  }

  documento& documento_di(const json& p) {
    const std::string uri = p.at("textDocument").at("uri").get<std::string>();
    auto it = documenti.find(uri);
    if (it == documenti.end()) throw errore_richiesta(parametri_invalidi, "the document is not open: " + uri);
    return it->second;
  }

  // ---------------------------------------------------------------- pairs

  bool esiste(const documento& accanto, const std::string& nome_cp1252) {
    if (documenti.count(uri_accanto(accanto.uri, in_utf8(nome_cp1252)))) return true;
    if (!accanto.percorso || !o.disco) return false;
    return o.disco(accanto.percorso->parent_path())->exists(nome_cp1252);
  }

  // The pair of a service description: its line description is the one of
  // the longest scenario name its file name starts with, else the name
  // before its last "_".
  coppia coppia_servizio(const documento& s) {
    coppia c;
    c.cartella = s.percorso ? std::optional<fs::path>(s.percorso->parent_path()) : std::nullopt;
    c.uri_servizio = s.uri;
    c.nome_servizio = utf8_a_cp1252(s.nome);
    const std::string stelo = c.nome_servizio.substr(0, c.nome_servizio.size() - (finisce(c.nome_servizio, suffisso_servizio) ? suffisso_servizio.size() : 4));
    std::size_t taglio = stelo.rfind('_');
    const std::size_t ultimo = taglio;
    while (taglio != std::string::npos && taglio > 0 && !esiste(s, stelo.substr(0, taglio) + suffisso_linea)) taglio = stelo.rfind('_', taglio - 1);
    if (taglio == std::string::npos || taglio == 0) taglio = ultimo;
    c.scenario = taglio == std::string::npos ? stelo : stelo.substr(0, taglio);
    c.treno = taglio == std::string::npos ? "" : stelo.substr(taglio + 1);
    c.nome_linea = c.scenario + suffisso_linea;
    c.uri_linea = uri_accanto(s.uri, in_utf8(c.nome_linea));
    return c;
  }

  // The service descriptions of a line description: open ones first, then
  // those on disk, each one whose pair is this line's.
  std::vector<coppia> coppie_linea(const documento& l) {
    std::vector<coppia> r;
    const std::string scenario = utf8_a_cp1252(l.nome.substr(0, l.nome.size() - suffisso_linea.size()));
    for (const auto& [uri, d] : documenti) {
      if (d.r != ruolo::servizio || uri_accanto(uri, "") != uri_accanto(l.uri, "")) continue;
      coppia c = coppia_servizio(d);
      if (c.uri_linea == l.uri) r.push_back(std::move(c));
    }
    if (!r.empty() || !l.percorso || !o.elenca) return r;
    for (const std::string& nome : o.elenca(l.percorso->parent_path())) {
      if (!finisce(nome, suffisso_servizio) || nome.rfind(scenario + "_", 0) != 0) continue;
      documento finto;
      finto.uri = uri_accanto(l.uri, in_utf8(nome));
      finto.nome = in_utf8(nome);
      finto.percorso = l.percorso->parent_path() / fs::path(std::u8string(finto.nome.begin(), finto.nome.end()));
      coppia c = coppia_servizio(finto);
      if (c.uri_linea == l.uri) {
        r.push_back(std::move(c));
        break;
      }
    }
    return r;
  }

  // The pair a document's answers come from.
  coppia principale(const documento& d) {
    if (d.r == ruolo::servizio) return coppia_servizio(d);
    std::vector<coppia> c = coppie_linea(d);
    if (!c.empty()) return c.front();
    coppia sola;
    sola.cartella = d.percorso ? std::optional<fs::path>(d.percorso->parent_path()) : std::nullopt;
    sola.uri_linea = d.uri;
    sola.nome_linea = utf8_a_cp1252(d.nome);
    sola.scenario = sola.nome_linea.substr(0, sola.nome_linea.size() - suffisso_linea.size());
    sola.treno = "";
    return sola;
  }

  // Keeps the pairs the open documents need: each document's own, and for
  // an open line description the pair of every open service description.
  void riallinea() {
    std::map<chiave_coppia, coppia> servono;
    for (const auto& [uri, d] : documenti) {
      std::vector<coppia> tutte = {principale(d)};
      if (d.r == ruolo::linea)
        for (coppia& c : coppie_linea(d)) tutte.push_back(std::move(c));
      for (coppia& c : tutte) {
        const chiave_coppia k{c.uri_linea, c.uri_servizio};
        if (auto v = coppie.find(k); v != coppie.end()) servono.emplace(k, std::move(v->second));
        else {
          c.scadenza = o.adesso();
          servono.emplace(k, std::move(c));
        }
      }
    }
    coppie = std::move(servono);
  }

  // A document changed, opened or saved: its pairs are due again.
  void per_documento(const std::string& uri, bool subito) {
    const istante ora = o.adesso();
    for (auto& [k, c] : coppie) {
      if (c.uri_linea != uri && c.uri_servizio != uri) continue;
      c.sporca = true;
      c.scadenza = subito || !c.ultima ? ora : std::max(ora, *c.ultima + o.intervallo);
    }
  }

  void analizza_coppia(coppia& c) {
    c.sporca = false;
    c.ultima = o.adesso();
    c.troppo_grande.clear();
    c.fatti = nullptr;
    // The pair's open buffers over the files of its folder.
    std::map<std::string, std::string> copie;
    for (const auto& [uri, nome] : {std::pair{c.uri_linea, c.nome_linea}, std::pair{c.uri_servizio, c.nome_servizio}})
      if (auto it = documenti.find(uri); it != documenti.end()) copie[nome] = it->second.testo.byte();
    MemoryDisk vuoto;
    std::unique_ptr<Disk> base = c.cartella && o.disco ? o.disco(*c.cartella) : nullptr;
    OverlayDisk disco(base ? *base : static_cast<Disk&>(vuoto), std::move(copie));
    coppia_descrizioni cd{c.scenario, c.treno, std::nullopt, std::nullopt};
    if (disco.exists(c.nome_linea)) cd.linea = disco.read(c.nome_linea);
    if (!c.uri_servizio.empty() && disco.exists(c.nome_servizio)) cd.servizio = disco.read(c.nome_servizio);
    if (cd.servizio && cd.servizio->size() > piattaforma::limite_ingresso) c.troppo_grande = c.uri_servizio;
    if (cd.linea && cd.linea->size() > piattaforma::limite_ingresso) c.troppo_grande = c.uri_linea;
    if (c.troppo_grande.empty()) c.fatti = std::make_shared<const analisi>(analizza(std::move(cd)));
  }

  void analizza_e_pubblica(coppia& c) {
    analizza_coppia(c);
    for (const std::string& uri : {c.uri_linea, c.uri_servizio})
      if (documenti.count(uri)) pubblica(uri);
  }

  // ---------------------------------------------------------------- diagnostics

  // The editor's text of a part of the pair, for positions.
  testo_documento testo_di(const coppia& c, parte_descrizione p) {
    const std::string& uri = p == parte_descrizione::linea ? c.uri_linea : c.uri_servizio;
    const std::string& byte = c.fatti->testo(p);
    if (auto it = documenti.find(uri); it != documenti.end() && it->second.testo.byte() == byte) return it->second.testo;
    return testo_documento::da_cp1252(byte);
  }

  json diagnostica_json(const coppia& c, const diagnostica_mostrata& x, const testo_documento& t, const testo_documento& altro, parte_descrizione p) {
    const scheda_diagnostica& s = scheda_di(x.d.id);
    auto intervallo = [&](const luogo_testo& l, const testo_documento& in) {
      const std::size_t fine = l.fine > l.inizio ? l.fine : std::min(l.inizio + 1, in.byte().size());
      const std::size_t a_capo = in.byte().find_first_of("\r\n", l.inizio);
      return intervallo_json(in, l.inizio, std::min(fine, a_capo == std::string::npos ? fine : std::max(a_capo, l.inizio)));
    };
    std::string messaggio_d = messaggio(x.d);
    if (x.d.id == diag::linea_mancante) messaggio_d += ": " + in_utf8(c.nome_linea);
    json d = {{"range", x.d.dove.noto() ? intervallo(x.d.dove, t) : intervallo_json(t, 0, 0)},
              {"severity", x.g == gravita::errore ? 1 : x.g == gravita::avviso ? 2 : 3},
              {"source", "scenario-compiler"},
              {"message", messaggio_d}};
    if (s.codice > 0) d["code"] = s.codice;
    else if (s.nome) d["code"] = s.nome;
    json relative = json::array();
    for (const diagnostica& n : x.d.note) {
      const auto parte = c.fatti->parte_di(n.dove.file);
      if (!parte || !c.fatti->presente(*parte)) continue;
      const std::string& uri = *parte == parte_descrizione::linea ? c.uri_linea : c.uri_servizio;
      relative.push_back({{"location", {{"uri", uri}, {"range", intervallo(n.dove, *parte == p ? t : altro)}}}, {"message", messaggio(n)}});
    }
    if (!relative.empty()) d["relatedInformation"] = std::move(relative);
    return d;
  }

  void pubblica(const std::string& uri) {
    auto it = documenti.find(uri);
    if (it == documenti.end()) return;
    const documento& doc = it->second;
    const parte_descrizione p = doc.r == ruolo::linea ? parte_descrizione::linea : parte_descrizione::servizio;
    std::vector<pubblicata> tutte;
    std::set<std::string> viste;
    const chiave_coppia propria = [&] {
      const coppia c = principale(doc);
      return chiave_coppia{c.uri_linea, c.uri_servizio};
    }();
    for (const auto& [k, c] : coppie) {
      const bool mia = doc.r == ruolo::servizio ? k == propria : c.uri_linea == uri;
      if (!mia) continue;
      if (c.troppo_grande == uri) {
        pubblicata x;
        x.inizio = x.fine = 0;
        x.diagnostica = {{"range", intervallo_json(doc.testo, 0, 0)},
                         {"severity", 1},
                         {"source", "scenario-compiler"},
                         {"message", "the description is " + std::to_string(doc.testo.byte().size()) + " bytes long, more than the " +
                                         std::to_string(piattaforma::limite_ingresso >> 20) + " MiB a description may have: it is not read"}};
        tutte.push_back(std::move(x));
        break;
      }
      if (!c.fatti) continue;
      const testo_documento altro = testo_di(c, p == parte_descrizione::linea ? parte_descrizione::servizio : parte_descrizione::linea);
      const bool con_servizio = c.fatti->presente(parte_descrizione::servizio);
      for (const diagnostica_mostrata& x : c.fatti->diagnostiche) {
        const auto parte = c.fatti->parte_di(x.d.dove.file);
        // What has no place goes to the service description, or to the line one alone.
        const parte_descrizione dove = parte.value_or(con_servizio ? parte_descrizione::servizio : parte_descrizione::linea);
        if (dove != p) continue;
        pubblicata y;
        y.diagnostica = diagnostica_json(c, x, doc.testo, altro, p);
        if (!viste.insert(y.diagnostica.dump()).second) continue;
        y.inizio = x.d.dove.inizio;
        y.fine = std::max(x.d.dove.fine, x.d.dove.inizio + 1);
        for (const correzione& k : x.d.correzioni)
          if (c.fatti->parte_di(k.dove.file) == p) y.correzioni.push_back({{k.dove.inizio, k.dove.fine}, k.testo});
        tutte.push_back(std::move(y));
      }
    }
    json lista = json::array();
    for (const pubblicata& x : tutte) lista.push_back(x.diagnostica);
    pubblicate[uri] = std::move(tutte);
    notifica("textDocument/publishDiagnostics", {{"uri", uri}, {"version", doc.versione}, {"diagnostics", std::move(lista)}});
  }

  // ---------------------------------------------------------------- requests

  struct contesto {
    documento* doc;
    std::shared_ptr<const analisi> a;
    parte_descrizione p;
    const coppia* c;
  };

  // The document's facts, checked again first if its texts changed.
  contesto fatti_di(const json& p) {
    documento& d = documento_di(p);
    if (d.troppo_grande())
      throw errore_richiesta(richiesta_fallita, "the document is " + std::to_string(d.testo.byte().size()) + " bytes long, too large to be read as a description");
    const coppia scelta = principale(d);
    auto it = coppie.find({scelta.uri_linea, scelta.uri_servizio});
    if (it == coppie.end()) {
      riallinea();
      it = coppie.find({scelta.uri_linea, scelta.uri_servizio});
      if (it == coppie.end()) throw errore_richiesta(errore_interno, "no pair for the document");
    }
    if (it->second.sporca || !it->second.fatti) analizza_e_pubblica(it->second);
    if (!it->second.fatti) throw errore_richiesta(richiesta_fallita, "a description of the pair is too large to be read");
    return {&d, it->second.fatti, d.r == ruolo::linea ? parte_descrizione::linea : parte_descrizione::servizio, &it->second};
  }

  std::size_t offset_di(const documento& d, const json& posizione) {
    const posizione_lsp q{intero(posizione.at("line")), intero(posizione.at("character"))};
    const auto o = d.testo.offset(q);
    if (!o)
      throw errore_richiesta(parametri_invalidi, "position " + std::to_string(q.riga) + ":" + std::to_string(q.carattere) + " is outside the document (" +
                                                     std::to_string(d.testo.righe()) + " lines)");
    return *o;
  }

  const std::string& uri_parte(const contesto& x, parte_descrizione p) { return p == parte_descrizione::linea ? x.c->uri_linea : x.c->uri_servizio; }

  json hover_json(const json& p) {
    contesto x = fatti_di(p);
    auto h = hover(*x.a, x.p, offset_di(*x.doc, p.at("position")));
    if (!h) return nullptr;
    return {{"contents", {{"kind", "markdown"}, {"value", h->markdown}}}, {"range", intervallo_json(x.doc->testo, h->inizio, h->fine)}};
  }

  json completamento_json(const json& p) {
    contesto x = fatti_di(p);
    const completamento c = completa(*x.a, x.p, offset_di(*x.doc, p.at("position")));
    json voci = json::array();
    for (const proposta& k : c.proposte) {
      json v = {{"label", k.etichetta},
                {"kind", k.g == proposta::genere::chiave ? 14 : 9},
                {"filterText", k.etichetta},
                {"insertTextFormat", snippet ? 2 : 1},
                {"textEdit", {{"range", intervallo_json(x.doc->testo, c.inizio, c.fine)}, {"newText", snippet ? k.snippet : k.testo}}}};
      if (!k.dettaglio.empty()) v["detail"] = k.dettaglio;
      if (!k.documentazione.empty()) v["documentation"] = {{"kind", "markdown"}, {"value", k.documentazione}};
      voci.push_back(std::move(v));
    }
    return {{"isIncomplete", false}, {"items", std::move(voci)}};
  }

  json firma_json(const json& p) {
    contesto x = fatti_di(p);
    auto f = firma_a(*x.a, x.p, offset_di(*x.doc, p.at("position")));
    if (!f) return nullptr;
    json parametri = json::array();
    for (std::size_t i = 0; i < f->parametri.size(); ++i)
      parametri.push_back({{"label", {f->parametri[i].first, f->parametri[i].second}}, {"documentation", {{"kind", "markdown"}, {"value", f->riferimenti[i]}}}});
    return {{"signatures", {{{"label", f->etichetta}, {"documentation", f->documentazione}, {"parameters", std::move(parametri)}, {"activeParameter", f->attivo}}}},
            {"activeSignature", 0},
            {"activeParameter", f->attivo}};
  }

  json simbolo_json(const simbolo& s, const testo_documento& t) {
    static const std::map<simbolo::genere, int> generi = {{simbolo::genere::sezione, 3},  {simbolo::genere::stazione, 5},
                                                          {simbolo::genere::segnale, 24}, {simbolo::genere::rallentamento, 23},
                                                          {simbolo::genere::tabella, 14}, {simbolo::genere::cartello, 15}};
    json j = {{"name", s.nome.empty() ? "?" : s.nome},
              {"kind", generi.at(s.g)},
              {"range", intervallo_json(t, s.inizio, s.fine)},
              {"selectionRange", intervallo_json(t, s.nome_inizio, s.nome_fine)}};
    if (!s.dettaglio.empty()) j["detail"] = s.dettaglio;
    if (!s.figli.empty()) {
      j["children"] = json::array();
      for (const simbolo& f : s.figli) j["children"].push_back(simbolo_json(f, t));
    }
    return j;
  }

  json simboli_json(const json& p) {
    contesto x = fatti_di(p);
    json r = json::array();
    for (const simbolo& s : simboli(*x.a, x.p)) r.push_back(simbolo_json(s, x.doc->testo));
    return r;
  }

  json definizione_json(const json& p) {
    contesto x = fatti_di(p);
    json r = json::array();
    const testo_documento altro = testo_di(*x.c, x.p == parte_descrizione::linea ? parte_descrizione::servizio : parte_descrizione::linea);
    for (const luogo_parte& l : definizioni(*x.a, x.p, offset_di(*x.doc, p.at("position")))) {
      if (!x.a->presente(l.parte)) continue;
      r.push_back({{"uri", uri_parte(x, l.parte)}, {"range", intervallo_json(l.parte == x.p ? x.doc->testo : altro, l.inizio, l.fine)}});
    }
    return r;
  }

  json azioni_json(const json& p) {
    contesto x = fatti_di(p);
    const std::size_t da = offset_di(*x.doc, p.at("range").at("start")), a = offset_di(*x.doc, p.at("range").at("end"));
    json r = json::array();
    for (const pubblicata& d : pubblicate[x.doc->uri]) {
      if (d.correzioni.empty() || d.fine < da || d.inizio > a) continue;
      bool prima = true;
      for (const auto& [dove, testo] : d.correzioni) {
        const std::string nuovo = in_utf8(testo);
        const std::string vecchio = in_utf8(x.doc->testo.byte().substr(dove.first, dove.second - dove.first));
        json modifica = {{"range", intervallo_json(x.doc->testo, dove.first, dove.second)}, {"newText", nuovo}};
        r.push_back({{"title", "Replace \"" + vecchio + "\" with \"" + nuovo + "\""},
                     {"kind", "quickfix"},
                     {"diagnostics", {d.diagnostica}},
                     {"isPreferred", prima},
                     {"edit", {{"changes", {{x.doc->uri, {modifica}}}}}}});
        prima = false;
      }
    }
    return r;
  }

  json inlay_json(const json& p) {
    contesto x = fatti_di(p);
    json r = json::array();
    if (!inlay) return r;
    const std::size_t da = offset_di(*x.doc, p.at("range").at("start")), a = offset_di(*x.doc, p.at("range").at("end"));
    for (const suggerimento_inlay& s : suggerimenti_inlay(*x.a, x.p, da, a))
      r.push_back({{"position", posizione_json(x.doc->testo.posizione(s.offset))}, {"label", s.testo}, {"paddingLeft", true}});
    return r;
  }

  json formattazione_json(const json& p) {
    contesto x = fatti_di(p);
    json r = json::array();
    if (x.doc->testo.primo_senza_cp1252()) return r;
    const auto nuovo = formatta(*x.a, x.p);
    if (!nuovo) return r;
    const testo_documento dopo = testo_documento::da_cp1252(*nuovo);
    const testo_documento& prima = x.doc->testo;
    if (dopo.righe() != prima.righe()) return r;
    for (std::size_t i = 0; i < prima.righe(); ++i) {
      if (prima.riga(i) == dopo.riga(i)) continue;
      const std::size_t da = prima.inizio_riga(i);
      r.push_back({{"range", intervallo_json(prima, da, da + prima.riga(i).size())}, {"newText", in_utf8(dopo.riga(i))}});
    }
    return r;
  }

  json comando_json(const json& p) {
    if (p.at("command").get<std::string>() != comando_pagina) throw errore_richiesta(parametri_invalidi, "no command " + p.at("command").get<std::string>());
    const json argomenti = p.value("arguments", json::array());
    if (!argomenti.is_array() || argomenti.empty() || !argomenti[0].is_string())
      throw errore_richiesta(parametri_invalidi, std::string(comando_pagina) + " takes a document's URI");
    contesto x = fatti_di(json{{"textDocument", {{"uri", argomenti[0]}}}});
    std::string motivo;
    const auto pagina = pagina_coppia(x.a->coppia, motivo);
    if (!pagina) throw errore_richiesta(richiesta_fallita, motivo);
    return {{"title", in_utf8(x.a->coppia.scenario) + " - " + in_utf8(x.a->coppia.treno)}, {"html", *pagina}};
  }
};

servitore_lsp::servitore_lsp(std::function<void(const std::string&)> invia, opzioni o) : s_(std::make_unique<stato>()) {
  s_->invia = std::move(invia);
  s_->o = std::move(o);
}

servitore_lsp::servitore_lsp(std::function<void(const std::string&)> invia)
    : servitore_lsp(std::move(invia), opzioni{std::chrono::milliseconds(200), [] { return orologio::now(); }, disco_reale, elenco_reale}) {}

servitore_lsp::~servitore_lsp() = default;

void servitore_lsp::ricevi(const std::vector<std::string>& corpi) {
  // Cancellations first, so that they reach the requests read with them.
  for (const std::string& c : corpi) {
    if (c.find("$/cancelRequest") == std::string::npos) continue;
    try {
      const json m = json::parse(c);
      if (m.value("method", "") == "$/cancelRequest" && m.contains("params") && m["params"].contains("id")) s_->annullate.insert(m["params"]["id"].dump());
    } catch (const json::exception&) {
    }
  }
  for (const std::string& c : corpi) {
    if (s_->finito) return;
    s_->tratta(c);
  }
  // Cancellations of requests already answered are of no more use.
  s_->annullate.clear();
}

void servitore_lsp::guasto_cornice(const std::string& motivo) { s_->errore(nullptr, non_json, "framing: " + motivo); }

std::optional<servitore_lsp::istante> servitore_lsp::prossima_scadenza() const {
  std::optional<istante> r;
  for (const auto& [k, c] : s_->coppie)
    if (c.sporca && (!r || c.scadenza < *r)) r = c.scadenza;
  return r;
}

void servitore_lsp::esegui_scadenze() {
  const istante ora = s_->o.adesso();
  for (auto& [k, c] : s_->coppie)
    if (c.sporca && c.scadenza <= ora) s_->analizza_e_pubblica(c);
}

bool servitore_lsp::finito() const { return s_->finito; }
int servitore_lsp::esito() const { return s_->spento ? 0 : 1; }

}  // namespace sc
