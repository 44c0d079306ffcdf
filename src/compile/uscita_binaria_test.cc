#include "compile/uscita_binaria.h"

#include <gtest/gtest.h>

#include "compile/decodifica.h"
#include "compile/percorso.h"
#include "model/disk.h"
#include "model/modello.h"
#include "model/nomi_file.h"
#include "test_support/descrizioni.h"

namespace sc {
namespace {

class UscitaBinaria : public ::testing::Test {
 protected:
  void SetUp() override {
    m.nome_scenario = "Vidaroz del Zavro";
    m.nome_treno = "Tersio";
    disk.replace(nome_linea_txt(m), test::linea_predefinita());
    disk.replace(nome_treno_txt(m), test::servizio_predefinito());
    std::int32_t j = 1;
    memorizza_percorso(m, disk, j);
    ASSERT_EQ(m.codice_errore, 0);
  }
  std::string file(const std::string& nome) { return *disk.read(nome); }
  modello m;
  MemoryDisk disk;
};

TEST_F(UscitaBinaria, TrackCellsReadBackAsCompiled) {
  std::string dati = file(nome_celle_dat(m));
  ASSERT_EQ(dati.size(), 4815u);
  auto celle = decodifica_celle(dati);
  ASSERT_TRUE(celle);
  EXPECT_EQ(*celle, m.celle);
  EXPECT_EQ(dati.substr(16, 2), "\x01\x14");
  EXPECT_EQ(dati.substr(18, 2), "\x1C\x0A");  // 2588
  // The signal at 2600 m: cell 53, 15 bytes at offset 53 * 15.
  EXPECT_EQ(dati.substr(53 * 15, 11), std::string("\x01\x1E\x00\x0A\x00\x0A\x00\x03\x00\x00\x00", 11));
}

TEST_F(UscitaBinaria, ServiceRecordsReadBackAsCompiled) {
  std::string dati = file(nome_servizio_sim(m));
  auto voci = decodifica_servizio(dati);
  ASSERT_TRUE(voci);
  for (int i = 0; i < voci_servizio; ++i) EXPECT_EQ((*voci)[std::size_t(i)], m.servizio[std::size_t(i)]) << i;
  EXPECT_EQ(dati.substr(0, 34), std::string(34, '\0')) << "element 0 is all zero";
  EXPECT_EQ((*voci)[85].intero1, 610);
  EXPECT_EQ((*voci)[85].codice, 33280);
  EXPECT_EQ((*voci)[85].nome, "Vidaroz del Zavro");
}

TEST_F(UscitaBinaria, GeometryReadsBackXThenY) {
  std::string dati = file(nome_linea_dat(m));
  ASSERT_EQ(dati.size(), 20u * 16000 - 36);
  auto punti = decodifica_geometria(dati);
  ASSERT_TRUE(punti);
  ASSERT_EQ(punti->size(), 32002u);
  for (std::int32_t metro = 0; metro <= 16000; ++metro) {
    EXPECT_EQ((*punti)[std::size_t(metro)], m.profilo(metro, 0)) << metro;
    EXPECT_EQ((*punti)[std::size_t(16001 + metro)], m.profilo(metro, 1)) << metro;
  }
  // Tag 2 and the integer 0, then tag 2 and 0 for metre 1's X.
  EXPECT_EQ(dati.substr(0, 8), std::string("\x02\x00\x00\x00\x02\x00\x00\x00", 8));
  EXPECT_EQ((*punti)[16001 + 1].valore, 1) << "Y of metre 1";
  EXPECT_EQ((*punti)[16000].tag, valore_profilo::vuoto);
}

TEST(UscitaBinariaLayout, FieldsAreLittleEndianWithoutPadding) {
  modello m;
  m.celle.assign(2, cella{});
  m.celle[1] = {3, -2, 0x1234, 0, -32768, 5, 6, 7, 8, 9, 10};
  std::string celle = contenuto_celle_dat(m);
  EXPECT_EQ(celle.substr(15), std::string("\x03\xFE\xFF\x34\x12\x00\x00\x00\x80\x05\x06\x07\x08\x09\x0A", 15));

  m.servizio[85].nome = "ab";
  m.servizio[86].nome = "xyz";
  m.servizio[86].valore1 = -1;
  m.servizio[86].codice = 0x01020304;
  std::string servizio = contenuto_servizio_sim(m);
  ASSERT_EQ(servizio.size(), 87u * 34 + 2 + 3);
  std::string r86 = servizio.substr(86 * 34 + 2);
  EXPECT_EQ(r86.substr(1, 4), "\xFF\xFF\xFF\xFF");
  EXPECT_EQ(r86.substr(14, 5), std::string("\x03\x00xyz", 5));
  EXPECT_EQ(r86.substr(33, 4), "\x04\x03\x02\x01");

  m.profilo.crea(3);
  m.profilo.semina();
  m.profilo.aggiungi(1.5, -2.25);
  // X of metres 0 to 3, then Y: integer, integer, double, unset.
  EXPECT_EQ(contenuto_linea_dat(m), std::string("\x02\x00\x00\x00" "\x02\x00\x00\x00" "\x05\x00\x00\x00\x00\x00\x00\x00\xF8\x3F" "\x00\x00"
                                                "\x02\x00\x00\x00" "\x02\x00\x01\x00" "\x05\x00\x00\x00\x00\x00\x00\x00\x02\xC0" "\x00\x00",
                                                40));
}

TEST(Decodifica, RefusesBytesOfAnotherShape) {
  EXPECT_FALSE(decodifica_celle(std::string(16, '\0')));
  EXPECT_FALSE(decodifica_servizio(std::string(87 * 34 - 1, '\0')));
  EXPECT_FALSE(decodifica_servizio(std::string(87 * 34 + 1, '\0')));
  EXPECT_FALSE(decodifica_geometria("\x07\x00"));
  EXPECT_FALSE(decodifica_geometria(std::string("\x05\x00\x01", 3)));
}

}  // namespace
}  // namespace sc
