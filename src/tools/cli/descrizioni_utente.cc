#include "tools/cli/descrizioni_utente.h"

#include <cstdio>
#include <iostream>
#include <sstream>

#include "model/indice_righe.h"
#include "model/nomi_file.h"
#include "model/modello.h"
#include "model/testo.h"
#include "platform/terminale.h"
#include "tools/cli/file_utente.h"
#include "tools/cli/nomi_uscita.h"

namespace sc {

namespace {

bool finisce(const std::string& s, const std::string& fine) {
  return s.size() >= fine.size() && s.compare(s.size() - fine.size(), fine.size(), fine) == 0;
}

std::string senza(const std::string& s, const std::string& fine) { return s.substr(0, s.size() - fine.size()); }

// A name becomes part of file names: no separators, nothing empty.
bool nome_valido(const std::string& n) {
  return !n.empty() && n.size() <= 200 && n.find_first_of("/\\:") == std::string::npos && n != "." && n != "..";
}

// A file name without its extension; a name that is all extension stays.
std::string radice(const std::string& nome) {
  const std::size_t punto = nome.rfind('.');
  return punto == std::string::npos || punto == 0 || nome == ".." ? nome : nome.substr(0, punto);
}

// Names from "NAME_linea.txt" and "NAME_TRAIN-.txt" unless given.
std::string scenario_da(const std::string& file_linea) {
  std::string base = nome_in_percorso(file_linea);
  return finisce(base, "_linea.txt") ? senza(base, "_linea.txt") : radice(base);
}

std::string treno_da(const std::string& file_servizio, const std::string& scenario) {
  std::string base = nome_in_percorso(file_servizio);
  base = finisce(base, "-.txt") ? senza(base, "-.txt") : radice(base);
  if (base.rfind(scenario + "_", 0) == 0) return base.substr(scenario.size() + 1);
  if (auto u = base.rfind('_'); u != std::string::npos) return base.substr(u + 1);
  return base;
}

// The code point of one UTF-8 character, or the byte itself when it is none.
char32_t punto_codice(std::string_view c) {
  auto [punto, n] = sequenza_utf8(c, 0);
  return n > 0 ? punto : char32_t(static_cast<unsigned char>(c[0]));
}

luogo_testo luogo_in(const std::string& nome, const std::string& testo, std::size_t offset, std::size_t lunghezza) {
  luogo_testo l{nome, offset, offset + lunghezza, 0, 0};
  std::tie(l.riga, l.colonna) = indice_righe(testo).posizione(offset);
  return l;
}

// UTF-16, by its byte order mark or by NULs in every other byte of text
// that is otherwise plain: "UTF-16LE", "UTF-16BE", or "".
std::string utf16(std::string_view t) {
  if (t.substr(0, 2) == "\xFF\xFE") return "UTF-16LE";
  if (t.substr(0, 2) == "\xFE\xFF") return "UTF-16BE";
  const std::size_t n = std::min<std::size_t>(t.size(), 400) / 2 * 2;
  if (n < 8) return "";
  std::size_t pari = 0, dispari = 0;
  for (std::size_t i = 0; i < n; i += 2) pari += t[i] == '\0', dispari += t[i + 1] == '\0';
  if (dispari * 10 >= n / 2 * 9 && pari == 0) return "UTF-16LE";
  if (pari * 10 >= n / 2 * 9 && dispari == 0) return "UTF-16BE";
  return "";
}

constexpr std::string_view bom_utf8 = "\xEF\xBB\xBF";

}  // namespace

bool codifica_descrizione(const std::string& nome, std::string& testo, bool da_utf8, ricevitore_diagnostiche& r) {
  if (const std::string u = utf16(testo); !u.empty()) {
    r.riporta({diag::testo_utf16, luogo_in(nome, testo, 0, 0), std::nullopt, {u}, {}});
    return false;
  }
  if (const std::size_t nul = testo.find('\0'); nul != std::string::npos) {
    diagnostica d{diag::non_testo, luogo_in(nome, testo, 0, 0), std::nullopt, {}, {}};
    d.note.push_back({diag::nota_non_testo, luogo_in(nome, testo, nul, 1), std::nullopt, {}, {}});
    r.riporta(d);
  }
  const bool con_bom = std::string_view(testo).substr(0, bom_utf8.size()) == bom_utf8;
  if (da_utf8) {
    // Notepad's byte order mark is no character of the text.
    if (con_bom) testo.erase(0, bom_utf8.size());
    std::string convertito;
    std::size_t errore = 0;
    if (utf8_in_cp1252(testo, convertito, errore)) {
      testo = std::move(convertito);
      return true;
    }
    // Shown with "?" for what has no byte, the caret on the character.
    std::size_t lungo = 1;
    while (errore + lungo < testo.size() && (static_cast<unsigned char>(testo[errore + lungo]) & 0xC0) == 0x80) ++lungo;
    char punto[16];
    std::snprintf(punto, sizeof punto, "U+%04X", static_cast<unsigned>(punto_codice(testo.substr(errore, lungo))));
    const std::size_t dove = utf8_a_cp1252(std::string_view(testo).substr(0, errore)).size();
    testo = utf8_a_cp1252(testo);
    r.riporta({diag::carattere_senza_cp1252, luogo_in(nome, testo, dove, 1), std::nullopt, {std::string(punto)}, {}});
    return false;
  }
  if (con_bom) {
    r.riporta({diag::bom_utf8, luogo_in(nome, testo, 0, bom_utf8.size()), std::nullopt, {}, {}});
  } else if (auto p = sembra_utf8(testo)) {
    std::size_t lungo = 1;
    while (*p + lungo < testo.size() && (static_cast<unsigned char>(testo[*p + lungo]) & 0xC0) == 0x80) ++lungo;
    r.riporta({diag::testo_utf8, luogo_in(nome, testo, *p, lungo), std::nullopt,
               {utf8_a_cp1252(testo.substr(*p, lungo)), argomento::numero(std::int64_t(lungo))}, {}});
  }
  return true;
}

std::vector<opzione> opzioni_descrizioni(std::vector<opzione> prima) {
  std::vector<opzione> comuni = {
      {"--scenario", nullptr, "NAME", "The scenario name, instead of the one the line file's name gives (NAME_linea.txt)."},
      {"--train", nullptr, "NAME", "The train name, instead of the one the service file's name gives (NAME_TRAIN-.txt)."},
      {"--no-geometry", nullptr, nullptr,
       "Reads as a compile without the plan of the line does: curve entries are not recognised (and compile writes no geometry "
       "file)."},
      {"--input-encoding", nullptr, "ENCODING",
       "windows-1252 (the default: the bytes are read as they are) or utf-8: the descriptions are converted to Windows-1252 "
       "first, and a character Windows-1252 lacks is an error."},
      {"--diagnostics-format", nullptr, "FORMAT",
       "text (the default): FILE:LINE:COL: error|warning|note: MESSAGE [CODE], the source line and a caret; or json: one JSON "
       "document with file, line, column, severity, code, message, metres and notes."},
      {"--no-source", nullptr, nullptr, "Leaves the source line and the caret out of the text diagnostics."},
      {"--warnings-as-errors", nullptr, nullptr, "Counts every warning as an error, for a tree kept clean."},
      {"-W", nullptr, "NAME",
       "-WNAME turns on the warning NAME, -Wno-NAME turns it off, -Werror=NAME counts it as an error and -Wno-error=NAME as a "
       "warning again; the last one given wins. Every warning ends with its name, as [-WNAME]; \"scenario-compiler help "
       "warnings\" lists them all."},
  };
  prima.insert(prima.end(), comuni.begin(), comuni.end());
  return prima;
}

opzioni_resa opzioni_resa_da(const argomenti& a) {
  opzioni_resa o;
  const std::string formato = a.valore_o("--diagnostics-format", "text");
  if (formato != "text" && formato != "json") throw errore_uso("--diagnostics-format is text or json, not " + formato);
  o.json = formato == "json";
  o.sorgente = !a.ha("--no-source");
  o.avvisi_come_errori = a.ha("--warnings-as-errors");
  for (const std::string& w : a.tutti("-W")) {
    if (leggi_opzione_avviso("-W" + w, o)) continue;
    std::vector<std::string> forme;
    for (std::string_view n : nomi_avvisi()) forme.insert(forme.end(), {"-W" + std::string(n), "-Wno-" + std::string(n), "-Werror=" + std::string(n)});
    const std::string vicino = piu_vicino("-W" + w, forme, 3);
    throw errore_uso("unknown warning option -W" + w + (vicino.empty() ? "; \"scenario-compiler help warnings\" lists them" : " (did you mean " + vicino + "?)"));
  }
  return o;
}

bool leggi_descrizioni(const argomenti& a, descrizioni_utente& d, resa_diagnostiche& r) {
  d.file_linea = a.posizionali[0];
  d.file_servizio = a.posizionali[1];
  const std::string base_linea = nome_in_percorso(d.file_linea), base_servizio = nome_in_percorso(d.file_servizio);
  if (finisce(base_linea, "-.txt") && finisce(base_servizio, "_linea.txt"))
    throw errore_uso("the line description comes first: " + base_servizio + " looks like a line description and " + base_linea +
                     " like a service description; give LINE_FILE SERVICE_FILE");
  d.geometria = !a.ha("--no-geometry");
  d.scenario_utente = a.valore_o("--scenario", scenario_da(d.file_linea));
  d.treno_utente = a.valore_o("--train", treno_da(d.file_servizio, d.scenario_utente));
  if (!nome_valido(d.scenario_utente)) throw errore_uso("not a usable scenario name: \"" + d.scenario_utente + "\"");
  if (!nome_valido(d.treno_utente)) throw errore_uso("not a usable train name: \"" + d.treno_utente + "\"");
  d.scenario = nome_modello(d.scenario_utente, "scenario");
  d.treno = nome_modello(d.treno_utente, "train");
  const std::string encoding = minuscolo_cp1252(a.valore_o("--input-encoding", "windows-1252"));
  const bool da_utf8 = encoding == "utf-8" || encoding == "utf8";
  if (!da_utf8 && encoding != "windows-1252" && encoding != "cp1252")
    throw errore_uso("--input-encoding is windows-1252 or utf-8, not " + encoding);
  d.linea = leggi_ingresso(d.file_linea);
  d.servizio = leggi_ingresso(d.file_servizio);

  modello nomi;
  nomi.nome_scenario = d.scenario;
  nomi.nome_treno = d.treno;
  const bool ok_linea = codifica_descrizione(nome_linea_txt(nomi), d.linea, da_utf8, r);
  const bool ok_servizio = codifica_descrizione(nome_treno_txt(nomi), d.servizio, da_utf8, r);
  r.file(nome_linea_txt(nomi), come_percorso(d.file_linea), d.linea);
  r.file(nome_treno_txt(nomi), come_percorso(d.file_servizio), d.servizio);
  // Names taken from file names that do not follow the pattern are said.
  auto da_file = [&](const std::string& file, const char* cosa, const std::string& nome, const char* fine, const char* opzione) {
    diagnostica n;
    n.id = diag::nome_da_file;
    n.dove.file = file;
    n.arg = {cosa, nome, fine, opzione};
    r.riporta(n);
  };
  if (!a.ha("--scenario") && !finisce(base_linea, "_linea.txt")) da_file(nome_linea_txt(nomi), "scenario", d.scenario, "_linea.txt", "--scenario");
  if (!a.ha("--train") && !finisce(base_servizio, "-.txt")) da_file(nome_treno_txt(nomi), "train", d.treno, "-.txt", "--train");
  return ok_linea && ok_servizio;
}

int chiudi_diagnostiche(const resa_diagnostiche& r, const argomenti& a) {
  // JSON is data: the same bytes on every host.
  if (opzioni_resa_da(a).json) {
    std::ostringstream testo;
    r.stampa(testo);
    piattaforma::scrivi_dati(std::cerr, testo.str());
  } else {
    r.stampa(std::cerr);
  }
  return r.errori() > 0 ? esito_problemi : esito_ok;
}

}  // namespace sc
