// The command line, run as a user runs it: the real executable in a
// temporary directory.
#include <gtest/gtest.h>

#include "test_support/riga_comando.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <vector>

#include "test_support/descrizioni.h"
#include "test_support/formati.h"

namespace sc {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

class Cli : public test::RigaComando {
 protected:
  void SetUp() override {
    RigaComando::SetUp();
    fs::create_directories(dir / "src");
  }

  // The built-in descriptions as a person's files.
  void sorgenti_predefinite() {
    test::scrivi_file(dir / "src/Vidaroz del Zavro_linea.txt", test::linea_predefinita());
    test::scrivi_file(dir / "src/Vidaroz del Zavro_Tersio-.txt", test::servizio_predefinito());
  }
};

const char* const binari[] = {"Vidaroz del Zavro_linea.dat", "Vidaroz del Zavro_Tersio.sim", "Vidaroz del Zavro_Tersio.dat"};

TEST_F(Cli, CompileOfTheBuiltInDescriptionsMatchesTheBuiltInRun) {
#ifndef _WIN32
  // On Windows the failure is told in a message box, which the Windows check dismisses.
  ASSERT_EQ(esegui({"--dir", test::utf8(dir / "builtin")}), 1) << "a missing directory cannot be written";
#endif
  fs::create_directories(dir / "builtin");
  ASSERT_EQ(esegui({"--dir", test::utf8(dir / "builtin")}), 0) << err;
  sorgenti_predefinite();
  const std::string linea = test::leggi_file(dir / "src/Vidaroz del Zavro_linea.txt");
  ASSERT_EQ(esegui({"compile", "src/Vidaroz del Zavro_linea.txt", "src/Vidaroz del Zavro_Tersio-.txt", "--out", "out"}), 0) << err;
  for (const char* f : binari) EXPECT_EQ(test::leggi_file(dir / "out" / f), test::leggi_file(dir / "builtin" / f)) << f;
  EXPECT_EQ(test::leggi_file(dir / "src/Vidaroz del Zavro_linea.txt"), linea) << "sources untouched";
  EXPECT_TRUE(fs::exists(dir / "src/Vidaroz del Zavro_Tersio-.txt"));
  EXPECT_NE(out.find("wrote "), std::string::npos);
}

TEST_F(Cli, CompileInTheSourceDirectoryKeepsTheSources) {
  sorgenti_predefinite();
  ASSERT_EQ(esegui({"compile", "src/Vidaroz del Zavro_linea.txt", "src/Vidaroz del Zavro_Tersio-.txt", "--out", "src", "--no-geometry"}), 0) << err;
  EXPECT_TRUE(fs::exists(dir / "src/Vidaroz del Zavro_linea.txt"));
  EXPECT_TRUE(fs::exists(dir / "src/Vidaroz del Zavro_Tersio-.txt"));
  EXPECT_FALSE(fs::exists(dir / "src/Vidaroz del Zavro_linea.dat"));
  EXPECT_TRUE(fs::exists(dir / "src/Vidaroz del Zavro_Tersio.dat"));
}

TEST_F(Cli, RecordedProblemsNameTheFileLineAndColumn) {
  struct caso {
    std::string linea, servizio;
    int uscita;
    std::string messaggio;  // the first line on standard error
    bool scritto = true;    // the track cells are written
  } casi[] = {
      {test::linea_con(""), test::servizio_con("stazione, 3310, 23, 200, 0,0,0, 0,0,0, 4,1,1, 20, 11,40,0, X\r\n"), 2,
       "src/L_T-.txt:2:11: error: station \"X\": position 3310 m is not a multiple of 50 m; use 3300 or 3350 [8]\n"},
      {test::linea_con("pendenza, 99999, 0\r\n"), test::servizio_con(""), 2,
       "src/L_linea.txt:4:11: error: gradient change at 99999 m lies outside the track, which takes positions up to 15900 m [15]\n"},
      {test::linea_con(""), test::servizio_con("rallentamento, 2000, 50, 200, 0, 0, 0\r\nabbattimento, 1800, 1\r\n"
                                               "abbattimento, 1750, 1\r\nabbattimento, 1700, 1\r\n"), 2,
       "src/L_T-.txt:2:1: error: the restriction at 2000 m: no free cell for the approach mark 5 to 7 cells before it, at metres "
       "1700-1849: the abatement mark at 1800 m (cell 36), the abatement mark at 1750 m (cell 35) and the abatement mark at 1700 m "
       "(cell 34) [12]\n"},
      {"[generale]\r\n[fine]\r\n", test::servizio_con(""), 2, "src/L_linea.txt:2:1: error: no \"lunghezza percorso\" entry", false},
      {test::linea_con(""), "[generali]\r\nnumero vetture, 4\r\n[fine]\r\n", 2,
       "src/L_T-.txt:1:1: error: no \"[generale]\" section marker in the service description, so nothing in it is read; did you mean", false},
      {test::linea_con(""), "\xFF\xFE[\0g\0e\0"s, 2, "src/L_T-.txt:1:1: error: this file is written in UTF-16 (UTF-16LE)", false},
      {test::linea_con(""), test::servizio_con("segnale, 700, 1,3,1,1,0,0,0,0,0,0\0\0\r\n"s), 2,
       "src/L_T-.txt:1:1: error: this file holds NUL bytes: it is not a text description"},
      {test::linea_con(""), test::servizio_con("stazione, 3310, 23, 200, 0,0,0, 0,0,0, 4,1,1, 20, 11,40,0, \x1b]0;X\x07\r\n"), 2,
       "src/L_T-.txt:2:11: error: station \"\\x1b]0;X\\x07\": position 3310 m"},
      {test::linea_con(""), test::servizio_con("abbattimento, 50, 1\r\n"), 3,
       "src/L_T-.txt:2:1: error: the abatement mark at 50 m stands in cell 1, whose first value the compiler keeps for its format marker"},
  };
  for (const caso& c : casi) {
    SCOPED_TRACE(c.messaggio);
    fs::remove_all(dir / "out");
    test::scrivi_file(dir / "src/L_linea.txt", c.linea);
    test::scrivi_file(dir / "src/T-.txt", c.servizio);
    fs::rename(dir / "src/T-.txt", dir / "src/L_T-.txt");
    EXPECT_EQ(esegui({"compile", "src/L_linea.txt", "src/L_T-.txt", "--out", "out"}), c.uscita);
    EXPECT_EQ(err.rfind(test::nativo(c.messaggio), 0), 0u) << err;
    EXPECT_NE(err.find("1 error"), std::string::npos) << err;
    EXPECT_EQ(test::leggi_file(dir / "src/L_linea.txt"), c.linea);
    EXPECT_EQ(test::leggi_file(dir / "src/L_T-.txt"), c.servizio);
    EXPECT_EQ(fs::exists(dir / "out/L_T.dat"), c.uscita == 2 && c.scritto);
  }
}

TEST_F(Cli, CheckReportsEveryProblemAndWritesNothing) {
  test::scrivi_file(dir / "src/L_linea.txt", test::linea_con("pendensa, 500, 10\r\npendenza, 99999, 3\r\n"));
  test::scrivi_file(dir / "src/L_T-.txt", test::servizio_con("stazione, 3310, 23, 200, 0,0,0, 0,0,0, 4,1,1, 20, 11,40,0, X\r\n"));
  EXPECT_EQ(esegui({"check", "src/L_linea.txt", "src/L_T-.txt"}), 2);
  EXPECT_NE(err.find(test::nativo("src/L_linea.txt:4:1: warning: unknown key word \"pendensa\"; did you mean \"pendenza\"?")), std::string::npos) << err;
  EXPECT_NE(err.find("pendensa, 500, 10\n^~~~~~~~\n"), std::string::npos) << "the source line and the caret";
  EXPECT_NE(err.find(test::nativo("src/L_linea.txt:5:11: error: ")), std::string::npos) << err;
  EXPECT_NE(err.find(test::nativo("src/L_T-.txt:2:11: error: ")), std::string::npos) << err;
  EXPECT_NE(err.find("\n2 errors, 1 warning\n"), std::string::npos) << err;
  EXPECT_TRUE(out.empty());
  std::vector<std::string> file;
  for (const auto& e : fs::directory_iterator(dir)) file.push_back(e.path().filename().string());
  EXPECT_EQ(file, std::vector<std::string>{"src"}) << "check writes nothing";

  // Only warnings: status 0, unless they count as errors.
  test::scrivi_file(dir / "src/L_T-.txt", test::servizio_con(""));
  test::scrivi_file(dir / "src/L_linea.txt", test::linea_con("pendensa, 500, 10\r\n"));
  EXPECT_EQ(esegui({"check", "src/L_linea.txt", "src/L_T-.txt", "--no-source"}), 0);
  EXPECT_EQ(err.find("pendensa, 500"), std::string::npos) << "--no-source leaves the line out";
  EXPECT_EQ(esegui({"check", "src/L_linea.txt", "src/L_T-.txt", "--warnings-as-errors"}), 2);
  EXPECT_NE(err.find("error: unknown key word"), std::string::npos) << err;
  EXPECT_EQ(esegui({"check", "src/L_linea.txt", "src/L_T-.txt", "--diagnostics-format=json"}), 0);
  // The path as the host writes it, "src\\L_linea.txt" in JSON on Windows.
  std::string json_file;
  for (char c : test::nativo("src/L_linea.txt")) json_file += c == '\\' ? std::string("\\\\") : std::string(1, c);
  EXPECT_EQ(err.rfind("{\"diagnostics\": [\n  {\"file\": \"" + json_file + "\", \"line\": 4, \"column\": 1, \"severity\": \"warning\"", 0), 0u) << err;
  EXPECT_EQ(esegui({"check", "src/L_linea.txt", "src/L_T-.txt", "--diagnostics-format=xml"}), 1);
  // Warnings by name.
  EXPECT_EQ(esegui({"check", "src/L_linea.txt", "src/L_T-.txt", "-Wno-unknown-key"}), 0);
  EXPECT_EQ(err, "");
  EXPECT_EQ(esegui({"check", "src/L_linea.txt", "src/L_T-.txt", "-Werror=unknown-key"}), 2);
  EXPECT_NE(err.find("[-Werror=unknown-key]"), std::string::npos) << err;
  EXPECT_EQ(esegui({"check", "src/L_linea.txt", "src/L_T-.txt", "-Wunknown-kye"}), 1);
  EXPECT_NE(err.find("unknown warning option -Wunknown-kye (did you mean -Wunknown-key?)"), std::string::npos) << err;
  EXPECT_EQ(esegui({"compile", "src/L_linea.txt", "src/L_T-.txt", "--out", "kept", "-Werror=unknown-key", "--no-output-on-error"}), 2);
  EXPECT_FALSE(fs::exists(dir / "kept/L_T.dat")) << "no output on an error";
  EXPECT_NE(err.find("no binary file written"), std::string::npos) << err;

  // compile prints the same, and its status stays that of the files.
  EXPECT_EQ(esegui({"compile", "src/L_linea.txt", "src/L_T-.txt", "--out", "out/"}), 0);
  EXPECT_NE(err.find(test::nativo("src/L_linea.txt:4:1: warning: unknown key word")), std::string::npos) << err;
  EXPECT_NE(out.find(test::nativo("wrote out/L_T.dat\n")), std::string::npos) << "no doubled separator: " << out;
  EXPECT_EQ(esegui({"compile", "src/L_linea.txt", "src/L_T-.txt", "--out", "out", "--warnings-as-errors"}), 2);
}

TEST_F(Cli, InputEncoding) {
  const std::string linea_utf8 = test::linea_con("cartello_indicatore, 900, (CITT\xC3\x80)\r\n");
  test::scrivi_file(dir / "src/L_linea.txt", linea_utf8);
  test::scrivi_file(dir / "src/L_T-.txt", test::servizio_con("stazione, 1000, 23, 200, 0,0,0, 0,0,0, 4,1,1, 1, 8,15,0, S\xC3\xA8\r\n"));
  // Read as it is, each accented letter would be two bytes: a warning.
  EXPECT_EQ(esegui({"compile", "src/L_linea.txt", "src/L_T-.txt", "--out", "crudo"}), 0);
  EXPECT_NE(err.find(test::nativo("src/L_linea.txt:4:32: warning: this file looks like UTF-8 (\"\xC3\x80\")")), std::string::npos) << err;
  EXPECT_NE(test::leggi_file(dir / "crudo/L_T.sim").find("S\xC3\xA8"), std::string::npos) << "the bytes stay as they are";
  // Converted, they are one Windows-1252 byte each.
  EXPECT_EQ(esegui({"compile", "src/L_linea.txt", "src/L_T-.txt", "--out", "conv", "--input-encoding=utf-8"}), 0);
  EXPECT_EQ(err, "");
  const std::string sim = test::leggi_file(dir / "conv/L_T.sim");
  EXPECT_NE(sim.find("S\xE8"), std::string::npos);
  EXPECT_NE(sim.find("(CITT\xC0)"), std::string::npos);
  // A character Windows-1252 lacks is an error, and nothing is compiled.
  test::scrivi_file(dir / "src/L_T-.txt", test::servizio_con("stazione, 1000, 23, 200, 0,0,0, 0,0,0, 4,1,1, 1, 8,15,0, A \xE2\x86\x92 B\r\n"));
  EXPECT_EQ(esegui({"compile", "src/L_linea.txt", "src/L_T-.txt", "--out", "niente", "--input-encoding", "utf-8"}), 2);
  EXPECT_NE(err.find(test::nativo("src/L_T-.txt:2:60: error: character U+2192 has no Windows-1252 byte")), std::string::npos) << err;
  EXPECT_FALSE(fs::exists(dir / "niente/L_T.dat"));
}

TEST_F(Cli, UsageErrors) {
  sorgenti_predefinite();
  const std::vector<std::vector<std::string>> sbagliati = {
      {"compile", "src/missing_linea.txt", "src/Vidaroz del Zavro_Tersio-.txt"},
      {"compile", "src/Vidaroz del Zavro_linea.txt"},
      {"compile", "src/Vidaroz del Zavro_linea.txt", "src/Vidaroz del Zavro_Tersio-.txt", "--train", "a/b"},
      {"compile", "src/Vidaroz del Zavro_linea.txt", "src/Vidaroz del Zavro_Tersio-.txt", "--bogus"},
      {"inspect", "src/Vidaroz del Zavro_linea.txt"},
      {"plot", "src"},
      {"frobnicate"},
  };
  for (const auto& args : sbagliati) {
    EXPECT_EQ(esegui(args), 1) << args[0] << " " << args.back();
    EXPECT_NE(err.find("scenario-compiler: "), std::string::npos) << err;
  }
  EXPECT_EQ(esegui({"--help"}), 0);
  EXPECT_NE(out.find("SYNOPSIS"), std::string::npos);
  EXPECT_NE(out.find("EXIT STATUS"), std::string::npos);
}

TEST_F(Cli, NamesComeFromTheFileNamesOrTheOptions) {
  sorgenti_predefinite();
  ASSERT_EQ(esegui({"compile", "src/Vidaroz del Zavro_linea.txt", "src/Vidaroz del Zavro_Tersio-.txt", "--scenario", "Altra",
                    "--train", "Treno"}),
            0)
      << err;
  EXPECT_TRUE(fs::exists(dir / "Altra_linea.dat"));
  EXPECT_TRUE(fs::exists(dir / "Altra_Treno.sim"));
  EXPECT_TRUE(fs::exists(dir / "Altra_Treno.dat"));
}

TEST_F(Cli, InspectDecodesWhatTheCompilerWrote) {
  fs::create_directories(dir / "b");
  ASSERT_EQ(esegui({"--dir", test::utf8(dir / "b")}), 0);
  ASSERT_EQ(esegui({"inspect", "b/Vidaroz del Zavro_Tersio.dat", "--json"}), 0) << err;
  EXPECT_TRUE(test::json_valido(out));
  // The signal written at 2600 m stands in cell 53, which covers 2650 to 2700 m.
  EXPECT_NE(out.find("{\"cell\": 53, \"from_m\": 2650, \"to_m\": 2700, \"run_out\": false, \"kind\": 1, \"kind_name\": \"signal\", "
                     "\"at_m\": 2600, \"maps_from_m\": 2576, \"maps_to_m\": 2624, \"label\": \"3/1/1\""),
            std::string::npos);
  EXPECT_NE(out.find("\"cell\": 320, \"from_m\": 16000, \"to_m\": 16050, \"run_out\": true"), std::string::npos);
  EXPECT_NE(out.find("\"line_end_m\": 9000"), std::string::npos);
  ASSERT_EQ(esegui({"inspect", "b/Vidaroz del Zavro_Tersio.dat"}), 0) << err;
  EXPECT_NE(out.find("speed board at 700 m (676-724 m map here): speed a vas/vad 70 km/h"), std::string::npos) << out;
  EXPECT_NE(out.find("station stop PRATOSERVINO, at 0 m"), std::string::npos);
  EXPECT_NE(out.find("area -250 to 250 m, time 11:35:00"), std::string::npos);
  EXPECT_NE(out.find("cells 180-317      9000-15899 m  run-out  60 km/h, 0 per mille, adhesion 90\n"), std::string::npos) << out;
  ASSERT_EQ(esegui({"inspect", "b/Vidaroz del Zavro_Tersio.sim"}), 0) << err;
  EXPECT_NE(out.find("record 1 station: name PRATOSERVINO, kind 23, position 0 m, area -250 to 250 m, time 11:35:00"), std::string::npos);
  EXPECT_NE(out.find("record 85 scenario data: scenario Vidaroz del Zavro"), std::string::npos);
  EXPECT_NE(out.find("format marker 610"), std::string::npos);
  EXPECT_NE(out.find("record 86 run data: train Tersio, signal repetition 0 m, 0 m, code 0, sand 15, clock at the start 11:34:39"),
            std::string::npos);
  ASSERT_EQ(esegui({"inspect", "b/Vidaroz del Zavro_Tersio.sim", "--json"}), 0) << err;
  EXPECT_TRUE(test::json_valido(out));
  ASSERT_EQ(esegui({"inspect", "b/Vidaroz del Zavro_linea.dat", "--json"}), 0) << err;
  EXPECT_NE(out.find("\"last_metre\": 16000, \"points_set\": 15999, \"start\": [0, 0], \"end_metre\": 15998"), std::string::npos) << out;
  // Recognised by content under another name.
  fs::copy_file(dir / "b/Vidaroz del Zavro_Tersio.sim", dir / "b/copy.bin");
  ASSERT_EQ(esegui({"inspect", "b/copy.bin"}), 0) << err;
  EXPECT_EQ(out.rfind("service data: 87 records", 0), 0u);
}

TEST_F(Cli, InspectFiltersAndExportsThePlan) {
  fs::create_directories(dir / "b");
  ASSERT_EQ(esegui({"--dir", test::utf8(dir / "b")}), 0);
  ASSERT_EQ(esegui({"inspect", "b/Vidaroz del Zavro_Tersio.dat", "--kind", "signal,station", "--from", "2000", "--to=5000"}), 0) << err;
  std::vector<std::string> celle;
  for (std::size_t p = out.find("\ncell "); p != std::string::npos; p = out.find("\ncell ", p + 1)) celle.push_back(out.substr(p + 7, 3));
  EXPECT_EQ(celle, (std::vector<std::string>{"53 ", "67 ", "81 ", "90 "})) << out;
  EXPECT_EQ(esegui({"inspect", "b/Vidaroz del Zavro_Tersio.dat", "--kind", "signals"}), 1);
  EXPECT_NE(err.find("unknown kind signals (did you mean signal?)"), std::string::npos) << err;
  EXPECT_EQ(esegui({"inspect", "b/Vidaroz del Zavro_Tersio.dat", "--from", "1km"}), 1);
  EXPECT_EQ(esegui({"inspect", "b/Vidaroz del Zavro_Tersio.sim", "--points"}), 1);

  ASSERT_EQ(esegui({"inspect", "b/Vidaroz del Zavro_linea.dat", "--points", "--from", "0", "--to", "2"}), 0) << err;
  EXPECT_EQ(out, "metre,x,y\n0,0,0\n1,0,1\n2,0,2\n");
  ASSERT_EQ(esegui({"inspect", "b/Vidaroz del Zavro_linea.dat", "--points", "--json", "-o", "punti.json"}), 0) << err;
  const std::string punti = test::leggi_file(dir / "punti.json");
  EXPECT_TRUE(test::json_valido(punti));
  EXPECT_EQ(std::count(punti.begin(), punti.end(), '\n'), 15999 + 2);

  // Coordinates that JSON cannot hold come out as null; the plot and the page skip them.
  std::string g = test::leggi_file(dir / "b/Vidaroz del Zavro_linea.dat");
  const unsigned char nan[8] = {0, 0, 0, 0, 0, 0, 0xf8, 0x7f}, inf[8] = {0, 0, 0, 0, 0, 0, 0xf0, 0x7f};
  std::copy(nan, nan + 8, g.begin() + 8 + 98 * 10 + 2);   // X of metre 100
  std::copy(inf, inf + 8, g.begin() + 8 + 99 * 10 + 2);   // X of metre 101
  test::scrivi_file(dir / "b/Vidaroz del Zavro_linea.dat", g);
  for (const std::vector<std::string>& args : {std::vector<std::string>{"inspect", "b/Vidaroz del Zavro_linea.dat", "--json"},
                                               std::vector<std::string>{"inspect", "b/Vidaroz del Zavro_linea.dat", "--json", "--points"}}) {
    ASSERT_EQ(esegui(args), 0) << err;
    EXPECT_TRUE(test::json_valido(out)) << out.substr(0, 400);
  }
  EXPECT_NE(out.find("[100, null, 100]"), std::string::npos);
  EXPECT_EQ(esegui({"plot", "b", "-o", "nan.svg"}), 0) << err;
  EXPECT_TRUE(test::ben_formato(test::leggi_file(dir / "nan.svg")));
  EXPECT_EQ(esegui({"view", "b", "-o", "nan.html"}), 0) << err;
}

TEST_F(Cli, InspectRefusesWhatIsNotOfItsKind) {
  fs::create_directories(dir / "b");
  ASSERT_EQ(esegui({"--dir", test::utf8(dir / "b")}), 0);
  // 480 bytes of text: a multiple of 15, but no track.
  std::string testo;
  while (testo.size() < 480) testo += "hello world 123\n";
  test::scrivi_file(dir / "t.txt", testo);
  test::scrivi_file(dir / "t.dat", testo);
  const std::string sim = test::leggi_file(dir / "b/Vidaroz del Zavro_Tersio.sim");
  test::scrivi_file(dir / "rotto.sim", sim.substr(0, sim.size() - 1));
  std::string celle = test::leggi_file(dir / "b/Vidaroz del Zavro_Tersio.dat");
  celle[15 * 7] = char(99);
  test::scrivi_file(dir / "strana.dat", celle);
  const std::pair<const char*, const char*> casi[] = {
      {"t.txt", "is not a line geometry, service data or track cell file"},
      {"t.dat", "is not a track cell file, as its name says: cell 1 does not carry the format marker 5121"},
      {"rotto.sim", "is not a service data file, as its name says"},
      {"strana.dat", "cell 7 holds kind 99, which no compiled track holds"},
  };
  for (const auto& [file, motivo] : casi) {
    EXPECT_EQ(esegui({"inspect", file}), 1) << file;
    EXPECT_NE(err.find(motivo), std::string::npos) << err;
    EXPECT_EQ(out, "");
  }
  test::scrivi_file(dir / "b/Vidaroz del Zavro_Tersio.dat", test::leggi_file(dir / "strana.dat"));
  EXPECT_EQ(esegui({"plot", "b"}), 1);
  EXPECT_NE(err.find("Vidaroz del Zavro_Tersio.dat is not a track cell file: cell 7"), std::string::npos) << err;
}

TEST_F(Cli, PlotDrawsTheLine) {
  fs::create_directories(dir / "b");
  ASSERT_EQ(esegui({"--dir", test::utf8(dir / "b")}), 0);
  ASSERT_EQ(esegui({"plot", "b", "-o", "line.svg"}), 0) << err;
  const std::string svg = test::leggi_file(dir / "line.svg");
  EXPECT_TRUE(test::ben_formato(svg));
  // The plan ends at the line's end, where the dashed run-out begins.
  const std::size_t pianta = svg.find("stroke=\"#2c3e50\" stroke-width=\"3\"");
  ASSERT_NE(pianta, std::string::npos);
  const std::size_t inizio = svg.rfind("<path d=\"", pianta);
  const std::string punti = svg.substr(inizio, pianta - inizio);
  EXPECT_GT(std::count(punti.begin(), punti.end(), 'L'), 30) << "the curves are drawn, thinned to what the sheet shows";
  for (const char* nome : {"PRATOSERVINO", "COLLE ZAVRO 11:46", "(       )(INERZIA)", "3/1/1 t240", "Vidaroz del Zavro - Tersio", "−12‰",
                           "end of line 9.000 km", "stroke-dasharray=\"7 5\"", "Legend"})
    EXPECT_NE(svg.find(nome), std::string::npos) << nome;
  EXPECT_FALSE(test::ben_formato("<svg><g></svg></g>"));
  EXPECT_FALSE(test::ben_formato("<svg>\x01</svg>"));

  ASSERT_EQ(esegui({"plot", "b", "-o", "-"}), 0) << err;
  EXPECT_EQ(out, svg);
  EXPECT_FALSE(fs::exists(dir / "-"));
  EXPECT_EQ(esegui({"plot", "b", "-o", "line.png"}), 1);
  EXPECT_NE(err.find("plot draws SVG only: give -o a name ending in .svg"), std::string::npos) << err;
  EXPECT_FALSE(fs::exists(dir / "line.png"));
}

TEST_F(Cli, TheTrainChoosesAmongSeveral) {
  sorgenti_predefinite();
  for (const char* treno : {"Tersio", "Merci"})
    ASSERT_EQ(esegui({"compile", "src/Vidaroz del Zavro_linea.txt", "src/Vidaroz del Zavro_Tersio-.txt", "--train", treno, "--out", "b"}), 0) << err;
  EXPECT_EQ(esegui({"plot", "b"}), 1);
  EXPECT_NE(err.find("holds several compiled scenarios"), std::string::npos) << err;
  EXPECT_EQ(esegui({"view", "b"}), 1);
  ASSERT_EQ(esegui({"plot", "b", "--train", "Merci"}), 0) << err;
  EXPECT_NE(test::leggi_file(dir / "Vidaroz del Zavro_Merci.svg").find("Vidaroz del Zavro - Merci"), std::string::npos);
  ASSERT_EQ(esegui({"view", "b", "--train", "Merci", "-o", "pagina.html"}), 0) << err;
  const std::string pagina = test::leggi_file(dir / "pagina.html");
  EXPECT_NE(pagina.find("<title>Vidaroz del Zavro - Merci"), std::string::npos);
  EXPECT_NE(pagina.find("\"PRATOSERVINO\""), std::string::npos);
  EXPECT_EQ(esegui({"view", "b", "--train", "Merci", "-o", "pagina.htm"}), 1);
  EXPECT_NE(err.find("view writes an HTML page: give -o a name ending in .html"), std::string::npos) << err;
  ASSERT_EQ(esegui({"view", "b", "--train", "Merci", "-o", "-"}), 0) << err;
  EXPECT_EQ(out, pagina);
}

TEST_F(Cli, AccentedNamesReadWellAndTheirCaretsLineUp) {
  // Windows-1252 in the file, UTF-8 on the screen: "SANT'ANDRÈA" and the caret under 3310.
  test::scrivi_file(dir / "src/L_linea.txt", test::linea_con(""));
  test::scrivi_file(dir / "src/L_T-.txt", test::servizio_con("stazione, 3310, 23, 200, 0,0,0, 0,0,0, 4,1,1, 20, 11,40,0, SANT'ANDR\xC8" "A\r\n"));
  EXPECT_EQ(esegui({"check", "src/L_linea.txt", "src/L_T-.txt"}), 2);
  EXPECT_NE(err.find("station \"SANT'ANDR\xC3\x88" "A\": position 3310 m"), std::string::npos) << err;
  // An error after an accented letter: the caret stands under the character
  // it points at, counted in characters shown, not in bytes.
  test::scrivi_file(dir / "src/L_T-.txt",
                    test::servizio_con("stazione, 1000, 23, 200, 0,0,0, 0,0,0, 4,1,1, 1, 8,15,0, CITT\xC3\x80 \xE2\x86\x92 B\r\n"));
  EXPECT_EQ(esegui({"check", "src/L_linea.txt", "src/L_T-.txt", "--input-encoding", "utf-8"}), 2);
  const std::size_t riga = err.find("stazione, 1000"), segno = err.find('\n', riga) + 1;
  ASSERT_NE(riga, std::string::npos) << err;
  const std::string sorgente = err.substr(riga, segno - 1 - riga), sotto = err.substr(segno, err.find('\n', segno) - segno);
  EXPECT_NE(sorgente.find("CITT\xC3\x80 ? B"), std::string::npos) << sorgente;
  auto caratteri = [](std::string_view t) {
    return std::size_t(std::count_if(t.begin(), t.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
  };
  EXPECT_EQ(caratteri(std::string_view(sorgente).substr(0, sorgente.find('?'))), sotto.find('^')) << sorgente << "\n" << sotto;
}

TEST_F(Cli, EveryCommandWorksBeyondTheOldWindowsPathLimit) {
  sorgenti_predefinite();
  std::string lungo = "o";
  while (lungo.size() < 300) lungo += "/una cartella dal nome lungo";
  ASSERT_EQ(esegui({"compile", "src/Vidaroz del Zavro_linea.txt", "src/Vidaroz del Zavro_Tersio-.txt", "--out", lungo}), 0) << err;
  EXPECT_NE(out.find(test::nativo(lungo + "/Vidaroz del Zavro_Tersio.sim")), std::string::npos) << out;
  for (const std::vector<std::string>& args : {std::vector<std::string>{"view", lungo, "-o", lungo + "/p.html"},
                                              {"plot", lungo, "-o", lungo + "/p.svg"},
                                              {"inspect", lungo + "/Vidaroz del Zavro_Tersio.dat", "-o", lungo + "/l.txt"},
                                              {"decompile", lungo, "--out", lungo + "/src"},
                                              {"compile", lungo + "/src/Vidaroz del Zavro_linea.txt", lungo + "/src/Vidaroz del Zavro_Tersio-.txt",
                                               "--out", "corto"}})
    EXPECT_EQ(esegui(args), 0) << args[0] << ": " << err;
  EXPECT_EQ(esegui({"diff", lungo, "corto"}), 0) << out << err;
}

#ifdef _WIN32

TEST_F(Cli, AFileHeldOpenLeavesTheOlderSetWhole) {
  test::scrivi_file(dir / "src/L_linea.txt", test::linea_con(""));
  test::scrivi_file(dir / "src/L_T-.txt", test::servizio_con(""));
  ASSERT_EQ(esegui({"compile", "src/L_linea.txt", "src/L_T-.txt", "--out", "o"}), 0) << err;
  std::map<std::string, std::string> prima;
  for (const char* f : {"L_linea.dat", "L_T.sim", "L_T.dat"}) prima[f] = test::leggi_file(dir / "o" / f);
  // The track held as a running simulator holds it; a temporary file of a
  // killed run, and one of a run still writing.
  HANDLE simulatore = CreateFileW((dir / "o/L_T.dat").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(simulatore, INVALID_HANDLE_VALUE);
  test::scrivi_file(dir / "o/.scenario-compiler-0123456789abcdef.tmp", "killed");
  HANDLE altro = CreateFileW((dir / "o/.scenario-compiler-fedcba9876543210.tmp").c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                             CREATE_NEW, 0, nullptr);
  test::scrivi_file(dir / "src/L_T-.txt", test::servizio_con("stazione, 1000, 23, 200, 0,0,0, 0,0,0, 4,1,1, 1, 8,15,0, NUOVA\r\n"));
  EXPECT_EQ(esegui({"compile", "src/L_linea.txt", "src/L_T-.txt", "--out", "o"}), 1);
  EXPECT_EQ(err.rfind("scenario-compiler: cannot replace o\\L_T.dat: ", 0), 0u) << err;
  EXPECT_NE(err.find("; the older files were kept as they were\n"), std::string::npos) << err;
  CloseHandle(simulatore);
  CloseHandle(altro);
  std::map<std::string, std::string> dopo;
  for (const auto& e : std::filesystem::directory_iterator(dir / "o"))
    dopo[e.path().filename().string()] = e.path().filename().string()[0] == '.' ? "" : test::leggi_file(e.path());
  prima[".scenario-compiler-fedcba9876543210.tmp"] = "";
  EXPECT_EQ(dopo, prima);
}

TEST_F(Cli, TextHasWindowsLineEndsAndDataItsOwn) {
  fs::create_directories(dir / "b");
  ASSERT_EQ(esegui({"--dir", test::utf8(dir / "b")}), 0) << err;
  ASSERT_EQ(esegui({"inspect", "b/Vidaroz del Zavro_Tersio.sim"}), 0) << err;
  const std::string elenco = out_grezzo;
  EXPECT_EQ(elenco.find("\n"), elenco.find("\r\n") + 1) << "CR LF on standard output";
  ASSERT_EQ(esegui({"inspect", "b/Vidaroz del Zavro_Tersio.sim", "-o", "elenco.txt"}), 0) << err;
  EXPECT_EQ(test::leggi_file(dir / "elenco.txt"), elenco);
  ASSERT_EQ(esegui({"inspect", "b/Vidaroz del Zavro_Tersio.sim", "--json"}), 0) << err;
  EXPECT_EQ(out_grezzo.find('\r'), std::string::npos) << "JSON: the same bytes everywhere";
}

#endif

}  // namespace
}  // namespace sc
