// The files a command reads and writes for the user, given hostile names:
// made in a temporary directory.
#include "tools/cli/file_utente.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "test_support/file_prova.h"
#include "tools/cli/comandi.h"

namespace sc {
namespace {

namespace fs = std::filesystem;
using test::leggi_file;
using test::scrivi_file;

// The message of the usage error `f` throws, or "" when it throws none.
template <typename F>
std::string errore_di(F&& f) {
  return test::messaggio_di<errore_uso>(f);
}

class FileUtente : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("scenario user files " + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir);
    fs::create_directories(dir / "fuori");
  }
  void TearDown() override { fs::remove_all(dir); }
  fs::path dir;
};

TEST_F(FileUtente, OnlyRegularFilesWithinTheLimitAreRead) {
  scrivi_file(dir / "ok.txt", "[generale]\r\n");
  ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
  // Sparse: just over the limit without taking the room.
  scrivi_file(dir / "big.txt", "");
  fs::resize_file(dir / "big.txt", (std::uintmax_t(64) << 20) + 1);
  fs::create_symlink(dir / "ok.txt", dir / "link.txt");
  struct caso {
    fs::path percorso;
    std::string errore;  // how the message ends; "" when the file is read
  } casi[] = {
      {dir / "ok.txt", ""},
      {dir / "link.txt", ""},
      {dir, " is a directory, not a regular file"},
      {dir / "fifo", " is a FIFO, not a regular file"},
      {"/dev/zero", " is a device, not a regular file"},
      {"/dev/urandom", " is a device, not a regular file"},
      {dir / "big.txt", " is larger than 64 MiB, the limit for an input file"},
      {dir / "missing.txt", ": No such file or directory"},
      {"/proc/self/mem", ": Input/output error"},  // a regular file whose read fails
  };
  alarm(10);  // a FIFO without a writer must not make the read wait
  for (const caso& c : casi) {
    SCOPED_TRACE(c.percorso.string());
    std::string dati;
    const std::string errore = errore_di([&] { dati = leggi_ingresso(c.percorso.string()); });
    if (c.errore.empty()) {
      EXPECT_EQ(errore, "");
      EXPECT_EQ(dati, "[generale]\r\n");
    } else {
      ASSERT_GE(errore.size(), c.errore.size()) << errore;
      EXPECT_EQ(errore.substr(errore.size() - c.errore.size()), c.errore);
      EXPECT_NE(errore.find(c.percorso.string()), std::string::npos) << errore;
    }
  }
  alarm(0);
}

TEST_F(FileUtente, OutputsReplaceTheNameAndNeverFollowALink) {
  struct caso {
    const char* nome;
    void (*prepara)(const fs::path& uscita, const fs::path& fuori);
  } casi[] = {
      {"nothing there", [](const fs::path&, const fs::path&) {}},
      {"a longer file", [](const fs::path& u, const fs::path&) { scrivi_file(u, std::string(10000, 'x')); }},
      {"a dangling link", [](const fs::path& u, const fs::path& f) { fs::create_symlink(f / "victim", u); }},
      {"a link to a file", [](const fs::path& u, const fs::path& f) {
         scrivi_file(f / "victim", "keep");
         fs::create_symlink(f / "victim", u);
       }},
  };
  for (const caso& c : casi) {
    SCOPED_TRACE(c.nome);
    fs::remove_all(dir / "fuori");
    fs::create_directories(dir / "fuori");
    fs::remove(dir / "a.svg");
    c.prepara(dir / "a.svg", dir / "fuori");
    const std::string fuori_prima = fs::exists(dir / "fuori/victim") ? leggi_file(dir / "fuori/victim") : "(none)";
    scrivi_uscita((dir / "a.svg").string(), "<svg/>");
    EXPECT_FALSE(fs::is_symlink(dir / "a.svg"));
    EXPECT_EQ(leggi_file(dir / "a.svg"), "<svg/>");
    EXPECT_EQ(fs::exists(dir / "fuori/victim") ? leggi_file(dir / "fuori/victim") : "(none)", fuori_prima);
  }
  std::size_t voci = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir)) ++voci;
  EXPECT_EQ(voci, 2u) << "a.svg and fuori, no temporary file left";
}

TEST_F(FileUtente, NoOutputOnADirectoryOrOnAFileReadBefore) {
  fs::create_directories(dir / "d.svg");
  EXPECT_NE(errore_di([&] { scrivi_uscita((dir / "d.svg").string(), "x"); }).find("Is a directory"), std::string::npos);
  scrivi_file(dir / "letto.sim", "input");
  leggi_ingresso((dir / "letto.sim").string());
  const fs::path altro_nome = dir / "fuori" / ".." / "letto.sim";
  EXPECT_NE(errore_di([&] { scrivi_uscita(altro_nome.string(), "x"); }).find("would replace the input"), std::string::npos);
  EXPECT_EQ(leggi_file(dir / "letto.sim"), "input");
  EXPECT_EQ(errore_di([&] { scrivi_uscita((dir / "nuovo.svg").string(), "x"); }), "");
}

}  // namespace
}  // namespace sc
