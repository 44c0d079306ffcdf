// Readable listings of the three binary files.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "tools/oggetti_linea.h"

namespace sc {

enum class tipo_binario { geometria, servizio, celle };

// The kind of a binary file, by its name and, failing that, by its content.
std::optional<tipo_binario> riconosci_binario(const std::string& nome, std::string_view dati);

// The decoded file as text or as JSON; nothing when the bytes are not a
// file of that kind.
std::optional<std::string> elenco_binario(tipo_binario tipo, std::string_view dati, bool json);

}  // namespace sc
