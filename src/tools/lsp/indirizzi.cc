#include "tools/lsp/indirizzi.h"

#include <cctype>

namespace sc {

namespace {

int cifra(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string decodifica_percento(std::string_view s) {
  std::string r;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size() && cifra(s[i + 1]) >= 0 && cifra(s[i + 2]) >= 0) {
      r += char(cifra(s[i + 1]) * 16 + cifra(s[i + 2]));
      i += 2;
    } else {
      r += s[i];
    }
  }
  return r;
}

std::string codifica_percento(std::string_view s) {
  static const char* esadecimali = "0123456789ABCDEF";
  std::string r;
  for (char c : s) {
    const auto b = static_cast<unsigned char>(c);
    if (std::isalnum(b) || c == '-' || c == '.' || c == '_' || c == '~') {
      r += c;
    } else {
      r += '%';
      r += esadecimali[b >> 4];
      r += esadecimali[b & 15];
    }
  }
  return r;
}

std::optional<std::filesystem::path> percorso_da_uri(std::string_view uri) {
  constexpr std::string_view schema = "file://";
  if (uri.size() < schema.size()) return std::nullopt;
  for (std::size_t i = 0; i < schema.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(uri[i])) != schema[i]) return std::nullopt;
  std::string_view resto = uri.substr(schema.size());
  const std::size_t barra = resto.find('/');
  if (barra == std::string_view::npos) return std::nullopt;
  const std::string_view autorita = resto.substr(0, barra);
  std::string percorso = decodifica_percento(resto.substr(barra));
  if (!autorita.empty() && autorita != "localhost") percorso = "//" + decodifica_percento(autorita) + percorso;
#ifdef _WIN32
  // "/c:/Linee/..." is the drive's path.
  if (percorso.size() >= 3 && percorso[0] == '/' && std::isalpha(static_cast<unsigned char>(percorso[1])) && percorso[2] == ':')
    percorso.erase(0, 1);
#endif
  return std::filesystem::path(std::u8string(percorso.begin(), percorso.end()));
}

std::string uri_accanto(std::string_view uri, std::string_view nome) {
  const std::size_t barra = uri.rfind('/');
  return std::string(uri.substr(0, barra == std::string_view::npos ? 0 : barra + 1)) + codifica_percento(nome);
}

std::string nome_da_uri(std::string_view uri) {
  const std::size_t barra = uri.rfind('/');
  std::string_view nome = barra == std::string_view::npos ? uri : uri.substr(barra + 1);
  return decodifica_percento(nome.substr(0, nome.find_first_of("?#")));
}

}  // namespace sc
