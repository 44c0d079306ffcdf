// The compiled bytes must never change: every file of the built-in run and of
// many generated compiles is compared with the digest of the bytes the
// trusted compiler wrote.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <map>
#include <optional>
#include <string>

#include "compile/compila.h"
#include "compile/percorso.h"
#include "driver/form1.h"
#include "diagnostics/diagnostica.h"
#include "model/disk.h"
#include "model/modello.h"
#include "model/nomi_file.h"
#include "diagnostics/osservatore_diagnostiche.h"
#include "diagnostics/tabella.h"
#include "test_support/descrizioni.h"
#include "test_support/linea_grande.h"

namespace sc {
namespace {

// FNV-1a, 64 bits: enough to see any change of a file.
std::uint64_t impronta(std::string_view dati, std::uint64_t h = 14695981039346656037ull) {
  for (unsigned char c : dati) h = (h ^ c) * 1099511628211ull;
  return h;
}

// One digest over the names and bytes of every file in the directory.
std::uint64_t impronta_cartella(const MemoryDisk& disk, std::uint64_t h = 14695981039346656037ull) {
  for (const auto& [nome, dati] : disk.files()) h = impronta(dati, impronta(nome + '\0', h) ^ dati.size());
  return h;
}

struct nessuna_interfaccia : Interfaccia {
  void mostra_attesa() override {}
  void mostra_messaggio(const std::string&) override {}
};

TEST(ByteEsatti, BuiltInRun) {
  MemoryDisk disk;
  nessuna_interfaccia ui;
  Form1 form(disk, ui);
  ASSERT_EQ(form.form_load(), uscita_normale);
  const std::map<std::string, std::uint64_t> attese = {
      {"Vidaroz del Zavro_Tersio.dat", 0x42f21c637da53182ull},
      {"Vidaroz del Zavro_Tersio.sim", 0x15fa8b7741df00a2ull},
      {"Vidaroz del Zavro_Tersio_note.txt", 0x8092c7b93eb959f7ull},
      {"Vidaroz del Zavro_Tersio_rallentamenti.txt", 0x85cf6ea7fcfc4c51ull},
      {"Vidaroz del Zavro_Tersio_scheda_treno.txt", 0xbc61d4ad8fd64443ull},
      {"Vidaroz del Zavro_linea.dat", 0x180ac9e06c7c1510ull},
  };
  std::map<std::string, std::uint64_t> viste;
  for (const auto& [nome, dati] : disk.files()) viste[nome] = impronta(dati);
  EXPECT_EQ(viste, attese);
}

// Compiles a pair of descriptions; the digest covers every file left and the
// code, position and shown error of the run.
// With `diagnostiche`, the diagnostics watch the compile, reading on past
// errors when `recupera` (as check does); without recovery the digest must
// be the one of the compile alone.
std::uint64_t compila(const std::string& linea, const std::string& servizio, std::int32_t j, const std::string& treno = "Treno",
                      raccolta_diagnostiche* diagnostiche = nullptr, bool recupera = false) {
  modello m;
  m.nome_scenario = "Linea";
  m.nome_treno = treno;
  MemoryDisk disk;
  disk.replace(nome_linea_txt(m), linea);
  disk.replace(nome_treno_txt(m), servizio);
  std::optional<osservatore_diagnostiche> diag;
  if (diagnostiche) diag.emplace(*diagnostiche, m);
  const std::int32_t mostrato = sc::compila({"Linea", treno, j, recupera}, m, disk, diag ? &*diag : nullptr).codice_mostrato;
  std::string stato = std::to_string(m.codice_errore) + "/" + std::to_string(m.posizione_errore) + "/" + std::to_string(mostrato);
  return impronta(stato, impronta_cartella(disk));
}

TEST(ByteEsatti, LargestLine) {
  const test::descrizioni d = test::linea_grande();
  raccolta_diagnostiche r;
  EXPECT_EQ(compila(d.linea, d.servizio, 1, "Treno", &r), compila(d.linea, d.servizio, 1));
  EXPECT_TRUE(r.tutte.empty()) << "a clean line has nothing to report";
  EXPECT_EQ(compila(d.linea, d.servizio, 1), 0xe1ec20ac15f724feull);
}

TEST(ByteEsatti, RestrictionsAndMountains) {
  std::ifstream f(SC_FUZZ_CORPUS "/restrictions", std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  const std::string dati = s.str().substr(1);
  const std::size_t taglio = dati.find('\0');
  ASSERT_NE(taglio, std::string::npos);
  EXPECT_EQ(compila(dati.substr(0, taglio), dati.substr(taglio + 1), 1), 0x15694af17e6e3db5ull);
}

// A small deterministic generator of description pairs: every kind of entry,
// ordinary values with now and then a collision, an odd position or an entry
// out of order, so that the compile's paths through codes are covered too.
class generatore {
 public:
  explicit generatore(std::uint64_t seme) : s_(seme * 2862933555777941757ull + 3037000493ull) { strano_ = caso(50) ? 0 : 8; }

  std::int64_t tra(std::int64_t a, std::int64_t b) { return a + std::int64_t(prossimo() % std::uint64_t(b - a + 1)); }
  bool caso(int percento) { return tra(0, 99) < percento; }
  // Odd input (a collision, an odd position, an entry out of order) only in
  // half of the files, so that the other half mostly compiles clean.
  bool strano() { return caso(strano_); }

  std::string linea(std::int64_t lunghezza) {
    std::string t = "[generale]\r\nlunghezza percorso, " + std::to_string(lunghezza) + "\r\n";
    for (const char* q : {"tre", "due", "uno"})
      if (caso(40)) t += std::string("progressiva chilometrica ") + q + ", " + n(tra(0, 4) * 5000 + (strano() ? 25 : 0)) + ", " + n(tra(0, 3) * 50) + ", " + n(tra(0, 1)) + "\r\n";
    for (const char* q : {"uno", "due", "tre"})
      if (caso(50)) t += std::string("sfondo ") + q + ", " + n(tra(0, 3)) + "\r\n";
    if (caso(50)) t += std::string("ripetizione segnali ") + (caso(50) ? "4" : "9") + " codici, " + n(tra(0, 4) * 50) + ", " + n(tra(0, 4) * 50) + "\r\n";
    t += "[curve]\r\n";
    std::int64_t m = tra(0, 500);
    for (int i = 0, k = int(tra(0, 8)); i < k && m < lunghezza; ++i) {
      std::int64_t l = tra(50, 600);
      t += std::string("curva") + (caso(50) ? "d" : "s") + n(tra(1, 6)) + ", " + n(m) + ", " + n(l) + "\r\n";
      m += l + tra(strano() ? -300 : 0, 800);
    }
    t += "[pendenze]\r\n";
    for (std::int64_t p = 0; p < lunghezza; p += tra(strano() ? -200 : 100, 2000)) t += "pendenza, " + n(p) + ", " + n(tra(-30, 30)) + "\r\n";
    t += "[montagne]\r\n";
    for (std::int64_t p = tra(0, 1000); p < lunghezza && caso(70); p += tra(100, 3000)) {
      std::int64_t f = p + tra(100, 2000);
      t += "montagna, " + n(p) + ", " + n(f) + ", " + n(tra(1, 4) + (caso(50) ? 10 : 0)) + "\r\n";
      p = f;
    }
    t += "[cartelli]\r\n";
    for (int i = 0, k = int(tra(0, 4)); i < k; ++i)
      t += "indicatori_vmax, " + n(tra(1, lunghezza / 50 + 1) * 50) + ", " + n(tra(3, 16) * 10) + ", " + n(tra(3, 16) * 10) + ", " + n(tra(3, 16) * 10) +
           ", " + n(tra(0, 3)) + ", " + (caso(50) ? std::string() : n(tra(0, 9) * 5)) + ", , , " + n(tra(0, 3)) + "\r\n";
    t += "[indicazioni]\r\n";
    for (int i = 0, k = int(tra(0, 4)); i < k; ++i) t += "cartello_indicatore, " + n(tra(1, lunghezza / 50 + 1) * 50) + ", (TESTO " + n(i) + ")\r\n";
    return t + "[fine]\r\n";
  }

  std::string servizio(std::int64_t lunghezza) {
    std::string t = "[generale]\r\nnumero vetture, " + n(tra(1, 12)) + "\r\npercentuale massa frenata, " + n(tra(60, 140)) + "\r\n";
    t += "sabbia, " + n(tra(0, 30)) + "\r\norologio, " + n(tra(0, 23)) + " " + n(tra(0, 59)) + " " + n(tra(0, 59)) + "\r\n[aderenze]\r\n";
    for (std::int64_t p = 0; p < lunghezza; p += tra(500, 4000)) t += "aderenza, " + n(p) + ", " + n(tra(40, 100)) + "\r\n";
    t += "[vel_limite]\r\n";
    for (std::int64_t p = 0; p < lunghezza; p += tra(strano() ? -500 : 200, 4000)) t += "velocita, " + n(p) + ", " + n(tra(6, 32) * 5) + "\r\n";
    t += "[stazioni]\r\n";
    for (std::int64_t p = tra(0, 10) * 100; p < lunghezza; p += tra(strano() ? 2 : 8, 60) * 100) {
      std::int64_t tipo = caso(70) ? 23 : tra(1, 30);
      t += "stazione, " + n(p + (strano() ? 10 : 0)) + ", " + n(tipo) + ", " + n(tra(1, 8) * 100 + (strano() ? 50 : 0)) + ", 0, " + n(tra(0, 1)) + ", " +
           n(tra(0, 1)) + ", 0, 0, 0, " + n(tra(1, 6)) + ", 1, 1, " + n(tra(0, 20)) + ", " + n(tra(6, 20)) + ", " + n(tra(0, 59)) + ", " + n(tra(0, 59)) +
           ", STAZIONE " + n(p) + "\r\n";
    }
    t += "[rallentamenti]\r\n";
    for (int i = 0, k = int(tra(0, 3)); i < k; ++i)
      t += "rallentamento, " + n(tra(1, lunghezza / 50 + 10) * 50) + ", " + n(tra(2, 14) * 10) + ", " + n(tra(1, 30) * 50) + ", " + n(tra(0, 2)) + ", " +
           n(tra(0, 1)) + ", " + n(caso(30) ? tra(1, 90) : 0) + "\r\n";
    for (int i = 0, k = int(tra(0, 3)); i < k; ++i) t += "abbattimento, " + n(tra(0, lunghezza / 50) * 50) + ", " + n(tra(-10, 300)) + "\r\n";
    t += "[segnali]\r\n";
    for (std::int64_t p = tra(0, 40) * 50; p < lunghezza + 200; p += tra(6, 60) * 50)
      t += "segnale, " + n(p) + ", " + n(tra(0, 2)) + ", " + n(tra(0, 4)) + ", " + n(tra(0, 4)) + ", " + n(tra(0, 4)) + ", " + n(tra(0, 2)) + ", " +
           n(tra(0, 2)) + ", " + n(tra(0, 4)) + ", " + n(tra(0, 4)) + ", " + n(tra(0, 4)) + ", " + n(tra(-5, 255)) + "\r\n";
    return t + "[codici]\r\n[fine]\r\n";
  }

 private:
  static std::string n(std::int64_t v) { return std::to_string(v); }
  std::uint64_t prossimo() {
    s_ ^= s_ << 13, s_ ^= s_ >> 7, s_ ^= s_ << 17;
    return s_;
  }
  std::uint64_t s_;
  int strano_;
};

// Every file a compile leaves, and the code and position it recorded.
std::uint64_t compila_generato(std::uint64_t seme, raccolta_diagnostiche* diagnostiche = nullptr) {
  generatore g(seme);
  const std::int64_t lunghezza = g.caso(5) ? g.tra(0, 200) : g.tra(2000, 30000);
  std::string linea = g.linea(lunghezza), servizio = g.servizio(lunghezza);
  return compila(linea, servizio, g.caso(10) ? 0 : 1, "T" + std::to_string(seme % 7), diagnostiche);
}

TEST(ByteEsatti, GeneratedCompiles) {
  std::uint64_t h = 14695981039346656037ull;
  for (std::uint64_t seme = 1; seme <= 400; ++seme) {
    const std::uint64_t senza = compila_generato(seme);
    raccolta_diagnostiche r;
    ASSERT_EQ(compila_generato(seme, &r), senza) << "seed " << seme << ": the diagnostics changed the compile";
    h = impronta(std::to_string(senza), h);
  }
  EXPECT_EQ(h, 0xc82132c425c1dfc6ull);
}

// Recovery reads every generated pair through; whenever the exact compile
// records a code, check reports at least one error, at a place in a file
// unless the walk found it in cells no entry explains.
TEST(ByteEsatti, CheckReadsEveryGeneratedPairThrough) {
  int con_codice = 0;
  for (std::uint64_t seme = 1; seme <= 400; ++seme) {
    generatore g(seme);
    const std::int64_t lunghezza = g.caso(5) ? g.tra(0, 200) : g.tra(2000, 30000);
    const std::string linea = g.linea(lunghezza), servizio = g.servizio(lunghezza);
    std::int32_t j = g.caso(10) ? 0 : 1;
    raccolta_diagnostiche esatta, ripresa;
    compila(linea, servizio, j, "T", &esatta);
    compila(linea, servizio, j, "T", &ripresa, true);
    auto errori_in = [](const raccolta_diagnostiche& r) {
      return std::count_if(r.tutte.begin(), r.tutte.end(), [](const diagnostica& d) { return codice_di(d.id) > 0; });
    };
    const bool errore_esatto = errori_in(esatta) > 0;
    const auto errori = errori_in(ripresa);
    if (errore_esatto) ++con_codice;
    EXPECT_TRUE(!errore_esatto || errori > 0) << "seed " << seme;
    EXPECT_GE(errori, errori_in(esatta)) << "seed " << seme << ": recovery reports at least what the exact reading does";
  }
  EXPECT_GT(con_codice, 100);
}

}  // namespace
}  // namespace sc
