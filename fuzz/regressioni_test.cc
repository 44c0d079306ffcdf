// Replays the seed inputs and every input that once found a fault, through
// the fuzzer's own harness.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

TEST(RegressioniFuzz, KeptInputsEndInARecordedCode) {
  int letti = 0;
  for (const char* cartella : {SC_FUZZ_CORPUS, SC_FUZZ_REGRESSIONS}) {
    if (!std::filesystem::is_directory(cartella)) continue;
    for (const auto& e : std::filesystem::directory_iterator(cartella)) {
      if (e.path().filename() == "README.md") continue;
      std::ifstream f(e.path(), std::ios::binary);
      std::stringstream s;
      s << f.rdbuf();
      const std::string dati = s.str();
      SCOPED_TRACE(e.path().filename().string());
      EXPECT_EQ(LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(dati.data()), dati.size()), 0);
      ++letti;
    }
  }
  EXPECT_GT(letti, 0);
}

}  // namespace
