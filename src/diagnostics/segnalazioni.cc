#include "diagnostics/segnalazioni.h"

#include <algorithm>
#include <cctype>

#include "model/regole.h"
#include "model/codici.h"
#include "model/testo.h"
#include "parsing/guasto.h"
#include "parsing/lettore_campi.h"
#include "parsing/profilo_griglia.h"

namespace sc {

namespace {

std::string n(std::int64_t v) { return std::to_string(v); }

// "1200-1249": the metres a cell covers.
std::string metri_cella(std::int64_t c) { return n(c * 50) + "-" + n(c * 50 + 49); }

// The multiples of `passo` on both sides of v, for "use 2500 or 2550".
std::pair<std::int64_t, std::int64_t> multipli(std::int64_t v, std::int64_t passo) {
  std::int64_t sotto = v >= 0 ? v / passo * passo : -((-v + passo - 1) / passo) * passo;
  return {sotto, sotto + passo};
}

std::string minuscolo(std::string_view t) { return minuscolo_cp1252(t); }

std::string senza_spazi_ai_lati(std::string_view t) {
  std::size_t a = t.find_first_not_of(" \t"), b = t.find_last_not_of(" \t");
  return a == std::string_view::npos ? "" : std::string(t.substr(a, b - a + 1));
}

// What a cell kind holds, in words.
const char* nome_tipo(int tipo) {
  switch (tipo) {
    case cella_segnale: return "a signal";
    case cella_fine_rallentamento: return "the end of a restriction";
    case cella_inizio_rallentamento: return "the start of a restriction";
    case cella_avviso_rallentamento: return "a restriction warning board";
    case cella_sequenza_avviso: return "a cell of a warning-board sequence";
    case cella_indicatore_vmax: return "a speed board";
    case cella_stazione: return "a station's stop cell";
    case cella_abbattimento: return "an abatement mark";
    case cella_abbattimento_nullo: return "an abatement mark";
    case cella_cartello: return "a sign board";
    default: return "an object";
  }
}

// The positions a signal or a board may be written at to land in cells
// `da` to `a`: "1175-1374".
std::string posizioni_in(std::int64_t da, std::int64_t a) {
  std::int64_t primo = da * 50 - 80, ultimo = a * 50;
  while (cella_di(primo) < da) ++primo;
  while (cella_di(ultimo) > a) --ultimo;
  return n(primo) + "-" + n(ultimo);
}

// The key words of the entries of one part, for "did you mean".
std::vector<std::string> parole_chiave(const std::vector<voce>& voci) {
  std::vector<std::string> r;
  for (voce v : voci) r.emplace_back(formato(v).chiave);
  return r;
}

bool contiene_parola_di(std::string_view campo, const std::vector<voce>& voci) {
  for (voce v : voci)
    if (riconosce(v, campo)) return true;
  return false;
}

// A key field that looks like a comment or a sentence rather than a key.
bool sembra_commento(std::string_view campo) {
  std::string t = senza_spazi_ai_lati(campo);
  if (t.empty()) return false;
  const auto primo = static_cast<unsigned char>(t[0]);
  if (!std::isalpha(primo) && primo < 0x80) return true;
  int parole = 0;
  bool in_parola = false;
  for (char c : t) {
    bool spazio = c == ' ' || c == '\t';
    if (!spazio && !in_parola) ++parole;
    in_parola = !spazio;
  }
  return parole > 4;
}

}  // namespace

segnalazioni::segnalazioni(ricevitore_diagnostiche& ricevitore, modello& m, bool recupera)
    : ricevitore_(ricevitore), m_(m), recupera_(recupera) {}

// ---------------------------------------------------------------- places

void segnalazioni::apri(const std::string& nome, lettore_campi& r, parte_descrizione parte) {
  file_.push_back({nome, indice_righe(r.testo())});
  lettore_ = &r;
  parte_ = parte;
  sezione_ = sezione_lettura::preambolo;
  voce_.reset();
  ultima_voce_.reset();
  riga_ignorata_ = riga_in_piu_ = -1;
  valori_.clear();
}

void segnalazioni::chiudi() { lettore_ = nullptr; }

void segnalazioni::sezione(sezione_lettura s) {
  if (s == sezione_lettura::voci && lettore_) {
    fine_generale_ = luogo_campo();
    testo_fine_generale_ = std::string(lettore_->campo_grezzo());
  }
  sezione_ = s;
}

luogo_testo segnalazioni::luogo(std::size_t inizio, std::size_t fine) const {
  if (file_.empty()) return {};
  const file_letto& f = file_.back();
  luogo_testo l{f.nome, inizio, fine, 0, 0};
  std::tie(l.riga, l.colonna) = f.righe.posizione(inizio);
  return l;
}

luogo_testo segnalazioni::luogo_campo() const {
  if (!lettore_) return {};
  return luogo(lettore_->inizio_campo(), lettore_->fine_campo());
}

luogo_testo segnalazioni::luogo_chiave() const { return luogo(chiave_.inizio, chiave_.fine); }

luogo_testo segnalazioni::luogo_valore(std::size_t i) const {
  if (i < valori_.size()) return luogo(valori_[i].inizio, valori_[i].fine);
  return luogo_campo();
}

bool segnalazioni::stessa_riga(std::size_t a, std::size_t b) const {
  if (file_.empty()) return false;
  return file_.back().righe.posizione(a).first == file_.back().righe.posizione(b).first;
}

// ---------------------------------------------------------------- reporting

diagnostica segnalazioni::evento(diag id, std::int32_t codice, luogo_testo dove, std::vector<std::string> arg) const {
  diagnostica d{id, codice, std::move(dove), std::nullopt, std::move(arg), {}};
  return d;
}

void segnalazioni::emetti(diagnostica d) {
  // The same event at the same place is said once (recovery may meet a
  // value in force again at the next entry).
  std::string chiave = std::to_string(int(d.id)) + '|' + d.dove.file + '|' + std::to_string(d.dove.inizio);
  for (const std::string& a : d.arg) chiave += '|' + a;
  if (!gia_riportati_.insert(std::move(chiave)).second) return;
  if (d.codice > 0) ++errori_;
  ricevitore_.riporta(d);
}

// ---------------------------------------------------------------- entries

std::int64_t segnalazioni::valore_n(std::size_t i) const { return i < valori_.size() ? valori_[i].valore : 0; }

std::string segnalazioni::testo_n(std::size_t i) const { return i < valori_.size() ? valori_[i].grezzo : ""; }

std::string segnalazioni::nome_stazione() const {
  if (valori_.size() >= 17) return valori_[16].grezzo;
  if (!lettore_) return "";
  // The name is the seventeenth field; look ahead for it without moving on.
  lettore_campi& r = *lettore_;
  const auto stato = r.salva();
  std::string nome;
  try {
    for (std::size_t i = valori_.size(); i < 16 && !r.fine(); ++i) r.leggi_testo();
    if (!r.fine()) nome = r.leggi_testo();
  } catch (const guasto_lettura&) {
  }
  r.ripristina(stato);
  return nome;
}

std::string segnalazioni::entita() const {
  if (!voce_) return "";
  const std::string p = n(valore_n(0));
  switch (*voce_) {
    case voce::segnale: return "signal at " + p + " m";
    case voce::rallentamento: return "restriction at " + p + " m";
    case voce::indicatori: return "speed board at " + p + " m";
    case voce::cartello: return "sign board \"" + testo_n(1) + "\" at " + p + " m";
    case voce::abbattimento: return "abatement mark at " + p + " m";
    case voce::montagna: return "mountain range at " + p + " m";
    case voce::pendenza: return "gradient change at " + p + " m";
    case voce::curva: return "curve at " + p + " m";
    case voce::velocita: return "speed limit at " + p + " m";
    case voce::aderenza: return "adhesion at " + p + " m";
    case voce::stazione: {
      std::string nome = nome_stazione();
      return "station " + (nome.empty() ? "at " + p + " m" : "\"" + nome + "\"");
    }
    default: return std::string("\"") + formato(*voce_).chiave + "\" entry";
  }
}

const std::vector<voce>& segnalazioni::chiavi_della_parte() const {
  return parte_ == parte_descrizione::servizio ? chiavi_servizio() : sezione_ == sezione_lettura::generale ? chiavi_generali() : chiavi_linea();
}

void segnalazioni::campo_disabilitato() {
  const std::string campo(lettore_->campo_grezzo());
  const auto& voci = chiavi_della_parte();
  if (sezione_ == sezione_lettura::preambolo) return;
  // Only a field that would have been a key word is worth a word.
  std::string senza_trattini = campo;
  senza_trattini.erase(std::remove(senza_trattini.begin(), senza_trattini.end(), '-'), senza_trattini.end());
  if (!contiene_parola_di(senza_trattini, voci)) return;
  const std::string t = senza_spazi_ai_lati(campo);
  if (!t.empty() && t[0] == '-') {
    emetti(evento(diag::voce_disabilitata, 0, luogo_campo(), {campo}));
    riga_ignorata_ = luogo_campo().riga;
    return;
  }
  std::string corretto = t;
  std::replace(corretto.begin(), corretto.end(), '-', '_');
  if (!contiene_parola_di(corretto, voci)) corretto = senza_trattini;
  emetti(evento(diag::chiave_disabilitata, 0, luogo_campo(), {campo, senza_spazi_ai_lati(corretto)}));
  // The rest of the line is the dropped entry's values: nothing more to say.
  riga_ignorata_ = luogo_campo().riga;
}

void segnalazioni::chiave_letta() {
  chiave_ = {lettore_->inizio_campo(), lettore_->fine_campo(), std::string(lettore_->campo_grezzo()), true, 0};
  voce_.reset();
  voci_della_chiave_ = 0;
  valori_.clear();
  a_capo_segnalato_ = false;
}

void segnalazioni::inizia_voce(voce v) {
  if (++voci_della_chiave_ == 2 && voce_)
    emetti(evento(diag::chiave_multipla, 0, luogo_chiave(), {chiave_.grezzo, formato(*voce_).chiave, formato(v).chiave}));
  if (voci_della_chiave_ == 1 && sembra_commento(chiave_.grezzo)) {
    std::string parole;
    for (const char* p : formato(v).parole)
      if (p) parole += std::string(parole.empty() ? "\"" : " and \"") + p + "\"";
    emetti(evento(diag::chiave_in_testo, 0, luogo_chiave(), {chiave_.grezzo, formato(v).chiave, parole}));
  }
  voce_ = v;
  valori_.clear();
  a_capo_segnalato_ = false;
  ultima_voce_ = v;
  riga_ultima_voce_ = luogo_chiave().riga;
}

void segnalazioni::valore(std::int64_t numero) {
  campo_letto c{lettore_->inizio_campo(), lettore_->fine_campo(), std::string(lettore_->campo_grezzo()), lettore_->era_numero(), numero};
  // What later messages need of a few entries.
  if (voce_ && valori_.size() == 2 &&
      (voce_ == voce::progressiva_tre || voce_ == voce::progressiva_due || voce_ == voce::progressiva_uno))
    progressive_[*voce_] = {{luogo_valore(0), luogo_valore(1)}, {valore_n(0), valore_n(1), numero}};
  if (voce_ == voce::lunghezza) luogo_lunghezza_ = luogo(c.inizio, c.fine);
  const bool a_capo = !stessa_riga(chiave_.inizio, c.inizio);
  if (a_capo && !a_capo_segnalato_ && voce_) {
    a_capo_segnalato_ = true;
    const voce_formato& f = formato(*voce_);
    // A key field taken as a value: the entry it begins is lost.
    std::string persa;
    for (voce altra : chiavi_della_parte())
      if (persa.empty() && riconosce(altra, c.grezzo)) persa = formato(altra).chiave;
    diagnostica d = evento(diag::valori_a_capo, 0, luogo_chiave(),
                           {f.chiave, n(std::int64_t(valori_.size())), n(std::int64_t(f.campi.size())),
                            nome_campo(campo_n(*voce_, valori_.size())), n(luogo(c.inizio, c.fine).riga), persa});
    d.note.push_back(evento(diag::nota_valore, 0, luogo(c.inizio, c.fine), {nome_campo(campo_n(*voce_, valori_.size())), c.grezzo}));
    emetti(std::move(d));
  }
  if (!c.numero && !a_capo && voce_) {
    const voce_formato& f = formato(*voce_);
    emetti(evento(diag::testo_per_numero, 0, luogo(c.inizio, c.fine), {nome_campo(campo_n(*voce_, valori_.size())), f.chiave, c.grezzo}));
  }
  valori_.push_back(std::move(c));
}

void segnalazioni::valore_testo(const std::string& testo) {
  valore(0);
  valori_.back().grezzo = testo;
  valori_.back().numero = true;
}

void segnalazioni::chiave_senza_voce() {
  const std::string campo(lettore_->campo_grezzo());
  const std::string t = senza_spazi_ai_lati(campo);
  if (t.empty() || numerico(t) || sezione_ == sezione_lettura::preambolo) return;
  if (t.find('[') != std::string::npos && t.find(']') != std::string::npos) return;  // a section header
  const int riga = luogo_campo().riga;
  if (riga == riga_ignorata_ || riga == riga_in_piu_) return;
  // A field after the values of an entry, on the same line.
  if (ultima_voce_ && riga == riga_ultima_voce_) {
    riga_in_piu_ = riga;
    const voce_formato& f = formato(*ultima_voce_);
    emetti(evento(diag::campo_in_piu, 0, luogo_campo(), {campo, f.chiave, n(std::int64_t(f.campi.size()))}));
    return;
  }
  riga_ignorata_ = riga;
  suggerisci(campo);
}

namespace {

// The key word to suggest for a field close to one of the entries' tests.
std::string suggerimento(const std::string& t, const std::vector<voce>& voci, bool parole) {
  const std::size_t soglia = std::max<std::size_t>(1, std::min<std::size_t>(3, t.size() / 3));
  std::string vicino = piu_vicino(t, parole_chiave(voci), soglia);
  if (!vicino.empty() || !parole) return vicino == "curvad5" ? "curva" + t.substr(std::min<std::size_t>(5, t.size())) : vicino;
  // The first word against the words the tests look for: "segnal, 700".
  const std::string prima = t.substr(0, t.find(' '));
  for (voce v : voci) {
    for (const char* p : formato(v).parole) {
      if (!p || distanza_modifica(prima, p) > std::max<std::size_t>(1, std::min<std::size_t>(2, prima.size() / 3))) continue;
      return v == voce::curva ? "curva" + prima.substr(std::min<std::size_t>(5, prima.size())) : formato(v).chiave;
    }
  }
  return "";
}

}  // namespace

// Says why a key field matched nothing, with the nearest key word.
void segnalazioni::suggerisci(const std::string& campo) {
  const bool servizio = parte_ == parte_descrizione::servizio;
  const bool generale = !servizio && sezione_ == sezione_lettura::generale;
  const auto& proprie = servizio ? chiavi_servizio() : generale ? chiavi_generali() : chiavi_linea();
  const std::string t = senza_spazi_ai_lati(campo);
  if (t[0] == '#' || t[0] == ';' || t.rfind("//", 0) == 0) {
    emetti(evento(diag::chiave_sconosciuta, 0, luogo_campo(), {campo, "", "comment"}));
    return;
  }
  // The case-exact general key words, written with capitals.
  if (generale) {
    for (voce v : proprie) {
      if (formato(v).maiuscole && riconosce(v, minuscolo(t))) {
        emetti(evento(diag::chiave_maiuscola, 0, luogo_campo(), {campo, minuscolo(t)}));
        return;
      }
    }
  }
  // A general entry among the line items, or a line item in the general section.
  if (!servizio) {
    for (voce v : generale ? chiavi_linea() : chiavi_generali()) {
      if (!riconosce(v, minuscolo(t))) continue;
      emetti(evento(diag::chiave_fuori_sezione, 0, luogo_campo(),
                    {campo, generale ? "line item" : "general entry", testo_fine_generale_, n(fine_generale_.riga)}));
      return;
    }
  }
  if (contiene_parola_di(t, servizio ? chiavi_linea() : chiavi_servizio()) ||
      (servizio && contiene_parola_di(minuscolo(t), chiavi_generali()))) {
    emetti(evento(diag::chiave_altro_file, 0, luogo_campo(), {campo, servizio ? "line" : "service"}));
    return;
  }
  emetti(evento(diag::chiave_sconosciuta, 0, luogo_campo(), {campo, suggerimento(minuscolo(t), proprie, !generale), ""}));
}

// ---------------------------------------------------------------- codes

diagnostica segnalazioni::occupata(diag id, std::int32_t codice, std::int64_t cella, std::size_t valore_posizione) {
  diagnostica d = evento(id, codice, luogo_valore(valore_posizione), {entita(), n(cella), metri_cella(cella), cosa_cella(cella)});
  if (auto nota = nota_cella(cella)) d.note.push_back(*nota);
  return d;
}

diagnostica segnalazioni::evento_codice(std::int32_t c, std::optional<std::int32_t> posizione) {
  const std::int64_t p = valore_n(0);
  switch (c) {
    case codice::lunghezza_eccessiva: return evento(diag::lunghezza_eccessiva, c, luogo_valore(0), {n(p)});
    case codice::ripetizione_primo_valore:
    case codice::ripetizione_secondo_valore: {
      const std::size_t i = c == codice::ripetizione_primo_valore ? 0 : 1;
      auto [a, b] = multipli(valore_n(i), 50);
      return evento(i == 0 ? diag::ripetizione_primo : diag::ripetizione_secondo, c, luogo_valore(i), {n(valore_n(i)), n(a), n(b)});
    }
    case codice::ripetizione_codici: return evento(diag::ripetizione_codici, c, luogo_chiave(), {chiave_.grezzo});
    case codice::cartello_occupato: return occupata(diag::cartello_occupato, c, cella_di(p), 0);
    case codice::abbattimento_occupato: return occupata(diag::abbattimento_occupato, c, cella_fill(p), 0);
    case codice::segnale_occupato: return occupata(diag::segnale_occupato, c, cella_di(p), 0);
    case codice::indicatore_occupato: return occupata(diag::indicatore_occupato, c, cella_di(p), 0);
    case codice::inizio_occupato: return occupata(diag::inizio_occupato, c, cella_di(p), 0);
    case codice::avviso_occupato: {
      diagnostica d = occupata(diag::avviso_occupato, c, cella_di(p - 1200), 0);
      d.arg.push_back(n(p - 1200));
      return d;
    }
    case codice::fine_occupata: {
      diagnostica d = occupata(diag::fine_occupata, c, cella_di(p + valore_n(2)), 2);
      d.arg.push_back(n(p + valore_n(2)));
      return d;
    }
    case codice::sequenza_occupata: {
      const std::int64_t prima = std::int64_t(arrotonda(double(p - 1200) / 50));
      std::int64_t presa = prima;
      for (int i = 0; i < 4; ++i)
        if (prima - i >= 0 && prima - i < std::int64_t(m_.celle.size()) && !libera(m_.celle[std::size_t(prima - i)])) {
          presa = prima - i;
          break;
        }
      diagnostica d = occupata(diag::sequenza_occupata, c, presa, 0);
      d.arg.push_back(n((prima - 3) * 50) + "-" + n(prima * 50 + 49));
      d.arg.push_back(posizioni_in(prima - 3, prima));
      return d;
    }
    case codice::stazione_posizione: {
      auto [a, b] = multipli(p, 50);
      return evento(diag::stazione_posizione, c, luogo_valore(0), {entita(), n(p), n(a), n(b)});
    }
    case codice::stazione_lunghezza: {
      auto [a, b] = multipli(valore_n(2), 100);
      return evento(diag::stazione_lunghezza, c, luogo_valore(2), {entita(), n(valore_n(2)), n(a), n(b)});
    }
    case codice::stazioni_troppe: {
      const std::int32_t cartelli = prima_voce_cartelli - prossimo_testo_;
      return evento(diag::stazioni_troppe, c, luogo_chiave(), {entita(), n(prossimo_testo_ - 2), n(cartelli)});
    }
    case codice::stazioni_vicine: {
      const voce_servizio& s = m_.servizio[std::size_t(stazione_k_)];
      const voce_servizio& prima = m_.servizio[std::size_t(stazione_k_ - 1)];
      const std::int64_t distanza = std::int64_t(s.valore1) - prima.valore2;
      diagnostica d = evento(diag::stazioni_vicine, c, luogo_valore(0),
                             {entita(), n(s.valore1), n(distanza), "\"" + prima.nome + "\"", n(prima.valore2),
                              n(p + (350 - distanza + 49) / 50 * 50)});
      if (auto it = stazioni_.find(stazione_k_ - 1); it != stazioni_.end())
        d.note.push_back(evento(diag::nota_stazione_precedente, 0, it->second, {"station \"" + prima.nome + "\"", n(prima.valore2)}));
      return d;
    }
    case codice::stazione_troppo_presto:
      return evento(diag::stazione_troppo_presto, c, luogo_valore(2), {entita(), n(m_.servizio[std::size_t(stazione_k_)].valore2)});
    case codice::fuori_linea: {
      const bool stazione = voce_ == voce::stazione;
      const std::int64_t massimo = std::int64_t(m_.n_celle) * 50 - (stazione ? 800 : 100);
      // The position fits: the code comes from the line description, and
      // it ends this reading at the first signal or restriction.
      if (posizione && (double(*posizione) + (stazione ? 800 : 100)) / 50 <= double(m_.n_celle) && parte_ == parte_descrizione::servizio)
        return evento(diag::lettura_interrotta, 0, luogo_chiave(), {entita()});
      std::string cosa = voce_ ? entita() : "item";
      return evento(diag::fuori_linea, c, luogo_valore(0), {cosa, n(p), n(massimo)});
    }
    case codice::curva_errata: {
      if (curvatura(chiave_.grezzo) == 0) return evento(diag::curva_senza_classe, c, luogo_chiave(), {chiave_.grezzo});
      return evento(diag::curva_oltre_milione, c, luogo_valore(1), {n(p), n(valore_n(1)), n(p + valore_n(1))});
    }
    case codice::generale_mancante: {
      // A field close to the marker is most likely the author's attempt.
      lettore_campi r(lettore_->testo());
      while (!r.fine()) {
        const std::string campo = minuscolo(senza_spazi_ai_lati(r.leggi_testo()));
        if (!campo.empty() && distanza_modifica(campo, "[generale]") <= 3)
          return evento(diag::generale_mancante, c, luogo(r.inizio_campo(), r.fine_campo()), {std::string(r.campo_grezzo())});
      }
      return evento(diag::generale_mancante, c, luogo_campo());
    }
    case codice::linea_mancante: return evento(diag::linea_mancante, c, {});
    default: return evento(diag::guasto_generico, c, voce_ ? luogo_chiave() : luogo_campo(), {"code " + n(c)});
  }
}

void segnalazioni::codice(std::int32_t c, std::optional<std::int32_t> posizione) {
  diagnostica d = evento_codice(c, posizione);
  if (posizione) d.metri = *posizione;
  if (c == codice::stazioni_troppe || c == codice::stazione_troppo_presto) d.metri = std::int32_t(valore_n(0));
  emetti(std::move(d));
}

void segnalazioni::guasto(const guasto_lettura& g) {
  const std::string chiave = voce_ ? formato(*voce_).chiave : "";
  luogo_testo dove = voce_ ? luogo_chiave() : luogo_campo();
  diagnostica d = evento(diag::guasto_generico, codice::lettura_fallita, dove, {g.what()});
  switch (g.causa) {
    case causa_guasto::fine_file:
      if (voce_)
        d = evento(diag::valori_troncati, codice::lettura_fallita, luogo_chiave(),
                   {chiave, n(std::int64_t(formato(*voce_).campi.size())), n(std::int64_t(valori_.size()))});
      else d.arg = {"the file ends among fields disabled by \"-\""};
      break;
    case causa_guasto::numero_fuori_campo: {
      const std::size_t i = valori_.size();
      const std::string nome = voce_ && i < formato(*voce_).campi.size() ? nome_campo(formato(*voce_).campi[i]) : "value";
      d = evento(diag::numero_fuori_campo, codice::lettura_fallita, luogo_campo(),
                 {nome, chiave, std::string(lettore_ ? lettore_->campo_grezzo() : ""), n(g.minimo), n(g.massimo)});
      break;
    }
    case causa_guasto::velocita_fuori_byte: {
      auto it = in_vigore_.find(voce::velocita);
      d = evento(diag::velocita_fuori_byte, codice::lettura_fallita, it != in_vigore_.end() ? it->second.first : dove, {n(g.valore)});
      break;
    }
    case causa_guasto::indicatore_fuori_16:
      d = evento(diag::indicatore_fuori_16, codice::lettura_fallita, dove, {entita(), n(g.valore)});
      break;
    case causa_guasto::cella_fuori_pista:
      d = evento(diag::cella_fuori_pista, codice::lettura_fallita, dove,
                 {voce_ ? entita() : "an item", n(g.valore), metri_cella(g.valore), n(g.massimo), n(g.massimo * 50 + 49)});
      break;
    case causa_guasto::testo_troppo_lungo:
      d = evento(diag::testo_troppo_lungo, codice::lettura_fallita, luogo_campo(),
                 {voce_ == voce::stazione ? "station name" : "sign text", n(g.valore)});
      break;
    case causa_guasto::troppi_cartelli: d = evento(diag::troppi_cartelli, codice::lettura_fallita, dove); break;
    case causa_guasto::troppe_montagne: d = evento(diag::troppe_montagne, codice::lettura_fallita, dove); break;
    case causa_guasto::senza_lunghezza: d = evento(diag::senza_lunghezza, codice::lettura_fallita, luogo_campo()); break;
    case causa_guasto::lunghezza_senza_pista:
      d = evento(diag::lunghezza_senza_pista, codice::lettura_fallita, luogo_valore(0), {n(g.valore)});
      break;
    case causa_guasto::somma_fuori_32:
      d = evento(diag::somma_fuori_32, codice::lettura_fallita, dove, {voce_ ? entita() : "the kilometre references' first values", n(g.valore)});
      break;
    case causa_guasto::file_mancante: d = evento(diag::servizio_mancante, codice::lettura_fallita, {}); break;
    case causa_guasto::generico: break;
  }
  emetti(std::move(d));
}

void segnalazioni::progressive_non_multiple() {
  for (const auto& [v, dati] : progressive_) {
    for (int i = 0; i < 2; ++i) {
      const std::int64_t x = dati.second[std::size_t(i)];
      if (x % 50 == 0) continue;
      auto [a, b] = multipli(x, 50);
      emetti(evento(diag::progressiva_non_multipla, codice::progressiva_non_multipla, dati.first[std::size_t(i)],
                    {formato(v).chiave, i == 0 ? "first" : "second", n(x), n(a), n(b)}));
    }
  }
}

// ---------------------------------------------------------------- warnings

void segnalazioni::cambio(voce v, std::int64_t posizione, std::int64_t cella, std::int64_t indice_prima, std::int64_t indice_dopo) {
  auto ultima = ultima_posizione_.find(v);
  if (ultima != ultima_posizione_.end() && cella > 0 && indice_prima >= cella)
    emetti(evento(diag::fuori_ordine, 0, luogo_valore(0),
                  {entita(), n(ultima->second), n(indice_dopo - indice_prima), metri_cella(indice_prima)}));
  ultima_posizione_[v] = posizione;
  if (v == voce::pendenza) {
    const std::int64_t g = valore_n(1);
    if (g + 100 < 0 || g + 100 > 255) ridotto("gradient + 100", g + 100, bassi8(g + 100), 8, 1);
  }
  if (v == voce::aderenza) {
    const std::int64_t a = valore_n(1);
    if (a < 0 || a > 255) ridotto("adhesion", a, bassi8(a), 8, 1);
  }
}

void segnalazioni::valore_in_vigore(voce v) { in_vigore_[v] = {luogo_valore(1), valore_n(1)}; }

void segnalazioni::curva(std::int64_t prossimo_prima, std::int64_t prossimo_dopo) {
  const std::int64_t s = valore_n(0), fine = s + valore_n(1);
  const std::string c = minuscolo(chiave_.grezzo);
  const std::size_t dopo = c.find("curva") + 5;
  const char lato = dopo < c.size() ? c[dopo] : '\0';
  const bool sinistra = c.find('s') != std::string::npos;
  if (lato != 'd' && lato != 's')
    emetti(evento(diag::lato_curva, 0, luogo_chiave(), {chiave_.grezzo, lato ? std::string(1, lato) : "", sinistra ? "left" : "right"}));
  else if ((lato == 'd') == sinistra)
    emetti(evento(diag::lato_curva, 0, luogo_chiave(), {chiave_.grezzo, std::string(1, lato), sinistra ? "left" : "right"}));
  int cifre = 0;
  for (char d = '1'; d <= '6'; ++d) cifre += c.find(d) != std::string::npos;
  if (cifre > 1) emetti(evento(diag::classe_curva_ambigua, 0, luogo_chiave(), {chiave_.grezzo}));
  if (prossimo_prima > fine && prossimo_prima > 2)
    emetti(evento(diag::curva_nulla, 0, luogo_valore(0), {n(s), n(fine), n(prossimo_prima - 1)}));
  else if (prossimo_prima > s + 1 && prossimo_prima > 2)
    emetti(evento(diag::curva_sovrapposta, 0, luogo_valore(0), {n(s), n(prossimo_prima - 1), n(prossimo_prima), n(fine)}));
  if (fine > m_.lunghezza_metri && prossimo_dopo > m_.lunghezza_metri)
    emetti(evento(diag::curva_tagliata, 0, luogo_valore(1), {entita(), n(fine), n(m_.lunghezza_metri)}));
}

void segnalazioni::oltre_fine(std::int64_t posizione, bool fine) {
  const std::int64_t fine_linea = m_.servizio[voce_treno].valore2;
  if (posizione <= fine_linea) return;
  const std::string cosa = fine ? "the end of the " + entita() + ", at " + n(posizione) + " m," : entita();
  emetti(evento(diag::oltre_fine_linea, 0, luogo_valore(0), {cosa, n(posizione), n(fine_linea), n(m_.lunghezza_metri)}));
}

void segnalazioni::ridotto(const char* cosa, std::int64_t esatto, std::int64_t memorizzato, int bit, std::optional<std::size_t> valore) {
  if (esatto == memorizzato) return;
  emetti(evento(diag::valore_ridotto, 0, valore ? luogo_valore(*valore) : luogo_chiave(), {entita(), cosa, n(esatto), n(memorizzato), n(bit)}));
}

void segnalazioni::montagna(std::int32_t tipo_letto, std::int32_t tipo_memorizzato, std::int64_t distanza) {
  const std::int32_t tipo = tipo_letto > 10 ? tipo_letto - 10 : tipo_letto;
  if (tipo_memorizzato == 3 && tipo != 3)
    emetti(evento(diag::montagna_tipo_3, 0, luogo_valore(0), {entita(), n(distanza), n(tipo)}));
  if (tipo_memorizzato < 0 || tipo_memorizzato > 255) ridotto("type", tipo_memorizzato, bassi8(tipo_memorizzato), 8, 2);
}

void segnalazioni::stazione(std::int32_t k, std::int32_t prossimo_testo) {
  stazione_k_ = k;
  prossimo_testo_ = prossimo_testo;
  stazioni_[k] = luogo_chiave();
}

void segnalazioni::tempo_segnale(std::int32_t letto) {
  if (letto >= 1 && letto <= 100 && valore_n(1) == 2) emetti(evento(diag::tempo_101, 0, luogo_valore(10), {entita(), n(letto)}));
  if (letto != 0 && valore_n(1) != 2) emetti(evento(diag::tempo_ignorato, 0, luogo_valore(10), {entita(), n(letto), n(valore_n(1))}));
}

void segnalazioni::rallentamento_senza_avviso(std::int32_t f_ta) {
  emetti(evento(f_ta != 0 ? diag::sequenza_senza_avviso : diag::rallentamento_senza_avviso, 0, luogo_valore(f_ta != 0 ? 4 : 0), {entita()}));
}

void segnalazioni::marche_sovrascritte(const std::vector<std::pair<std::int64_t, std::uint8_t>>& prima) {
  // A signal's marks over another signal's are the rule; a station's (81 to
  // 84) lost to a signal's, or the other way round, is worth a word.
  auto di_stazione = [](std::uint8_t v) { return v >= 81 && v <= 84; };
  std::string celle;
  for (auto [c, vecchia] : prima) {
    const std::uint8_t nuova = m_.celle[std::size_t(c)].val6;
    if (vecchia == 0 || vecchia == nuova || di_stazione(vecchia) == di_stazione(nuova)) continue;
    celle += (celle.empty() ? "" : ", ") + n(c) + " (" + n(vecchia) + " -> " + n(nuova) + ")";
  }
  if (!celle.empty()) emetti(evento(diag::marche_sovrascritte, 0, luogo_chiave(), {entita(), celle}));
}

void segnalazioni::cella_sostituita(std::int64_t cella) {
  diagnostica d = evento(diag::cella_sostituita, 0, luogo_chiave(), {entita(), n(cella), metri_cella(cella), cosa_cella(cella)});
  if (auto nota = nota_cella(cella)) d.note.push_back(*nota);
  emetti(std::move(d));
}

void segnalazioni::ora(std::int64_t ore, std::int64_t minuti, std::int64_t secondi, bool orologio) {
  if (ore >= 0 && (ore < 24 || !orologio) && minuti >= 0 && minuti < 60 && secondi >= 0 && secondi < 60) return;
  const std::size_t primo = orologio ? 0 : 13;
  auto due = [](std::int64_t v) { return (v >= 0 && v < 10 ? "0" : "") + n(v); };
  const std::int64_t totale = ore * 3600 + minuti * 60 + secondi;
  const std::string vale = totale >= 0 ? due(totale / 3600) + ":" + due(totale / 60 % 60) + ":" + due(totale % 60) : n(totale) + " s";
  luogo_testo dove = luogo_valore(primo);
  dove.fine = luogo_valore(primo + 2).fine;
  emetti(evento(diag::ora_impossibile, 0, dove, {orologio ? "the clock at the start" : entita() + "'s timetable time",
                                                  n(ore) + ":" + due(minuti) + ":" + due(secondi), vale}));
}

void segnalazioni::servizio_senza_generale() { emetti(evento(diag::servizio_senza_generale, 0, luogo(0, 0))); }

// ---------------------------------------------------------------- cells

void segnalazioni::cella_occupata(std::int64_t cella, std::int64_t per_cella) {
  if (cella < 0) return;
  if (origine_cella_.size() <= std::size_t(cella)) origine_cella_.resize(std::size_t(cella) + 1, -1);
  if (per_cella >= 0) {
    // A mark of the walk, for the object in the cell it serves.
    const std::string per = voce_cella(per_cella);
    origini_.push_back({luogo_cella(per_cella), "the compiler's mark for " + per, "the compiler's mark for " + per});
  } else {
    const int tipo = m_.celle[std::size_t(cella)].tipo;
    const std::string voce = "the " + entita();
    std::string cosa = voce;
    if (voce_ == voce::rallentamento)
      cosa = tipo == cella_fine_rallentamento     ? "the end of " + voce
             : tipo == cella_avviso_rallentamento ? "the warning board of " + voce
             : tipo == cella_sequenza_avviso      ? "the warning sequence of " + voce
                                                  : "the start of " + voce;
    else if (voce_ == voce::stazione)
      cosa = "the stop cell of " + voce;
    origini_.push_back({luogo_chiave(), cosa, voce});
  }
  origine_cella_[std::size_t(cella)] = std::int32_t(origini_.size() - 1);
}

std::string segnalazioni::cosa_cella(std::int64_t cella) const {
  if (cella >= 0 && std::size_t(cella) < origine_cella_.size() && origine_cella_[std::size_t(cella)] >= 0)
    return origini_[std::size_t(origine_cella_[std::size_t(cella)])].cosa;
  if (cella >= 0 && std::size_t(cella) < m_.celle.size()) return nome_tipo(m_.celle[std::size_t(cella)].tipo);
  return "an object";
}

std::string segnalazioni::voce_cella(std::int64_t cella) const {
  if (cella >= 0 && std::size_t(cella) < origine_cella_.size() && origine_cella_[std::size_t(cella)] >= 0)
    return origini_[std::size_t(origine_cella_[std::size_t(cella)])].voce;
  return cosa_cella(cella);
}

luogo_testo segnalazioni::luogo_cella(std::int64_t cella) const {
  if (cella >= 0 && std::size_t(cella) < origine_cella_.size() && origine_cella_[std::size_t(cella)] >= 0)
    return origini_[std::size_t(origine_cella_[std::size_t(cella)])].dove;
  return {};
}

std::optional<diagnostica> segnalazioni::nota_cella(std::int64_t cella) const {
  const luogo_testo dove = luogo_cella(cella);
  if (!dove.noto()) return std::nullopt;
  return evento(diag::nota_occupante, 0, dove, {cosa_cella(cella), n(cella), metri_cella(cella)});
}

std::string segnalazioni::elenco_celle(const std::vector<std::int32_t>& celle) const {
  std::string r;
  for (std::size_t i = 0; i < celle.size(); ++i) {
    if (i) r += i + 1 == celle.size() ? " and " : ", ";
    r += cosa_cella(celle[i]) + " (cell " + n(celle[i]) + ")";
  }
  return r;
}

void segnalazioni::aggiungi_note_celle(diagnostica& d, const std::vector<std::int32_t>& celle) const {
  std::set<std::string> viste;
  for (std::int32_t c : celle)
    if (auto nota = nota_cella(c); nota && viste.insert(nota->arg[0]).second) d.note.push_back(*nota);
}

void segnalazioni::problema(const problema_cammino& p) {
  const std::string regola = voce_cella(p.cella_regola);
  diagnostica d{};
  switch (p.tipo) {
    case problema_cammino::caso::segnale_avviso:
      d = evento(diag::segnale_senza_spazio, p.codice, luogo_cella(p.cella_oggetto),
                 {cosa_cella(p.cella_oggetto), n(p.cella_regola - p.cella_oggetto), cosa_cella(p.cella_regola), elenco_celle(p.celle)});
      if (d.dove.noto()) d.metri = std::int32_t(p.cella_oggetto * 50);
      d.note.push_back(evento(diag::nota_voce, 0, luogo_cella(p.cella_regola), {regola}));
      break;
    case problema_cammino::caso::finestra:
      d = evento(diag::approccio_pieno, p.codice, luogo_cella(p.cella_regola),
                 {regola, n(p.distanza), n(p.distanza + 2), n(std::int64_t(p.celle.back()) * 50) + "-" + n(std::int64_t(p.celle.front()) * 50 + 49),
                  elenco_celle(p.celle)});
      break;
    case problema_cammino::caso::ripetizione:
      d = evento(diag::ripetizione_piena, p.codice, luogo_cella(p.cella_regola), {regola, metri_cella(p.cella_oggetto), elenco_celle(p.celle)});
      break;
    case problema_cammino::caso::senza_fine:
      d = evento(diag::rallentamento_senza_fine, p.codice, luogo_cella(p.cella_regola), {regola});
      break;
    case problema_cammino::caso::segnale_uscita:
      d = evento(diag::uscita_piena, p.codice, luogo_cella(p.cella_oggetto), {cosa_cella(p.cella_oggetto), regola, elenco_celle(p.celle)});
      d.note.push_back(evento(diag::nota_voce, 0, luogo_cella(p.cella_regola), {regola}));
      break;
  }
  d.metri = std::int32_t(std::int64_t(p.cella_regola) * 50);
  aggiungi_note_celle(d, p.celle);
  // Without a place for the object itself, the rule's entry stands in.
  if (!d.dove.noto()) d.dove = luogo_cella(p.cella_regola);
  emetti(std::move(d));
}

void segnalazioni::fine_compilazione(std::int32_t c) {
  if (c == codice::lettura_fallita) {
    emetti(evento(diag::pista_senza_marcatori, c, luogo_lunghezza_.value_or(luogo_testo{}),
                  {n(m_.servizio[voce_treno].valore2), n(m_.n_celle + 1)}));
    return;
  }
  diagnostica d = evento(c == codice::slot_formato_occupati ? diag::slot_formato : diag::slot_gara, c, luogo_cella(1), {cosa_cella(1)});
  emetti(std::move(d));
}

}  // namespace sc
