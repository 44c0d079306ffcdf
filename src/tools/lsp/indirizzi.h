// Documents are named by URIs; the descriptions beside them are files of a
// folder. Only file URIs name a folder; any other document is read alone.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace sc {

// The path of a file URI ("file:///c%3A/Linee/Mia_linea.txt" on Windows,
// "file:///home/me/Mia_linea.txt" elsewhere); nothing for other schemes.
std::optional<std::filesystem::path> percorso_da_uri(std::string_view uri);

// The URI of a file beside the document: the last segment replaced by the
// name (UTF-8), written as the rest of the URI is.
std::string uri_accanto(std::string_view uri, std::string_view nome);

// The last segment of a URI, decoded (UTF-8).
std::string nome_da_uri(std::string_view uri);

// Percent-decoding and -encoding of one segment.
std::string decodifica_percento(std::string_view s);
std::string codifica_percento(std::string_view s);

}  // namespace sc
