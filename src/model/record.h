// The records of the binary files, field by field in file order: one
// description for the writer, the reader and the inspector. Each visitor
// gets the field's name and a pointer to its member; the member's type is
// its width in the file (a text has a 16-bit length in front).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>

#include "model/modello.h"

namespace sc {

template <typename F>
constexpr void per_campi_cella(F&& f) {
  f("tipo", &cella::tipo);
  f("val1", &cella::val1);
  f("val2", &cella::val2);
  f("val3", &cella::val3);
  f("val4", &cella::val4);
  f("val5", &cella::val5);
  f("val6", &cella::val6);
  f("montagna", &cella::montagna);
  f("val7", &cella::val7);
  f("val8", &cella::val8);
  f("val9", &cella::val9);
}

template <typename F>
constexpr void per_campi_servizio(F&& f) {
  f("tipo_voce", &voce_servizio::tipo_voce);
  f("valore1", &voce_servizio::valore1);
  f("valore2", &voce_servizio::valore2);
  f("valore3", &voce_servizio::valore3);
  f("opzione", &voce_servizio::opzione);
  f("nome", &voce_servizio::nome);
  f("intero1", &voce_servizio::intero1);
  f("intero2", &voce_servizio::intero2);
  f("intero3", &voce_servizio::intero3);
  f("intero4", &voce_servizio::intero4);
  f("intero5", &voce_servizio::intero5);
  f("byte1", &voce_servizio::byte1);
  f("byte2", &voce_servizio::byte2);
  f("byte3", &voce_servizio::byte3);
  f("byte4", &voce_servizio::byte4);
  f("codice", &voce_servizio::codice);
}

// Bytes a field takes in the file: its width; a text, its 16-bit length.
template <typename T>
constexpr std::size_t byte_campo() {
  if constexpr (std::is_same_v<T, std::string>) return 2;
  else return sizeof(T);
}

// Bytes of a cell in the track file.
inline constexpr std::size_t byte_cella = [] {
  std::size_t n = 0;
  per_campi_cella([&](const char*, auto membro) { n += byte_campo<std::remove_cvref_t<decltype(cella{}.*membro)>>(); });
  return n;
}();

// Bytes of a service record with an empty text; its text's bytes follow
// its length.
inline const std::size_t byte_servizio_senza_testo = [] {
  std::size_t n = 0;
  per_campi_servizio([&](const char*, auto membro) { n += byte_campo<std::remove_cvref_t<decltype(voce_servizio{}.*membro)>>(); });
  return n;
}();

}  // namespace sc
