// Nothing lost, nothing corrupt, nothing outside its directory: the commands
// run as a user runs them, on hostile names, links and files made in a
// temporary directory.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <map>

#include "compile/decodifica.h"
#include "model/modello.h"
#include "test_support/linea_grande.h"
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
  // Starts the program with `args` in `dir`, its standard output on `fd`
  // (nothing when -1) and its standard error nowhere; does not wait.
  pid_t avvia(const std::vector<std::string>& args, int fd = -1) {
    std::vector<std::string> parole = {SC_EXECUTABLE};
    parole.insert(parole.end(), args.begin(), args.end());
    const pid_t figlio = fork();
    if (figlio == 0) {
      // As a user's foreground run has them, though the test runner may have
      // been started in the background, where a shell ignores SIGINT.
      for (int n : {SIGINT, SIGTERM, SIGHUP}) signal(n, SIG_DFL);
      const int nulla = open("/dev/null", O_RDWR);
      dup2(fd >= 0 ? fd : nulla, 1);
      dup2(nulla, 2);
      std::vector<char*> argv;
      for (std::string& p : parole) argv.push_back(p.data());
      argv.push_back(nullptr);
      if (chdir(dir.c_str()) == 0) execv(argv[0], argv.data());
      _exit(127);
    }
    return figlio;
  }
  static int attendi(pid_t figlio) {
    int stato = 0;
    waitpid(figlio, &stato, 0);
    return WIFEXITED(stato) ? WEXITSTATUS(stato) : 1000 + WTERMSIG(stato);
  }
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

TEST_F(UsciteSicure, WhatIsNoFileIsRefusedAndMissingFoldersAreMade) {
  ASSERT_EQ(compile({"--out", "o"}), 0) << err;
  ASSERT_EQ(mkfifo((dir / "fifo.svg").c_str(), 0600), 0);
  fs::create_directories(dir / "o2");
  ASSERT_EQ(mkfifo((dir / "o2/Mia_Treno.dat").c_str(), 0600), 0);
  struct caso {
    std::vector<std::string> args;
    std::string messaggio;
  } casi[] = {
      {{"inspect", "o/Mia_Treno.dat", "-o", "/dev/null"}, "cannot replace /dev/null: it is a device, not a regular file"},
      {{"plot", "o", "-o", "fifo.svg"}, "cannot replace fifo.svg: it is a FIFO, not a regular file"},
      {{"plot", "o", "-o", "/dev/scenario-test.svg"}, "cannot create /dev/scenario-test.svg: /dev holds the system's devices"},
      {{"compile", "src/Mia_linea.txt", "src/Mia_Treno-.txt", "--out", "o2"},
       "cannot write the track cell file o2/Mia_Treno.dat: it is a FIFO, not a regular file"},
      {{"compile", "src/Mia_linea.txt", "src/Mia_Treno-.txt", "--out", "src/Mia_linea.txt/nuova"},
       "cannot use output directory src/Mia_linea.txt/nuova: src/Mia_linea.txt is a file"},
      {{"decompile", "o", "--out", "src/Mia_linea.txt"}, "cannot use output directory src/Mia_linea.txt: it is a file"},
  };
  for (const caso& c : casi) {
    SCOPED_TRACE(c.messaggio);
    // A FIFO without a reader must not make the command wait.
    EXPECT_EQ(shell(comando(c.args, "timeout 20 ")), 1);
    EXPECT_EQ(err.rfind("scenario-compiler: " + c.messaggio, 0), 0u) << err;
  }
  EXPECT_FALSE(fs::exists("/dev/scenario-test.svg"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir / "o2"), {}), 1) << "nothing written beside the FIFO";
  for (const auto& [nome, tipo] : std::map<std::string, fs::file_type>{{"fifo.svg", fs::file_type::fifo}, {"src", fs::file_type::directory}})
    EXPECT_EQ(fs::symlink_status(dir / nome).type(), tipo) << nome;

  // Every output's missing folders are made, as compile --out makes its own.
  for (const std::vector<std::string>& args : {std::vector<std::string>{"plot", "o", "-o", "a/b/p.svg"}, {"view", "o", "-o", "a/c/p.html"},
                                              {"inspect", "o/Mia_Treno.dat", "-o", "a/d/l.txt"}, {"decompile", "o", "--out", "a/e/f"}})
    EXPECT_EQ(esegui(args), 0) << args[0] << ": " << err;
  for (const char* f : {"a/b/p.svg", "a/c/p.html", "a/d/l.txt", "a/e/f/Mia_linea.txt"}) EXPECT_TRUE(fs::is_regular_file(dir / f)) << f;
}

