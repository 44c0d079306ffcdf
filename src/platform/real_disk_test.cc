#include "platform/real_disk.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "compile/percorso.h"
#include "compile/uscita_binaria.h"
#include "model/modello.h"
#include "model/nomi_file.h"
#include "test_support/descrizioni.h"
#include "test_support/file_prova.h"

#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace sc {
namespace {

namespace fs = std::filesystem;
using test::leggi_file;
using test::scrivi_file;

// Every entry of the directory: name and content ("->target" for a link).
std::map<std::string, std::string> voci(const fs::path& dir) {
  std::map<std::string, std::string> r;
  for (const auto& e : fs::directory_iterator(dir)) {
    const std::string nome = e.path().filename().string();
    if (e.is_symlink()) r[nome] = "->" + fs::read_symlink(e.path()).string();
    else if (e.is_regular_file()) r[nome] = leggi_file(e.path());
    else r[nome] = "(other)";
  }
  return r;
}

class RealDiskDir : public ::testing::Test {
 protected:
  void SetUp() override {
    base = fs::temp_directory_path() / ("scenario real disk " + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(base);
    dir = base / "out";
    fuori = base / "outside";
    fs::create_directories(dir);
    fs::create_directories(fuori);
  }
  void TearDown() override { fs::remove_all(base); }
  fs::path base, dir, fuori;
};

TEST_F(RealDiskDir, ReplaceCreatesAndTruncatesAndLeavesNothingElse) {
  RealDisk disk(dir);
  EXPECT_FALSE(disk.exists("a b.txt"));
  disk.replace("a b.txt", "long content");
  disk.replace("a b.txt", "short");
  EXPECT_EQ(disk.read("a b.txt"), "short");
  EXPECT_EQ(voci(dir), (std::map<std::string, std::string>{{"a b.txt", "short"}}));
  disk.remove("a b.txt");
  disk.remove("a b.txt");
  EXPECT_FALSE(disk.exists("a b.txt"));
  EXPECT_THROW(RealDisk(dir / "missing").replace("x", "y"), std::runtime_error);
}

TEST_F(RealDiskDir, EightBitNamesAreUnicodeFileNames) {
  RealDisk disk(dir);
  disk.replace("Tr\xE8no \x80.sim", "x");
  EXPECT_EQ(leggi_file(dir / fs::path(u8"Trèno €.sim")), "x");
  EXPECT_EQ(disk.read("Tr\xE8no \x80.sim"), "x");
  const std::string testo = disk.path("Tr\xE8no.sim");
  EXPECT_EQ(testo.substr(testo.size() - 10), "Tr\xC3\xA8no.sim");
}

TEST_F(RealDiskDir, AnOutputDroppedBeforeItsCommitLeavesTheOldFile) {
  RealDisk disk(dir);
  disk.replace("f.dat", "old");
  {
    auto out = disk.replace_stream("f.dat");
    out->write("new");
    out->close();
  }
  EXPECT_EQ(voci(dir), (std::map<std::string, std::string>{{"f.dat", "old"}}));
}

TEST_F(RealDiskDir, ADirectoryUnderTheNameIsRefusedAndTheBatchDropped) {
  modello m;
  m.nome_scenario = "S";
  m.nome_treno = "T";
  fs::create_directory(dir / "S_T.sim");
  RealDisk disk(dir);
  disk.replace(nome_linea_dat(m), "older geometry");
  m.celle.resize(3);
  m.genera_linea = 1;
  EXPECT_THROW(scrivi_file_binari(m, disk), std::runtime_error);
  EXPECT_EQ(voci(dir), (std::map<std::string, std::string>{{"S_T.sim", "(other)"}, {"S_linea.dat", "older geometry"}}));
}

TEST_F(RealDiskDir, ANameThatCannotBeReplacedPutsBackThoseAlreadyReplaced) {
  RealDisk disk(dir);
  disk.replace("a.dat", "older a");
  {
    Disk::Batch lotto(disk);
    lotto.add("a.dat", "new a");
    lotto.add("b.sim", "new b");
    lotto.add("c.dat", "new c");
    // In the way only once the set is written, as a file locked meanwhile.
    fs::create_directory(dir / "c.dat");
    const std::string perche = test::messaggio_di<std::runtime_error>([&] { lotto.commit(); });
    EXPECT_NE(perche.find("cannot replace " + disk.path("c.dat")), std::string::npos) << perche;
    EXPECT_NE(perche.find("the older files were kept as they were"), std::string::npos) << perche;
  }
  EXPECT_EQ(voci(dir), (std::map<std::string, std::string>{{"a.dat", "older a"}, {"c.dat", "(other)"}}));
}

#ifndef _WIN32

// What stands under an output's name before it is written.
struct ostile {
  const char* caso;
  void (*prepara)(const fs::path& nome, const fs::path& fuori);
};

const ostile ostili[] = {
    {"dangling link out of the directory", [](const fs::path& n, const fs::path& f) { fs::create_symlink(f / "victim", n); }},
    {"link to a file out of the directory", [](const fs::path& n, const fs::path& f) {
       scrivi_file(f / "victim", "keep");
       fs::create_symlink(f / "victim", n);
     }},
    {"hard link to a file out of the directory", [](const fs::path& n, const fs::path& f) {
       scrivi_file(f / "victim", "keep");
       fs::create_hard_link(f / "victim", n);
     }},
    {"read-only file", [](const fs::path& n, const fs::path&) {
       scrivi_file(n, "old");
       fs::permissions(n, fs::perms::owner_read);
     }},
};

TEST_F(RealDiskDir, NoLinkIsFollowedAndNothingOutsideIsTouched) {
  for (const ostile& o : ostili) {
    SCOPED_TRACE(o.caso);
    fs::remove_all(dir);
    fs::remove_all(fuori);
    fs::create_directories(dir);
    fs::create_directories(fuori);
    o.prepara(dir / "S_T.sim", fuori);
    const auto fuori_prima = voci(fuori);
    RealDisk(dir).replace("S_T.sim", "new");
    EXPECT_EQ(voci(dir), (std::map<std::string, std::string>{{"S_T.sim", "new"}}));
    EXPECT_EQ(voci(fuori), fuori_prima);
  }
}

TEST_F(RealDiskDir, WhatIsNoFileIsNeverReplacedNorWrittenInto) {
  ASSERT_EQ(mkfifo((dir / "fifo.sim").c_str(), 0600), 0);
  fs::create_symlink(dir / "fifo.sim", dir / "link.sim");
  fs::create_symlink("/dev/null", dir / "null.sim");
  const auto prima = voci(dir);
  alarm(10);  // a FIFO opened for writing would wait for ever
  for (const char* nome : {"fifo.sim", "link.sim"})
    EXPECT_EQ(test::messaggio_di<std::runtime_error>([&] { RealDisk(dir).replace(nome, "new"); }),
              "cannot replace " + (dir / nome).string() + ": it is a FIFO, not a regular file");
  EXPECT_EQ(test::messaggio_di<std::runtime_error>([&] { RealDisk(dir).replace("null.sim", "new"); }),
            "cannot replace " + (dir / "null.sim").string() + ": it is a device, not a regular file");
  alarm(0);
  EXPECT_EQ(voci(dir), prima);
  // Nothing new is made among the devices, not even a temporary file.
  for (const char* sistema : {"/dev", "/proc/self"}) {
    const std::string perche = test::messaggio_di<std::runtime_error>([&] { RealDisk(fs::path(sistema)).replace("scenario-test.sim", "x"); });
    EXPECT_NE(perche.find("holds the system's devices and state, not files"), std::string::npos) << perche;
  }
  EXPECT_FALSE(fs::exists("/dev/scenario-test.sim"));
}

// Writes beyond `limite` bytes fail, as on a full disk, while it lives.
class file_limitati {
 public:
  explicit file_limitati(rlim_t limite) {
    segnale_ = signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &prima_);
    rlimit r = prima_;
    r.rlim_cur = limite;
    setrlimit(RLIMIT_FSIZE, &r);
  }
  ~file_limitati() {
    setrlimit(RLIMIT_FSIZE, &prima_);
    signal(SIGXFSZ, segnale_);
  }

 private:
  rlimit prima_;
  void (*segnale_)(int);
};

TEST_F(RealDiskDir, AFullDiskLeavesTheOlderSetWholeAndNoTemporaryFile) {
  modello m;
  m.nome_scenario = "S";
  m.nome_treno = "T";
  MemoryDisk descrizioni;
  descrizioni.replace(nome_linea_txt(m), test::linea_con("curvad3, 1000, 400\r\n"));
  descrizioni.replace(nome_treno_txt(m), test::servizio_con(""));
  std::int32_t j = 1;
  memorizza_percorso(m, descrizioni, j);
  // The geometry (319964 bytes) fits, the larger track cell file does not.
  m.celle.resize(30000);
  for (const std::string& nome : {nome_linea_dat(m), nome_servizio_sim(m), nome_celle_dat(m)}) scrivi_file(dir / nome, "older " + nome);
  const auto prima = voci(dir);
  {
    file_limitati limite(400000);
    RealDisk disk(dir);
    EXPECT_THROW(scrivi_file_binari(m, disk), std::runtime_error);
  }
  EXPECT_EQ(voci(dir), prima);
}

#endif

}  // namespace
}  // namespace sc
