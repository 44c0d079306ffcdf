// Runs the real executable as a user does, in a temporary directory of its
// own, for tests of the command line. On Windows the executable is the
// console program beside the tests (scenario-compiler.com), started with a
// wide-character command line; SC_PROVA_CARTELLA names the folder the
// temporary directories go in, so that the tests can run from any folder.
#pragma once

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>
#endif

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

// A path as UTF-8 text, as a user types it.
inline std::string utf8(const std::filesystem::path& p) {
  const std::u8string u = p.u8string();
  return std::string(u.begin(), u.end());
}

// A path written with "/", as the program shows it: with the host's separator.
inline std::string nativo(std::string p) {
#ifdef _WIN32
  for (char& c : p)
    if (c == '/') c = '\\';
#endif
  return p;
}

class RigaComando : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = base() / ("scenario command line " + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    rimuovi_tutto(dir);
    std::filesystem::create_directories(dir);
  }
  void TearDown() override { rimuovi_tutto(dir); }

  // The tree under `p`, however long its paths.
  static void rimuovi_tutto(const std::filesystem::path& p) {
#ifdef _WIN32
    std::wstring pieno(32768, L'\0');
    pieno.resize(GetFullPathNameW(p.c_str(), DWORD(pieno.size()), pieno.data(), nullptr));
    rimuovi_lungo(L"\\\\?\\" + pieno);
#else
    std::filesystem::remove_all(p);
#endif
  }

  static std::filesystem::path base() {
#ifdef _WIN32
    if (const wchar_t* b = _wgetenv(L"SC_PROVA_CARTELLA")) return b;
#else
    if (const char* b = std::getenv("SC_PROVA_CARTELLA")) return b;
#endif
    return std::filesystem::temp_directory_path();
  }

  // Runs the executable with `args` from `dir`, keeping what it prints
  // (with LF line ends, as text has on POSIX; `out_grezzo` keeps the bytes);
  // returns its exit status.
  int esegui(const std::vector<std::string>& args) {
#ifdef _WIN32
    return avvia_windows(args);
#else
    return shell(comando(args));
#endif
  }

#ifndef _WIN32
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
    out = out_grezzo = leggi_file(f_out);
    err = leggi_file(f_err);
    std::filesystem::remove(f_out);
    std::filesystem::remove(f_err);
    return WIFEXITED(stato) ? WEXITSTATUS(stato) : -1;
  }
#endif

  std::filesystem::path dir;
  std::string out, err, out_grezzo;

#ifdef _WIN32
 private:
  int avvia_windows(const std::vector<std::string>& args) {
    wchar_t proprio[32768];
    const DWORD n = GetModuleFileNameW(nullptr, proprio, 32768);
    const std::filesystem::path programma = std::filesystem::path(std::wstring(proprio, n)).parent_path() / L"scenario-compiler.com";
    std::wstring riga = citato(programma.native());
    for (const std::string& a : args) riga += L" " + citato(largo(a));
    const std::filesystem::path f_out = dir.native() + L".out", f_err = dir.native() + L".err";
    SECURITY_ATTRIBUTES eredita{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    auto apri = [&](const std::filesystem::path& f) {
      return CreateFileW(f.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &eredita, CREATE_ALWAYS, 0, nullptr);
    };
    HANDLE h_out = apri(f_out), h_err = apri(f_err);
    HANDLE h_in = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &eredita, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = h_in;
    si.hStdOutput = h_out;
    si.hStdError = h_err;
    PROCESS_INFORMATION pi{};
    DWORD stato = DWORD(-1);
    // Sharing this program's console: a console of its own would outlive it
    // and keep the output files open.
    if (CreateProcessW(programma.c_str(), riga.data(), nullptr, nullptr, TRUE, 0, nullptr, dir.c_str(), &si, &pi)) {
      WaitForSingleObject(pi.hProcess, INFINITE);
      GetExitCodeProcess(pi.hProcess, &stato);
      CloseHandle(pi.hProcess);
      CloseHandle(pi.hThread);
    }
    CloseHandle(h_out);
    CloseHandle(h_err);
    CloseHandle(h_in);
    out_grezzo = leggi_file(f_out);
    out = senza_cr(out_grezzo);
    err = senza_cr(leggi_file(f_err));
    std::filesystem::remove(f_out);
    std::filesystem::remove(f_err);
    return int(stato);
  }

  static void rimuovi_lungo(const std::wstring& p) {
    const DWORD a = GetFileAttributesW(p.c_str());
    if (a == INVALID_FILE_ATTRIBUTES) return;
    if (!(a & FILE_ATTRIBUTE_DIRECTORY) || (a & FILE_ATTRIBUTE_REPARSE_POINT)) {
      if (!DeleteFileW(p.c_str())) RemoveDirectoryW(p.c_str());
      return;
    }
    WIN32_FIND_DATAW voce;
    HANDLE h = FindFirstFileW((p + L"\\*").c_str(), &voce);
    if (h != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring nome = voce.cFileName;
        if (nome != L"." && nome != L"..") rimuovi_lungo(p + L"\\" + nome);
      } while (FindNextFileW(h, &voce));
      FindClose(h);
    }
    RemoveDirectoryW(p.c_str());
  }
  static std::wstring largo(const std::string& s) {
    const std::filesystem::path p(std::u8string(s.begin(), s.end()));
    return p.native();
  }
  // One argument as the C runtime splits a command line.
  static std::wstring citato(const std::wstring& a) {
    if (!a.empty() && a.find_first_of(L" \t\"") == std::wstring::npos) return a;
    std::wstring r = L"\"";
    std::size_t barre = 0;
    for (wchar_t c : a) {
      if (c == L'\\') {
        ++barre;
        continue;
      }
      r.append(c == L'"' ? 2 * barre + 1 : barre, L'\\');
      barre = 0;
      r += c;
    }
    r.append(2 * barre, L'\\');
    return r + L"\"";
  }
  static std::string senza_cr(std::string s) {
    std::string r;
    for (std::size_t i = 0; i < s.size(); ++i)
      if (!(s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n')) r += s[i];
    return r;
  }
#endif
};

}  // namespace sc::test
