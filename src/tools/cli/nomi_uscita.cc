#include "tools/cli/nomi_uscita.h"

#include <map>
#include <system_error>

#include "platform/real_disk.h"
#include "model/modello.h"
#include "model/nomi_file.h"
#include "model/testo.h"
#include "platform/file.h"
#include "tools/cli/comandi.h"

namespace sc {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t massimo_nome_file = 255;

// Characters no Windows file name may hold.
bool vietato(unsigned char c) { return c < 0x20 || std::string_view("<>:\"/\\|?*").find(char(c)) != std::string_view::npos; }

// The directory entry a path names: its directory resolved, its own name as given.
fs::path voce(const fs::path& p) {
  std::error_code ec;
  const fs::path cartella = p.has_parent_path() ? p.parent_path() : fs::path(".");
  fs::path risolta = fs::weakly_canonical(cartella, ec);
  if (ec) risolta = fs::absolute(cartella, ec);
  return risolta / p.filename();
}

bool su_ingresso(const fs::path& uscita, const fs::path& ingresso) {
  if (voce(uscita) == voce(ingresso)) return true;
  std::error_code ec;
  const fs::file_status st = fs::symlink_status(uscita, ec);
  if (ec || !fs::exists(st) || fs::is_symlink(st)) return false;
  return fs::equivalent(uscita, ingresso, ec) && !ec;
}

}  // namespace

std::string nome_modello(const std::string& nome, const std::string& cosa) {
  std::optional<std::string> testo = utf8_a_cp1252_esatto(nome);
  if (!testo)
    throw errore_uso("the " + cosa + " name \"" + nome + "\" cannot be stored: the format keeps names in Windows-1252, " +
                     "and it holds characters Windows-1252 lacks or bytes that are not UTF-8");
  return *testo;
}

void controlla_non_ingresso(const fs::path& uscita, const std::vector<std::string>& ingressi) {
  for (const std::string& ingresso : ingressi) {
    const fs::path file = piattaforma::percorso_di(ingresso);
    if (su_ingresso(uscita, file))
      throw errore_uso(piattaforma::testo_percorso(uscita) + " would replace the input " + piattaforma::testo_percorso(file) +
                       "; inputs are never changed: choose another output directory or other names");
  }
}

void controlla_uscite(const fs::path& cartella, const std::vector<uscita_prevista>& uscite,
                      const std::vector<std::string>& ingressi) {
  const RealDisk disco(cartella);
  std::map<std::string, const uscita_prevista*> viste;  // by name in lower case
  for (const uscita_prevista& u : uscite) {
    const std::string host = cp1252_a_utf8(u.nome);
    if (host.size() > massimo_nome_file)
      throw errore_uso("the " + u.cosa + " name would be " + std::to_string(host.size()) + " bytes long, and a file name holds at most " +
                       std::to_string(massimo_nome_file) + ": choose shorter names (" + host + ")");
    for (unsigned char c : u.nome)
      if (vietato(c))
        throw errore_uso("the " + u.cosa + " name \"" + host + "\" holds a character file names cannot have on Windows");
    auto [gia, nuovo] = viste.emplace(minuscolo_cp1252(u.nome), &u);
    if (!nuovo) {
      const std::string altro = cp1252_a_utf8(gia->second->nome);
      throw errore_uso(altro == host ? "the " + gia->second->cosa + " and the " + u.cosa + " would both be \"" + host +
                                           "\": choose other scenario or train names"
                                     : "the " + gia->second->cosa + " \"" + altro + "\" and the " + u.cosa + " \"" + host +
                                           "\" differ only in letter case, so on Windows they would be one file: choose "
                                           "other scenario or train names");
    }
    const fs::path p = disco.host_path(u.nome);
    if (piattaforma::genere_di(p, false) == piattaforma::genere_voce::cartella)
      throw errore_uso("cannot write the " + u.cosa + " " + piattaforma::testo_percorso(p) + ": it is a directory");
    // A set is replaced whole by renaming files; what is no file cannot be.
    if (piattaforma::genere_di(p) == piattaforma::genere_voce::dispositivo)
      throw errore_uso("cannot write the " + u.cosa + " " + piattaforma::testo_percorso(p) + ": it is " +
                       piattaforma::descrizione_genere(p) + ", not a regular file");
    controlla_non_ingresso(p, ingressi);
  }
}

nomi_compile controlla_compile(const std::string& scenario, const std::string& treno, const std::string& cartella,
                               bool geometria, const std::vector<std::string>& ingressi) {
  modello m;
  m.nome_scenario = nome_modello(scenario, "scenario");
  m.nome_treno = nome_modello(treno, "train");
  std::vector<uscita_prevista> uscite;
  if (geometria) uscite.push_back({nome_linea_dat(m), "line geometry file"});
  uscite.push_back({nome_servizio_sim(m), "service data file"});
  uscite.push_back({nome_celle_dat(m), "track cell file"});
  controlla_uscite(piattaforma::percorso_di(cartella), uscite, ingressi);
  return {m.nome_scenario, m.nome_treno};
}

}  // namespace sc
