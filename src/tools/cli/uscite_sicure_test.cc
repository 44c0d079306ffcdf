// Nothing lost, nothing corrupt, nothing outside its directory: the commands
// run as a user runs them, on hostile names, links and files made in a
// temporary directory.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <map>

#include "compile/decodifica.h"
#include "model/modello.h"
#include "test_support/riga_comando.h"

namespace sc {
namespace {

namespace fs = std::filesystem;
using test::leggi_file;
using test::scrivi_file;

const std::string linea_mia = "[generale]\r\nlunghezza percorso, 9000\r\n[curve]\r\ncurvad5, 1000, 500\r\n[fine]\r\n";
const std::string servizio_mio = "[generale]\r\nstazione, 3300, 23, 200, 0,0,0, 0,0,0, 4,1,1, 20, 11,40,0, CENTRALE\r\n[fine]\r\n";

// Every entry under `d`: name and bytes ("->target" for a link).
std::map<std::string, std::string> voci(const fs::path& d) {
  std::map<std::string, std::string> r;
  if (!fs::exists(d)) return r;
  for (const auto& e : fs::directory_iterator(d))
    r[e.path().filename().string()] = e.is_symlink() ? "->" + fs::read_symlink(e.path()).string() : leggi_file(e.path());
  return r;
}

class UsciteSicure : public test::RigaComando {
 protected:
  void SetUp() override {
    RigaComando::SetUp();
    fs::create_directories(dir / "src");
    scrivi_file(dir / "src/Mia_linea.txt", linea_mia);
    scrivi_file(dir / "src/Mia_Treno-.txt", servizio_mio);
  }
  int compile(std::vector<std::string> altri) {
    std::vector<std::string> args = {"compile", "src/Mia_linea.txt", "src/Mia_Treno-.txt"};
    args.insert(args.end(), altri.begin(), altri.end());
    return esegui(args);
  }
};

TEST_F(UsciteSicure, NamesThatWouldLoseDataAreRefusedBeforeAnythingIsWritten) {
  ASSERT_EQ(compile({"--out", "o"}), 0) << err;
  const auto compilati = voci(dir / "o");
  scrivi_file(dir / "src/Mia_linea-.txt", servizio_mio);
  const std::string lungo(200, 'n');
  struct caso {
    std::vector<std::string> args;
    std::string messaggio;
  } casi[] = {
      {{"compile", "src/Mia_linea.txt", "src/Mia_Treno-.txt", "--out", "o", "--train", "linea"}, "would both be \"Mia_linea.dat\""},
      {{"compile", "src/Mia_linea.txt", "src/Mia_linea-.txt", "--out", "o"}, "would both be \"Mia_linea.dat\""},
      {{"compile", "src/Mia_linea.txt", "src/Mia_Treno-.txt", "--out", "o", "--scenario", lungo, "--train", lungo}, "bytes long"},
      {{"compile", "o/Mia_Treno.dat", "o/Mia_Treno.sim", "--scenario", "Mia", "--train", "Treno", "--out", "o"},
       "would replace the input"},
      {{"compile", "src/Mia_linea.txt", "./o/../o/Mia_Treno.sim", "--scenario", "Mia", "--train", "Treno", "--out", "o"},
       "would replace the input"},
      {{"compile", "src/Mia_linea.txt", "src/Mia_Treno-.txt", "--out", "o", "--train", "\xD0\xA2\xD1\x80\xD0\xB5\xD0\xBD"},
       "Windows-1252"},
  };
  for (const caso& c : casi) {
    SCOPED_TRACE(c.messaggio);
    EXPECT_EQ(esegui(c.args), 1);
    EXPECT_EQ(err.rfind("scenario-compiler: ", 0), 0u) << err;
    EXPECT_NE(err.find(c.messaggio), std::string::npos) << err;
    EXPECT_EQ(out, "");
    EXPECT_EQ(voci(dir / "o"), compilati);
  }
}

TEST_F(UsciteSicure, LinksPlantedUnderOutputNamesAreReplacedNotFollowed) {
  fs::create_directories(dir / "o");
  fs::create_directories(dir / "fuori");
  fs::create_symlink(dir / "fuori/victim", dir / "o/Mia_Treno.sim");
  scrivi_file(dir / "fuori/kept", "keep");
  fs::create_symlink(dir / "fuori/kept", dir / "o/Mia_Treno.dat");
  ASSERT_EQ(compile({"--out", "o"}), 0) << err;
  EXPECT_EQ(voci(dir / "fuori"), (std::map<std::string, std::string>{{"kept", "keep"}}));
  for (const char* nome : {"Mia_Treno.sim", "Mia_Treno.dat", "Mia_linea.dat"}) EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(dir / "o" / nome))) << nome;

  // plot's default NAME.svg in the current directory.
  fs::create_symlink(dir / "fuori/victim.svg", dir / "Mia_Treno.svg");
  ASSERT_EQ(esegui({"plot", "o"}), 0) << err;
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(dir / "Mia_Treno.svg")));
  EXPECT_EQ(voci(dir / "fuori"), (std::map<std::string, std::string>{{"kept", "keep"}}));
  // No command writes over a file it has read: plot and view take only
  // their own kinds of name, and inspect refuses its input as its output.
  const auto compilati = voci(dir / "o");
  EXPECT_EQ(esegui({"plot", "o", "-o", "o/Mia_Treno.sim"}), 1);
  EXPECT_EQ(esegui({"view", "o", "-o", "o/Mia_Treno.sim"}), 1);
  EXPECT_EQ(esegui({"inspect", "o/Mia_Treno.dat", "-o", "o/Mia_Treno.dat"}), 1);
  EXPECT_NE(err.find("would replace the input"), std::string::npos) << err;
  EXPECT_EQ(voci(dir / "o"), compilati);
}

