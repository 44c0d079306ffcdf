#include "compile/decodifica.h"

#include <cstdint>
#include <cstring>

#include "model/record.h"

namespace sc {

namespace {

// Little-endian reads that fail softly past the end.
class lettore_byte {
 public:
  explicit lettore_byte(std::string_view d) : d_(d) {}
  bool ok() const { return ok_; }
  bool finito() const { return p_ == d_.size(); }

  std::uint64_t intero(int n) {
    if (!ok_ || d_.size() - p_ < std::size_t(n)) {
      ok_ = false;
      return 0;
    }
    std::uint64_t v = 0;
    for (int i = 0; i < n; ++i) v |= std::uint64_t(static_cast<unsigned char>(d_[p_ + i])) << (8 * i);
    p_ += std::size_t(n);
    return v;
  }
  std::uint8_t u8() { return std::uint8_t(intero(1)); }
  std::uint16_t u16() { return std::uint16_t(intero(2)); }
  std::int16_t i16() { return std::int16_t(intero(2)); }
  std::int32_t i32() { return std::int32_t(std::uint32_t(intero(4))); }
  double f64() {
    std::uint64_t u = intero(8);
    double v;
    std::memcpy(&v, &u, sizeof v);
    return v;
  }
  // A field of a record, by its type: a text comes with its 16-bit length.
  void campo(std::uint8_t& v) { v = u8(); }
  void campo(std::int16_t& v) { v = i16(); }
  void campo(std::int32_t& v) { v = i32(); }
  void campo(std::string& s) { s = testo(u16()); }
  std::string testo(std::size_t n) {
    if (!ok_ || d_.size() - p_ < n) {
      ok_ = false;
      return {};
    }
    std::string s(d_.substr(p_, n));
    p_ += n;
    return s;
  }

 private:
  std::string_view d_;
  std::size_t p_ = 0;
  bool ok_ = true;
};

}  // namespace

std::optional<std::vector<cella>> decodifica_celle(std::string_view dati) {
  if (dati.empty() || dati.size() % byte_cella != 0) return std::nullopt;
  lettore_byte r(dati);
  std::vector<cella> celle(dati.size() / byte_cella);
  for (cella& c : celle) per_campi_cella([&](const char*, auto membro) { r.campo(c.*membro); });
  return celle;
}

std::optional<std::vector<voce_servizio>> decodifica_servizio(std::string_view dati) {
  lettore_byte r(dati);
  std::vector<voce_servizio> voci(voci_servizio);
  for (voce_servizio& v : voci) per_campi_servizio([&](const char*, auto membro) { r.campo(v.*membro); });
  if (!r.ok() || !r.finito()) return std::nullopt;
  return voci;
}

std::optional<std::vector<valore_profilo>> decodifica_geometria(std::string_view dati) {
  lettore_byte r(dati);
  std::vector<valore_profilo> punti;
  // Most points are doubles of 10 bytes: room for them all at once.
  punti.reserve(dati.size() / 10 + 2);
  while (r.ok() && !r.finito()) {
    switch (r.u16()) {
      case valore_profilo::vuoto: punti.push_back({}); break;
      case valore_profilo::intero: punti.push_back(valore_profilo::da_intero(r.i16())); break;
      case valore_profilo::reale: punti.push_back(valore_profilo::da_reale(r.f64())); break;
      default: return std::nullopt;
    }
  }
  if (!r.ok() || punti.empty() || punti.size() % 2 != 0) return std::nullopt;
  return punti;
}

}  // namespace sc
