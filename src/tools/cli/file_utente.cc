#include "tools/cli/file_utente.h"

#include <iostream>
#include <stdexcept>
#include <vector>

#include "platform/file.h"
#include "platform/terminale.h"
#include "tools/cli/comandi.h"
#include "tools/cli/nomi_uscita.h"

namespace sc {

namespace {

namespace p = piattaforma;

// Every file read so far by this command.
std::vector<std::string>& ingressi_letti() {
  static std::vector<std::string> letti;
  return letti;
}

}  // namespace

std::string leggi_ingresso(const std::string& percorso) {
  try {
    std::string dati = p::leggi_file_regolare(p::percorso_di(percorso));
    ingressi_letti().push_back(percorso);
    return dati;
  } catch (const std::runtime_error& e) {
    throw errore_uso(e.what());
  }
}

void scrivi_uscita(const std::string& percorso, std::string_view dati, forma_uscita forma) {
  if (percorso == "-") {
    if (forma == forma_uscita::testo) std::cout.write(dati.data(), std::streamsize(dati.size()));
    else p::scrivi_dati(std::cout, dati);
    return;
  }
  const p::percorso file = p::percorso_di(percorso);
  controlla_non_ingresso(file, ingressi_letti());
  try {
    if (file.has_parent_path()) p::crea_cartelle(file.parent_path());
    p::file_nuovo f(file);
    if (forma == forma_uscita::testo) f.scrivi(p::con_fine_riga(dati));
    else f.scrivi(dati);
    f.conferma();
  } catch (const std::runtime_error& e) {
    throw errore_uso(e.what());
  }
}

void prepara_cartella(const std::string& cartella) {
  try {
    p::crea_cartelle(p::percorso_di(cartella));
  } catch (const std::runtime_error& e) {
    throw errore_uso(e.what());
  }
}

std::string come_percorso(const std::string& percorso) { return p::testo_percorso(p::percorso_di(percorso)); }

std::string nome_in_percorso(const std::string& percorso) { return p::testo_percorso(p::percorso_di(percorso).filename()); }

std::string unisci(const std::string& cartella, const std::string& nome) {
  return p::testo_percorso(p::percorso_di(cartella) / p::percorso_di(nome));
}

}  // namespace sc
