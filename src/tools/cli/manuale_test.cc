// The man page and the bash completion against the command tables, as the
// build writes them and as man and bash read them.
#include "tools/cli/manuale.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "test_support/file_prova.h"
#include "tools/cli/comandi.h"
#include "tools/cli/opzioni.h"

namespace sc {
namespace {

namespace fs = std::filesystem;

std::string nome_prova() { return ::testing::UnitTest::GetInstance()->current_test_info()->name(); }

// Runs a shell command; its standard output, and its status in `stato`.
std::string esegui(const std::string& comando, int& stato) {
  const fs::path uscita = fs::temp_directory_path() / ("scenario manuale " + nome_prova() + ".txt");
  stato = std::system((comando + " >'" + uscita.string() + "' 2>&1").c_str());
  stato = WIFEXITED(stato) ? WEXITSTATUS(stato) : -1;
  std::string r = test::leggi_file(uscita);
  fs::remove(uscita);
  return r;
}

std::string bold(std::string_view s) { return "\\fB" + testo_roff(s) + "\\fR"; }

TEST(Manuale, TheBuildWritesWhatTheTablesSay) {
  EXPECT_EQ(test::leggi_file(SC_MAN_PAGE), pagina_manuale(SC_PROJECT_VERSION));
  EXPECT_EQ(test::leggi_file(SC_BASH_COMPLETION), completamento_bash());
}

TEST(Manuale, EveryCommandAndOptionIsInBothFiles) {
  const std::string man = test::leggi_file(SC_MAN_PAGE), bash = test::leggi_file(SC_BASH_COMPLETION);
  ASSERT_FALSE(comandi().empty());
  for (const comando* c : comandi()) {
    SCOPED_TRACE(c->nome);
    EXPECT_NE(man.find(".SS " + testo_roff(c->nome) + "\n"), std::string::npos);
    EXPECT_NE(man.find(".SY \"scenario\\-compiler " + testo_roff(c->nome) + "\""), std::string::npos);
    EXPECT_NE(man.find(testo_roff(c->riassunto + 1)), std::string::npos);
    EXPECT_NE(bash.find("        " + std::string(c->nome) + ")\n"), std::string::npos);
    // The command's own list of options in the completion.
    const std::size_t ramo = bash.find("        " + std::string(c->nome) + ")\n");
    const std::size_t lista = bash.find("opzioni=\"", ramo);
    ASSERT_NE(lista, std::string::npos);
    const std::string parole = " " + bash.substr(lista + 9, bash.find('"', lista + 9) - lista - 9) + " ";
    for (const opzione& o : c->opzioni) {
      SCOPED_TRACE(o.lunga);
      EXPECT_NE(man.find(".TP\n" + bold(o.lunga)), std::string::npos);
      // An option with its value attached is offered in each of its forms.
      const bool attaccato = std::string_view(o.lunga).substr(0, 2) != "--";
      EXPECT_NE(parole.find(" " + std::string(o.lunga) + (attaccato ? "" : " ")), std::string::npos) << parole;
      if (o.corta) {
        EXPECT_NE(man.find(", " + bold(o.corta)), std::string::npos);
        EXPECT_NE(parole.find(" " + std::string(o.corta) + " "), std::string::npos) << parole;
      }
    }
  }
}

TEST(Manuale, EveryExitStatusIsAnItem) {
  const std::string man = pagina_manuale("1");
  const std::string sezione = man.substr(man.find(".SH EXIT STATUS"));
  for (const char* stato : {"0", "1", "2", "3"}) EXPECT_NE(sezione.find(".TP\n\\fB" + std::string(stato) + "\\fR\n"), std::string::npos) << stato;
  // A continuation line of the table stays with its status.
  EXPECT_NE(sezione.find("errors in the descriptions (compile still writes its files"), std::string::npos);
}

TEST(Manuale, RoffEscapes) {
  struct caso {
    const char* testo;
    const char* roff;
  } casi[] = {
      {"--out DIR", "\\-\\-out DIR"},
      {".hidden", "\\&.hidden"},
      {"a\n'quote", "a\n\\&'quote"},
      {"C:\\dir", "C:\\edir"},
      {"it's", "it's"},
  };
  for (const caso& c : casi) EXPECT_EQ(testo_roff(c.testo), c.roff) << c.testo;
}

TEST(Manuale, EveryRequestIsOneManKnows) {
  const std::set<std::string> note = {".\\\"", ".TH", ".SH", ".SS", ".SY", ".YS", ".OP", ".PP", ".TP", ".RS", ".RE", ".nf", ".fi", ".nh", ".ad", ".nr"};
  std::istringstream righe(pagina_manuale("1.0.0"));
  for (std::string riga; std::getline(righe, riga);) {
    if (riga.empty()) {
      ADD_FAILURE() << "a blank line is a blank line in the output too";
      continue;
    }
    if (riga[0] == '\'') ADD_FAILURE() << riga;
    if (riga[0] != '.') continue;
    EXPECT_EQ(note.count(riga.substr(0, riga.find(' '))), 1u) << riga;
  }
}

TEST(Manuale, GroffReadsItWithoutWarnings) {
  int stato = 0;
  esegui("command -v groff", stato);
  if (stato != 0) GTEST_SKIP() << "groff is not installed";
  const std::string avvisi = esegui("groff -man -Tutf8 -ww -z '" SC_MAN_PAGE "'", stato);
  EXPECT_EQ(stato, 0);
  EXPECT_EQ(avvisi, "");
  const std::string testo = esegui("groff -man -Tascii -P-cbou '" SC_MAN_PAGE "'", stato);
  for (const char* s : {"SYNOPSIS", "scenario-compiler compile LINE_FILE SERVICE_FILE [--out DIR]", "EXIT STATUS", "--no-geometry"})
    EXPECT_NE(testo.find(s), std::string::npos) << s << "\n" << testo;
}

// The completion as bash runs it: the words typed, then what it offers.
class Completamento : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("scenario completion " + nome_prova());
    fs::remove_all(dir);
    fs::create_directories(dir / "out dir");
    std::ofstream(dir / "Mia linea_linea.txt") << "x";
  }
  void TearDown() override { fs::remove_all(dir); }

