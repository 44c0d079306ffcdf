// 8-bit text: the program's texts are Windows-1252.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sc {

// UTF-8 source text to Windows-1252 bytes; characters it has no byte for
// become '?'. Invalid UTF-8 bytes pass through unchanged.
std::string utf8_a_cp1252(std::string_view utf8);

// UTF-8 text to Windows-1252 bytes, or nothing when the text is not valid
// UTF-8 or holds a character Windows-1252 has no byte for.
std::optional<std::string> utf8_a_cp1252_esatto(std::string_view utf8);

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
