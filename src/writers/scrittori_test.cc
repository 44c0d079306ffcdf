#include "writers/scrittori.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <vector>

#include "model/disk.h"
#include "model/modello.h"
#include "model/nomi_file.h"
#include "writers/tabelle.h"

namespace sc {
namespace {

std::vector<std::string> dividi_crlf(const std::string& testo) {
  std::vector<std::string> righe;
  std::size_t p = 0;
  for (std::size_t q; (q = testo.find("\r\n", p)) != std::string::npos; p = q + 2) righe.push_back(testo.substr(p, q - p));
  EXPECT_EQ(p, testo.size()) << "text after the last CR LF";
  return righe;
}

struct scrittore {
  const char* nome;
  std::function<void(const modello&, Disk&)> scrivi;
  std::function<std::string(const modello&)> file;
  std::size_t righe;
  const char* prima;
  const char* ultima;
};

class Scrittori : public ::testing::Test {
 protected:
  Scrittori() {
    m.nome_scenario = "Vidaroz del Zavro";
    m.nome_treno = "Tersio";
  }
  modello m;
  MemoryDisk disk;
};

TEST_F(Scrittori, EachFileHasItsLinesEachEndedByCrLf) {
  const scrittore tutti[] = {
      {"linea", dati_linea, nome_linea_txt, 43, "[generale]", "[fine]"},
      {"treno", dati_treno, nome_treno_txt, 23, "[generale]", "[fine]"},
      {"note", dati_note, nome_note_txt, 13, nullptr, nullptr},
      {"rallentamenti", dati_rallentamenti, nome_rallentamenti_txt, 8, "", "          NESSUNA PRESCRIZIONE "},
      {"scheda", dati_scheda, nome_scheda_txt, 49, "", ""},
  };
  for (const scrittore& s : tutti) {
    SCOPED_TRACE(s.nome);
    s.scrivi(m, disk);
    const std::string testo = *disk.read(s.file(m));
    EXPECT_EQ(testo.find(std::string(sentinella)), std::string::npos);
    auto righe = dividi_crlf(testo);
    ASSERT_EQ(righe.size(), s.righe);
    if (s.prima) { EXPECT_EQ(righe.front(), s.prima); }
    if (s.ultima) { EXPECT_EQ(righe.back(), s.ultima); }
    // Writing again replaces the file, it does not append.
    s.scrivi(m, disk);
    EXPECT_EQ(*disk.read(s.file(m)), testo);
  }
}

TEST_F(Scrittori, FileNamesJoinBothNames) {
  EXPECT_EQ(nome_linea_txt(m), "Vidaroz del Zavro_linea.txt");
  EXPECT_EQ(nome_treno_txt(m), "Vidaroz del Zavro_Tersio-.txt");
  EXPECT_EQ(nome_note_txt(m), "Vidaroz del Zavro_Tersio_note.txt");
  EXPECT_EQ(nome_rallentamenti_txt(m), "Vidaroz del Zavro_Tersio_rallentamenti.txt");
  EXPECT_EQ(nome_scheda_txt(m), "Vidaroz del Zavro_Tersio_scheda_treno.txt");
  EXPECT_EQ(nome_linea_dat(m), "Vidaroz del Zavro_linea.dat");
  EXPECT_EQ(nome_servizio_sim(m), "Vidaroz del Zavro_Tersio.sim");
  EXPECT_EQ(nome_celle_dat(m), "Vidaroz del Zavro_Tersio.dat");
}

TEST_F(Scrittori, NotesAreWindows1252AndAligned) {
  dati_note(m, disk);
  auto righe = dividi_crlf(*disk.read(nome_note_txt(m)));
  ASSERT_EQ(righe.size(), 13u);
  EXPECT_EQ(righe[0].size(), 834u);
  EXPECT_NE(righe[0].find("La guida \xE8 molto semplice, l'unica difficolt\xE0 \xE8 data"), std::string::npos);
  EXPECT_EQ(righe[0].find('\xC3'), std::string::npos) << "UTF-8 leaked into the file";
  EXPECT_EQ(righe[3], "  ");
  EXPECT_EQ(righe[7], " ");
  EXPECT_EQ(righe[5].rfind("Cenni storici reperibili in ", 0), 0u);
  EXPECT_EQ(righe[5].back(), '.');
  for (int r : {8, 9}) EXPECT_EQ(righe[std::size_t(r)].substr(16, 3), "-  ") << r;
  for (int r : {11, 12}) EXPECT_EQ(righe[std::size_t(r)].substr(8, 2), "- ") << r;
}

TEST_F(Scrittori, SheetKeepsItsDrawing) {
  dati_scheda(m, disk);
  auto righe = dividi_crlf(*disk.read(nome_scheda_txt(m)));
  ASSERT_EQ(righe.size(), 49u);
  for (int vuota : {0, 1, 11, 48}) EXPECT_EQ(righe[std::size_t(vuota)], "") << vuota;
  for (std::size_t r = 13; r <= 47; ++r) EXPECT_EQ(righe[r].size(), 83u) << r;
  for (std::size_t r = 22; r <= 46; ++r) EXPECT_EQ(righe[r], righe[22]) << r;
  EXPECT_NE(righe[22], righe[47]);
  EXPECT_EQ(righe[8].size(), 64u) << "trailing spaces kept";
  EXPECT_NE(righe[4].find("Tersio"), std::string::npos);
}

TEST_F(Scrittori, DescriptionsKeepIrregularLines) {
  dati_linea(m, disk);
  dati_treno(m, disk);
  auto linea = dividi_crlf(*disk.read(nome_linea_txt(m)));
  auto treno = dividi_crlf(*disk.read(nome_treno_txt(m)));
  EXPECT_EQ(linea[13], ",  2750,  400");
  EXPECT_EQ(linea[8], "ripetizione segnali 4 codici,    0    ,0");
  EXPECT_EQ(linea[39], "cartello_indicatore,  5900,   (       )(INERZIA)");
  EXPECT_EQ(treno[4], "orologio,    11              34            39 ");
}

}  // namespace
}  // namespace sc