  // The words after the program's name; the last one is being completed.
  std::set<std::string> offerte(const std::vector<std::string>& parole) {
    std::string script = "cd '" + dir.string() + "' && source '" SC_BASH_COMPLETION "' && COMP_WORDS=(scenario-compiler";
    for (const std::string& p : parole) script += " '" + p + "'";
    script += ") && COMP_CWORD=" + std::to_string(parole.size()) + " && _scenario_compiler && printf '%s\\n' \"${COMPREPLY[@]}\"";
    const fs::path file = dir.string() + ".sh";
    std::ofstream(file) << script << "\n";
    int stato = 0;
    std::istringstream righe(esegui("bash '" + file.string() + "'", stato));
    fs::remove(file);
    EXPECT_EQ(stato, 0);
    std::set<std::string> r;
    for (std::string riga; std::getline(righe, riga);)
      if (!riga.empty()) r.insert(riga);
    return r;
  }

  fs::path dir;
};

TEST_F(Completamento, OffersWhatTheTablesHold) {
  std::set<std::string> primi = {"help", "--dir", "--version", "--help"};
  for (const comando* c : comandi()) {
    primi.insert(c->nome);
    std::set<std::string> opzioni = {"--help"};
    for (const opzione& o : c->opzioni)
      if (std::string_view(o.lunga).substr(0, 2) == "--") opzioni.insert(o.lunga);
    EXPECT_EQ(offerte({c->nome, "--"}), opzioni) << c->nome;
  }
  EXPECT_EQ(offerte({""}), primi);
  EXPECT_EQ(offerte({"help", "ins"}), std::set<std::string>({"inspect"}));
}

TEST_F(Completamento, ValuesAreFilesDirectoriesOrNothing) {
  struct caso {
    std::vector<std::string> parole;
    std::set<std::string> attese;
  } casi[] = {
      {{"compile", "Mia"}, {"Mia linea_linea.txt"}},
      {{"compile", "a_linea.txt", "b-.txt", "--out", ""}, {"out dir"}},
      {{"compile", "a_linea.txt", "b-.txt", "--out", "="}, {"out dir"}},
      {{"compile", "a_linea.txt", "b-.txt", "--out", "=", "ou"}, {"out dir"}},
      {{"compile", "a_linea.txt", "b-.txt", "--train", ""}, {}},
      {{"compile", "--no-g"}, {"--no-geometry"}},
      {{"compile", "--no"}, {"--no-geometry", "--no-output-on-error", "--no-source"}},
      {{"check", "-Wno-unk"}, {"-Wno-unknown-key"}},
      {{"plot", ""}, {"out dir"}},
      {{"plot", "out dir", "-o", "M"}, {"Mia linea_linea.txt"}},
      {{"--dir", ""}, {"out dir"}},
      {{"nonsense", ""}, {}},
  };
  for (const caso& c : casi) EXPECT_EQ(offerte(c.parole), c.attese) << c.parole[0] << " ... " << c.parole.back();
}

}  // namespace
}  // namespace sc
