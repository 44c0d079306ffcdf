// Editor positions against bytes, URIs against paths, and the framing.
#include <gtest/gtest.h>

#include "tools/lsp/cornice.h"
#include "tools/lsp/indirizzi.h"
#include "tools/lsp/testo_lsp.h"

namespace sc {
namespace {

struct caso_posizione {
  const char* testo;  // UTF-8, as the editor sends it
  std::size_t offset;  // in the Windows-1252 bytes
  posizione_lsp attesa;
};

// Accented letters are one byte and one UTF-16 unit, a tab is one of each,
// a character past U+FFFF one byte ("?") and two units.
const caso_posizione casi_posizione[] = {
    {"stazione, 200, NICOLÒ\r\nsegnale, 900", 21, {0, 21}},
    {"stazione, 200, NICOLÒ\r\nsegnale, 900", 23, {1, 0}},
    {"città,\t3300", 7, {0, 7}},
    {"a😀b, 5\nc", 2, {0, 3}},
    {"a😀b, 5\nc", 7, {1, 0}},
    {"x\ry\nz", 4, {2, 0}},
};

TEST(TestoDocumento, PosizioniEsatte) {
  for (const caso_posizione& c : casi_posizione) {
    const testo_documento t = testo_documento::da_utf8(c.testo);
    EXPECT_EQ(t.posizione(c.offset), c.attesa) << c.testo;
    EXPECT_EQ(t.offset(c.attesa), c.offset) << c.testo;
  }
  const testo_documento t = testo_documento::da_utf8("città\r\n");
  EXPECT_EQ(t.byte(), "citt\xE0\r\n");
  EXPECT_EQ(t.righe(), 2u);
  EXPECT_EQ(t.offset({0, 99}), 5u);  // past the line's end: its end
  EXPECT_FALSE(t.offset({2, 0}));    // past the last line: no place
  EXPECT_FALSE(t.primo_senza_cp1252());
  EXPECT_EQ(testo_documento::da_utf8("ab😀").primo_senza_cp1252()->offset, 2u);
}

TEST(TestoDocumento, ModificheIncrementali) {
  testo_documento t = testo_documento::da_utf8("pendenza, 100, 5\r\n😀x\r\n");
  t.sostituisci(*t.offset({0, 10}), *t.offset({0, 13}), "1500");
  EXPECT_EQ(t.riga(0), "pendenza, 1500, 5");
  t.sostituisci(*t.offset({0, 0}), *t.offset({0, 0}), "è\n");
  EXPECT_EQ(t.righe(), 4u);
  // The character past U+FFFF keeps its two units after the edits.
  EXPECT_EQ(t.posizione(*t.offset({2, 2})), (posizione_lsp{2, 2}));
  EXPECT_EQ(lunghezza_utf16("a😀è"), 4u);
}

TEST(Indirizzi, DaUriAPercorsoEAccanto) {
  const std::u8string percorso = percorso_da_uri("file:///home/me/Mia%20linea/Valmora_linea.txt")->generic_u8string();
  EXPECT_EQ(std::string(percorso.begin(), percorso.end()), "/home/me/Mia linea/Valmora_linea.txt");
  EXPECT_FALSE(percorso_da_uri("untitled:Untitled-1"));
  EXPECT_EQ(uri_accanto("file:///c%3A/Linee/Valmora_Ardesia-.txt", "Vidaroz del Zavro_linea.txt"), "file:///c%3A/Linee/Vidaroz%20del%20Zavro_linea.txt");
  EXPECT_EQ(nome_da_uri("file:///x/Citt%C3%A0_linea.txt"), "Città_linea.txt");
  EXPECT_EQ(decodifica_percento(codifica_percento("linea à/b")), "linea à/b");
}

struct caso_cornice {
  const char* nome;
  std::vector<std::string> pezzi;  // bytes as they arrive
  std::vector<std::string> attesi;  // bodies, or "!" for a fault
};

const caso_cornice casi_cornice[] = {
    {"whole", {"Content-Length: 2\r\n\r\n{}"}, {"{}"}},
    {"in pieces", {"Content-Le", "ngth: 5\r\nContent-Type: x\r\n", "\r\n[1,", "2]"}, {"[1,2]"}},
    {"two at once", {"Content-Length: 1\r\n\r\n1Content-Length: 1\r\n\r\n2"}, {"1", "2"}},
    {"no length", {"Content-Type: x\r\n\r\nContent-Length: 1\r\n\r\n3"}, {"!", "3"}},
    {"a length that is no number", {"Content-Length: x1\r\n\r\n"}, {"!"}},
    {"garbage before the header", {"{\"a\":1}Content-Length: 1\r\n\r\n4"}, {"4"}},
    {"too large, skipped", {"Content-Length: 2000\r\n\r\n", std::string(2000, 'x'), "Content-Length: 1\r\n\r\n5"}, {"!", "5"}},
    {"a header that never ends", {std::string(9000, 'h'), "Content-Length: 1\r\n\r\n6"}, {"!", "6"}},
};

TEST(Cornice, MessaggiEGuasti) {
  for (const caso_cornice& c : casi_cornice) {
    lettore_cornici l(1000);
    std::vector<std::string> visti;
    for (const std::string& p : c.pezzi) {
      l.aggiungi(p);
      while (auto e = l.prossimo()) visti.push_back(e->guasto ? "!" : e->testo);
    }
    EXPECT_EQ(visti, c.attesi) << c.nome;
  }
  EXPECT_EQ(incornicia("{}"), "Content-Length: 2\r\n\r\n{}");
}

}  // namespace
}  // namespace sc
