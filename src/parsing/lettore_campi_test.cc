#include "parsing/lettore_campi.h"

#include <gtest/gtest.h>

#include "model/indice_righe.h"

#include <string>
#include <vector>

#include "parsing/guasto.h"

namespace sc {
namespace {

// A read script: 't' a text field, 'n' a 32-bit number; the expected values
// as text.
struct caso {
  const char* nome;
  const char* ingresso;
  const char* letture;
  std::vector<std::string> attesi;
  bool fine_dopo;
};

TEST(LettoreCampi, ReadsFieldsAsTheDescriptionsUseThem) {
  const caso casi[] = {
      {"text up to comma", "abc,def\r\n", "tt", {"abc", "def"}, true},
      {"line end ends a field", "[generale]\r\nnumero vetture,    4\r\n", "ttn", {"[generale]", "numero vetture", "4"}, true},
      {"blanks and line ends skipped", "  \r\n\r\n  x", "t", {"x"}, true},
      {"quoted field holds commas", "\"a, b\" , c\r\n", "tt", {"a, b", "c"}, true},
      {"empty text fields", ",  2750,  400\r\n", "tnn", {"", "2750", "400"}, true},
      {"trailing blanks dropped", "   (       )(INERZIA)  \r\n", "t", {"(       )(INERZIA)"}, true},
      {"blanks before a comma go with a number", "x,    0    ,0\r\n", "tnn", {"x", "0", "0"}, true},
      {"numbers separated by blanks", "orologio,    11              34            39 \r\n", "tnnn", {"orologio", "11", "34", "39"}, true},
      {"blank number fields read 0", "v,  70,  0,  ,  ,  ,  0\r\n", "tnnnnnn", {"v", "70", "0", "0", "0", "0", "0"}, true},
      {"text is not a number", "abc, -12\r\n", "nn", {"0", "-12"}, true},
      {"reals round half to even", "20.5, 21.5, -2.5, 1e3, +7\r\n", "nnnnn", {"20", "22", "-2", "1000", "7"}, true},
      {"not quite numbers", "inf, 0x10, 1e, 12abc, .5\r\n", "nnnnn", {"0", "0", "0", "0", "0"}, true},
      {"end test false before the last field", "a,b", "t", {"a"}, false},
      {"lone LF and CR end lines", "a\nb\rc", "ttt", {"a", "b", "c"}, true},
  };
  for (const caso& c : casi) {
    SCOPED_TRACE(c.nome);
    lettore_campi r(c.ingresso);
    std::vector<std::string> letti;
    for (const char* op = c.letture; *op; ++op) letti.push_back(*op == 't' ? r.leggi_testo() : std::to_string(r.leggi_i32()));
    EXPECT_EQ(letti, c.attesi);
    EXPECT_EQ(r.fine(), c.fine_dopo);
  }
}

TEST(LettoreCampi, ValuesOutsideTheirTargetFail) {
  struct limite {
    const char* testo;
    char tipo;  // '4' 32-bit, '2' 16-bit, '1' 8-bit
    bool valido;
  } limiti[] = {
      {"2147483647", '4', true}, {"2147483648", '4', false}, {"-2147483648", '4', true},
      {"-2147483649", '4', false}, {"99999999999999999999", '4', false}, {"1e400", '4', false},
      {"32767", '2', true}, {"32768", '2', false}, {"-32768", '2', true}, {"-32769", '2', false},
      {"255", '1', true}, {"256", '1', false}, {"-1", '1', false}, {"255.4", '1', true},
      {"1e-400", '4', true},
  };
  for (const limite& l : limiti) {
    SCOPED_TRACE(l.testo);
    lettore_campi r(l.testo);
    auto leggi = [&] {
      if (l.tipo == '4') r.leggi_i32();
      else if (l.tipo == '2') r.leggi_i16();
      else r.leggi_u8();
    };
    if (l.valido) EXPECT_NO_THROW(leggi());
    else EXPECT_THROW(leggi(), guasto_lettura);
  }
}

TEST(LettoreCampi, ReadingAtTheEndFails) {
  for (const char* testo : {"", "  \r\n", "a\r\n \r\n"}) {
    lettore_campi r(testo);
    if (!r.fine()) r.leggi_testo();
    ASSERT_TRUE(r.fine()) << testo;
    EXPECT_THROW(r.leggi_testo(), guasto_lettura) << testo;
    EXPECT_THROW(r.leggi_i32(), guasto_lettura) << testo;
  }
}

TEST(LettoreCampi, ReportsTheLineOfTheLastField) {
  lettore_campi r("a\r\nb, c\r\n\r\nd\ne\rf");
  const indice_righe indice(r.testo());
  std::vector<int> righe;
  while (!r.fine()) {
    r.leggi_testo();
    righe.push_back(indice.posizione(r.inizio_campo()).first);
  }
  EXPECT_EQ(righe, (std::vector<int>{1, 2, 2, 4, 5, 6}));
}

}  // namespace
}  // namespace sc
