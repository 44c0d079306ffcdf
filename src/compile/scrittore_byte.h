// Little-endian bytes built in memory, field by field, for one large write.
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace sc {

// The low N bytes of v at p, least significant first, whatever the host's order.
template <std::size_t N>
void metti_le(char* p, std::uint64_t v) {
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(p, &v, N);
  } else {
    for (std::size_t i = 0; i < N; ++i) p[i] = char(v >> (8 * i));
  }
}

class scrittore_byte {
 public:
  void riserva(std::size_t n) {
    if (n > dati_.size()) dati_.resize(n);
  }
  void u8(std::uint8_t v) { metti<1>(v); }
  void u16(std::uint16_t v) { metti<2>(v); }
  void i16(std::int16_t v) { metti<2>(std::uint16_t(v)); }
  void i32(std::int32_t v) { metti<4>(std::uint32_t(v)); }
  void f64(double v) {
    std::uint64_t u;
    std::memcpy(&u, &v, sizeof u);
    metti<8>(u);
  }
  // A field of a record, by its type: a text goes with its 16-bit length.
  void campo(std::uint8_t v) { u8(v); }
  void campo(std::int16_t v) { i16(v); }
  void campo(std::int32_t v) { i32(v); }
  void campo(const std::string& s) {
    // Texts are kept within 65535 bytes where they are stored.
    u16(std::uint16_t(s.size()));
    byte(s);
  }
  void byte(std::string_view s) {
    char* p = spazio(s.size());
    if (!s.empty()) std::memcpy(p, s.data(), s.size());
  }

  std::size_t dimensione() const { return usati_; }
  std::string_view vista() const { return {dati_.data(), usati_}; }
  // Starts again from no bytes, keeping the memory.
  void svuota() { usati_ = 0; }

  // The bytes written, handed over.
  std::string prendi() && {
    dati_.resize(usati_);
    return std::move(dati_);
  }

 private:
  char* spazio(std::size_t n) {
    if (usati_ + n > dati_.size()) dati_.resize(std::max(2 * dati_.size(), usati_ + n));
    char* p = dati_.data() + usati_;
    usati_ += n;
    return p;
  }
  template <std::size_t N>
  void metti(std::uint64_t v) {
    metti_le<N>(spazio(N), v);
  }

  std::string dati_;
  std::size_t usati_ = 0;
};

}  // namespace sc
