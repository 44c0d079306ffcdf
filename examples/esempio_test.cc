// The example scenario stays clean: it compiles without a single message, and
// the README's walk-through works on it with the real executable.
#include <gtest/gtest.h>

#include "test_support/riga_comando.h"
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace sc {
namespace {

namespace fs = std::filesystem;

const char* const linea = "Valmora_linea.txt";
const char* const servizio = "Valmora_Ardesia-.txt";

class Esempio : public test::RigaComando {
 protected:
  void SetUp() override {
    RigaComando::SetUp();
    for (const char* f : {linea, servizio}) fs::copy_file(fs::path(SC_EXAMPLES) / f, dir / f);
  }
};

TEST_F(Esempio, DescriptionsAreWindowsText) {
  for (const char* f : {linea, servizio}) {
    SCOPED_TRACE(f);
    const std::string testo = test::leggi_file(fs::path(SC_EXAMPLES) / f);
    ASSERT_GE(testo.size(), 2u);
    EXPECT_EQ(testo.substr(testo.size() - 2), "\r\n");
    for (std::size_t i = 0; i < testo.size(); ++i) {
      const unsigned char c = testo[i];
      if (c == '\n') {
        EXPECT_EQ(testo[i - 1], '\r') << "bare LF at byte " << i;
      }
      // Bytes that Windows-1252 leaves undefined, or UTF-8 lead bytes followed by continuation bytes.
      EXPECT_TRUE(c != 0x81 && c != 0x8D && c != 0x8F && c != 0x90 && c != 0x9D) << "byte " << i;
      if (c >= 0xC2 && c <= 0xF4 && i + 1 < testo.size()) {
        EXPECT_FALSE((testo[i + 1] & 0xC0) == 0x80) << "UTF-8 at byte " << i;
      }
    }
  }
}

TEST_F(Esempio, CompilesWithoutAnyMessage) {
  ASSERT_EQ(esegui({"compile", linea, servizio, "--out", "out"}), 0) << err;
  EXPECT_EQ(err, "");
  EXPECT_EQ(out, "wrote out/Valmora_linea.dat\nwrote out/Valmora_Ardesia.sim\nwrote out/Valmora_Ardesia.dat\n");
  for (const char* f : {"Valmora_linea.dat", "Valmora_Ardesia.sim", "Valmora_Ardesia.dat"})
    EXPECT_GT(fs::file_size(dir / "out" / f), 0u) << f;
  for (const char* f : {linea, servizio}) EXPECT_EQ(test::leggi_file(dir / f), test::leggi_file(fs::path(SC_EXAMPLES) / f)) << "sources untouched";
}

TEST_F(Esempio, CheckFindsNothingNotEvenUnderWarningsAsErrors) {
  ASSERT_EQ(esegui({"check", linea, servizio, "--warnings-as-errors"}), 0) << err;
  EXPECT_EQ(err, "");
  EXPECT_EQ(out, "");
}

// The README's walk-through, step by step, and what each step must show.
TEST_F(Esempio, TheWalkThroughWorks) {
  struct passo {
    std::vector<std::string> args;
    std::vector<std::string> da_vedere;
  } passi[] = {
      {{"compile", linea, servizio, "--out", "out"}, {"wrote out/Valmora_Ardesia.dat"}},
      {{"inspect", "out/Valmora_Ardesia.dat"},
       {"track cells: 261 cells of 50 m", "station stop VALMORA", "restriction warning board at", "restriction start at",
        "signal at", "speed board at", "sign board at", "mountain marker at", "abatement mark at"}},
      {{"inspect", "out/Valmora_Ardesia.sim"}, {"VALMORA", "SAN NICOL\xC3\x92", "PONTE ORSA", "ROCCAVERDE", "(TERMINE TRATTA)"}},
      {{"inspect", "out/Valmora_linea.dat"}, {"line geometry"}},
      {{"plot", "out", "-o", "valmora.svg"}, {"wrote valmora.svg"}},
  };
  for (const passo& p : passi) {
    SCOPED_TRACE(p.args[0] + " " + p.args[1]);
    ASSERT_EQ(esegui(p.args), 0) << err;
    EXPECT_EQ(err, "");
    for (const std::string& s : p.da_vedere) EXPECT_NE(out.find(s), std::string::npos) << s;
  }
  EXPECT_NE(test::leggi_file(dir / "valmora.svg").find("ROCCAVERDE"), std::string::npos);
}

}  // namespace
}  // namespace sc