TEST_F(UsciteSicure, AFailedWriteOnStandardOutputEndsWith1) {
  ASSERT_EQ(compile({"--out", "o"}), 0) << err;
  const std::vector<std::string> comandi[] = {
      {"--help"}, {"inspect", "o/Mia_Treno.dat"}, {"plot", "o", "-o", "-"}, {"compile", "src/Mia_linea.txt", "src/Mia_Treno-.txt", "--out", "o"}};
  for (const auto& args : comandi) {
    SCOPED_TRACE(args[0]);
    EXPECT_EQ(shell(comando(args) + " >/dev/full"), 1);
    EXPECT_EQ(err, "scenario-compiler: cannot write to standard output: No space left on device\n");
    // A reader that has gone: a failure, not a signal.
    int tubo[2];
    ASSERT_EQ(pipe(tubo), 0);
    close(tubo[0]);
    EXPECT_EQ(attendi(avvia(args, tubo[1])), 1);
    close(tubo[1]);
  }
}

TEST_F(UsciteSicure, AnInterruptedRunLeavesNoTemporaryFile) {
  const test::descrizioni grande = test::linea_grande();
  scrivi_file(dir / "src/Grande_linea.txt", grande.linea);
  scrivi_file(dir / "src/Grande_Treno-.txt", grande.servizio);
  for (int segnale : {SIGINT, SIGTERM}) {
    SCOPED_TRACE(segnale);
    // The signal comes as the first temporary file appears; should the
    // compile win the race, another run is tried.
    bool interrotto = false;
    for (int prova = 0; prova < 10 && !interrotto; ++prova) {
      fs::remove_all(dir / "o");
      fs::create_directories(dir / "o");
      const int notifica = inotify_init1(IN_CLOEXEC);
      ASSERT_GE(inotify_add_watch(notifica, (dir / "o").c_str(), IN_CREATE), 0);
      const pid_t figlio = avvia({"compile", "src/Grande_linea.txt", "src/Grande_Treno-.txt", "--out", "o"});
      pollfd attesa{notifica, POLLIN, 0};
      char evento[4096];
      if (poll(&attesa, 1, 60000) == 1 && read(notifica, evento, sizeof evento) > 0) kill(figlio, segnale);
      close(notifica);
      const int stato = attendi(figlio);
      const auto rimasti = voci(dir / "o");
      for (const auto& [nome, dati] : rimasti) EXPECT_EQ(nome.find(".scenario-compiler-"), std::string::npos) << nome;
      // Interrupted: no set, or a whole one if the signal came while it was renamed.
      interrotto = stato == 128 + segnale;
      if (interrotto) EXPECT_TRUE(rimasti.empty() || rimasti.size() == 3) << rimasti.size();
      else EXPECT_EQ(stato, 0);
    }
    EXPECT_TRUE(interrotto) << "no run was interrupted while it wrote";
  }
}

TEST_F(UsciteSicure, TheNextRunRemovesTemporaryFilesOfKilledRunsOnly) {
  fs::create_directories(dir / "o");
  const std::string lasciato = ".scenario-compiler-0123456789abcdef.tmp", tenuto = ".scenario-compiler-fedcba9876543210.tmp";
  for (const std::string& nome : {lasciato, tenuto, std::string(".scenario-compiler-mine.tmp"), std::string("appunti.tmp")})
    scrivi_file(dir / "o" / nome, "x");
  // Held as a running compile holds its own.
  const int fd = open((dir / "o" / tenuto).c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_EQ(flock(fd, LOCK_EX), 0);
  ASSERT_EQ(compile({"--out", "o"}), 0) << err;
  close(fd);
  const auto rimasti = voci(dir / "o");
  EXPECT_EQ(rimasti.count(lasciato), 0u);
  for (const std::string& nome : {tenuto, std::string(".scenario-compiler-mine.tmp"), std::string("appunti.tmp"), std::string("Mia_Treno.sim")})
    EXPECT_EQ(rimasti.count(nome), 1u) << nome;
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
