#include "compile/codici_gara.h"

#include <gtest/gtest.h>

#include "model/modello.h"

namespace sc {
namespace {

modello con_nomi(const char* treno, const char* scenario) {
  modello m;
  m.servizio[voce_corsa].nome = treno;
  m.servizio[voce_scenario].nome = scenario;
  return m;
}

TEST(CodiciGara, SumsOfTheFirstTwentyFiveCharacters) {
  struct caso {
    const char* treno;
    const char* scenario;
    std::int16_t og;
    std::int32_t st;
  } casi[] = {
      // "tersiovidaroz del zavro" + "pp": 23 name characters, two of padding.
      // Plain: t116 e101 r114 s115 i105 o111 v118 i105 d100 a97 r114 o111 z122
      // (space)32 d100 e101 l108 (space)32 z122 a97 v118 r114 o111 p112 p112.
      {"Tersio", "Vidaroz del Zavro", 2588, 33280},
      {"TERSIO", "vidaroz DEL zavro", 2588, 33280},
      // Padding alone: "ppqqrrssttuuvvzzhhkkwwxxy".
      {"", "", 2875, 37564},
      // 25 characters of names: the padding does not count.
      {"aaaaaaaaaaaaa", "aaaaaaaaaaaa", 25 * 97, 97 * 325},
      {"aaaaaaaaaaaaa", "aaaaaaaaaaaaZZZZ", 25 * 97, 97 * 325},
      // One space: 32 at position 1, then the first 24 padding letters.
      {" ", "", std::int16_t(32 + 2875 - 'y'), 32 + (37564 - 25 * 'y') + (2875 - 'y')},
  };
  for (const caso& c : casi) {
    modello m = con_nomi(c.treno, c.scenario);
    EXPECT_EQ(codice_gara_og(m), c.og) << c.treno << "/" << c.scenario;
    EXPECT_EQ(codice_gara_st(m), c.st) << c.treno << "/" << c.scenario;
  }
}

TEST(CodiciGara, TrainNameComesFirst) {
  modello a = con_nomi("ab", "cd"), b = con_nomi("cd", "ab");
  EXPECT_EQ(codice_gara_og(a), codice_gara_og(b));
  EXPECT_NE(codice_gara_st(a), codice_gara_st(b));
}

}  // namespace
}  // namespace sc
