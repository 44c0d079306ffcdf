// Little-endian bytes built in memory, field by field, for one large write.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace sc {

class scrittore_byte {
 public:
  void riserva(std::size_t n) { dati_.reserve(n); }
  void u8(std::uint8_t v) { dati_.push_back(char(v)); }
  void u16(std::uint16_t v) {
    u8(std::uint8_t(v));
    u8(std::uint8_t(v >> 8));
  }
  void i16(std::int16_t v) { u16(std::uint16_t(v)); }
  void i32(std::int32_t v) {
    auto u = std::uint32_t(v);
    for (int i = 0; i < 4; ++i) u8(std::uint8_t(u >> (8 * i)));
  }
  void f64(double v) {
    std::uint64_t u;
    std::memcpy(&u, &v, sizeof u);
    for (int i = 0; i < 8; ++i) u8(std::uint8_t(u >> (8 * i)));
  }
  void byte(std::string_view s) { dati_.append(s); }

  const std::string& dati() const { return dati_; }

 private:
  std::string dati_;
};

}  // namespace sc
