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
  EXPECT_NE(out.find("byte for byte"), std::string::npos) << out;
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
  EXPECT_EQ(out, "station 3 \"BRUNEA\": time 11:44 -> 11:45\n");
  EXPECT_EQ(esegui({"diff", "builtin/Vidaroz del Zavro_Tersio.dat", "edited/Vidaroz del Zavro_Tersio.dat"}), 0) << out;
  EXPECT_EQ(out, "");
  EXPECT_EQ(esegui({"diff", "builtin", "edited/Vidaroz del Zavro_Tersio.dat"}), 1);
  EXPECT_EQ(esegui({"diff", "builtin/Vidaroz del Zavro_Tersio.sim", "edited/Vidaroz del Zavro_Tersio.dat"}), 1);
  EXPECT_NE(err.find("different kinds"), std::string::npos) << err;
}

}  // namespace
}  // namespace sc
