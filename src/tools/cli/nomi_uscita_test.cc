#include "tools/cli/nomi_uscita.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "test_support/file_prova.h"
#include "tools/cli/comandi.h"

namespace sc {
namespace {

namespace fs = std::filesystem;

// The message of the usage error `f` throws, or "" when it throws none.
template <typename F>
std::string errore_di(F&& f) {
  return test::messaggio_di<errore_uso>(f);
}

TEST(NomiUscita, NamesAreStoredAsWindows1252) {
  EXPECT_EQ(nome_modello("Tersio", "train"), "Tersio");
  EXPECT_EQ(nome_modello("Tr\xC3\xA8no", "train"), "Tr\xE8no");
  EXPECT_EQ(nome_modello("\xE2\x82\xAC", "train"), "\x80");
  for (const char* rifiutato : {"\xD0\xBB\xD0\xB8\xD0\xBD\xD0\xB8\xD1\x8F", "Tr\xE8no", "a\xE4\xB8\xAD"}) {
    const std::string e = errore_di([&] { nome_modello(rifiutato, "scenario"); });
    EXPECT_EQ(e.rfind("the scenario name \"", 0), 0u) << e;
    EXPECT_NE(e.find("Windows-1252"), std::string::npos) << e;
  }
}

class NomiUscitaDir : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("scenario output names " + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir);
    fs::create_directories(dir / "out");
    fs::create_directories(dir / "src");
  }
  void TearDown() override { fs::remove_all(dir); }
  // The message for a compile of src/L_linea.txt and src/L_T-.txt plus `altri`.
  std::string compile(const std::string& scenario, const std::string& treno, const fs::path& out, bool geometria = true,
                      std::vector<std::string> altri = {}) {
    std::vector<std::string> ingressi = {(dir / "src/L_linea.txt").string(), (dir / "src/L_T-.txt").string()};
    ingressi.insert(ingressi.end(), altri.begin(), altri.end());
    return errore_di([&] { controlla_compile(scenario, treno, out.string(), geometria, ingressi); });
  }
  fs::path dir;
};

TEST_F(NomiUscitaDir, TwoOutputsAreNeverOneFile) {
  struct caso {
    const char* treno;
    bool geometria;
    std::string errore;  // "" when the names are fine
  } casi[] = {
      {"T", true, ""},
      {"linea", true, "the line geometry file and the track cell file would both be \"S_linea.dat\""},
      {"linea", false, ""},
      {"Linea", true, "the line geometry file \"S_linea.dat\" and the track cell file \"S_Linea.dat\" differ only in letter case"},
      {"LINEA", true, "differ only in letter case"},
      {"L\xC3\x8Fnea", true, ""},
  };
  for (const caso& c : casi) {
    SCOPED_TRACE(c.treno);
    const std::string e = compile("S", c.treno, dir / "out", c.geometria);
    if (c.errore.empty()) EXPECT_EQ(e, "");
    else EXPECT_NE(e.find(c.errore), std::string::npos) << e;
  }
}

TEST_F(NomiUscitaDir, FileNamesFitIn255BytesAndHoldNoForbiddenCharacter) {
  const std::string s200(200, 's'), e100 = [] {
    std::string r;
    for (int i = 0; i < 100; ++i) r += "\xC3\xA8";  // 100 characters, 200 bytes on disk
    return r;
  }();
  struct caso {
    std::string scenario, treno, errore;
  } casi[] = {
      {s200, "T", ""},
      {s200, std::string(50, 't'), ""},                                        // 200 + 1 + 50 + 4 = 255
      {s200, std::string(51, 't'), "would be 256 bytes long"},                // one byte over
      {s200, s200, "would be 405 bytes long"},
      {e100, std::string(50, 't'), ""},                                      // 100 characters taking 200 bytes
      {e100, std::string(51, 't'), "would be 256 bytes long"},
      {"S", "a?b", "holds a character file names cannot have on Windows"},
      {"S", "a*b", "cannot have on Windows"},
      {"S\x01", "T", "cannot have on Windows"},
      {"S", "a\"b", "cannot have on Windows"},
  };
  for (const caso& c : casi) {
    SCOPED_TRACE(c.scenario.substr(0, 10) + "/" + c.treno.substr(0, 10));
    const std::string e = compile(c.scenario, c.treno, dir / "out");
    if (c.errore.empty()) EXPECT_EQ(e, "");
    else EXPECT_NE(e.find(c.errore), std::string::npos) << e;
  }
}

TEST_F(NomiUscitaDir, NoOutputOnAnInputHoweverItIsNamed) {
  std::ofstream(dir / "out/S_T.dat") << "compiled before";
  std::ofstream(dir / "out/S_T.sim") << "compiled before";
  fs::create_hard_link(dir / "out/S_T.sim", dir / "src/hard.sim");
  fs::create_symlink(dir / "out/S_T.dat", dir / "src/link.dat");
  fs::create_symlink(dir / "src/L_linea.txt", dir / "out/S_linea.dat");
  fs::create_directories(dir / "out/S_T.sim.d");
  const std::string su_ingresso = "would replace the input";
  struct caso {
    const char* nome;
    std::string ingresso;
    std::string errore;
  } casi[] = {
      {"the same path", (dir / "out/S_T.dat").string(), su_ingresso},
      {"another spelling", (dir / "src/../out/./S_T.dat").string(), su_ingresso},
      {"a hard link to the output", (dir / "src/hard.sim").string(), su_ingresso},
      {"a link whose target is the output", (dir / "src/link.dat").string(), su_ingresso},
      {"another file", (dir / "src/other.dat").string(), ""},
  };
  for (const caso& c : casi) {
    SCOPED_TRACE(c.nome);
    const std::string e = compile("S", "T", dir / "out", true, {c.ingresso});
    if (c.errore.empty()) EXPECT_EQ(e, "");
    else EXPECT_NE(e.find(c.errore), std::string::npos) << e;
  }
  // A link under an output's name is replaced by the write, so the file it
  // points to is no output: out/S_linea.dat -> src/L_linea.txt is fine.
  EXPECT_EQ(compile("S", "T", dir / "out"), "");
}

TEST_F(NomiUscitaDir, ADirectoryUnderAnOutputNameIsRefused) {
  fs::create_directories(dir / "out/S_T.sim");
  EXPECT_NE(compile("S", "T", dir / "out").find("cannot write the service data file"), std::string::npos);
  EXPECT_NE(compile("S", "T", dir / "out").find("it is a directory"), std::string::npos);
}

}  // namespace
}  // namespace sc
