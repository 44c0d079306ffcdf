// The framing of the Language Server Protocol: each message is a header
// ("Content-Length: N", a blank line) and N bytes of JSON. Bytes come in as
// the stream gives them; whole messages and framing faults come out. After
// a fault the reader finds its way to the next header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sc {

class lettore_cornici {
 public:
  // Messages larger than this are skipped, with a fault.
  explicit lettore_cornici(std::size_t massimo = std::size_t(256) << 20) : massimo_(massimo) {}

  void aggiungi(std::string_view byte);

  struct evento {
    bool guasto = false;
    std::string testo;  // the message's body, or what was wrong
  };
  // The next message or fault, once its bytes are all in.
  std::optional<evento> prossimo();

 private:
  std::string buffer_;
  std::size_t inizio_ = 0;
  std::size_t massimo_;
  std::optional<std::size_t> lunghezza_;  // of the body being read
  std::uint64_t da_saltare_ = 0;          // bytes of a refused body still to drop
};

// A message with its header.
std::string incornicia(std::string_view corpo);

}  // namespace sc
