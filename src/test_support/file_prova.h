// Small helpers for tests that make files in a temporary directory.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace sc::test {

inline std::string leggi_file(const std::filesystem::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

inline void scrivi_file(const std::filesystem::path& p, const std::string& dati) {
  std::ofstream(p, std::ios::binary) << dati;
}

// The message of the exception of type E that `f` throws, or "" when it
// throws none.
template <typename E, typename F>
std::string messaggio_di(F&& f) {
  try {
    f();
  } catch (const E& e) {
    return e.what();
  }
  return "";
}

}  // namespace sc::test
