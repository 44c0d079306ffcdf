#include "tools/cli/resa_diagnostiche.h"

#include <algorithm>
#include <tuple>

#include "model/testo.h"
#include "tools/cli/testo_sicuro.h"

namespace sc {

namespace {

const char* nome_gravita(gravita g) {
  switch (g) {
    case gravita::errore: return "error";
    case gravita::avviso: return "warning";
    case gravita::nota: return "note";
  }
  return "";
}

// Events shown from a file that is no text before it is called so.
constexpr int eventi_file_non_testo = 3;

std::size_t colonne(char32_t c) {
  if ((c >= 0x300 && c <= 0x36F) || (c >= 0x200B && c <= 0x200F) || (c >= 0xFE20 && c <= 0xFE2F)) return 0;
  const bool largo = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7A3) ||
                     (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
                     (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1FAFF) || (c >= 0x20000 && c <= 0x3FFFD);
  return largo ? 2 : 1;
}

// A source line as shown under a message: control bytes escaped, as the
// messages show them; the caret's place moves with what it stands under.
std::string riga_mostrata(std::string_view cp1252) {
  std::string r;
  for (char c : cp1252) {
    const auto b = static_cast<unsigned char>(c);
    if (c == '\t') r += '\t';
    else if (b < 0x20 || b == 0x7F) r += testo_sicuro(std::string_view(&c, 1), 1);
    else r += cp1252_a_utf8(std::string_view(&c, 1));
  }
  return r;
}

}  // namespace

std::size_t larghezza_visualizzata(std::string_view utf8) {
  std::size_t w = 0;
  for (std::size_t i = 0; i < utf8.size();) {
    // A byte that begins no character takes a column, as a terminal shows it.
    auto [c, n] = sequenza_utf8(utf8, i);
    w += n > 0 ? colonne(c) : 1;
    i += n > 0 ? std::size_t(n) : 1;
  }
  return w;
}

bool leggi_opzione_avviso(const std::string& opzione, opzioni_resa& o) {
  if (opzione.rfind("-W", 0) != 0) return false;
  std::string nome = opzione.substr(2);
  stato_avviso stato = stato_avviso::acceso;
  if (nome.rfind("no-error=", 0) == 0) nome = nome.substr(9), stato = stato_avviso::acceso;
  else if (nome.rfind("error=", 0) == 0) nome = nome.substr(6), stato = stato_avviso::errore;
  else if (nome.rfind("no-", 0) == 0) nome = nome.substr(3), stato = stato_avviso::spento;
  if (!avviso_esiste(nome)) return false;
  o.avvisi[nome] = stato;
  return true;
}

void resa_diagnostiche::file(const std::string& nome, const std::string& percorso, std::string testo) {
  const bool non_testo = testo.find('\0') != std::string::npos;
  file_[nome] = {percorso, std::move(testo), int(file_.size()), non_testo};
}

void resa_diagnostiche::riporta(const diagnostica& d) { eventi_.push_back(d); }

bool resa_diagnostiche::mostrata(const diagnostica& d) const {
  const scheda_diagnostica& r = scheda_di(d.id);
  if (!r.nome) return true;
  auto it = opzioni_.avvisi.find(r.nome);
  return it != opzioni_.avvisi.end() ? it->second != stato_avviso::spento : r.attivo;
}

gravita resa_diagnostiche::effettiva(const diagnostica& d) const {
  const scheda_diagnostica& r = scheda_di(d.id);
  if (r.g != gravita::avviso) return r.g;
  auto it = opzioni_.avvisi.find(r.nome);
  if (it != opzioni_.avvisi.end() && it->second == stato_avviso::errore) return gravita::errore;
  return opzioni_.avvisi_come_errori ? gravita::errore : gravita::avviso;
}

// By file, in the order the files were named, then by line and column; the
// walk's problems and anything else met later are read where they belong.
// A file that is no text shows its first few events only.
std::vector<diagnostica> resa_diagnostiche::in_ordine() const {
  std::vector<diagnostica> r;
  for (const diagnostica& d : eventi_)
    if (mostrata(d)) r.push_back(d);
  auto chiave = [&](const diagnostica& d) {
    auto it = file_.find(d.dove.file);
    const int f = it != file_.end() ? it->second.ordine : d.dove.noto() ? int(file_.size()) : int(file_.size()) + 1;
    return std::tuple{f, d.dove.riga, d.dove.colonna};
  };
  std::stable_sort(r.begin(), r.end(), [&](const diagnostica& a, const diagnostica& b) { return chiave(a) < chiave(b); });
  std::map<std::string, int> per_file;
  std::vector<diagnostica> tenute;
  for (diagnostica& d : r) {
    auto it = file_.find(d.dove.file);
    if (it != file_.end() && it->second.non_testo && d.id != diag::non_testo && ++per_file[d.dove.file] > eventi_file_non_testo) continue;
    tenute.push_back(std::move(d));
  }
  return tenute;
}

std::vector<diagnostica> resa_diagnostiche::mostrate() const { return in_ordine(); }

int resa_diagnostiche::conta(gravita g) const {
  const std::vector<diagnostica> v = in_ordine();
  return int(std::count_if(v.begin(), v.end(), [&](const diagnostica& d) { return effettiva(d) == g; }));
}

int resa_diagnostiche::errori() const { return conta(gravita::errore); }
int resa_diagnostiche::avvisi() const { return conta(gravita::avviso); }

void resa_diagnostiche::stampa_testo(std::ostream& out, const diagnostica& d, bool nota) const {
  const gravita g = nota ? gravita::nota : effettiva(d);
  const scheda_diagnostica& r = scheda_di(d.id);
  auto it = file_.find(d.dove.file);
  const std::string percorso = it != file_.end() ? it->second.percorso : d.dove.file;
  if (!percorso.empty()) {
    out << percorso << ":";
    if (d.dove.riga > 0) out << d.dove.riga << ":" << d.dove.colonna << ":";
    out << " ";
  } else {
    out << "scenario-compiler: ";
  }
  out << nome_gravita(g) << ": " << messaggio(d);
  if (r.codice > 0) out << " [" << r.codice << "]";
  else if (r.nome && !nota) out << (g == gravita::errore ? " [-Werror=" : " [-W") << r.nome << "]";
  out << "\n";
  // The source line, with a caret under the field, each character before
  // it taking the columns it takes on the terminal.
  if (opzioni_.sorgente && it != file_.end() && d.dove.riga > 0) {
    const std::string& t = it->second.testo;
    const std::size_t inizio = d.dove.inizio - std::size_t(d.dove.colonna - 1);
    std::size_t fine = t.find_first_of("\r\n", inizio);
    if (fine == std::string::npos) fine = t.size();
    const std::string_view riga(t.data() + inizio, fine - inizio);
    const std::size_t campo = std::min(d.dove.inizio, fine) - inizio, lungo = std::min(d.dove.fine, fine) - std::min(d.dove.inizio, fine);
    out << riga_mostrata(riga) << "\n";
    std::string segno;
    for (char c : riga.substr(0, campo))
      segno += c == '\t' ? std::string("\t") : std::string(larghezza_visualizzata(riga_mostrata(std::string_view(&c, 1))), ' ');
    const std::size_t sotto = std::max<std::size_t>(1, larghezza_visualizzata(riga_mostrata(riga.substr(campo, lungo))));
    out << segno << "^" << std::string(sotto - 1, '~') << "\n";
  }
  for (const diagnostica& n : d.note) stampa_testo(out, n, true);
}

std::string resa_diagnostiche::json(const diagnostica& d, bool nota) const {
  const scheda_diagnostica& r = scheda_di(d.id);
  auto it = file_.find(d.dove.file);
  const std::string percorso = it != file_.end() ? it->second.percorso : d.dove.file;
  const auto metri = metri_di(d);
  std::string s = "{\"file\": " + (percorso.empty() ? std::string("null") : json_stringa(percorso));
  s += ", \"line\": " + (d.dove.riga > 0 ? std::to_string(d.dove.riga) : "null");
  s += ", \"column\": " + (d.dove.riga > 0 ? std::to_string(d.dove.colonna) : "null");
  s += ", \"severity\": \"" + std::string(nome_gravita(nota ? gravita::nota : effettiva(d))) + "\"";
  s += ", \"code\": " + (r.codice > 0 ? std::to_string(r.codice) : "null");
  s += ", \"option\": " + (r.nome && !nota ? json_stringa(std::string("-W") + r.nome) : "null");
  s += ", \"message\": " + json_stringa(messaggio(d));
  s += ", \"metres\": " + (metri ? std::to_string(*metri) : "null");
  s += ", \"notes\": [";
  for (std::size_t i = 0; i < d.note.size(); ++i) s += (i ? ", " : "") + json(d.note[i], true);
  return s + "]}";
}

void resa_diagnostiche::stampa(std::ostream& out) const {
  const std::vector<diagnostica> ordinati = in_ordine();
  if (opzioni_.json) {
    out << "{\"diagnostics\": [";
    for (std::size_t i = 0; i < ordinati.size(); ++i) out << (i ? ",\n  " : "\n  ") << json(ordinati[i], false);
    out << (ordinati.empty() ? "" : "\n") << "], \"errors\": " << errori() << ", \"warnings\": " << avvisi() << "}\n";
    return;
  }
  for (const diagnostica& d : ordinati) stampa_testo(out, d, false);
  const int e = errori(), w = avvisi();
  if (e + w == 0) return;
  auto conta = [](int n, const char* cosa) { return std::to_string(n) + " " + cosa + (n == 1 ? "" : "s"); };
  if (e && w) out << conta(e, "error") << ", " << conta(w, "warning") << "\n";
  else if (e) out << conta(e, "error") << "\n";
  else out << conta(w, "warning") << "\n";
}

}  // namespace sc
