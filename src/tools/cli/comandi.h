// The commands of scenario-compiler: each one is described by a table (its
// options, its help) and run by one function. The help pages, the option
// parsing and the man page all come from these tables.
#pragma once

#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace sc {

// Exit statuses, the same for every command.
inline constexpr int esito_ok = 0;
inline constexpr int esito_uso = 1;       // usage error, or an input or output that cannot be used
inline constexpr int esito_problemi = 2;  // problems found (errors, differences)
inline constexpr int esito_fermato = 3;   // the compile stopped with 1250 or 1251

// A usage error, or a file that cannot be read or written: the command ends
// with a one-line message and status 1.
struct errore_uso : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// An option whose long name does not begin with "--" takes its value
// attached, and may be given many times: "-W" as in -Wno-run-out.
struct opzione {
  const char* lunga;   // "--out"
  const char* corta;   // "-o", or nullptr
  const char* valore;  // "DIR", or nullptr for a flag
  const char* aiuto;   // what it does, one or more sentences
};

class argomenti;

struct comando {
  const char* nome;         // "compile"
  const char* riassunto;    // one line, for the list of commands
  const char* sinossi;      // arguments after the command's name
  const char* descrizione;  // paragraphs separated by blank lines
  std::vector<opzione> opzioni;
  int min_posizionali, max_posizionali;
  int (*esegui)(const argomenti&);
};

// The parsed arguments of one command.
class argomenti {
 public:
  std::vector<std::string> posizionali;

  bool ha(std::string_view lunga) const { return valori_.count(lunga) > 0; }
  std::optional<std::string> valore(std::string_view lunga) const {
    auto it = valori_.find(lunga);
    if (it == valori_.end()) return std::nullopt;
    return it->second;
  }
  std::string valore_o(std::string_view lunga, std::string predefinito) const {
    return valore(lunga).value_or(std::move(predefinito));
  }
  void imposta(std::string lunga, std::string v) { valori_[std::move(lunga)] = std::move(v); }
  // An option given many times, each value in order ("-W" options).
  void aggiungi(std::string lunga, std::string v) { ripetute_.emplace_back(std::move(lunga), std::move(v)); }
  std::vector<std::string> tutti(std::string_view lunga) const {
    std::vector<std::string> r;
    for (const auto& [nome, v] : ripetute_)
      if (nome == lunga) r.push_back(v);
    return r;
  }

 private:
  std::map<std::string, std::string, std::less<>> valori_;  // flags hold ""
  std::vector<std::pair<std::string, std::string>> ripetute_;
};

// Every command, in the order the help lists them.
const std::vector<const comando*>& comandi();

// The commands, each defined in its own file.
extern const comando comando_compile;
extern const comando comando_check;
extern const comando comando_ispeziona;
extern const comando comando_plot;
extern const comando comando_view;
extern const comando comando_decompile;
extern const comando comando_diff;
extern const comando comando_lsp;  // without the JSON library, it says there is no server

}  // namespace sc
