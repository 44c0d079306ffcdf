// decompile and diff as an author runs them: the real executable in a
// temporary directory.
#include <gtest/gtest.h>

#include "test_support/riga_comando.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace sc {
namespace {

namespace fs = std::filesystem;

class Decompile : public test::RigaComando {
 protected:
  void SetUp() override {
    RigaComando::SetUp();
    fs::create_directories(dir / "builtin");
    ASSERT_EQ(esegui({"--dir", test::utf8(dir / "builtin")}), 0) << err;
  }
};

const char* const binari[] = {"Vidaroz del Zavro_linea.dat", "Vidaroz del Zavro_Tersio.sim", "Vidaroz del Zavro_Tersio.dat"};
const std::string linea = "Vidaroz del Zavro_linea.txt", servizio = "Vidaroz del Zavro_Tersio-.txt";

TEST_F(Decompile, TheBuiltInScenarioComesBackFromItsDescriptions) {
  ASSERT_EQ(esegui({"decompile", "builtin", "--out", "src"}), 0) << err;
  EXPECT_EQ(out, test::nativo("wrote src/" + linea + "\nwrote src/" + servizio + "\ncompiling them gives the three files back byte for byte\n"));
  EXPECT_EQ(err, "");
  const std::string testo = test::leggi_file(dir / "src" / linea);
  EXPECT_EQ(testo.substr(0, 12), "[generale]\r\n");
  EXPECT_NE(testo.find("curvad5, 1800, 300\r\n"), std::string::npos);
  ASSERT_EQ(esegui({"compile", "src/" + linea, "src/" + servizio, "--out", "again"}), 0) << err;
  for (const char* f : binari) EXPECT_EQ(test::leggi_file(dir / "again" / f), test::leggi_file(dir / "builtin" / f)) << f;
}

TEST_F(Decompile, AnAuthorsOwnDescriptionsAreReplacedOnlyWhenAsked) {
  fs::create_directories(dir / "src");
  std::ofstream(dir / "src" / servizio, std::ios::binary) << "my own\r\n";
  EXPECT_EQ(esegui({"decompile", "builtin", "--out", "src"}), 1);
  EXPECT_NE(err.find("exists and would be replaced"), std::string::npos) << err;
  EXPECT_EQ(test::leggi_file(dir / "src" / servizio), "my own\r\n");
  EXPECT_FALSE(fs::exists(dir / "src" / linea)) << "nothing is written";
  ASSERT_EQ(esegui({"decompile", "builtin", "--out", "src", "--force"}), 0) << err;
  EXPECT_NE(test::leggi_file(dir / "src" / servizio), "my own\r\n");
}

TEST_F(Decompile, TheThreeFilesNamedOneByOne) {
  ASSERT_EQ(esegui({"decompile", "builtin/Vidaroz del Zavro_Tersio.dat", "builtin/Vidaroz del Zavro_linea.dat", "builtin/Vidaroz del Zavro_Tersio.sim"}), 0)
      << err;
  EXPECT_TRUE(fs::exists(dir / linea));
  EXPECT_TRUE(fs::exists(dir / servizio));
  EXPECT_EQ(esegui({"decompile", "builtin/Vidaroz del Zavro_Tersio.dat", "builtin/Vidaroz del Zavro_Tersio.dat"}), 1);
  EXPECT_NE(err.find("same kind"), std::string::npos) << err;
}

// A track cell file of random bytes is refused by every command that reads
// compiled files, each time naming it; so is a usage mistake, as what it is.
TEST_F(Decompile, EveryCommandRefusesAFileNoCompileWritesAndNamesIt) {
  fs::create_directories(dir / "rotto");
  for (const char* f : binari) fs::copy_file(dir / "builtin" / f, dir / "rotto" / f);
  std::string caso(4815, '\0');
  for (std::size_t i = 0; i < caso.size(); ++i) caso[i] = char((i * 7919 + 13) % 251);
  std::ofstream(dir / "rotto" / binari[2], std::ios::binary) << caso;
  const std::string dat = "rotto/" + std::string(binari[2]), sim = "rotto/" + std::string(binari[1]);
  const std::int16_t marcatore = std::int16_t(std::uint8_t(caso[16]) | std::uint8_t(caso[17]) << 8);
  // Files named one by one are known by their names.
  const std::vector<std::pair<std::vector<std::string>, bool>> comandi = {
      {{"inspect", dat}, true},
      {{"view", "rotto", "-o", "v.html"}, false},
      {{"plot", "rotto", "-o", "p.svg"}, false},
      {{"decompile", "rotto", "--out", "d1"}, false},
      {{"decompile", sim, dat, "--out", "d2"}, true},
      {{"diff", "builtin", "rotto"}, false},
      {{"diff", "builtin/" + std::string(binari[2]), dat}, true},
  };
  for (const auto& [c, per_nome] : comandi) {
    EXPECT_EQ(esegui(c), 1) << c[0];
    EXPECT_EQ(err, test::nativo("scenario-compiler: " + dat + " is not a track cell file" + (per_nome ? ", as its name says" : "") +
                                ": cell 1 does not carry the format marker 5121 (it holds " + std::to_string(marcatore) + ")\n"))
        << c[0] << " " << c[1];
  }
  EXPECT_FALSE(fs::exists(dir / "d1")) << "nothing is written";

  struct errore {
    std::vector<std::string> comando;
    std::string messaggio;
  };
  const errore usi[] = {
      {{"diff", "builtin", "nessuna"}, "nessuna does not exist"},
      {{"diff", "builtin", dat}, "diff compares two directories or two files, and builtin is a directory while " + dat + " is a file"},
      {{"decompile", dat}, "decompile needs the service data (.sim) and the track cells (.dat) at least, or the directory that holds them"},
      {{"inspect", "builtin"}, "inspect reads one binary file, and builtin is a directory; give one of its files, or show the scenario with view or plot"},
      {{"view", dat}, dat + " is a file, where the directory of a compiled scenario belongs"},
  };
  for (const errore& e : usi) {
    EXPECT_EQ(esegui(e.comando), 1);
    EXPECT_EQ(err, test::nativo("scenario-compiler: " + e.messaggio + "\n"));
  }
}

// A compile that stopped at an error wrote its files: they come back with
// descriptions that stop at the same error, and the decompile says so.
TEST_F(Decompile, FilesOfACompileThatStoppedComeBackWithTheStop) {
  std::ofstream(dir / "Corta_linea.txt", std::ios::binary) << "[generale]\r\nlunghezza percorso, 9000\r\n[curve]\r\ncurvad2, 1000, 300\r\n[fine]\r\n";
  std::ofstream(dir / "Corta_Treno-.txt", std::ios::binary)
      << "[generale]\r\nvelocita, 0, 80\r\nstazione, 3300, 23, 250, 0, 0, 0, 0, 0, 0, 4, 1, 1, 1, 11, 35, 0, CORTA\r\nvelocita, 5000, 60\r\n[fine]\r\n";
  ASSERT_EQ(esegui({"compile", "Corta_linea.txt", "Corta_Treno-.txt", "--out", "fermo"}), 2) << err;
  ASSERT_EQ(esegui({"decompile", "fermo", "--out", "indietro"}), 0) << err;
  EXPECT_EQ(out, test::nativo("wrote indietro/Corta_linea.txt\nwrote indietro/Corta_Treno-.txt\n"
                              "compiling them gives the three files back byte for byte and stops at error 9 in the service description, "
                              "where the compile that wrote them stopped with error 9 or 25 (the files do not tell which)\n"));
  EXPECT_NE(err.find(test::nativo("indietro/Corta_Treno-.txt:")), std::string::npos) << "the stop is shown at its line\n" << err;
  EXPECT_NE(test::leggi_file(dir / "indietro" / "Corta_Treno-.txt").find("stazione, 3300, 23, 50\r\n"), std::string::npos);
}

TEST_F(Decompile, AFileEditedByHandIsReportedPartByPart) {
  // The approach mark of cell 10 (byte 10 of the cell) set to 7.
  std::string celle = test::leggi_file(dir / "builtin" / binari[2]);
  celle[10 * 15 + 10] = 7;
  std::ofstream(dir / "builtin" / binari[2], std::ios::binary) << celle;
  EXPECT_EQ(esegui({"decompile", "builtin", "--out", "src2"}), 2);
  EXPECT_NE(err.find("Vidaroz del Zavro_Tersio.dat: error: cell 10 (metres 500-549): not reproduced: approach mark 7 -> 0\n"), std::string::npos) << err;
  EXPECT_TRUE(fs::exists(dir / "src2" / linea)) << "the closest descriptions are still written";
}

TEST_F(Decompile, DiffOfAOneLineEdit) {
  ASSERT_EQ(esegui({"decompile", "builtin", "--out", "src"}), 0) << err;
  std::string testo = test::leggi_file(dir / "src" / servizio);
  const std::string prima = "11, 44, 0, BRUNEA", dopo = "11, 45, 0, BRUNEA";
  ASSERT_NE(testo.find(prima), std::string::npos);
  testo.replace(testo.find(prima), prima.size(), dopo);
  std::ofstream(dir / "src" / servizio, std::ios::binary) << testo;
  ASSERT_EQ(esegui({"compile", "src/" + linea, "src/" + servizio, "--out", "edited"}), 0) << err;
  EXPECT_EQ(esegui({"diff", "builtin", "edited"}), 2);
  EXPECT_EQ(out, "station BRUNEA: time 11:44:00 -> 11:45:00\n");
  EXPECT_EQ(esegui({"diff", "builtin", "edited", "--cells"}), 2);
  EXPECT_EQ(out, "station 3 \"BRUNEA\": time 11:44 -> 11:45\n");
  EXPECT_EQ(esegui({"diff", "builtin/Vidaroz del Zavro_Tersio.dat", "edited/Vidaroz del Zavro_Tersio.dat"}), 0) << out;
  EXPECT_EQ(out, "");
  EXPECT_EQ(esegui({"diff", "builtin", "edited/Vidaroz del Zavro_Tersio.dat"}), 1);
  EXPECT_EQ(esegui({"diff", "builtin/Vidaroz del Zavro_Tersio.sim", "edited/Vidaroz del Zavro_Tersio.dat"}), 1);
  EXPECT_NE(err.find("different kinds"), std::string::npos) << err;
}

}  // namespace
}  // namespace sc
