#include "model/testo.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace sc {

namespace {

// Code points of the Windows-1252 bytes 0x80 to 0x9F (0 where the byte is unused).
constexpr std::array<char32_t, 32> alti_1252 = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The byte of a code point, or -1 when Windows-1252 has none.
int byte_1252_o_nessuno(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return int(cp);
  for (std::size_t i = 0; i < alti_1252.size(); ++i)
    if (alti_1252[i] == cp && cp != 0) return int(0x80 + i);
  return -1;
}

int byte_1252(char32_t cp) {
  const int b = byte_1252_o_nessuno(cp);
  return b < 0 ? '?' : b;
}

// Length of the UTF-8 sequence that starts with `lead`, 0 if it cannot start one.
int lunghezza_utf8(unsigned char lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

char minuscola(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return char(c + 32);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return char(c + 32);
  switch (c) {
    case 0x8A: return char(0x9A);  // S caron
    case 0x8C: return char(0x9C);  // OE
    case 0x8E: return char(0x9E);  // Z caron
    case 0x9F: return char(0xFF);  // Y diaeresis
    default: return char(c);
  }
}

}  // namespace

std::pair<char32_t, int> sequenza_utf8(std::string_view in, std::size_t i) {
  // The smallest code point each sequence length may carry.
  constexpr char32_t minimo[] = {0, 0, 0x80, 0x800, 0x10000};
  auto lead = static_cast<unsigned char>(in[i]);
  const int n = lead < 0x80 ? 1 : lunghezza_utf8(lead);
  if (n == 0 || i + std::size_t(n) > in.size()) return {0, 0};
  char32_t cp = n == 1 ? lead : lead & (0x7F >> n);
  for (int k = 1; k < n; ++k) {
    auto c = static_cast<unsigned char>(in[i + std::size_t(k)]);
    if ((c & 0xC0) != 0x80) return {0, 0};
    cp = (cp << 6) | (c & 0x3F);
  }
  if (cp < minimo[n]) return {0, 0};
  return {cp, n};
}


bool utf8_in_cp1252(std::string_view in, std::string& out, std::size_t& errore) {
  out.clear();
  out.reserve(in.size());
  for (std::size_t i = 0; i < in.size();) {
    auto [cp, n] = sequenza_utf8(in, i);
    const int b = n > 0 ? byte_1252_o_nessuno(cp) : -1;
    if (b < 0) {
      errore = i;
      return false;
    }
    out.push_back(char(b));
    i += std::size_t(n);
  }
  return true;
}

std::optional<std::size_t> sembra_utf8(std::string_view testo) {
  std::optional<std::size_t> primo;
  for (std::size_t i = 0; i < testo.size();) {
    if (static_cast<unsigned char>(testo[i]) < 0x80) {
      ++i;
      continue;
    }
    auto [cp, n] = sequenza_utf8(testo, i);
    if (n < 2) return std::nullopt;
    if (!primo) primo = i;
    i += std::size_t(n);
  }
  return primo;
}

std::string utf8_a_cp1252(std::string_view in) {
  std::string out;
  out.reserve(in.size());
  for (std::size_t i = 0; i < in.size();) {
    auto [cp, n] = sequenza_utf8(in, i);
    if (n == 0) {
      out.push_back(in[i++]);
      continue;
    }
    out.push_back(char(byte_1252(cp)));
    i += std::size_t(n);
  }
  return out;
}

std::optional<std::string> utf8_a_cp1252_esatto(std::string_view in) {
  std::string out;
  std::size_t errore = 0;
  if (!utf8_in_cp1252(in, out, errore)) return std::nullopt;
  return out;
}

std::string cp1252_a_utf8(std::string_view testo) {
  std::string out;
  for (char ch : testo) {
    auto c = static_cast<unsigned char>(ch);
    char32_t cp = c >= 0x80 && c < 0xA0 ? alti_1252[c - 0x80] : c;
    if (cp == 0 && c != 0) cp = 0xFFFD;
    if (cp < 0x80) {
      out.push_back(char(cp));
    } else if (cp < 0x800) {
      out.push_back(char(0xC0 | (cp >> 6)));
      out.push_back(char(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(char(0xE0 | (cp >> 12)));
      out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(char(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

std::string minuscolo_cp1252(std::string_view testo) {
  std::string out(testo);
  for (char& c : out) c = minuscola(static_cast<unsigned char>(c));
  return out;
}

std::size_t distanza_modifica(std::string_view a, std::string_view b) {
  std::vector<std::size_t> riga(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) riga[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonale = riga[0];
    riga[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      std::size_t sopra = riga[j];
      riga[j] = std::min({riga[j] + 1, riga[j - 1] + 1, diagonale + (a[i - 1] != b[j - 1])});
      diagonale = sopra;
    }
  }
  return riga[b.size()];
}

std::string piu_vicino(std::string_view parola, const std::vector<std::string>& candidati, std::size_t massimo) {
  std::string migliore;
  std::size_t migliore_d = massimo + 1;
  for (const std::string& c : candidati) {
    std::size_t d = distanza_modifica(parola, c);
    if (d < migliore_d) migliore = c, migliore_d = d;
  }
  return migliore;
}

bool contiene(std::string_view campo, std::string_view parola) {
  return campo.find(parola) != std::string_view::npos;
}

bool contiene_nocase(std::string_view campo, std::string_view parola) {
  return contiene(minuscolo_cp1252(campo), minuscolo_cp1252(parola));
}

}  // namespace sc
