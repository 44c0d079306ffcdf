// inspect: one binary file decoded into a readable listing.
#include <filesystem>
#include <iostream>

#include "tools/comandi.h"
#include "tools/file_utente.h"
#include "tools/ispeziona.h"

namespace sc {

namespace {

int esegui(const argomenti& a) {
  const std::string& file = a.posizionali[0];
  const std::string dati = leggi_ingresso(file);
  std::optional<tipo_binario> tipo = riconosci_binario(std::filesystem::path(file).filename().string(), dati);
  std::optional<std::string> elenco = tipo ? elenco_binario(*tipo, dati, a.ha("--json")) : std::nullopt;
  if (!elenco) throw errore_uso(file + " is not a geometry, service data or track cell file");
  std::cout << *elenco;
  return esito_ok;
}

}  // namespace

const comando comando_inspect = {
    "inspect",
    "decode one of the three binary files into a readable listing",
    "FILE [--json]",
    "Decodes a line geometry, service data or track cell file, recognised by its name or its content, into a "
    "readable listing.",
    {
        {"--json", nullptr, nullptr, "Writes the listing as JSON."},
    },
    1,
    1,
    esegui,
};

}  // namespace sc
