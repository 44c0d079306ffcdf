#include "driver/form1.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "platform/real_disk.h"
#include "model/disk.h"

namespace sc {
namespace {

namespace fs = std::filesystem;

struct interfaccia_registrata : Interfaccia {
  std::vector<std::string> eventi;
  void mostra_attesa() override { eventi.push_back("Attendere"); }
  void mostra_messaggio(const std::string& testo) override { eventi.push_back(testo); }
};

std::map<std::string, std::string> contenuto(const fs::path& dir) {
  std::map<std::string, std::string> r;
  for (const auto& e : fs::directory_iterator(dir)) {
    std::ifstream f(e.path(), std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    r[e.path().filename().string()] = s.str();
  }
  return r;
}

class Form1Run : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("scenario compiler test " + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                       ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }
  int esegui() {
    RealDisk disk(dir.string(), '/');
    Form1 form(disk, ui);
    return form.form_load();
  }
  fs::path dir;
  interfaccia_registrata ui;
};

TEST_F(Form1Run, LeavesExactlyTheFilesOfAFullRun) {
  EXPECT_EQ(esegui(), uscita_normale);
  EXPECT_EQ(ui.eventi, std::vector<std::string>{"Attendere"});
  std::map<std::string, std::size_t> dimensioni;
  for (auto& [nome, dati] : contenuto(dir)) dimensioni[nome] = dati.size();
  const std::map<std::string, std::size_t> attese = {
      {"Vidaroz del Zavro_linea.dat", 319964},
      {"Vidaroz del Zavro_Tersio.dat", 4815},
      {"Vidaroz del Zavro_Tersio.sim", 3107},
      {"Vidaroz del Zavro_Tersio_note.txt", dimensioni["Vidaroz del Zavro_Tersio_note.txt"]},
      {"Vidaroz del Zavro_Tersio_rallentamenti.txt", 12 + 31 + 8 * 2},
      {"Vidaroz del Zavro_Tersio_scheda_treno.txt", dimensioni["Vidaroz del Zavro_Tersio_scheda_treno.txt"]},
  };
  EXPECT_EQ(dimensioni, attese);
}

TEST_F(Form1Run, SecondRunGivesIdenticalBytes) {
  ASSERT_EQ(esegui(), uscita_normale);
  auto prima = contenuto(dir);
  // A longer older file must be fully replaced, not overwritten in part.
  std::ofstream(dir / "Vidaroz del Zavro_Tersio.sim", std::ios::binary) << std::string(100000, 'x');
  ASSERT_EQ(esegui(), uscita_normale);
  EXPECT_EQ(contenuto(dir), prima);
}

TEST(Form1Shown, ReservedSlotErrorShowsTheMessageOnce) {
  MemoryDisk disk;
  interfaccia_registrata ui;
  Form1 form(disk, ui);
  form.m.nome_scenario = "S";
  form.m.nome_treno = "T";
  disk.replace("S_linea.txt", "[generale]\r\nlunghezza percorso, 9000\r\n[curve]\r\n[fine]\r\n");
  disk.replace("S_T-.txt", "[generale]\r\nabbattimento, 50, 5\r\n[fine]\r\n");
  EXPECT_EQ(form.compila(1), uscita_errore_mostrato);
  EXPECT_EQ(ui.eventi, std::vector<std::string>{" Errore n. 1250"});
  EXPECT_TRUE(disk.files().empty());
}

}  // namespace
}  // namespace sc
