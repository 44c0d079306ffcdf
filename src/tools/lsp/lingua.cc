#include "tools/lsp/lingua.h"

#include <algorithm>
#include <set>

#include "compile/decodifica.h"
#include "model/indice_righe.h"
#include "model/nomi_file.h"
#include "model/regole.h"
#include "model/testo.h"
#include "model/tipi_cella.h"
#include "tools/cli/riferimento.h"
#include "tools/drawing/view.h"
#include "tools/readback/oggetti_linea.h"
#include "tools/readback/scenario_compilato.h"
#include "tools/lsp/testo_lsp.h"
#include "writers/tabelle.h"

namespace sc {

namespace {

bool spazio(char c) { return c == ' ' || c == '\t'; }

std::string n(std::int64_t v) { return std::to_string(v); }

std::string blocco(const std::string& testo) { return "```text\n" + testo + (testo.empty() || testo.back() == '\n' ? "" : "\n") + "```"; }

std::string metri_cella_testo(std::int64_t c) { return "metres " + n(metro_cella(c)) + "–" + n(metro_cella(c + 1) - 1); }

int riga_di(const analisi& a, const voce_documento& v) { return indice_righe(a.testo(v.parte)).posizione(v.inizio).first; }

// "the `segnale` entry on line 40" (of the other description, where it is).
std::string entrata(const analisi& a, const voce_documento& v, parte_descrizione qui) {
  std::string r = "the `" + std::string(formato(v.v).chiave) + "` entry on line " + n(riga_di(a, v));
  if (v.parte != qui) r += v.parte == parte_descrizione::linea ? " of the line description" : " of the service description";
  return r;
}

// What the compile made of the cell: its object, decoded, and the entry that
// put it there.
std::vector<std::string> fatti_cella(const analisi& a, const voce_documento& v, std::int64_t c) {
  std::vector<std::string> r;
  if (c < 0 || std::size_t(c) >= a.m.celle.size()) return r;
  const cella& x = a.m.celle[std::size_t(c)];
  if (x.tipo == cella_vuota) return r;
  const oggetto_linea o = leggi_cella(std::size_t(c), x, a.servizio());
  std::string valori;
  for (const valore_letto& l : o.valori) valori += (valori.empty() ? "" : ", ") + l.nome + " " + l.testo;
  r.push_back("holds: " + nome_tipo_cella(x.tipo) + (valori.empty() ? "" : " (" + valori + ")"));
  if (auto it = a.occupanti.find(c); it != a.occupanti.end() && !it->second.empty()) {
    const voce_documento& chi = a.voci[it->second.back()];
    r.push_back(&chi == &v ? "put there by this entry" : "put there by " + entrata(a, chi, v.parte));
  }
  return r;
}

// A fill's value as the track keeps it from the cell on.
std::optional<std::string> valore_riempimento(const analisi& a, const voce_documento& v, std::int64_t c) {
  if (c < 0 || std::size_t(c) >= a.m.celle.size()) return std::nullopt;
  const linea_letta l = leggi_linea({a.m.celle[std::size_t(c)]}, a.servizio());
  const std::string unita = formato(v.v).campi.back().unita;
  auto da = [&](const std::vector<tratto>& t) -> std::optional<int> { return t.empty() ? std::nullopt : std::optional<int>(t.front().valore); };
  std::optional<int> valore;
  if (v.v == voce::pendenza) valore = da(l.pendenze);
  if (v.v == voce::aderenza) valore = da(l.aderenza);
  if (v.v == voce::velocita) {
    valore = da(l.velocita);
    if (valore)
      return "stored: " + n(*valore / regole::passo_velocita) + " × " + n(regole::passo_velocita) + " = " + n(*valore) + " " + unita +
             " from cell " + n(c);
  }
  if (!valore) return std::nullopt;
  return "the track keeps " + n(*valore) + (unita.empty() ? "" : " " + unita) + " from cell " + n(c);
}

std::vector<std::string> fatti_compilati(const analisi& a, const voce_documento& v, std::size_t i) {
  std::vector<std::string> r;
  const campo_voce& c = campo_n(v.v, i);
  const std::optional<std::int64_t> cella = v.cella();
  if (c.genere == genere_campo::posizione) {
    std::string s = chilometri(v.valori[i].valore);
    if (cella) {
      const char* come = v.cella_effetto ? "; takes effect at cell " : v.celle.empty() ? "; goes into cell " : "; cell ";
      s += come + n(*cella) + ", " + metri_cella_testo(*cella);
    }
    r.push_back(s);
  }
  if ((c.genere == genere_campo::ora || c.genere == genere_campo::minuto || c.genere == genere_campo::secondo) && v.secondi)
    r.push_back("time: " + ore_minuti_secondi(int(*v.secondi)));
  if (v.cella_effetto && i + 1 == formato(v.v).campi.size())
    if (auto s = valore_riempimento(a, v, *v.cella_effetto)) r.push_back(*s);
  if (v.v == voce::stazione && v.elemento > 0 && v.elemento < voci_servizio) {
    const voce_servizio& s = a.m.servizio[std::size_t(v.elemento)];
    r.push_back("service record " + n(v.elemento) + ": area " + n(s.valore1) + " to " + n(s.valore2) + " m, time " + ore_minuti_secondi(s.codice));
  }
  if (cella) {
    if (v.cella_rifiutata && v.celle.empty()) r.push_back("refused: the cell is taken");
    for (std::string& s : fatti_cella(a, v, *cella)) r.push_back(std::move(s));
  }
  return r;
}

// The first field of the line holding `offset`, as a key field: where it
// starts and ends, and where the line starts.
struct riga_chiave {
  std::size_t riga = 0, inizio = 0, fine = 0;
};
riga_chiave chiave_della_riga(const std::string& t, std::size_t offset) {
  riga_chiave r;
  offset = std::min(offset, t.size());
  const std::size_t a_capo = offset == 0 ? std::string::npos : t.find_last_of("\r\n", offset - 1);
  r.riga = a_capo == std::string::npos ? 0 : a_capo + 1;
  r.inizio = r.riga;
  while (r.inizio < t.size() && spazio(t[r.inizio])) ++r.inizio;
  r.fine = r.inizio;
  while (r.fine < t.size() && t[r.fine] != ',' && t[r.fine] != '\r' && t[r.fine] != '\n') ++r.fine;
  while (r.fine > r.inizio && spazio(t[r.fine - 1])) --r.fine;
  return r;
}

// The entries a key field on this line may start.
const std::vector<voce>* chiavi_per(const analisi& a, parte_descrizione p, std::size_t offset) {
  const sezione_lettura s = a.sezione_a(p, offset);
  if (s == sezione_lettura::preambolo) return nullptr;
  if (p == parte_descrizione::servizio) return &chiavi_servizio();
  return s == sezione_lettura::generale ? &chiavi_generali() : &chiavi_linea();
}

std::string nome_breve(const campo_voce& c) { return c.nome_formato ? c.nome_formato : c.nome; }

// The key word with its choices as snippet choices: "curva${1|d,s|}${2|1,...|}".
std::string chiave_con_scelte(const voce_formato& f, int& segnaposto) {
  std::string chiave = f.chiave;
  if (f.scelte_chiave.empty()) return chiave;
  std::vector<std::string> lettere, cifre;
  for (std::string_view s : f.scelte_chiave) (std::isdigit(static_cast<unsigned char>(s[0])) ? cifre : lettere).emplace_back(s);
  auto gruppo = [](const std::vector<std::string>& g) {
    std::string r;
    for (const std::string& s : g) r += (r.empty() ? "" : ",") + s;
    return r;
  };
  const std::size_t dopo = chiave.find(f.parole[0]) + std::string_view(f.parole[0]).size();
  std::string r = chiave.substr(0, dopo);
  bool fatte_lettere = lettere.empty(), fatte_cifre = cifre.empty();
  for (std::size_t i = dopo; i < chiave.size(); ++i) {
    const std::string c(1, chiave[i]);
    if (!fatte_lettere && std::find(lettere.begin(), lettere.end(), c) != lettere.end()) {
      r += "${" + n(segnaposto++) + "|" + gruppo(lettere) + "|}";
      fatte_lettere = true;
    } else if (!fatte_cifre && std::find(cifre.begin(), cifre.end(), c) != cifre.end()) {
      r += "${" + n(segnaposto++) + "|" + gruppo(cifre) + "|}";
      fatte_cifre = true;
    } else {
      r += c;
    }
  }
  return r;
}

bool simbolo_di(voce v, simbolo::genere& g) {
  for (const tipo_cella_info& t : tabella_tipi_cella()) {
    if (t.da != v) continue;
    switch (t.in_corsia) {
      case corsia::stazioni: g = simbolo::genere::stazione; return true;
      case corsia::segnali: g = simbolo::genere::segnale; return true;
      case corsia::rallentamenti: g = simbolo::genere::rallentamento; return true;
      case corsia::tabelle_velocita: g = simbolo::genere::tabella; return true;
      case corsia::cartelli: g = simbolo::genere::cartello; return true;
      default: return false;
    }
  }
  return false;
}

std::string testo_campo(const analisi& a, const voce_documento& v, std::size_t i) {
  const campo_documento& c = v.valori[i];
  return cp1252_a_utf8(a.testo(v.parte).substr(c.inizio, c.fine - c.inizio));
}

// The fields of a line split at the commas outside double quotes.
std::vector<std::string> campi_riga(std::string_view riga) {
  std::vector<std::string> r(1);
  bool virgolette = false;
  for (char c : riga) {
    if (c == '"') virgolette = !virgolette;
    if (c == ',' && !virgolette) {
      r.emplace_back();
      continue;
    }
    r.back() += c;
  }
  for (std::string& s : r) {
    const std::size_t a = s.find_first_not_of(" \t"), b = s.find_last_not_of(" \t");
    s = a == std::string::npos ? "" : s.substr(a, b - a + 1);
  }
  return r;
}

}  // namespace

std::vector<std::string> intestazioni_note(parte_descrizione p) {
  std::vector<std::string> r;
  for (std::string_view riga : p == parte_descrizione::linea ? tabella_linea() : tabella_treno()) {
    if (riga == sentinella) break;
    if (!riga.empty() && riga.front() == '[' && std::find(r.begin(), r.end(), riga) == r.end()) r.emplace_back(riga);
  }
  return r;
}

// ---------------------------------------------------------------- hover

std::optional<risposta_hover> hover(const analisi& a, parte_descrizione p, std::size_t offset) {
  int campo = -1;
  const voce_documento* v = a.voce_a(p, offset, &campo);
  if (!v) return std::nullopt;
  const voce_formato& f = formato(v->v);
  if (campo < 0) return risposta_hover{blocco(riferimento_voce(v->v)), v->inizio, v->fine};
  const std::size_t i = std::size_t(campo);
  const campo_voce& c = campo_n(v->v, i);
  std::string md = "**" + nome_campo(c) + "**, field " + n(std::int64_t(std::min(i, f.campi.size() - 1)) + 1) + " of `" + f.chiave + "`\n\n";
  if (c.lettura != lettura_campo::testo) md += "- value: " + n(v->valori[i].valore) + (c.unita[0] ? std::string(" ") + c.unita : "") + "\n";
  md += "- range: " + intervallo_campo(c) + "\n";
  if (!c.memoria.empty()) md += "- stored: " + c.memoria + "\n";
  if (!c.controlli.empty()) md += "- checks: " + c.controlli + "\n";
  md += "- meaning: " + c.significato + "\n";
  const std::vector<std::string> fatti = fatti_compilati(a, *v, i);
  if (!fatti.empty()) {
    md += "\n**Compiled**\n\n";
    for (const std::string& s : fatti) md += "- " + s + "\n";
  }
  return risposta_hover{md, v->valori[i].inizio, v->valori[i].fine};
}

// ---------------------------------------------------------------- completion

completamento completa(const analisi& a, parte_descrizione p, std::size_t offset) {
  completamento r;
  const std::string& t = a.testo(p);
  offset = std::min(offset, t.size());
  const riga_chiave k = chiave_della_riga(t, offset);
  r.inizio = std::min(k.inizio, offset);
  r.fine = offset;
  // Values follow the key field: nothing to propose there.
  if (t.substr(k.riga, offset - k.riga).find(',') != std::string::npos) return r;
  for (const std::string& h : intestazioni_note(p)) {
    if (a.sezione_a(p, k.riga) == sezione_lettura::preambolo && h != intestazioni_note(p).front()) continue;
    proposta x;
    x.g = proposta::genere::sezione;
    x.etichetta = x.snippet = x.testo = h;
    x.dettaglio = "section header";
    r.proposte.push_back(std::move(x));
  }
  const std::vector<voce>* chiavi = chiavi_per(a, p, k.riga);
  if (!chiavi) return r;
  for (voce v : *chiavi) {
    const voce_formato& f = formato(v);
    proposta x;
    x.etichetta = f.chiave;
    x.dettaglio = f.descrizione;
    x.documentazione = blocco(riferimento_voce(v));
    int segnaposto = 1;
    x.snippet = chiave_con_scelte(f, segnaposto);
    for (const campo_voce& c : f.campi) x.snippet += ", ${" + n(segnaposto++) + ":" + nome_breve(c) + "}";
    x.testo = std::string(f.chiave) + ", ";
    r.proposte.push_back(std::move(x));
  }
  return r;
}

// ---------------------------------------------------------------- signature help

std::optional<firma> firma_a(const analisi& a, parte_descrizione p, std::size_t offset) {
  const std::string& t = a.testo(p);
  offset = std::min(offset, t.size());
  const riga_chiave k = chiave_della_riga(t, offset);
  const std::string chiave = t.substr(k.inizio, k.fine - k.inizio);
  const std::vector<voce>* chiavi = chiavi_per(a, p, k.riga);
  if (!chiavi || chiave.empty() || chiave.find('-') != std::string::npos) return std::nullopt;
  auto v = std::find_if(chiavi->begin(), chiavi->end(), [&](voce x) { return riconosce(x, chiave); });
  if (v == chiavi->end()) return std::nullopt;
  const voce_formato& f = formato(*v);
  firma r;
  r.etichetta = f.chiave;
  r.documentazione = f.descrizione;
  for (std::size_t i = 0; i < f.campi.size(); ++i) {
    r.etichetta += ", ";
    const std::size_t da = lunghezza_utf16(r.etichetta);
    r.etichetta += nome_breve(f.campi[i]);
    r.parametri.emplace_back(da, lunghezza_utf16(r.etichetta));
    r.riferimenti.push_back(blocco(nome_campo(f.campi[i]) + "\n" + riferimento_campo(*v, i)));
  }
  int virgole = 0;
  bool virgolette = false;
  for (std::size_t i = k.fine; i < offset; ++i) {
    if (t[i] == '"') virgolette = !virgolette;
    if (t[i] == ',' && !virgolette) ++virgole;
  }
  r.attivo = std::clamp(virgole - 1, 0, int(f.campi.size()) - 1);
  return r;
}

// ---------------------------------------------------------------- outline

std::vector<simbolo> simboli(const analisi& a, parte_descrizione p) {
  const std::string& t = a.testo(p);
  // The sections: the general marker and every header, in order.
  std::vector<simbolo> sezioni;
  std::set<std::size_t> visti;
  auto sezione = [&](std::size_t inizio, std::size_t fine) {
    if (!visti.insert(inizio).second) return;
    simbolo s;
    s.nome = cp1252_a_utf8(t.substr(inizio, fine - inizio));
    s.inizio = s.nome_inizio = inizio;
    s.fine = s.nome_fine = fine;
    sezioni.push_back(std::move(s));
  };
  for (const confine_sezione& c : a.sezioni)
    if (c.parte == p && c.sezione != sezione_lettura::voci) sezione(c.inizio, c.da);
  for (const confine_sezione& c : a.sezioni)
    if (c.parte == p && p == parte_descrizione::servizio) sezione(c.inizio, c.da);
  for (const intestazione& h : a.intestazioni)
    if (h.parte == p) sezione(h.inizio, h.fine);
  std::sort(sezioni.begin(), sezioni.end(), [](const simbolo& x, const simbolo& y) { return x.inizio < y.inizio; });
  for (std::size_t i = 0; i < sezioni.size(); ++i) {
    std::size_t fine = i + 1 < sezioni.size() ? sezioni[i + 1].inizio : t.size();
    while (fine > sezioni[i].nome_fine && (spazio(t[fine - 1]) || t[fine - 1] == '\r' || t[fine - 1] == '\n')) --fine;
    sezioni[i].fine = fine;
  }
  std::vector<simbolo> fuori;
  for (const voce_documento* v : a.voci_di(p)) {
    simbolo s;
    if (!simbolo_di(v->v, s.g) || v->valori.empty()) continue;
    const voce_formato& f = formato(v->v);
    const std::int64_t metri = v->valori.front().valore;
    const bool con_testo = f.campi.back().lettura == lettura_campo::testo;
    if (con_testo && v->valori.size() == f.campi.size()) {
      s.nome = testo_campo(a, *v, v->valori.size() - 1);
    } else if (con_testo) {
      // Refused before its name was read: the name its line ends with.
      const std::size_t a_capo = t.find_first_of("\r\n", v->inizio);
      const std::vector<std::string> campi = campi_riga(std::string_view(t).substr(v->inizio, (a_capo == std::string::npos ? t.size() : a_capo) - v->inizio));
      if (campi.size() == f.campi.size() + 1) s.nome = cp1252_a_utf8(campi.back());
    } else {
      s.nome = f.oggetto;
    }
    if (s.nome.empty()) s.nome = f.oggetto;
    s.dettaglio = (con_testo ? std::string(f.oggetto) + ", " : "") + n(metri) + " m";
    if (v->v == voce::rallentamento && v->valori.size() > 2)
      s.dettaglio = n(metri) + " to " + n(metri + v->valori[2].valore) + " m, " + n(v->valori[1].valore) + " km/h";
    s.inizio = s.nome_inizio = v->inizio;
    s.nome_fine = v->fine;
    s.fine = v->termine();
    auto dentro = std::find_if(sezioni.rbegin(), sezioni.rend(), [&](const simbolo& x) { return x.inizio <= v->inizio; });
    if (dentro != sezioni.rend() && s.fine <= dentro->fine) dentro->figli.push_back(std::move(s));
    else fuori.push_back(std::move(s));
  }
  for (simbolo& s : sezioni) s.g = simbolo::genere::sezione;
  sezioni.insert(sezioni.end(), fuori.begin(), fuori.end());
  return sezioni;
}

// ---------------------------------------------------------------- definitions

std::vector<luogo_parte> definizioni(const analisi& a, parte_descrizione p, std::size_t offset) {
  std::vector<luogo_parte> r;
  auto aggiungi = [&](std::optional<parte_descrizione> parte, std::size_t inizio, std::size_t fine) {
    if (!parte) return;
    const luogo_parte l{*parte, inizio, fine};
    if (std::find(r.begin(), r.end(), l) == r.end()) r.push_back(l);
  };
  auto contiene = [&](const luogo_testo& l) { return a.parte_di(l.file) == p && offset >= l.inizio && offset <= std::max(l.fine, l.inizio + 1); };
  for (const diagnostica_mostrata& x : a.diagnostiche) {
    if (contiene(x.d.dove))
      for (const diagnostica& nota : x.d.note)
        if (nota.dove.noto()) aggiungi(a.parte_di(nota.dove.file), nota.dove.inizio, nota.dove.fine);
    for (const diagnostica& nota : x.d.note)
      if (contiene(nota.dove) && x.d.dove.noto()) aggiungi(a.parte_di(x.d.dove.file), x.d.dove.inizio, x.d.dove.fine);
  }
  if (const voce_documento* v = a.voce_a(p, offset)) {
    std::vector<std::int64_t> celle = v->celle;
    if (v->cella_rifiutata) celle.push_back(*v->cella_rifiutata);
    for (std::int64_t c : celle) {
      auto it = a.occupanti.find(c);
      if (it == a.occupanti.end()) continue;
      for (std::size_t i : it->second)
        if (&a.voci[i] != v) aggiungi(a.voci[i].parte, a.voci[i].inizio, a.voci[i].fine);
    }
    // The entries refused at a cell of this one's.
    for (const voce_documento& altra : a.voci)
      if (altra.cella_rifiutata && &altra != v && std::find(v->celle.begin(), v->celle.end(), *altra.cella_rifiutata) != v->celle.end())
        aggiungi(altra.parte, altra.inizio, altra.fine);
  }
  return r;
}

// ---------------------------------------------------------------- inlay hints

std::vector<suggerimento_inlay> suggerimenti_inlay(const analisi& a, parte_descrizione p, std::size_t da, std::size_t a_offset) {
  std::vector<suggerimento_inlay> r;
  for (const voce_documento* v : a.voci_di(p)) {
    if (v->inizio > a_offset || v->termine() < da) continue;
    for (std::size_t i = 0; i < v->valori.size(); ++i) {
      if (campo_n(v->v, i).genere != genere_campo::posizione) continue;
      std::string s = chilometri(v->valori[i].valore);
      if (auto c = v->cella()) s += ", cell " + n(*c);
      r.push_back({v->valori[i].fine, s});
    }
  }
  return r;
}

// ---------------------------------------------------------------- formatting

std::optional<std::string> formatta(const analisi& a, parte_descrizione p) {
  if (!a.presente(p)) return std::nullopt;
  const std::string& t = a.testo(p);
  const testo_documento doc = testo_documento::da_cp1252(t);
  struct riga_voce {
    std::optional<voce> v;
    std::vector<std::string> campi;
  };
  std::vector<riga_voce> righe(doc.righe());
  // A line is aligned only when it holds exactly one entry, all of whose
  // fields the reader took from this line.
  for (const voce_documento* v : a.voci_di(p)) {
    const std::size_t r = std::size_t(doc.posizione(v->inizio).riga);
    if (righe[r].v || v->valori.size() != formato(v->v).campi.size() || std::size_t(doc.posizione(v->termine()).riga) != r) {
      righe[r].campi = {"-"};
      continue;
    }
    std::vector<std::string> campi = campi_riga(doc.riga(r));
    const bool intera = campi.size() == v->valori.size() + 1 &&
                        std::none_of(campi.begin() + 1, campi.end(), [](const std::string& c) { return c.empty() || c.find_first_of(" \t") != std::string::npos; });
    if (!intera || campi[0].find('"') != std::string::npos) {
      righe[r].campi = {"-"};
      continue;
    }
    righe[r] = {v->v, std::move(campi)};
  }
  std::string uscita;
  for (std::size_t r = 0; r < righe.size();) {
    if (!righe[r].v || righe[r].campi.size() < 2) {
      uscita += t.substr(doc.inizio_riga(r), (r + 1 < righe.size() ? doc.inizio_riga(r + 1) : t.size()) - doc.inizio_riga(r));
      ++r;
      continue;
    }
    // A run of lines of one kind of entry shares its columns.
    std::size_t fine = r;
    while (fine < righe.size() && righe[fine].v == righe[r].v && righe[fine].campi.size() == righe[r].campi.size()) ++fine;
    std::vector<std::size_t> larghezze(righe[r].campi.size(), 0);
    for (std::size_t x = r; x < fine; ++x)
      for (std::size_t i = 0; i < righe[x].campi.size(); ++i) larghezze[i] = std::max(larghezze[i], righe[x].campi[i].size());
    // As the examples: numbers right-aligned two blanks clear of the widest
    // above or below, texts one blank after their comma.
    const auto& campi_voce = formato(*righe[r].v).campi;
    for (std::size_t x = r; x < fine; ++x) {
      const std::vector<std::string>& c = righe[x].campi;
      std::string riga = c[0] + "," + std::string(larghezze[0] - c[0].size(), ' ');
      for (std::size_t i = 1; i < c.size(); ++i) {
        const bool testo = campi_voce[std::min(i - 1, campi_voce.size() - 1)].lettura == lettura_campo::testo;
        riga += testo ? " " + c[i] : std::string(larghezze[i] + 2 - c[i].size(), ' ') + c[i];
        if (i + 1 < c.size()) riga += ",";
      }
      const std::size_t da = doc.inizio_riga(x) + doc.riga(x).size();
      const std::size_t a_capo = x + 1 < righe.size() ? doc.inizio_riga(x + 1) : t.size();
      uscita += riga + t.substr(da, a_capo - da);
    }
    r = fine;
  }
  if (uscita == t) return uscita;
  coppia_descrizioni prima = a.coppia, dopo = a.coppia;
  (p == parte_descrizione::linea ? dopo.linea : dopo.servizio) = uscita;
  if (!(compila_coppia(prima) == compila_coppia(dopo))) return std::nullopt;
  return uscita;
}

// ---------------------------------------------------------------- the page of view

std::optional<std::string> pagina_coppia(const coppia_descrizioni& c, std::string& motivo) {
  const uscita_compilata u = compila_coppia(c);
  if (u.mostrato) {
    motivo = "the compile stopped with error " + n(u.mostrato) + " and wrote nothing";
    return std::nullopt;
  }
  scenario_compilato s;
  s.scenario = cp1252_a_utf8(c.scenario);
  s.treno = cp1252_a_utf8(c.treno);
  s.titolo = s.scenario + " - " + s.treno;
  s.nome_base = s.scenario + "_" + s.treno;
  auto file = [&](const std::string& nome) -> const std::string* {
    auto it = u.file.find(nome);
    return it == u.file.end() ? nullptr : &it->second;
  };
  modello nomi;
  nomi.nome_scenario = c.scenario;
  nomi.nome_treno = c.treno;
  const std::string* celle = file(nome_celle_dat(nomi));
  const std::string* servizio = file(nome_servizio_sim(nomi));
  if (!celle || !servizio) {
    motivo = "the compile wrote no track";
    return std::nullopt;
  }
  s.celle = decodifica_celle(*celle).value_or(std::vector<cella>{});
  s.servizio = decodifica_servizio(*servizio).value_or(std::vector<voce_servizio>{});
  if (const std::string* g = file(nome_linea_dat(nomi))) s.geometria = decodifica_geometria(*g).value_or(std::vector<valore_profilo>{});
  return pagina_view(s);
}

}  // namespace sc
