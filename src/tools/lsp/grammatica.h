// The TextMate grammar editors colour the descriptions with, written from
// the entry table: section headers, the key words of every entry as the
// readers recognise them, fields disabled by "-", numbers and quoted texts.
// The VS Code extension carries it; a test keeps its copy equal to this.
#pragma once

#include <string>

namespace sc {

// The grammar, as JSON text.
std::string grammatica_textmate();

// Its scope name, for the extension and the grammar tests.
inline constexpr const char* scope_grammatica = "source.scenario-description";

}  // namespace sc
