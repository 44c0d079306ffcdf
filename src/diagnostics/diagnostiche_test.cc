// Realistic author mistakes, one group per kind of problem: each must be
// reported at its file, line and column, with its severity, its code and
// the words that let the author act on it. A clean scenario reports nothing.
#include "tools/cli/resa_diagnostiche.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "compile/compila.h"
#include "model/disk.h"
#include "model/nomi_file.h"
#include "diagnostics/osservatore_diagnostiche.h"
#include "test_support/descrizioni.h"

namespace sc {
namespace {

using test::righe;

// The two descriptions compiled in memory, as check (recovery) or compile
// (exact) runs them, the diagnostics printed without source lines.
struct esito {
  std::vector<std::string> righe;  // every printed line but the summary
  std::string sommario;
  int errori = 0, avvisi = 0;
  std::int32_t codice = 0;
};

esito compila(const std::string& linea, const std::string& servizio, bool recupera = true, opzioni_resa o = {}) {
  o.sorgente = false;
  resa_diagnostiche resa(o);
  modello m;
  m.nome_scenario = "L";
  m.nome_treno = "T";
  resa.file(nome_linea_txt(m), "L_linea.txt", linea);
  resa.file(nome_treno_txt(m), "L_T-.txt", servizio);
  MemoryDisk disk;
  disk.replace(nome_linea_txt(m), linea);
  disk.replace(nome_treno_txt(m), servizio);
  osservatore_diagnostiche diag(resa, m);
  compila({"L", "T", 1, recupera}, m, disk, &diag);
  std::ostringstream out;
  resa.stampa(out);
  esito e;
  std::istringstream in(out.str());
  for (std::string riga; std::getline(in, riga);) e.righe.push_back(riga);
  if (!e.righe.empty() && (e.righe.back().find(" error") != std::string::npos || e.righe.back().find(" warning") != std::string::npos) &&
      e.righe.back().find(':') == std::string::npos) {
    e.sommario = e.righe.back();
    e.righe.pop_back();
  }
  e.errori = resa.errori();
  e.avvisi = resa.avvisi();
  e.codice = m.codice_errore;
  return e;
}

std::string linea_3000(const std::string& voci, const std::string& generali = "") {
  return "[generale]\r\nlunghezza percorso, 3000\r\n" + generali + "[curve]\r\n" + voci + "[fine]\r\n";
}
std::string servizio(const std::string& voci) { return "[generale]\r\n" + voci + "[fine]\r\n"; }

// A line printed for a problem: it begins with the place and severity and
// holds every key word.
struct atteso {
  std::string inizio;                // "L_T-.txt:3:1: warning: "
  std::vector<std::string> parole;   // words the message must hold
};

struct caso {
  const char* nome;
  std::string linea, servizio;
  std::vector<atteso> righe;  // in order; notes included
};

void verifica(const std::vector<caso>& casi) {
  for (const caso& c : casi) {
    SCOPED_TRACE(c.nome);
    const esito e = compila(c.linea, c.servizio);
    std::string tutto;
    for (const std::string& r : e.righe) tutto += r + "\n";
    if (e.righe.size() != c.righe.size()) {
      ADD_FAILURE() << e.righe.size() << " lines, " << c.righe.size() << " expected:\n" << tutto;
      continue;
    }
    for (std::size_t i = 0; i < c.righe.size(); ++i) {
      EXPECT_EQ(e.righe[i].rfind(c.righe[i].inizio, 0), 0u) << e.righe[i];
      for (const std::string& p : c.righe[i].parole) EXPECT_NE(e.righe[i].find(p), std::string::npos) << "\"" << p << "\" in " << e.righe[i];
    }
  }
}

TEST(Diagnostiche, KeyFieldsThatMatchNothing) {
  verifica({
      {"typo of a line item", linea_3000("pendensa, 500, 10\r\n"), servizio(""),
       {{"L_linea.txt:4:1: warning: ", {"\"pendensa\"", "did you mean \"pendenza\"", "dropped"}}}},
      {"typo of a station", linea_3000(""), servizio("stazone, 2500, 23, 200, 0,0,0, 0,0,0, 4,1,1, 1, 8,15,0, CIMALTA\r\n"),
       {{"L_T-.txt:2:1: warning: ", {"\"stazone\"", "did you mean \"stazione\""}}}},
      {"typo of a signal", linea_3000(""), servizio("segnal, 700, 1,3,1,1,0,0,0,0,0,0\r\n"),
       {{"L_T-.txt:2:1: warning: ", {"\"segnal\"", "did you mean \"segnale\""}}}},
      {"case-exact key word", linea_3000("", "Sfondo tre, 1\r\n"), servizio(""),
       {{"L_linea.txt:3:1: warning: ", {"\"Sfondo tre\"", "case-exact", "write \"sfondo tre\""}}}},
      {"comment line", linea_3000("# le curve vengono dopo\r\n"), servizio(""),
       {{"L_linea.txt:4:1: warning: ", {"no comments", "\"# le curve vengono dopo\""}}}},
      {"comment holding a key word", linea_3000(""), servizio("# ogni stazione ha 17 campi\r\n"),
       // Its "values" are the next fields: the end of the file cuts them off.
       {{"L_T-.txt:2:1: warning: ", {"\"# ogni stazione ha 17 campi\"", "\"stazione\" entry", "contains \"stazione\""}},
        {"L_T-.txt:2:1: warning: ", {"ends its line without its position", "\"[fine]\" on line 3", "read in its place as 0"}},
        {"L_T-.txt:3:1: note: ", {"\"[fine]\""}},
        {"L_T-.txt:2:1: error: ", {"\"stazione\" needs 17 values", "ends after", "[25]"}}}},
      {"comment swallowing the next entry", linea_3000(""), servizio("# qui la velocita\r\nvelocita, 0, 90\r\nnumero vetture, 4\r\n"),
       {{"L_T-.txt:2:1: warning: ", {"\"velocita\" entry", "contains \"velocit\""}},
        {"L_T-.txt:2:1: warning: ", {"without its position", "the \"velocita\" entry written there is lost", "[-Wrun-on]"}},
        {"L_T-.txt:3:1: note: ", {"\"velocita\""}}}},
      {"general entry among the line items", linea_3000("sfondo uno, 2\r\n"), servizio(""),
       {{"L_linea.txt:4:1: warning: ", {"general entry", "ended at \"[curve]\" (line 3)"}}}},
      {"line item in the general section", linea_3000("", "pendenza, 0, 4\r\n"), servizio(""),
       {{"L_linea.txt:3:1: warning: ", {"line item", "first header"}}}},
      {"service entry in the line description", linea_3000("segnale, 700, 1,3,1,1,0,0,0,0,0,0\r\n"), servizio(""),
       {{"L_linea.txt:4:1: warning: ", {"\"segnale\"", "belongs in the service description"}}}},
      {"extra field after an entry", linea_3000("pendenza, 500, 10, ripida\r\n"), servizio(""),
       {{"L_linea.txt:4:20: warning: ", {"extra field \"ripida\"", "2 values", "\"pendenza\""}}}},
      {"several entries from one field", linea_3000(""), servizio("segnale abbattimento, 1000, 1,1,1,1,0,0,0,0,0,0, 2000, 5\r\n"),
       {{"L_T-.txt:2:1: warning: ", {"triggers both", "\"segnale\"", "\"abbattimento\""}}}},
  });
}

TEST(Diagnostiche, ValuesThatAreNotWhatTheyShouldBe) {
  verifica({
      {"station missing a number", linea_3000(""),
       servizio("stazione, 2500, 23, 200, 0,0,0, 0,0,0, 4,1,1, 20, 8,20, BRUNEA\r\n[rallentamenti]\r\n"),
       {{"L_T-.txt:2:1: warning: ", {"has 16 values on its line but needs 17", "name is taken from line 3"}},
        {"L_T-.txt:3:1: note: ", {"\"[rallentamenti]\""}},
        {"L_T-.txt:2:57: warning: ", {"seconds", "\"BRUNEA\" is not a number"}}}},
      {"signal missing a value", linea_3000(""), servizio("segnale, 700, 1, 3, 1, 1, 0, 0, 0,0,0\r\n[codici]\r\n"),
       {{"L_T-.txt:2:1: warning: ", {"ends its line without its time (tempo)", "\"[codici]\" on line 3", "read in its place as 0"}},
        {"L_T-.txt:3:1: note: ", {"\"[codici]\""}}}},
      {"aspect wrapping 16 bits", linea_3000(""), servizio("segnale, 2000, 1, 4000, 1,1,0,0,0,0,0,0\r\n"),
       {{"L_T-.txt:2:1: warning: ", {"signal at 2000 m", "s1 x 10 + d1 comes to 40000", "16 bits", "stores -25536"}}}},
      {"abatement value wrapping 16 bits", linea_3000(""), servizio("abbattimento, 1000, 70000\r\n"),
       {{"L_T-.txt:2:21: warning: ", {"abatement mark at 1000 m: value 70000 is outside -32768 to 32767", "becomes 4464"}}}},
      {"clock that is no time of day", linea_3000(""), servizio("orologio, 25, 75, 0\r\n"),
       {{"L_T-.txt:2:11: warning: ", {"the clock at the start 25:75:00 is not a time of day", "26:15:00"}}}},
      {"timetable time that is no time of day", linea_3000(""), servizio("stazione, 1000, 23, 200, 0,0,0, 0,0,0, 4,1,1, 1, 7,99,0, X\r\n"),
       {{"L_T-.txt:2:50: warning: ", {"station \"X\"'s timetable time 7:99:00", "08:39:00"}}}},
      {"gradient wrapping 8 bits", linea_3000("pendenza, 0, -150\r\n"), servizio(""),
       {{"L_linea.txt:4:14: warning: ", {"gradient -150 ‰ is outside -100 to 155 ‰", "becomes 106 ‰", "[-Wvalue-range]"}}}},
      {"empty field without a convention", linea_3000(""), servizio("stazione, 2500, 23, , 0,0,0, 0,0,0, 4,1,1, 20, 8,20,0, BRUNEA\r\n"),
       {{"L_T-.txt:2:21: warning: ", {"length of the \"stazione\" entry is empty", "read as 0", "[-Wempty-field]"}}}},
      {"the speed board's conventional blanks", linea_3000("indicatori_vmax, 700, 70, 70, 70, 0, , , , 0\r\n"), servizio(""), {}},
      {"a speed missing at the end of its line", linea_3000(""), servizio("velocita, 0, 80\r\nvelocita, 2000,\r\nvelocita, 2500, 50\r\n"),
       {{"L_T-.txt:3:1: warning: ", {"without its speed limit", "\"velocita\" on line 4", "the speed limit is 0 km/h from 2000 m", "is lost"}},
        {"L_T-.txt:4:1: note: ", {"\"velocita\""}}}},
      {"a decimal in a whole-number field", linea_3000("pendenza, 800, 10.5\r\n"), servizio(""),
       {{"L_linea.txt:4:16: warning: ", {"gradient of the \"pendenza\" entry: 10.5 is not a whole number; it is read as 10", "[-Wdecimal]"}}}},
      {"a station field the format sets to 0", linea_3000(""), servizio("stazione, 2500, 23, 200, 0,1,0, 0,0,0, 4,1,1, 20, 8,20,0, BRUNEA\r\n"),
       {{"L_T-.txt:2:28: warning: ", {"station \"BRUNEA\": its field 5 is 1", "sets to 0", "600 m or more", "[-Wignored-value]"}}}},
  });
}

TEST(Diagnostiche, DisabledKeyFields) {
  verifica({
      {"dash inside the key word", linea_3000("cartello-indicatore, 900, (GALLERIA)\r\n"), servizio(""),
       {{"L_linea.txt:4:1: warning: ", {"\"-\"", "disables it", "write \"cartello_indicatore\""}}}},
      {"leading dash", linea_3000("-pendenza, 500, 10\r\n"), servizio(""), {{"L_linea.txt:4:1: note: ", {"disabled", "\"-pendenza\""}}}},
      {"dashes that are no key word", linea_3000("----, --, pendenza, 0, 3\r\n"), servizio(""), {}},
  });
}

TEST(Diagnostiche, CurvesAndOrder) {
  verifica({
      {"side letter", linea_3000("curvaz3, 1200, 200\r\n"), servizio(""),
       {{"L_linea.txt:4:1: warning: ", {"curve side \"z\"", "neither d", "turns right"}}}},
      {"an s beside the d", linea_3000("curvad3 sinistra, 1200, 200\r\n"), servizio(""), {{"L_linea.txt:4:1: warning: ", {"turns left", "side letter is d"}}}},
      {"several class digits", linea_3000("curvad51, 1200, 200\r\n"), servizio(""), {{"L_linea.txt:4:1: warning: ", {"several class digits", "lowest"}}}},
      {"overlapping curves", linea_3000("curvad5, 500, 300\r\ncurvas4, 700, 300\r\n"), servizio(""),
       {{"L_linea.txt:5:10: warning: ", {"curve at 700 m", "before metre 800", "only metres 801 to 1000"}}}},
      {"curve that adds nothing", linea_3000("curvad5, 500, 300\r\ncurvas4, 500, 200\r\n"), servizio(""),
       {{"L_linea.txt:5:10: warning: ", {"adds nothing"}}}},
      {"curve past the track", linea_3000("curvad1, 9000, 2000\r\n"), servizio(""),
       {{"L_linea.txt:4:10: warning: ", {"beyond the line's end at 3000 m"}},
        {"L_linea.txt:4:16: warning: ", {"ends at metre 11000", "last metre 10000"}}}},
      {"gradients out of order", linea_3000("pendenza, 1500, -8\r\npendenza, 1000, 4\r\n"), servizio(""),
       {{"L_linea.txt:5:11: warning: ", {"gradient change at 1000 m", "previous change at 1500 m", "1 cell", "1500-1549"}}}},
      {"speed limits out of order", linea_3000(""), servizio("velocita, 0, 80\r\nvelocita, 1000, 60\r\nvelocita, 500, 40\r\n"),
       {{"L_T-.txt:4:11: warning: ", {"speed limit at 500 m", "previous change at 1000 m"}}}},
      {"adhesion out of order", linea_3000(""), servizio("aderenza, 2000, 80\r\naderenza, 900, 60\r\n"),
       {{"L_T-.txt:3:11: warning: ", {"adhesion at 900 m", "previous change at 2000 m"}}}},
      {"item in the run-out", linea_3000(""), servizio("segnale, 8000, 1,3,1,1,0,0,0,0,0,0\r\n"),
       {{"L_T-.txt:2:10: warning: ", {"signal at 8000 m", "beyond the line's end at 3000 m", "run-out"}}}},
      {"restriction ending in the run-out", linea_3000(""), servizio("rallentamento, 2900, 30, 400, 0, 0, 0\r\n"),
       {{"L_T-.txt:2:16: warning: ", {"end of the restriction at 2900 m, at 3300 m"}}}},
  });
}

TEST(Diagnostiche, NotesOnIntendedButSurprisingRules) {
  verifica({
      {"mountain close to the previous", linea_3000("montagna, 500, 1000, 1\r\nmontagna, 1100, 1500, 2\r\n"), servizio(""),
       {{"L_linea.txt:5:11: note: ", {"100 m after", "type 3", "given type 2"}}}},
      {"signal time raised", linea_3000(""), servizio("segnale, 1000, 2,3,1,1,0,0,0,0,0,50\r\n"),
       {{"L_T-.txt:2:34: note: ", {"time of 50 becomes 101"}}}},
      {"signal time not kept", linea_3000(""), servizio("segnale, 1000, 1,3,1,1,0,0,0,0,0,240\r\n"),
       {{"L_T-.txt:2:34: note: ", {"its time 240 is not stored", "only when sx is 2"}}}},
      {"restriction without a warning board", linea_3000(""), servizio("rallentamento, 1500, 30, 200, 0, 1, 0\r\n"),
       {{"L_T-.txt:2:34: warning: ", {"asks for the warning sequence", "1500 m or less"}}}},
      {"a signal's marks over a station's", linea_3000(""),
       servizio("stazione, 1000, 23, 200, 0,0,0, 0,0,0, 4,1,1, 1, 8,15,0, MEZZO\r\nsegnale, 1200, 1,3,1,1,0,0,0,0,0,0\r\n"),
       {{"L_T-.txt:3:1: note: ", {"signal at 1200 m writes its approach marks over those of another object", "84 -> 34"}}}},
      {"a station's stop cell over a signal", linea_3000(""),
       servizio("segnale, 1000, 1,3,1,1,0,0,0,0,0,0\r\nstazione, 1000, 23, 200, 0,0,0, 0,0,0, 4,1,1, 1, 8,15,0, MEZZO\r\n"),
       {{"L_T-.txt:3:1: warning: ", {"stop cell of station \"MEZZO\" is cell 21", "replaces the signal at 1000 m", "[-Wstop-cell]"}},
        {"L_T-.txt:2:1: note: ", {"the signal at 1000 m is placed here"}},
        {"L_T-.txt:3:1: note: ", {"station \"MEZZO\" writes its approach marks over those of another object", "19 (31 -> 82)"}}}},
  });
}

TEST(Diagnostiche, EveryCodeAtItsEntry) {
  const std::string segnale = "segnale, 1000, 1,3,1,1,0,0,0,0,0,0\r\n";
  verifica({
      {"1", "[generale]\r\nlunghezza percorso, 1000001\r\n[curve]\r\n[fine]\r\n", servizio(""),
       {{"L_linea.txt:2:21: error: ", {"1000001", "above the largest", "[1]"}}}},
      {"a line of no length", "[generale]\r\nlunghezza percorso, 0\r\n[curve]\r\n[fine]\r\n", servizio("segnale, 1000, 1,3,1,1,0,0,0,0,0,0\r\n"),
       {{"L_linea.txt:2:21: error: ", {"line length 0 m leaves no line to drive"}}}},
      {"2", linea_3000("", "progressiva chilometrica uno, 1025, 0, 0\r\n"), servizio(""),
       {{"L_linea.txt:3:31: error: ", {"first value 1025", "use 1000 or 1050", "[2]"}}}},
      {"3", linea_3000("", "ripetizione segnali 4 codici, 75, 0\r\n"), servizio(""), {{"L_linea.txt:3:31: error: ", {"first", "75", "use 50 or 100", "[3]"}}}},
      {"4", linea_3000("", "ripetizione segnali 9 codici, 100, 120\r\n"), servizio(""), {{"L_linea.txt:3:36: error: ", {"second", "use 100 or 150", "[4]"}}}},
      {"5", linea_3000("", "ripetizione segnali, 100, 200\r\n"), servizio(""), {{"L_linea.txt:3:1: error: ", {"neither 4 nor 9", "[5]"}}}},
      {"6 with its note", linea_3000("indicatori_vmax, 2800, 80,80,80,0,,,,0\r\ncartello_indicatore, 2810, (GALLERIA)\r\n"), servizio(""),
       {{"L_linea.txt:5:22: error: ", {"sign board \"(GALLERIA)\" at 2810 m", "cell 57", "the speed board at 2800 m", "[6]"}},
        {"L_linea.txt:4:1: note: ", {"the speed board at 2800 m is placed here", "cell 57"}}}},
      {"7", linea_3000(""), servizio("segnale, 950, 1,0,0,0,0,0,0,0,0,0\r\nabbattimento, 1000, 5\r\n"),
       {{"L_T-.txt:3:15: error: ", {"abatement mark at 1000 m", "the signal at 950 m", "[7]"}}, {"L_T-.txt:2:1: note: ", {"signal at 950 m"}}}},
      {"8", linea_3000(""), servizio("stazione, 2510, 23, 200, 0,0,0, 0,0,0, 4,1,1, 1, 8,15,0, CIMALTA\r\n"),
       {{"L_T-.txt:2:11: error: ", {"station \"CIMALTA\"", "2510", "use 2500 or 2550", "[8]"}}}},
      {"9", linea_3000(""), servizio("stazione, 2500, 23, 250, 0,0,0, 0,0,0, 4,1,1, 1, 8,15,0, CIMALTA\r\n"),
       {{"L_T-.txt:2:21: error: ", {"length 250 m", "use 200 or 300", "[9]"}}}},
      {"15", linea_3000(""), servizio("segnale, 10000, 1,3,1,1,0,0,0,0,0,0\r\n"),
       {{"L_T-.txt:2:10: error: ", {"signal at 10000 m", "outside the track", "up to 9900 m", "[15]"}}}},
      {"16", linea_3000(""), servizio(segnale + "segnale, 1010, 1,3,1,1,0,0,0,0,0,0\r\n"),
       {{"L_T-.txt:3:10: error: ", {"signal at 1010 m", "the signal at 1000 m", "[16]"}}, {"L_T-.txt:2:1: note: ", {"placed here"}}}},
      {"17", linea_3000(""), servizio("segnale, 800, 1,3,1,1,0,0,0,0,0,0\r\nrallentamento, 2000, 30, 300, 0, 0, 0\r\n"),
       {{"L_T-.txt:3:16: error: ", {"warning board", "at 800 m", "the signal at 800 m", "[17]"}}, {"L_T-.txt:2:1: note: ", {}}}},
      {"18", linea_3000(""), servizio("segnale, 2000, 1,3,1,1,0,0,0,0,0,0\r\nrallentamento, 2000, 30, 300, 0, 0, 0\r\n"),
       {{"L_T-.txt:3:16: error: ", {"restriction at 2000 m", "[18]"}}, {"L_T-.txt:2:1: note: ", {}}}},
      {"19", linea_3000(""), servizio("segnale, 2300, 1,3,1,1,0,0,0,0,0,0\r\nrallentamento, 2000, 30, 300, 0, 0, 0\r\n"),
       {{"L_T-.txt:3:26: error: ", {"its end at 2300 m", "[19]"}}, {"L_T-.txt:2:1: note: ", {}}}},
      {"20", linea_3000(""), servizio("segnale, 700, 1,3,1,1,0,0,0,0,0,0\r\nrallentamento, 2000, 30, 300, 0, 1, 0\r\n"),
       {{"L_T-.txt:3:16: error: ", {"4 cells before its warning board (metres 650-849)", "written at 576-775 m land in them", "[20]"}},
        {"L_T-.txt:2:1: note: ", {}}}},
      {"102 with the marker misspelt", "[generali]\r\nlunghezza percorso, 3000\r\n[fine]\r\n", servizio(""),
       {{"L_linea.txt:1:1: error: ", {"did you mean \"[generale]\" here instead of \"[generali]\"", "[102]"}}}},
      {"21", linea_3000("cartello_indicatore, 2800, A\r\nindicatori_vmax, 2800, 80,80,80,0,,,,0\r\n"), servizio(""),
       {{"L_linea.txt:5:18: error: ", {"speed board at 2800 m", "sign board \"A\"", "[21]"}}, {"L_linea.txt:4:1: note: ", {}}}},
      {"22 with the previous station", linea_3000(""),
       servizio("stazione, 500, 23, 200, 0,0,0, 0,0,0, 4,1,1, 1, 8,15,0, A\r\nstazione, 800, 23, 200, 0,0,0, 0,0,0, 4,1,1, 1, 8,20,0, B\r\n"),
       {{"L_T-.txt:3:11: error: ", {"station \"B\" starts at 700 m", "100 m after the end of station \"A\" at 600 m", "1050 m or later", "[22]"}},
        {"L_T-.txt:2:1: note: ", {"station \"A\" ends at 600 m"}}}},
      {"22 out of order", linea_3000(""),
       servizio("stazione, 2000, 23, 200, 0,0,0, 0,0,0, 4,1,1, 1, 8,15,0, A\r\nstazione, 1000, 23, 200, 0,0,0, 0,0,0, 4,1,1, 1, 8,20,0, B\r\n"),
       {{"L_T-.txt:3:11: error: ", {"station \"B\" starts at 900 m, before the end of station \"A\" at 2100 m", "write it before that station", "2550 m or later"}},
        {"L_T-.txt:2:1: note: ", {}}}},
      {"22 with no room left on the line", linea_3000(""),
       servizio("stazione, 2500, 23, 200, 0,0,0, 0,0,0, 4,1,1, 1, 8,15,0, A\r\nstazione, 2700, 23, 200, 0,0,0, 0,0,0, 4,1,1, 1, 8,20,0, B\r\n"),
       {{"L_T-.txt:3:11: error: ", {"no room for it before the line's end, which takes stations up to 3000 m"}}, {"L_T-.txt:2:1: note: ", {}}}},
      {"24", linea_3000(""), servizio("stazione, 50, 23, 100, 0,0,0, 0,0,0, 4,1,1, 1, 8,15,0, E\r\n"),
       {{"L_T-.txt:2:19: error: ", {"ends at 100 m", "[24]"}}}},
      {"103 without a class", linea_3000("curva, 100, 50\r\n"), servizio(""), {{"L_linea.txt:4:1: error: ", {"no class digit", "[103]"}}}},
      {"103 past metre 1000000", linea_3000("curvad5, 100, 1000000\r\n"), servizio(""),
       {{"L_linea.txt:4:15: error: ", {"1000100", "past metre 1000000", "[103]"}}}},
      {"1250 names the entry", linea_3000(""), servizio("abbattimento, 50, 1\r\n"),
       {{"L_T-.txt:2:1: error: ", {"the abatement mark at 50 m stands in cell 1", "format marker", "[1250]"}}}},
      {"1251 names the entry", linea_3000(""), servizio("segnale, 10, 1,0,1,1,0,0,0,0,0,0\r\n"),
       {{"L_T-.txt:2:1: error: ", {"the signal at 10 m stands in cell 1", "competition code", "[1251]"}}}},
  });
}

TEST(Diagnostiche, ReadingFailuresSayWhatFailed) {
  verifica({
      {"speed past one byte at its own entry", linea_3000(""), servizio("velocita, 0, 80\r\nvelocita, 2000, 1300\r\n"),
       {{"L_T-.txt:3:17: error: ", {"speed limit 1300 km/h is outside 0 to 1277 km/h", "one byte", "[25]"}}}},
      {"an empty service description", linea_3000(""), "",
       {{"L_T-.txt:1:1: error: ", {"service description is empty", "[25]"}}}},
      {"values cut off", linea_3000(""), servizio("") + "segnale, 100, 1, 1\r\n",
       {{"L_T-.txt:3:1: error: ", {"\"segnale\" needs 11 values", "ends after 3", "[25]"}}}},
      {"number too large for its field", linea_3000(""), servizio("stazione, 2500, 300, 200, 0,0,0, 0,0,0, 4,1,1, 1, 8,15,0, X\r\n"),
       {{"L_T-.txt:2:17: error: ", {"kind", "300 does not fit its field (0 to 255)", "[25]"}}}},
      {"no length entry", "[generale]\r\n[curve]\r\npendenza, 0, 0\r\n[fine]\r\n", servizio(""),
       {{"L_linea.txt:2:1: error: ", {"no \"lunghezza percorso\"", "[25]"}}}},
      {"restriction ending outside the track", linea_3000(""), servizio("rallentamento, 2900, 40, 60000, 0, 0, 0\r\n"),
       {{"L_T-.txt:2:1: error: ", {"restriction at 2900 m reaches cell 1259", "last cell is 200", "[25]"}}}},
      {"station time past 32 bits", linea_3000(""), servizio("stazione, 2500, 23, 200, 0,0,0, 0,0,0, 4,1,1, 1, 600000,0,0, X\r\n"),
       {{"L_T-.txt:2:1: error: ", {"32 bits", "[25]"}}}},
  });
}

TEST(Diagnostiche, TheWalkPointsAtTheEntriesItConcerns) {
  verifica({
      {"11", linea_3000(""),
       servizio("rallentamento, 2500, 30, 200, 0, 0, 0\r\nsegnale, 1000, 1,1,1,1,0,0,0,0,0,0\r\nsegnale, 950, 1,1,1,1,0,0,0,0,0,0\r\n"
                "segnale, 900, 1,1,1,1,0,0,0,0,0,0\r\n"),
       {{"L_T-.txt:3:1: error: ", {"the signal at 1000 m", "6 cells before the warning board of the restriction at 2500 m", "[11]"}},
        {"L_T-.txt:2:1: note: ", {"restriction at 2500 m is written here"}},
        {"L_T-.txt:4:1: note: ", {"signal at 950 m", "cell 20"}},
        {"L_T-.txt:5:1: note: ", {"signal at 900 m", "cell 19"}}}},
      {"12 with the window and what fills it", linea_3000(""),
       servizio("rallentamento, 1800, 50, 200, 0, 0, 0\r\nabbattimento, 1600, 1\r\nabbattimento, 1550, 1\r\nabbattimento, 1500, 1\r\n"),
       {{"L_T-.txt:2:1: error: ", {"restriction at 1800 m", "5 to 7 cells", "metres 1500-1649", "abatement mark at 1600 m", "[12]"}},
        {"L_T-.txt:3:1: note: ", {}}, {"L_T-.txt:4:1: note: ", {}}, {"L_T-.txt:5:1: note: ", {}}}},
      {"13 along the restriction", linea_3000(""),
       servizio("rallentamento, 1000, 30, 800, 0, 0, 0\r\nsegnale, 1400, 1,1,1,1,0,0,0,0,0,0\r\nsegnale, 1350, 1,1,1,1,0,0,0,0,0,0\r\n"
                "segnale, 1450, 1,1,1,1,0,0,0,0,0,0\r\n"),
       {{"L_T-.txt:2:1: error: ", {"restriction at 1000 m", "repeated every 400 m", "1450-1499", "[13]"}},
        {"L_T-.txt:3:1: note: ", {}}, {"L_T-.txt:4:1: note: ", {}}, {"L_T-.txt:5:1: note: ", {}},
        {"L_T-.txt:2:16: note: ", {"no warning board", "after 1500 m"}}}},
      {"13 at the exit signal", linea_3000(""),
       servizio("rallentamento, 1000, 120, 300, 0, 0, 0\r\nabbattimento, 1400, 5\r\nsegnale, 1400, 1,1,1,1,0,0,0,0,0,0\r\n"),
       {{"L_T-.txt:2:16: note: ", {"no warning board"}},
        {"L_T-.txt:4:1: error: ", {"the signal at 1400 m", "first signal after the end of the restriction at 1000 m", "[13]"}},
        {"L_T-.txt:2:1: note: ", {"restriction at 1000 m is written here"}},
        {"L_T-.txt:3:1: note: ", {"abatement mark at 1400 m", "cell 28"}},
        {"L_T-.txt:2:1: note: ", {"end of the restriction at 1000 m", "cell 27"}}}},
  });
}

TEST(Diagnostiche, CheckReportsIndependentProblemsCompileStopsAtTheFirst) {
  const std::string linea = linea_3000("pendenza, 99999, 3\r\ncartello_indicatore, 2800, A\r\ncartello_indicatore, 2810, B\r\n");
  const std::string serv = servizio("stazione, 2510, 23, 200, 0,0,0, 0,0,0, 4,1,1, 1, 8,15,0, X\r\nsegnale, 100, 1,1,1,1,0,0,0,0,0,0\r\n"
                                    "segnale, 110, 1,1,1,1,0,0,0,0,0,0\r\n");
  const esito check = compila(linea, serv, true);
  EXPECT_EQ(check.errori, 4) << check.sommario;  // codes 15, 6, 8 and 16
  EXPECT_EQ(check.sommario, "4 errors");
  const esito esatto = compila(linea, serv, false);
  // The exact reading stops the line description at code 15 and the service
  // description at code 8.
  EXPECT_EQ(esatto.errori, 2);
  EXPECT_EQ(esatto.codice, 8);
  EXPECT_EQ(esatto.righe.front().rfind("L_linea.txt:4:11: error: ", 0), 0u);
}

TEST(Diagnostiche, CheckDropsAFaultyStationWholeSoNothingFollowsFromIt) {
  // The second station is too close: check drops it before it marks its
  // stop cell, which would stand where the signal goes.
  const esito e = compila(linea_3000(""), servizio("stazione, 500, 23, 200, 0,0,0, 0,0,0, 4,1,1, 1, 8,15,0, A\r\n"
                                                   "stazione, 800, 23, 200, 0,0,0, 0,0,0, 4,1,1, 1, 8,20,0, B\r\n"
                                                   "segnale, 800, 1,3,1,1,0,0,0,0,0,0\r\n"));
  EXPECT_EQ(e.errori, 1) << e.righe.front();
  // The exact reading stops at the station anyway: its bytes are those of
  // the station marked and then refused.
  EXPECT_EQ(compila(linea_3000(""), servizio("stazione, 500, 23, 200, 0,0,0, 0,0,0, 4,1,1, 1, 8,15,0, A\r\n"
                                              "stazione, 800, 23, 200, 0,0,0, 0,0,0, 4,1,1, 1, 8,20,0, B\r\n"), false).codice, 22);
}

TEST(Diagnostiche, CleanScenariosReportNothing) {
  const std::string pulita = linea_3000(
      "curvad5, 500, 300\r\ncurvas4, 1200, 200\r\npendenza, 0, 0\r\npendenza, 800, 12\r\npendenza, 1600, -6\r\n"
      "montagna, 400, 1200, 12\r\nindicatori_vmax, 300, 80, 80, 80, 0, , , , 0\r\ncartello_indicatore, 2200, (GALLERIA)\r\n",
      "progressiva chilometrica uno, 0, 0, 0\r\nsfondo uno, 1\r\nripetizione segnali 4 codici, 0, 0\r\n");
  const std::string serv = servizio(
      "numero vetture, 4\r\npercentuale massa frenata, 105\r\nsabbia, 15\r\norologio, 8 15 0\r\naderenza, 0, 90\r\nvelocita, 0, 80\r\n"
      "velocita, 2000, 60\r\nstazione, 0, 23, 400, 0,0,0, 0,0,0, 4,1,1, 1, 8,15,0, CIMALTA\r\n"
      "stazione, 2600, 21, 200, 0,0,0, 0,0,0, 2,1,1, 0, 8,20,0, VALLE\r\nrallentamento, 1800, 30, 300, 0, 1, 0\r\n"
      "segnale, 700, 1, 3, 1, 1, 0, 0, 0,0,0, 0\r\nsegnale, 2400, 2, 3, 1, 1, 0, 0, 0,0,0, 0\r\n");
  const esito e = compila(pulita, serv);
  EXPECT_TRUE(e.righe.empty()) << e.righe.front();
  EXPECT_EQ(e.sommario, "");
  // The built-in descriptions: no error, no warning, and one note, for the
  // time written on a signal that keeps none.
  const esito b = compila(test::linea_predefinita(), test::servizio_predefinito());
  EXPECT_EQ(b.errori + b.avvisi, 0);
  ASSERT_EQ(b.righe.size(), 1u);
  EXPECT_EQ(b.righe[0].rfind("L_T-.txt:19:51: note: signal at 2600 m: its time 255 is not stored", 0), 0u) << b.righe[0];
}

TEST(Diagnostiche, JsonCarriesEveryField) {
  opzioni_resa o;
  o.json = true;
  const esito e = compila(linea_3000("pendensa, 500, 10\r\n"), servizio("stazione, 2510, 23, 200, 0,0,0, 0,0,0, 4,1,1, 1, 8,15,0, X\r\n"), true, o);
  std::string json;
  for (const std::string& r : e.righe) json += r + "\n";
  for (const char* parte :
       {"{\"diagnostics\": [", "{\"file\": \"L_linea.txt\", \"line\": 4, \"column\": 1, \"severity\": \"warning\", \"code\": null, \"option\": \"-Wunknown-key\", \"message\": ",
        "\"option\": \"-Wunknown-key\"", "\"file\": \"L_T-.txt\", \"line\": 2, \"column\": 11, \"severity\": \"error\", \"code\": 8,",
        "\"metres\": 2510",
        "], \"errors\": 1, \"warnings\": 1}"})
    EXPECT_NE(json.find(parte), std::string::npos) << parte << "\n" << json;
}

TEST(Diagnostiche, WarningsAsErrors) {
  opzioni_resa o;
  o.avvisi_come_errori = true;
  const esito e = compila(linea_3000("pendensa, 500, 10\r\n"), servizio(""), true, o);
  EXPECT_EQ(e.errori, 1);
  EXPECT_EQ(e.avvisi, 0);
  EXPECT_EQ(e.righe.front().rfind("L_linea.txt:4:1: error: unknown key word", 0), 0u);
  EXPECT_NE(e.righe.front().find("[-Werror=unknown-key]"), std::string::npos);
}

TEST(Diagnostiche, SourceLineAndCaretUnderTheField) {
  resa_diagnostiche resa({});
  resa.file("L_T-.txt", "dir/L_T-.txt", "[generale]\r\nsegnale,\t1010, x\r\n");
  diagnostica d;
  d.id = diag::testo_per_numero;
  d.dove = {"L_T-.txt", 27, 28, 2, 16};
  d.arg = {"sx", "segnale", "x"};
  resa.riporta(d);
  std::ostringstream out;
  resa.stampa(out);
  EXPECT_EQ(out.str(),
            "dir/L_T-.txt:2:16: warning: sx of the \"segnale\" entry: \"x\" is not a number and is read as 0 [-Wtext-for-number]\n"
            "segnale,\t1010, x\n"
            "        \t      ^\n"
            "1 warning\n");
}

}  // namespace
}  // namespace sc
