#include "tools/cli/testo_sicuro.h"

#include <gtest/gtest.h>

#include <limits>

namespace sc {
namespace {

TEST(TestoSicuro, AnyBytesBecomeValidJsonAndXml) {
  struct caso {
    std::string testo, json, xml;
  } casi[] = {
      {"PRATOSERVINO", "\"PRATOSERVINO\"", "PRATOSERVINO"},
      {std::string("A\0B", 3), "\"A\\u0000B\"", "A\xEF\xBF\xBD" "B"},
      {"\x01\x1f\t", "\"\\u0001\\u001f\\u0009\"", "\xEF\xBF\xBD\xEF\xBF\xBD\t"},
      {"</script><&>", "\"\\u003c/script\\u003e\\u003c\\u0026\\u003e\"", "&lt;/script&gt;&lt;&amp;&gt;"},
      {"\"q\" 'a' \\", "\"\\\"q\\\" 'a' \\\\\"", "&quot;q&quot; &apos;a&apos; \\"},
      {"citt\xC3\xA0", "\"citt\xC3\xA0\"", "citt\xC3\xA0"},
  };
  for (const caso& k : casi) {
    EXPECT_EQ(json_stringa(k.testo), k.json);
    EXPECT_EQ(xml_testo(k.testo), k.xml);
  }
}

TEST(TestoSicuro, NumbersThatJsonCannotHoldAreNull) {
  EXPECT_EQ(json_numero(std::numeric_limits<double>::quiet_NaN()), "null");
  EXPECT_EQ(json_numero(std::numeric_limits<double>::infinity()), "null");
  EXPECT_EQ(json_numero(-std::numeric_limits<double>::infinity(), 3), "null");
  EXPECT_EQ(json_numero(12.5, 3), "12.5");
  EXPECT_EQ(json_numero(-0.0001, 3), "0");
  EXPECT_EQ(json_numero(3, 3), "3");
  EXPECT_EQ(json_numero(0.1), "0.10000000000000001");
}

}  // namespace
}  // namespace sc
