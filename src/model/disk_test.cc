#include "model/disk.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "compile/percorso.h"
#include "compile/uscita_binaria.h"
#include "model/modello.h"
#include "model/nomi_file.h"
#include "test_support/descrizioni.h"
#include "test_support/file_prova.h"

namespace sc {
namespace {

// A directory whose writes of one file fail after some bytes, as a full disk
// does; with room for every byte, the flush when the file is closed fails;
// or whose older file cannot be replaced, as a locked one.
class DiscoCheSiRiempie : public MemoryDisk {
 public:
  static constexpr std::size_t tutto = std::size_t(-1);
  std::string guasto;  // the file whose write fails
  std::size_t spazio = 0;
  bool bloccato = false;  // the rename fails instead

  std::unique_ptr<Output> replace_stream(const std::string& name) override {
    auto interno = MemoryDisk::replace_stream(name);
    if (name != guasto) return interno;
    return std::make_unique<Pieno>(std::move(interno), bloccato ? std::size_t(-1) : spazio, bloccato);
  }

 private:
  class Pieno : public Output {
   public:
    Pieno(std::unique_ptr<Output> interno, std::size_t spazio, bool bloccato)
        : interno_(std::move(interno)), spazio_(spazio), alla_chiusura_(spazio == tutto && !bloccato), bloccato_(bloccato) {}
    void write(std::string_view bytes) override {
      if (bytes.size() > spazio_) throw std::runtime_error("no space left");
      spazio_ -= bytes.size();
      interno_->write(bytes);
    }
    void close() override {
      if (alla_chiusura_) throw std::runtime_error("cannot flush");
      interno_->close();
    }
    void commit() override { interno_->commit(); }
    void commit_reversibly() override {
      if (bloccato_) throw std::runtime_error("locked");
      interno_->commit_reversibly();
    }
    void undo() override { interno_->undo(); }
    void release() override { interno_->release(); }

   private:
    std::unique_ptr<Output> interno_;
    std::size_t spazio_;
    bool alla_chiusura_;
    bool bloccato_;
  };
};

TEST(Disk, AnOutputTakesItsNameOnlyWhenCommitted) {
  MemoryDisk disk;
  disk.replace("a", "old");
  {
    auto out = disk.replace_stream("a");
    out->write("new but never committed");
    out->close();
    EXPECT_EQ(disk.read("a"), "old");
  }
  EXPECT_EQ(disk.read("a"), "old");
  disk.replace("a", "new");
  EXPECT_EQ(disk.read("a"), "new");
  EXPECT_EQ(disk.files().size(), 1u);
}

TEST(Disk, OverlayCommitsCopiesInMemoryAndTheRestInTheBase) {
  MemoryDisk base;
  OverlayDisk copie(base, {{"copia", "c"}});
  Disk::Batch lotto(copie);
  lotto.add("copia", "nuova");
  lotto.add("file", "f");
  EXPECT_TRUE(base.files().empty());
  lotto.commit();
  EXPECT_EQ(copie.read("copia"), "nuova");
  EXPECT_FALSE(base.exists("copia"));
  EXPECT_EQ(base.read("file"), "f");
}

TEST(Disk, FilesReplacedThroughABatchDiskWaitForTheBatch) {
  MemoryDisk base;
  base.replace("a", "old");
  Disk::Batch lotto(base);
  BatchDisk in_lotto(base, lotto);
  in_lotto.replace("a", "new");
  in_lotto.replace("b", "b");
  EXPECT_EQ(in_lotto.read("a"), "old");
  EXPECT_FALSE(base.exists("b"));
  lotto.commit();
  EXPECT_EQ(base.files(), (std::map<std::string, std::string>{{"a", "new"}, {"b", "b"}}));
}

// A compiled model with an older set of its three files already on the disk.
struct compilato {
  modello m;
  DiscoCheSiRiempie disk;
  std::map<std::string, std::string> vecchi;

  compilato() {
    m.nome_scenario = "S";
    m.nome_treno = "T";
    disk.replace(nome_linea_txt(m), test::linea_con("curvad3, 1000, 400\r\n"));
    disk.replace(nome_treno_txt(m), test::servizio_con(""));
    std::int32_t j = 1;
    memorizza_percorso(m, disk, j);
    for (const std::string& nome : {nome_linea_dat(m), nome_servizio_sim(m), nome_celle_dat(m)}) {
      vecchi[nome] = "older " + nome;
      disk.replace(nome, vecchi[nome]);
    }
  }
};

TEST(Disk, AFailedWriteOfAnyBinaryFileLeavesTheOlderSetWhole) {
  for (const auto scegli : {nome_linea_dat, nome_servizio_sim, nome_celle_dat}) {
    for (std::size_t spazio : {std::size_t(0), std::size_t(100), DiscoCheSiRiempie::tutto}) {
      compilato c;
      c.disk.guasto = scegli(c.m);
      c.disk.spazio = spazio;
      SCOPED_TRACE(c.disk.guasto + (spazio == DiscoCheSiRiempie::tutto ? ", its flush failing" : ", room for " + std::to_string(spazio) + " bytes"));
      EXPECT_THROW(scrivi_file_binari(c.m, c.disk), std::runtime_error);
      EXPECT_EQ(c.disk.files(), c.vecchi);
    }
  }
}

TEST(Disk, AFileThatCannotBeReplacedPutsBackThoseAlreadyReplaced) {
  for (const auto scegli : {nome_linea_dat, nome_servizio_sim, nome_celle_dat}) {
    for (bool senza_geometria : {false, true}) {
      compilato c;
      // A set without its first file before: put back means removed.
      if (senza_geometria) {
        c.disk.remove(nome_linea_dat(c.m));
        c.vecchi.erase(nome_linea_dat(c.m));
      }
      c.disk.guasto = scegli(c.m);
      c.disk.bloccato = true;
      SCOPED_TRACE(c.disk.guasto + (senza_geometria ? ", no older geometry" : ""));
      const std::string perche = test::messaggio_di<std::runtime_error>([&] { scrivi_file_binari(c.m, c.disk); });
      EXPECT_EQ(perche, "locked; the older files were kept as they were");
      EXPECT_EQ(c.disk.files(), c.vecchi);
    }
  }
}

TEST(Disk, ASuccessfulWriteReplacesTheWholeSet) {
  compilato c;
  scrivi_file_binari(c.m, c.disk);
  EXPECT_EQ(c.disk.read(nome_linea_dat(c.m)), contenuto_linea_dat(c.m));
  EXPECT_EQ(c.disk.read(nome_servizio_sim(c.m)), contenuto_servizio_sim(c.m));
  EXPECT_EQ(c.disk.read(nome_celle_dat(c.m)), contenuto_celle_dat(c.m));
  EXPECT_EQ(c.disk.files().size(), 3u);
}

}  // namespace
}  // namespace sc
