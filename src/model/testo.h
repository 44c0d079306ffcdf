// 8-bit text: the program's texts are Windows-1252.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sc {

// UTF-8 source text to Windows-1252 bytes; characters it has no byte for
// become '?'. Invalid UTF-8 bytes pass through unchanged.
std::string utf8_a_cp1252(std::string_view utf8);

// The same, strictly: false, with the offset of the first character that
// Windows-1252 lacks (or of the first byte that is not UTF-8), when the
// text cannot be converted whole.
bool utf8_in_cp1252(std::string_view utf8, std::string& cp1252, std::size_t& errore);

// The offset of the first multi-byte UTF-8 sequence, when the text looks
// like UTF-8: it holds such sequences and no byte above 0x7F outside them.
std::optional<std::size_t> sembra_utf8(std::string_view testo);

// UTF-8 text to Windows-1252 bytes, or nothing when the text is not valid
// UTF-8 or holds a character Windows-1252 has no byte for.
std::optional<std::string> utf8_a_cp1252_esatto(std::string_view utf8);

// The code point of the UTF-8 sequence at i and its length in bytes;
// length 0 when the bytes there are not a valid sequence (overlong forms
// included). The one decoder every conversion uses.
std::pair<char32_t, int> sequenza_utf8(std::string_view in, std::size_t i);

// Windows-1252 bytes back to UTF-8, for terminals and JSON.
std::string cp1252_a_utf8(std::string_view testo);

// Lower case of a Windows-1252 text, accented capitals included.
std::string minuscolo_cp1252(std::string_view testo);

// Case-insensitive and exact substring tests used by the key-word matching.
bool contiene(std::string_view campo, std::string_view parola);
bool contiene_nocase(std::string_view campo, std::string_view parola);

// Levenshtein distance between two texts, for "did you mean".
std::size_t distanza_modifica(std::string_view a, std::string_view b);
// The candidate closest to `parola` within `massimo` edits (the first on a
// tie), or "" when none is that close.
std::string piu_vicino(std::string_view parola, const std::vector<std::string>& candidati, std::size_t massimo);

}  // namespace sc
