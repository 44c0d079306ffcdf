// Checks that a text is well-formed XML or valid JSON, for the tests of the
// tools that write them.
#pragma once

#include <cctype>
#include <string>
#include <string_view>
#include <vector>

namespace sc::test {

// Tags open and close in order, nothing but blanks follows the root, and no
// character that XML 1.0 forbids appears raw.
inline bool ben_formato(const std::string& xml) {
  for (char c : xml)
    if (static_cast<unsigned char>(c) < 0x20 && c != '\n' && c != '\r' && c != '\t') return false;
  std::vector<std::string> aperti;
  for (std::size_t p = xml.find('<'); p != std::string::npos; p = xml.find('<', p + 1)) {
    std::size_t q = xml.find('>', p);
    if (q == std::string::npos) return false;
    std::string tag = xml.substr(p + 1, q - p - 1);
    if (tag.empty()) return false;
    if (tag[0] == '?' || tag[0] == '!') continue;
    std::string nome = tag.substr(tag[0] == '/', tag.find_first_of(" />\n", 1) - (tag[0] == '/'));
    if (tag[0] == '/') {
      if (aperti.empty() || aperti.back() != nome) return false;
      aperti.pop_back();
    } else if (tag.back() != '/') {
      aperti.push_back(nome);
    }
  }
  return aperti.empty();
}

// A small recursive-descent JSON checker (RFC 8259 grammar).
class json_checker {
 public:
  explicit json_checker(std::string_view t) : t_(t) {}
  bool valido() {
    spazi();
    if (!valore()) return false;
    spazi();
    return p_ == t_.size();
  }

 private:
  void spazi() {
    while (p_ < t_.size() && (t_[p_] == ' ' || t_[p_] == '\n' || t_[p_] == '\r' || t_[p_] == '\t')) ++p_;
  }
  bool letterale(std::string_view l) {
    if (t_.substr(p_, l.size()) != l) return false;
    p_ += l.size();
    return true;
  }
  bool stringa() {
    if (p_ >= t_.size() || t_[p_] != '"') return false;
    for (++p_; p_ < t_.size(); ++p_) {
      const auto c = static_cast<unsigned char>(t_[p_]);
      if (c == '"') return ++p_, true;
      if (c < 0x20) return false;
      if (c == '\\') {
        if (++p_ >= t_.size()) return false;
        const char e = t_[p_];
        if (e == 'u') {
          for (int i = 0; i < 4; ++i)
            if (++p_ >= t_.size() || !std::isxdigit(static_cast<unsigned char>(t_[p_]))) return false;
        } else if (std::string_view("\"\\/bfnrt").find(e) == std::string_view::npos) {
          return false;
        }
      }
    }
    return false;
  }
  bool numero() {
    const std::size_t inizio = p_;
    if (p_ < t_.size() && t_[p_] == '-') ++p_;
    if (p_ >= t_.size() || !std::isdigit(static_cast<unsigned char>(t_[p_]))) return false;
    if (t_[p_] == '0') ++p_;
    else
      while (p_ < t_.size() && std::isdigit(static_cast<unsigned char>(t_[p_]))) ++p_;
    if (p_ < t_.size() && t_[p_] == '.') {
      if (++p_ >= t_.size() || !std::isdigit(static_cast<unsigned char>(t_[p_]))) return false;
      while (p_ < t_.size() && std::isdigit(static_cast<unsigned char>(t_[p_]))) ++p_;
    }
    if (p_ < t_.size() && (t_[p_] == 'e' || t_[p_] == 'E')) {
      ++p_;
      if (p_ < t_.size() && (t_[p_] == '+' || t_[p_] == '-')) ++p_;
      if (p_ >= t_.size() || !std::isdigit(static_cast<unsigned char>(t_[p_]))) return false;
      while (p_ < t_.size() && std::isdigit(static_cast<unsigned char>(t_[p_]))) ++p_;
    }
    return p_ > inizio;
  }
  template <class F>
  bool elenco(char chiusa, F elemento) {
    ++p_;
    spazi();
    if (p_ < t_.size() && t_[p_] == chiusa) return ++p_, true;
    for (;;) {
      spazi();
      if (!elemento()) return false;
      spazi();
      if (p_ < t_.size() && t_[p_] == ',') {
        ++p_;
        continue;
      }
      if (p_ < t_.size() && t_[p_] == chiusa) return ++p_, true;
      return false;
    }
  }
  bool valore() {
    if (p_ >= t_.size() || ++profondita_ > 200) return false;
    bool ok;
    switch (t_[p_]) {
      case '{':
        ok = elenco('}', [&] {
          if (!stringa()) return false;
          spazi();
          if (p_ >= t_.size() || t_[p_] != ':') return false;
          ++p_;
          spazi();
          return valore();
        });
        break;
      case '[': ok = elenco(']', [&] { return valore(); }); break;
      case '"': ok = stringa(); break;
      case 't': ok = letterale("true"); break;
      case 'f': ok = letterale("false"); break;
      case 'n': ok = letterale("null"); break;
      default: ok = numero();
    }
    --profondita_;
    return ok;
  }

  std::string_view t_;
  std::size_t p_ = 0;
  int profondita_ = 0;
};

inline bool json_valido(std::string_view t) { return json_checker(t).valido(); }

}  // namespace sc::test
