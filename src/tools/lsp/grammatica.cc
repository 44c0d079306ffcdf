#include "tools/lsp/grammatica.h"

#include <cctype>
#include <utility>
#include <vector>

#include "model/voci.h"

namespace sc {

namespace {

// The grammar is a few fixed rules and one per entry: written here as text
// (the tests read it back with the JSON library), which keeps the library
// out of one more compile.
std::string stringa(std::string_view s) {
  std::string r = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') r += '\\';
    r += c;
  }
  return r + "\"";
}

std::string scope(const std::string& nome) { return nome + "." + std::string(scope_grammatica).substr(7); }

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

// A rule that gives the first capture of `match` a scope.
std::string regola(const std::string& rientro, const std::string& commento, const std::string& match, const std::string& nome) {
  std::string r = rientro + "{\n";
  if (!commento.empty()) r += rientro + "  \"comment\": " + stringa(commento) + ",\n";
  r += rientro + "  \"match\": " + stringa(match) + ",\n";
  r += rientro + "  \"captures\": {\n" + rientro + "    \"1\": {\n" + rientro + "      \"name\": " + stringa(nome) + "\n" + rientro + "    }\n" + rientro +
       "  }\n";
  return r + rientro + "}";
}

// A key field is the first field of a line: it triggers an entry when it
// holds each of the entry's words (in any letter case unless the entry is
// case-exact) and no "-", which disables it.
std::string chiave(const voce_formato& f) {
  std::string guardie;
  for (const char* p : f.parole) {
    if (!p) continue;
    const std::string parola = letterale(p);
    guardie += "(?=[^,\\r\\n]*" + (f.maiuscole ? parola : "(?i:" + parola + ")") + ")";
  }
  return regola("          ", f.chiave, "^[ \\t]*(" + guardie + "[^,\\r\\n\\-]*[^,\\r\\n\\- \\t])(?=[ \\t]*(?:,|$))", scope("keyword.control.entry"));
}

}  // namespace

std::string grammatica_textmate() {
  std::string chiavi;
  for (const voce_formato& f : tabella_voci()) chiavi += (chiavi.empty() ? "" : ",\n") + chiave(f);
  std::string g = "{\n";
  g += "  \"$comment\": \"Written by scenario-compiler lsp --grammar from the entry table; do not edit.\",\n";
  g += "  \"name\": \"Scenario description\",\n";
  g += "  \"scopeName\": " + stringa(scope_grammatica) + ",\n";
  g += "  \"patterns\": [\n";
  const char* incluse[] = {"#sezione", "#disabilitato", "#chiave", "#testo", "#numero"};
  for (std::size_t i = 0; i < std::size(incluse); ++i)
    g += std::string("    { \"include\": \"") + incluse[i] + "\" }" + (i + 1 < std::size(incluse) ? ",\n" : "\n");
  g += "  ],\n  \"repository\": {\n";
  g += "    \"sezione\": " +
       regola("    ", "a section header: [generale], [curve] ...", "^[ \\t]*(\\[[^\\]\\r\\n]*\\])", scope("entity.name.section")).substr(4) + ",\n";
  g += "    \"disabilitato\": " +
       regola("    ", "a key field holding \"-\" is skipped by the reader", "^[ \\t]*([^,\\r\\n\"]*-[^,\\r\\n\"]*)(?=,|$)", scope("comment.line.disabled"))
           .substr(4) +
       ",\n";
  g += "    \"chiave\": {\n      \"patterns\": [\n" + chiavi + "\n      ]\n    },\n";
  g += "    \"testo\": {\n      \"comment\": \"a text between double quotes\",\n      \"match\": " + stringa("\"[^\"\\r\\n]*\"?") +
       ",\n      \"name\": " + stringa(scope("string.quoted.double")) + "\n    },\n";
  g += "    \"numero\": {\n      \"match\": " + stringa("(?<![\\w.])[+-]?(?:\\d+(?:\\.\\d*)?|\\.\\d+)(?:[eE][+-]?\\d+)?(?![\\w.])") +
       ",\n      \"name\": " + stringa(scope("constant.numeric")) + "\n    }\n";
  return g + "  }\n}\n";
}

}  // namespace sc
