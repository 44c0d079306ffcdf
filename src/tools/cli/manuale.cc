#include "tools/cli/manuale.h"

#include <cctype>
#include <cstdio>
#include <sstream>
#include <vector>

#include "diagnostics/tabella.h"
#include "model/testo.h"
#include "tools/cli/comandi.h"
#include "tools/cli/opzioni.h"

namespace sc {

namespace {

bool ha_maiuscole(std::string_view s) {
  for (char c : s)
    if (std::isupper(static_cast<unsigned char>(c))) return true;
  return false;
}

// One word of a synopsis: options bold, placeholders italic, [--opt VALUE]
// as the optional-option macro.
std::string parola_sinossi(const std::string& w) {
  if (w.size() > 2 && w.front() == '[' && w.back() == ']') {
    const std::string dentro = w.substr(1, w.size() - 2);
    if (dentro[0] == '-' && dentro.find('[') == std::string::npos) {
      std::istringstream in(dentro);
      std::string nome, valore;
      in >> nome >> valore;
      return "\n.OP " + testo_roff(nome) + (valore.empty() ? "" : " " + testo_roff(valore)) + "\n";
    }
    return "[" + parola_sinossi(dentro) + "]";
  }
  if (w[0] == '-') return "\\fB" + testo_roff(w) + "\\fR";
  if (ha_maiuscole(w)) return "\\fI" + testo_roff(w) + "\\fR";
  return "\\fB" + testo_roff(w) + "\\fR";
}

// .SY/.YS block: the command's name, then its synopsis words.
std::string sinossi(std::string_view nome, std::string_view testo) {
  std::string r = ".SY \"" + testo_roff(nome) + "\"\n";
  std::string riga;
  for (const std::string& w : parole_sinossi(testo)) {
    std::string pezzo = parola_sinossi(w);
    if (pezzo[0] == '\n') {
      if (!riga.empty()) r += riga + "\n";
      r += pezzo.substr(1);
      riga.clear();
    } else {
      riga += (riga.empty() ? "" : " ") + pezzo;
    }
  }
  if (!riga.empty()) r += riga + "\n";
  return r + ".YS\n";
}

// Paragraphs separated by blank lines; one whose lines begin with blanks is
// an example and keeps its lines.
std::string paragrafi(std::string_view testo) {
  std::string r;
  while (!testo.empty()) {
    const std::size_t fine = testo.find("\n\n");
    const std::string_view p = testo.substr(0, fine);
    if (p.substr(0, 2) == "  ") {
      r += ".PP\n.RS 4\n.nf\n";
      std::istringstream righe{std::string(p)};
      for (std::string riga; std::getline(righe, riga);) r += testo_roff(riga.substr(riga.find_first_not_of(' '))) + "\n";
      r += ".fi\n.RE\n";
    } else {
      r += ".PP\n" + testo_roff(p) + "\n";
    }
    testo = fine == std::string_view::npos ? "" : testo.substr(fine + 2);
  }
  return r;
}

std::string forma_opzione(const opzione& o) {
  std::string r = "\\fB" + testo_roff(o.lunga) + "\\fR";
  // An option that takes its value attached: -WNAME.
  const bool attaccato = std::string_view(o.lunga).substr(0, 2) != "--";
  if (o.valore) r += std::string(attaccato ? "" : " ") + "\\fI" + testo_roff(o.valore) + "\\fR";
  if (o.corta) {
    r += ", \\fB" + testo_roff(o.corta) + "\\fR";
    if (o.valore) r += " \\fI" + testo_roff(o.valore) + "\\fR";
  }
  return r;
}

std::string voce_man(std::string_view testa, std::string_view testo) { return ".TP\n" + std::string(testa) + "\n" + testo_roff(testo) + "\n"; }

// The exit statuses, "    N  text" with continuation lines, as a list.
std::string stati_uscita() {
  std::string r;
  std::istringstream righe(testo_stato_uscita);
  std::string numero, testo;
  auto chiudi = [&] {
    if (!numero.empty()) r += voce_man("\\fB" + numero + "\\fR", testo);
  };
  for (std::string riga; std::getline(righe, riga);) {
    const std::size_t inizio = riga.find_first_not_of(' ');
    if (inizio == std::string::npos) continue;
    const std::size_t spazio = riga.find(' ', inizio);
    const std::string primo = riga.substr(inizio, spazio - inizio);
    if (primo.find_first_not_of("0123456789") == std::string::npos) {
      chiudi();
      numero = primo;
      testo = riga.substr(riga.find_first_not_of(' ', spazio));
    } else {
      testo += " " + riga.substr(inizio);
    }
  }
  chiudi();
  return r;
}

// A bash word list.
std::string elenco(const std::vector<std::string>& parole) {
  std::string r;
  for (const std::string& p : parole) r += (r.empty() ? "" : " ") + p;
  return r;
}

// What a placeholder names: a directory, a file or nothing to complete.
const char* genere(std::string_view segnaposto) {
  if (segnaposto.find("DIR") != std::string_view::npos) return "-d";
  if (segnaposto.find("FILE") != std::string_view::npos) return "-f";
  return "";
}

// Directories when every positional placeholder of the synopsis is one.
const char* genere_posizionali(const comando& c) {
  bool cartelle = false;
  for (const std::string& w : parole_sinossi(c.sinossi)) {
    if (w[0] == '[' || w[0] == '-') continue;
    if (std::string_view(genere(w)) != "-d") return "-f";
    cartelle = true;
  }
  return cartelle ? "-d" : "-f";
}

}  // namespace

std::string testo_roff(std::string_view testo) {
  std::string r;
  bool inizio_riga = true;
  for (std::size_t i = 0; i < testo.size(); ++i) {
    const char c = testo[i];
    if (inizio_riga && (c == '.' || c == '\'')) r += "\\&";
    inizio_riga = c == '\n';
    if (c == '\\') {
      r += "\\e";
    } else if (c == '-') {
      r += "\\-";
    } else if (static_cast<unsigned char>(c) >= 0x80) {
      // A character beyond ASCII, as troff names it: \[u2030] for "‰".
      auto [punto, n] = sequenza_utf8(testo, i);
      char nome[16];
      std::snprintf(nome, sizeof nome, "\\[u%04X]", static_cast<unsigned>(n > 0 ? punto : 0xFFFD));
      r += nome;
      i += n > 0 ? std::size_t(n) - 1 : 0;
    } else {
      r += c;
    }
  }
  return r;
}

// The entries of both descriptions, each with its fields, from the table
// that the readers use.
std::string formato_descrizioni() {
  std::string r = paragrafi(
      "Both descriptions are Windows-1252 text read field by field: a field ends at a comma or a line end, so lines "
      "carry no meaning of their own. Each entry is a key word followed by its values; a key field holding \"-\" is "
      "disabled. The line description (NAME_linea.txt) begins with \"[generale]\" and its general entries, up to the "
      "first header; its line items follow. The service description (NAME_TRAIN-.txt) holds its entries after "
      "\"[generale]\". \"scenario-compiler help ENTRY\" shows the same reference on the terminal.");
  for (const voce_formato& f : tabella_voci()) {
    r += ".SS " + testo_roff(f.chiave) + "\n" + testo_roff(f.descrizione) + ". Example:\n.RS 4\n.nf\n" + testo_roff(f.esempio) + "\n.fi\n.RE\n";
    for (std::size_t i = 0; i < f.campi.size(); ++i) {
      const campo_voce& c = f.campi[i];
      std::string testo = c.significato;
      if (c.unita[0]) testo += "; in " + std::string(c.unita);
      if (!c.controlli.empty()) testo += "; checks: " + c.controlli;
      if (c.vuoto_convenzionale) testo += "; left blank by convention";
      r += voce_man("\\fB" + std::to_string(i + 1) + "\\fR " + testo_roff(nome_campo(c)), testo);
    }
  }
  return r;
}

std::string pagina_manuale(std::string_view versione) {
  std::ostringstream r;
  r << ".\\\" Generated from the command tables of scenario-compiler; do not edit.\n";
  r << ".TH SCENARIO\\-COMPILER 1 \"\" \"scenario\\-compiler " << testo_roff(versione) << "\" \"User Commands\"\n";
  // Unhyphenated and ragged right: option names and paths stay whole.
  r << ".nr HY 0\n.nh\n.ad l\n";
  r << ".SH NAME\nscenario\\-compiler \\- compile train\\-driving scenarios for the simulator\n";
  r << ".SH SYNOPSIS\n" << sinossi("scenario-compiler", "[--dir DIR]");
  for (const comando* c : comandi()) r << sinossi("scenario-compiler " + std::string(c->nome), c->sinossi);
  r << sinossi("scenario-compiler help", "[COMMAND | ENTRY | format | cells | warnings]") << sinossi("scenario-compiler", "--version");
  r << ".SH DESCRIPTION\n" << paragrafi(descrizione_generale);
  r << ".PP\nThe commands below compile descriptions of one's own, and look at what a compile wrote.\n";
  r << ".SH OPTIONS\n"
    << voce_man("\\fB\\-\\-dir\\fR \\fIDIR\\fR", "Runs the built-in scenario in DIR instead of the program's directory.")
    << voce_man("\\fB\\-\\-version\\fR", "Prints the program's version.")
    << voce_man("\\fB\\-\\-help\\fR, \\fB\\-h\\fR", "Shows the overview of the commands; COMMAND --help or help COMMAND shows the page of one.");
  r << ".SH COMMANDS\n";
  for (const comando* c : comandi()) {
    r << ".SS " << c->nome << "\n" << sinossi("scenario-compiler " + std::string(c->nome), c->sinossi);
    std::string riassunto = c->riassunto;
    riassunto[0] = char(std::toupper(static_cast<unsigned char>(riassunto[0])));
    r << ".PP\n" << testo_roff(riassunto) << ".\n" << paragrafi(c->descrizione);
    r << ".PP\nOptions:\n.RS 4\n";
    for (const opzione& o : c->opzioni) r << voce_man(forma_opzione(o), o.aiuto);
    r << voce_man("\\fB\\-\\-help\\fR, \\fB\\-h\\fR", "Shows the page of this command.") << ".RE\n";
  }
  r << ".SH FORMAT\n" << formato_descrizioni();
  r << ".SH EXIT STATUS\n" << stati_uscita();
  r << ".SH EXAMPLES\n"
    << paragrafi(
           "The example scenario Valmora with the train Ardesia comes with the program, in the examples folder of its "
           "documentation (/usr/share/doc/scenario-compiler/examples on Debian). Work on a copy of it:\n\n"
           "  cp -r /usr/share/doc/scenario-compiler/examples valmora && cd valmora\n"
           "  scenario-compiler compile Valmora_linea.txt Valmora_Ardesia-.txt --out out\n"
           "  scenario-compiler inspect out/Valmora_Ardesia.dat\n"
           "  scenario-compiler plot out -o valmora.svg\n\n"
           "compile writes out/Valmora_linea.dat, out/Valmora_Ardesia.sim and out/Valmora_Ardesia.dat, inspect lists "
           "the track one cell per line, and plot draws the line, its profile and its objects into "
           "valmora.svg.\n\n"
           "Without arguments the program runs its built-in scenario in its own directory; --dir runs it in "
           "another one:\n\n"
           "  mkdir builtin && scenario-compiler --dir builtin");
  r << ".SH NOTES\n"
    << paragrafi(
           "Descriptions are 8-bit text in Windows-1252 with CR LF line ends, as the simulator reads them; the "
           "examples folder's README explains every kind of entry.");
  return r.str();
}

std::string completamento_bash() {
  std::vector<std::string> nomi;
  for (const comando* c : comandi()) nomi.emplace_back(c->nome);
  std::ostringstream r;
  r << "# bash completion for scenario-compiler\n"
       "# Generated from the command tables of scenario-compiler; do not edit.\n\n"
       "_scenario_compiler_file()\n"
       "{\n"
       "    compopt -o filenames 2>/dev/null\n"
       "    mapfile -t COMPREPLY < <(compgen \"$1\" -- \"$cur\")\n"
       "}\n\n"
       "_scenario_compiler()\n"
       "{\n"
       "    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]} opzioni\n"
       "    COMPREPLY=()\n"
       "    # --opt=value arrives as three words: --opt, = and the value.\n"
       "    if [[ $cur == = ]]; then\n"
       "        cur=\n"
       "    elif [[ $prev == = ]] && ((COMP_CWORD > 2)); then\n"
       "        prev=${COMP_WORDS[COMP_CWORD-2]}\n"
       "    fi\n"
       "    if ((COMP_CWORD == 1)); then\n"
       "        mapfile -t COMPREPLY < <(compgen -W \""
    << elenco(nomi)
    << " help --dir --version --help\" -- \"$cur\")\n"
       "        return\n"
       "    fi\n"
       "    case ${COMP_WORDS[1]} in\n"
       "        --dir)\n"
       "            [[ $prev == --dir ]] && _scenario_compiler_file -d\n"
       "            return ;;\n"
       "        help)\n"
       "            ((COMP_CWORD == 2)) && mapfile -t COMPREPLY < <(compgen -W \""
    << elenco(nomi)
    << "\" -- \"$cur\")\n"
       "            return ;;\n";
  for (const comando* c : comandi()) {
    std::vector<std::string> opzioni;
    std::ostringstream valori;
    for (const opzione& o : c->opzioni) {
      if (std::string_view(o.lunga) == "-W") {
        // Every form of every warning's option.
        for (std::string_view n : nomi_avvisi())
          for (const char* forma : {"-W", "-Wno-", "-Werror="}) opzioni.push_back(forma + std::string(n));
        continue;
      }
      opzioni.emplace_back(o.lunga);
      if (o.corta) opzioni.emplace_back(o.corta);
      if (!o.valore) continue;
      valori << "                " << o.lunga << (o.corta ? std::string("|") + o.corta : "") << ") ";
      const std::string g = genere(o.valore);
      if (!g.empty()) valori << "_scenario_compiler_file " << g << "; ";
      valori << "return ;;\n";
    }
    opzioni.emplace_back("--help");
    r << "        " << c->nome << ")\n";
    if (!valori.str().empty()) r << "            case $prev in\n" << valori.str() << "            esac\n";
    r << "            opzioni=\"" << elenco(opzioni) << "\"\n"
      << "            [[ $cur == -* ]] || { _scenario_compiler_file " << genere_posizionali(*c) << "; return; } ;;\n";
  }
  r << "        *)\n"
       "            return ;;\n"
       "    esac\n"
       "    mapfile -t COMPREPLY < <(compgen -W \"$opzioni\" -- \"$cur\")\n"
       "}\n\n"
       "complete -F _scenario_compiler scenario-compiler\n";
  return r.str();
}

}  // namespace sc
