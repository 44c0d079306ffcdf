#include "tools/cli/testo_sicuro.h"

#include <cmath>
#include <cstdio>

namespace sc {

std::string json_stringa(std::string_view utf8) {
  std::string r = "\"";
  for (char c : utf8) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      r += '\\';
      r += c;
    } else if (u < 0x20 || c == '<' || c == '>' || c == '&') {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", u);
      r += buf;
    } else {
      r += c;
    }
  }
  return r + "\"";
}

std::string json_numero(double v, int decimali) {
  if (!std::isfinite(v)) return "null";
  char buf[40];
  if (decimali < 0) std::snprintf(buf, sizeof buf, "%.17g", v);
  else std::snprintf(buf, sizeof buf, "%.*f", decimali, v);
  std::string r = buf;
  if (decimali > 0) {
    // Trailing zeros say nothing: 12.50 is 12.5, 3.00 is 3.
    while (r.back() == '0') r.pop_back();
    if (r.back() == '.') r.pop_back();
    if (r == "-0") r = "0";
  }
  return r;
}

std::string xml_testo(std::string_view utf8) {
  std::string r;
  for (char c : utf8) {
    const auto u = static_cast<unsigned char>(c);
    switch (c) {
      case '&': r += "&amp;"; break;
      case '<': r += "&lt;"; break;
      case '>': r += "&gt;"; break;
      case '"': r += "&quot;"; break;
      case '\'': r += "&apos;"; break;
      default:
        if (u < 0x20 && c != '\t' && c != '\n' && c != '\r') r += "\xEF\xBF\xBD";
        else r += c;
    }
  }
  return r;
}

}  // namespace sc
