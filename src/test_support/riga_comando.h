// Runs the real executable as a user does, in a temporary directory of its
// own, for tests of the command line.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "test_support/file_prova.h"

namespace sc::test {

// A shell word: the text in single quotes.
inline std::string parola(const std::string& s) {
  std::string r = "'";
  for (char c : s) r += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return r + "'";
}

class RigaComando : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = std::filesystem::temp_directory_path() /
          ("scenario command line " + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
  }
  void TearDown() override { std::filesystem::remove_all(dir); }

  // The shell command that runs the executable with `args` from `dir`,
  // through `prima` (such as "timeout 20 ") when given.
  std::string comando(const std::vector<std::string>& args, const std::string& prima = "") const {
    std::string cmd = "cd " + parola(dir.string()) + " && " + prima + parola(SC_EXECUTABLE);
    for (const std::string& a : args) cmd += " " + parola(a);
    return cmd;
  }

  // Runs a shell command, keeping what it prints; returns its exit status.
  int shell(const std::string& cmd) {
    // Beside the directory, so that its listing shows only what the command left.
    const std::string f_out = dir.string() + ".out", f_err = dir.string() + ".err";
    const std::string completo = "(" + cmd + ") >" + parola(f_out) + " 2>" + parola(f_err) + " </dev/null";
    const int stato = std::system(completo.c_str());
    out = leggi_file(f_out);
    err = leggi_file(f_err);
    std::filesystem::remove(f_out);
    std::filesystem::remove(f_err);
    return WIFEXITED(stato) ? WEXITSTATUS(stato) : -1;
  }

  int esegui(const std::vector<std::string>& args) { return shell(comando(args)); }

  std::filesystem::path dir;
  std::string out, err;
};

}  // namespace sc::test
