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

TEST(Testo, ExactConversionRefusesWhatWindows1252Lacks) {
  struct caso {
    const char* utf8;
    std::optional<std::string> atteso;
  } casi[] = {
      {"Tersio", "Tersio"},
      {"Tr\xC3\xA8no", "Tr\xE8no"},                // e grave
      {"\xE2\x82\xAC \xC5\xB8", "\x80 \x9F"},        // euro sign, Y diaeresis
      {"", ""},
      {"\xD0\xBB\xD0\xB8\xD0\xBD\xD0\xB8\xD1\x8F", std::nullopt},  // Cyrillic
      {"\xC2\x81", std::nullopt},                   // U+0081: no byte in Windows-1252
      {"\xE8", std::nullopt},                        // a Latin-1 byte, not UTF-8
      {"\xC0\xAF", std::nullopt},                   // overlong "/"
      {"\xE0\x80\xAF", std::nullopt},              // overlong "/"
      {"\xED\xA0\x80", std::nullopt},              // surrogate
      {"\xC3", std::nullopt},                        // cut-off sequence
  };
  for (const caso& c : casi) EXPECT_EQ(utf8_a_cp1252_esatto(c.utf8), c.atteso) << c.utf8;
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
