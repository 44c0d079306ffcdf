#include "model/testo.h"

#include <gtest/gtest.h>

namespace sc {
namespace {

TEST(Testo, Utf8ToWindows1252) {
  struct caso {
    const char* utf8;
    const char* atteso;
  } casi[] = {
      {"abc", "abc"},
      {"\xC3\xA8", "\xE8"},                // e grave
      {"citt\xC3\xA0", "citt\xE0"},        // a grave
      {"\xE2\x82\xAC", "\x80"},            // euro sign
      {"\xC5\xA0", "\x8A"},                // S caron
      {"\xE4\xB8\xAD", "?"},               // no byte for it
      {"\xFF" "x", "\xFF" "x"},            // invalid UTF-8 passes through
      {"\xC3", "\xC3"},                    // cut-off sequence
  };
  for (const caso& c : casi) EXPECT_EQ(utf8_a_cp1252(c.utf8), c.atteso) << c.utf8;
}

TEST(Testo, LowerCaseCoversAccentedCapitals) {
  EXPECT_EQ(minuscolo_cp1252("Vidaroz DEL Zavro"), "vidaroz del zavro");
  EXPECT_EQ(minuscolo_cp1252("\xC8\xD7\xDE\x8A\x9F"), "\xE8\xD7\xFE\x9A\xFF");
  EXPECT_EQ(minuscolo_cp1252("[]-09"), "[]-09");
}

TEST(Testo, KeywordTests) {
  EXPECT_TRUE(contiene_nocase("STAZIONE", "stazione"));
  EXPECT_TRUE(contiene_nocase("[GENERALE]", "[generale]"));
  EXPECT_FALSE(contiene_nocase("[stazioni]", "stazione"));
  EXPECT_TRUE(contiene("progressiva chilometrica uno", "uno"));
  EXPECT_FALSE(contiene("Progressiva chilometrica uno", "progressiva"));
}

}  // namespace
}  // namespace sc