TEST_F(UsciteSicure, OnlyRegularFilesAreRead) {
  ASSERT_EQ(mkfifo((dir / "src/fifo_linea.txt").c_str(), 0600), 0);
  struct caso {
    std::string ingresso, messaggio;
  } casi[] = {
      {"src", "src is a directory, not a regular file"},
      {"/dev/zero", "/dev/zero is a device, not a regular file"},
      {"/dev/urandom", "/dev/urandom is a device, not a regular file"},
      {"src/fifo_linea.txt", "src/fifo_linea.txt is a FIFO, not a regular file"},
  };
  for (const caso& c : casi) {
    SCOPED_TRACE(c.ingresso);
    // A FIFO without a writer must not make the command wait.
    EXPECT_EQ(shell(comando({"compile", c.ingresso, "src/Mia_Treno-.txt", "--out", "o"}, "timeout 20 ")), 1);
    EXPECT_EQ(err, "scenario-compiler: " + c.messaggio + "\n");
    EXPECT_FALSE(fs::exists(dir / "o"));
  }
}

TEST_F(UsciteSicure, Utf8NamesAreStoredAsWindows1252AndFileNamesStayUtf8) {
  ASSERT_EQ(compile({"--out", "o", "--train", "Tr\xC3\xA8no"}), 0) << err;
  const fs::path sim = dir / "o" / fs::path(u8"Mia_Trèno.sim");
  ASSERT_TRUE(fs::exists(sim));
  EXPECT_TRUE(fs::exists(dir / "o" / fs::path(u8"Mia_Trèno.dat")));
  auto servizio = decodifica_servizio(leggi_file(sim));
  ASSERT_TRUE(servizio);
  EXPECT_EQ((*servizio)[voce_corsa].nome, "Tr\xE8no");
  // 1 x 't' + 2 x 'r' + 3 x 0xE8 + ... over "tr\xE8nomia" and the padding.
  std::int32_t atteso = 0;
  const std::string t = std::string("tr\xE8nomia") + "ppqqrrssttuuvvzzhhkkwwxxyy";
  for (int i = 0; i < 25; ++i) atteso += (i + 1) * static_cast<unsigned char>(t[std::size_t(i)]);
  EXPECT_EQ((*servizio)[voce_scenario].codice, atteso);
  EXPECT_EQ(atteso, 37601);
}

class DiscoPieno : public UsciteSicure {
 protected:
  void SetUp() override {
    UsciteSicure::SetUp();
    if (geteuid() != 0 || shell("unshare -m true") != 0) GTEST_SKIP() << "needs root and unshare -m for a small tmpfs of its own";
  }
  // Runs the compile with `args` in a private mount namespace, on a tmpfs of
  // `kib` KiB at full/ holding the older set `vecchi`; what it leaves there
  // is copied to after/.
  int compile_su_disco_piccolo(int kib, const fs::path& vecchi, const std::vector<std::string>& args) {
    fs::create_directories(dir / "full");
    fs::create_directories(dir / "after");
    const std::string script =
        "mount -t tmpfs -o size=" + std::to_string(kib) + "k tmpfs full && mkdir full/o && cp -a " + test::parola(vecchi.string()) +
        "/. full/o/ && { " + comando(args) + "; echo $? >rc; }; cp -a full/o/. after/";
    shell("cd " + test::parola(dir.string()) + " && unshare -m sh -c " + test::parola(script));
    return std::stoi(leggi_file(dir / "rc"));
  }
};

TEST_F(DiscoPieno, AFullDiskLeavesTheOlderSetWhole) {
  scrivi_file(dir / "src/Lunga_linea.txt", "[generale]\r\nlunghezza percorso, 300000\r\n[curve]\r\n[fine]\r\n");
  struct caso {
    const char* nome;  // the file whose write fails
    std::vector<std::string> args;
    int kib;
  } casi[] = {
      // The new geometry (6 MB) cannot be written: the first file fails.
      {"Mia_linea.dat", {"compile", "src/Lunga_linea.txt", "src/Mia_Treno-.txt", "--scenario", "Mia", "--out", "full/o"}, 400},
      // No geometry: the service data fits, the track cells (92 kB) do not.
      {"Mia_Treno.dat", {"compile", "src/Lunga_linea.txt", "src/Mia_Treno-.txt", "--scenario", "Mia", "--out", "full/o", "--no-geometry"}, 360},
  };
  ASSERT_EQ(compile({"--out", "vecchi"}), 0) << err;
  const auto vecchi = voci(dir / "vecchi");
  for (const caso& c : casi) {
    SCOPED_TRACE(c.nome);
    fs::remove_all(dir / "after");
    EXPECT_EQ(compile_su_disco_piccolo(c.kib, dir / "vecchi", c.args), 1);
    EXPECT_EQ(err, "scenario-compiler: cannot write full/o/" + std::string(c.nome) + ": No space left on device\n");
    EXPECT_EQ(voci(dir / "after"), vecchi);
  }
}

}  // namespace
}  // namespace sc
