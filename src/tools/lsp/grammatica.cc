#include "tools/lsp/grammatica.h"

#include <nlohmann/json.hpp>

#include "model/voci.h"

namespace sc {

namespace {

using json = nlohmann::ordered_json;

// A key word in a regular expression: letters and digits as they are,
// anything else escaped.
std::string letterale(std::string_view parola) {
  std::string r;
  for (char c : parola) {
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != ' ') r += '\\';
    r += c;
  }
  return r;
}

std::string scope(const std::string& nome) { return nome + "." + std::string(scope_grammatica).substr(7); }

// A key field is the first field of a line: it triggers an entry when it
// holds each of the entry's words (in any letter case unless the entry is
// case-exact) and no "-", which disables it.
json chiave(const voce_formato& f) {
  std::string guardie;
  for (const char* p : f.parole) {
    if (!p) continue;
    const std::string parola = letterale(p);
    guardie += "(?=[^,\\r\\n]*" + (f.maiuscole ? parola : "(?i:" + parola + ")") + ")";
  }
  return {{"comment", f.chiave},
          {"match", "^[ \\t]*(" + guardie + "[^,\\r\\n\\-]*[^,\\r\\n\\- \\t])(?=[ \\t]*(?:,|$))"},
          {"captures", {{"1", {{"name", scope("keyword.control.entry")}}}}}};
}

}  // namespace

std::string grammatica_textmate() {
  json chiavi = json::array();
  for (const voce_formato& f : tabella_voci()) chiavi.push_back(chiave(f));
  json g = {
      {"$comment", "Written by scenario-compiler lsp --grammar from the entry table; do not edit."},
      {"name", "Scenario description"},
      {"scopeName", scope_grammatica},
      {"patterns", json::array({{{"include", "#sezione"}}, {{"include", "#disabilitato"}}, {{"include", "#chiave"}},
                                {{"include", "#testo"}}, {{"include", "#numero"}}})},
      {"repository",
       {{"sezione",
         {{"comment", "a section header: [generale], [curve] ..."},
          {"match", "^[ \\t]*(\\[[^\\]\\r\\n]*\\])"},
          {"captures", {{"1", {{"name", scope("entity.name.section")}}}}}}},
        {"disabilitato",
         {{"comment", "a key field holding \"-\" is skipped by the reader"},
          {"match", "^[ \\t]*([^,\\r\\n\"]*-[^,\\r\\n\"]*)(?=,|$)"},
          {"captures", {{"1", {{"name", scope("comment.line.disabled")}}}}}}},
        {"chiave", {{"patterns", chiavi}}},
        {"testo", {{"comment", "a text between double quotes"}, {"match", "\"[^\"\\r\\n]*\"?"}, {"name", scope("string.quoted.double")}}},
        {"numero",
         {{"match", "(?<![\\w.])[+-]?(?:\\d+(?:\\.\\d*)?|\\.\\d+)(?:[eE][+-]?\\d+)?(?![\\w.])"},
          {"name", scope("constant.numeric")}}}}},
  };
  return g.dump(2) + "\n";
}

}  // namespace sc
