#include "diagnostics/lint.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "diagnostics/tabella.h"
#include "model/regole.h"
#include "model/testo.h"
#include "parsing/lettore_campi.h"
#include "parsing/profilo_griglia.h"

namespace sc {

namespace {

using ge = argomento::genere;

std::string senza_spazi_ai_lati(std::string_view t) {
  std::size_t a = t.find_first_not_of(" \t"), b = t.find_last_not_of(" \t");
  return a == std::string_view::npos ? "" : std::string(t.substr(a, b - a + 1));
}

std::vector<std::string> parole_chiave(const std::vector<voce>& voci) {
  std::vector<std::string> r;
  for (voce v : voci) r.emplace_back(formato(v).chiave);
  return r;
}

bool contiene_parola_di(std::string_view campo, const std::vector<voce>& voci) {
  return std::any_of(voci.begin(), voci.end(), [&](voce v) { return riconosce(v, campo); });
}

// A key field that looks like a comment or a sentence rather than a key.
bool sembra_commento(std::string_view campo) {
  const std::string t = senza_spazi_ai_lati(campo);
  if (t.empty()) return false;
  const auto primo = static_cast<unsigned char>(t[0]);
  if (!std::isalpha(primo) && primo < 0x80) return true;
  int parole = 0;
  bool in_parola = false;
  for (char c : t) {
    const bool spazio = c == ' ' || c == '\t';
    if (!spazio && !in_parola) ++parole;
    in_parola = !spazio;
  }
  return parole > 4;
}

// The key word to suggest for a field close to one of the entries' tests.
std::string suggerimento(const std::string& t, const std::vector<voce>& voci, bool parole) {
  const std::size_t soglia = std::max<std::size_t>(1, std::min<std::size_t>(3, t.size() / 3));
  const std::string curva = formato(voce::curva).chiave;
  // A curve's key word keeps the author's side and class: "curvd5" is "curvad5".
  auto come_curva = [&](const std::string& k, const std::string& da) { return k == curva ? "curva" + da.substr(std::min<std::size_t>(5, da.size())) : k; };
  const std::string vicino = piu_vicino(t, parole_chiave(voci), soglia);
  if (!vicino.empty() || !parole) return come_curva(vicino, t);
  // The first word against the words the tests look for: "segnal, 700".
  const std::string prima = t.substr(0, t.find(' '));
  for (voce v : voci) {
    for (const char* p : formato(v).parole) {
      if (!p || distanza_modifica(prima, p) > std::max<std::size_t>(1, std::min<std::size_t>(2, prima.size() / 3))) continue;
      return come_curva(formato(v).chiave, prima);
    }
  }
  return "";
}

}  // namespace

// ---------------------------------------------------------------- key lints

void lint_diagnostiche::apri() {
  ultima_voce_.reset();
  riga_ignorata_ = riga_in_piu_ = -1;
  quasi_generale_.reset();
}

void lint_diagnostiche::campo_preambolo() {
  // A field close to the marker is most likely the author's attempt at it.
  const std::string campo = minuscolo_cp1252(senza_spazi_ai_lati(s_.src.testo_ultimo_campo()));
  if (campo.empty() || quasi_generale_) return;
  if (distanza_modifica(campo, "[generale]") <= 3) quasi_generale_ = {{s_.src.ultimo_campo(), s_.src.testo_ultimo_campo()}};
}

void lint_diagnostiche::fine_generale() {
  fine_generale_ = s_.src.ultimo_campo();
  testo_fine_generale_ = s_.src.testo_ultimo_campo();
}

void lint_diagnostiche::campo_disabilitato() {
  if (s_.sezione == sezione_lettura::preambolo) return;
  const std::string campo = s_.src.testo_ultimo_campo();
  const auto& voci = s_.chiavi_della_parte();
  // Only a field that would have been a key word is worth a word.
  std::string senza_trattini = campo;
  senza_trattini.erase(std::remove(senza_trattini.begin(), senza_trattini.end(), '-'), senza_trattini.end());
  if (!contiene_parola_di(senza_trattini, voci)) return;
  const std::string t = senza_spazi_ai_lati(campo);
  riga_ignorata_ = s_.src.ultimo_campo().riga;
  if (!t.empty() && t[0] == '-') {
    s_.emetti(s_.evento(diag::voce_disabilitata, s_.src.ultimo_campo(), {campo}));
    return;
  }
  std::string corretto = t;
  std::replace(corretto.begin(), corretto.end(), '-', '_');
  if (!contiene_parola_di(corretto, voci)) corretto = senza_trattini;
  // The rest of the line is the dropped entry's values: nothing more to say.
  diagnostica d = s_.evento(diag::chiave_disabilitata, s_.src.ultimo_campo(), {campo, senza_spazi_ai_lati(corretto)});
  d.correzioni.push_back({d.dove, senza_spazi_ai_lati(corretto)});
  s_.emetti(std::move(d));
}

void lint_diagnostiche::voce_iniziata(voce v) {
  voce_letta& c = s_.corrente;
  if (++c.voci_della_chiave == 2 && c.v)
    s_.emetti(s_.evento(diag::chiave_multipla, s_.luogo_chiave(), {s_.testo_chiave(), argomento::di_chiave(*c.v), argomento::di_chiave(v)}));
  if (c.voci_della_chiave == 1 && sembra_commento(s_.testo_chiave())) {
    std::string parole;
    for (const char* p : formato(v).parole)
      if (p) parole += std::string(parole.empty() ? "\"" : " and \"") + p + "\"";
    s_.emetti(s_.evento(diag::chiave_in_testo, s_.luogo_chiave(), {s_.testo_chiave(), argomento::di_chiave(v), argomento::di_parole(parole)}));
  }
  c.v = v;
  c.valori.clear();
  c.a_capo = c.a_capo_detto = false;
  c.fine_precedente = c.chiave.fine;
  ultima_voce_ = v;
  riga_ultima_voce_ = s_.luogo_chiave().riga;
}

void lint_diagnostiche::chiave_senza_voce() {
  const std::string campo = s_.src.testo_ultimo_campo();
  const std::string t = senza_spazi_ai_lati(campo);
  if (t.empty() || numerico(t) || s_.sezione == sezione_lettura::preambolo) return;
  if (t.find('[') != std::string::npos && t.find(']') != std::string::npos) return;  // a section header
  const int riga = s_.src.ultimo_campo().riga;
  if (riga == riga_ignorata_ || riga == riga_in_piu_) return;
  // A field after the values of an entry, on the same line.
  if (ultima_voce_ && riga == riga_ultima_voce_) {
    riga_in_piu_ = riga;
    s_.emetti(s_.evento(diag::campo_in_piu, s_.src.ultimo_campo(),
                        {campo, argomento::di_chiave(*ultima_voce_), argomento::numero(std::int64_t(formato(*ultima_voce_).campi.size()))}));
    return;
  }
  riga_ignorata_ = riga;
  suggerisci(campo);
}

// Says why a key field matched nothing, with the nearest key word.
void lint_diagnostiche::suggerisci(const std::string& campo) {
  const bool servizio = s_.src.parte() == parte_descrizione::servizio;
  const bool generale = !servizio && s_.sezione == sezione_lettura::generale;
  const auto& proprie = s_.chiavi_della_parte();
  const std::string t = senza_spazi_ai_lati(campo);
  const std::string minuscolo = minuscolo_cp1252(t);
  const luogo_testo dove = s_.src.ultimo_campo();
  if (t[0] == '#' || t[0] == ';' || t.rfind("//", 0) == 0) return s_.emetti(s_.evento(diag::commento, dove, {campo}));
  // The case-exact general key words, written with capitals.
  if (generale) {
    for (voce v : proprie)
      if (formato(v).maiuscole && riconosce(v, minuscolo)) {
        diagnostica d = s_.evento(diag::chiave_maiuscola, dove, {campo, minuscolo});
        d.correzioni.push_back({dove, minuscolo});
        return s_.emetti(std::move(d));
      }
  }
  // A general entry among the line items, or a line item in the general section.
  if (!servizio) {
    for (voce v : generale ? chiavi_linea() : chiavi_generali()) {
      if (!riconosce(v, minuscolo)) continue;
      if (generale) return s_.emetti(s_.evento(diag::voce_linea_in_generale, dove, {campo}));
      return s_.emetti(s_.evento(diag::voce_generale_fuori_sezione, dove,
                                 {campo, testo_fine_generale_, argomento::numero(fine_generale_.riga)}));
    }
  }
  if (contiene_parola_di(t, servizio ? chiavi_linea() : chiavi_servizio()) || (servizio && contiene_parola_di(minuscolo, chiavi_generali())))
    return s_.emetti(s_.evento(diag::chiave_altro_file, dove,
                               {campo, argomento::di_parte(servizio ? parte_descrizione::linea : parte_descrizione::servizio)}));
  const std::string vicino = suggerimento(minuscolo, proprie, !generale);
  if (vicino.empty()) return s_.emetti(s_.evento(diag::chiave_sconosciuta, dove, {campo}));
  diagnostica d = s_.evento(diag::chiave_sconosciuta_simile, dove, {campo, vicino});
  d.correzioni.push_back({dove, vicino});
  s_.emetti(std::move(d));
}

// ---------------------------------------------------------------- value lints

void lint_diagnostiche::valore() {
  voce_letta& c = s_.corrente;
  if (!c.v || c.valori.empty()) return;
  const voce v = *c.v;
  const std::size_t i = c.valori.size() - 1;
  const campo_letto& x = c.valori.back();
  const std::string& t = s_.src.testo();
  // A line end between the last field and this one: the value runs on.
  const std::size_t da = std::min(c.fine_precedente, x.inizio);
  const bool a_capo = std::find_if(t.begin() + std::ptrdiff_t(da), t.begin() + std::ptrdiff_t(std::min(x.inizio, t.size())),
                                   [](char ch) { return ch == '\r' || ch == '\n'; }) != t.begin() + std::ptrdiff_t(std::min(x.inizio, t.size()));
  c.fine_precedente = x.fine;
  if (a_capo) c.a_capo = true;
  if (a_capo && !c.a_capo_detto) {
    c.a_capo_detto = true;
    return this->a_capo(x);
  }
  if (c.a_capo) return;
  const campo_voce& f = campo_n(v, i);
  if (f.lettura == lettura_campo::testo) return;
  const std::string grezzo = s_.src.grezzo(x.inizio, x.fine);
  if (!x.numero) {
    s_.emetti(s_.evento(diag::testo_per_numero, s_.src.luogo(x.inizio, x.fine), {argomento::di_campo(v, i), argomento::di_chiave(v), grezzo}));
  } else if (x.vuoto) {
    s_.emetti(s_.evento(f.vuoto_convenzionale ? diag::vuoto_convenzionale : diag::campo_vuoto, s_.src.luogo(x.inizio, x.inizio),
                        {argomento::di_campo(v, i), argomento::di_chiave(v)}));
  } else if (x.decimale) {
    s_.emetti(s_.evento(diag::decimale, s_.src.luogo(x.inizio, x.fine), {argomento::di_campo(v, i), argomento::di_chiave(v), grezzo,
                                                                         argomento::numero(x.valore)}));
  }
  if (v == voce::lunghezza && x.valore <= 0)
    s_.emetti(s_.evento(diag::lunghezza_non_positiva, s_.src.luogo(x.inizio, x.fine), {argomento::di_metri(x.valore)}));
}

// The entry's value i comes from a later line. A number there is taken as
// its value; anything else reads as 0, and an entry's key word there loses
// that entry.
void lint_diagnostiche::a_capo(const campo_letto& x) {
  const voce v = *s_.corrente.v;
  const std::size_t i = s_.corrente.valori.size() - 1;
  const std::string grezzo = s_.src.grezzo(x.inizio, x.fine);
  const luogo_testo qui = s_.src.luogo(x.inizio, x.fine);
  std::string persa;
  for (voce altra : s_.chiavi_della_parte())
    if (persa.empty() && riconosce(altra, grezzo)) persa = formato(altra).chiave;
  const campo_voce& f = campo_n(v, i);
  diagnostica d;
  if (f.lettura != lettura_campo::testo && !(x.numero && !x.vuoto)) {
    // The entry's position, where it has one and this is not it.
    std::vector<argomento> arg = {argomento::di_chiave(v), argomento::di_campo(v, i), argomento::valore_di(v, i, 0), grezzo,
                                  argomento::numero(qui.riga), argomento(), persa};
    // A fill's value holds from its position on: say what the line gets.
    const bool riempimento = v == voce::pendenza || v == voce::velocita || v == voce::aderenza;
    if (i > 0 && riempimento) arg[5] = argomento::di_metri(s_.corrente.valore(0));
    d = s_.evento(diag::valore_mancante, s_.luogo_chiave(), std::move(arg));
  } else {
    const std::size_t campi = formato(v).campi.size();
    d = s_.evento(persa.empty() ? diag::valori_a_capo : diag::valori_a_capo_persa, s_.luogo_chiave(),
                  {argomento::di_chiave(v), argomento::numero(std::int64_t(i)), argomento::numero(std::int64_t(campi)),
                   argomento::di_campo(v, i), argomento::numero(qui.riga), persa});
  }
  d.note.push_back(s_.evento(diag::nota_valore, qui, {argomento::di_campo(v, i), grezzo}));
  s_.emetti(std::move(d));
}

void lint_diagnostiche::cambio(voce v, std::int64_t cella, std::int64_t indice_prima, std::int64_t indice_dopo) {
  const std::int64_t posizione = s_.corrente.valore(0);
  auto ultima = ultima_posizione_.find(v);
  if (ultima != ultima_posizione_.end() && cella > 0 && indice_prima >= cella)
    s_.emetti(s_.evento(diag::fuori_ordine, s_.luogo_valore(0),
                        {s_.arg_entita(), argomento::di_metri(ultima->second), argomento::numero(indice_dopo - indice_prima),
                         argomento::metri_da_a(metro_cella(indice_prima), metro_cella(indice_prima + 1) - 1)}));
  ultima_posizione_[v] = posizione;
  if (v == voce::velocita) luogo_velocita_ = s_.luogo_valore(1);
}

void lint_diagnostiche::curva(const chiave_curva& k, std::int64_t prossimo_prima, std::int64_t prossimo_dopo) {
  const std::string chiave = s_.testo_chiave();
  if (k.lato != 'd' && k.lato != 's')
    s_.emetti(s_.evento(diag::lato_curva, s_.luogo_chiave(), {chiave, k.lato ? std::string(1, k.lato) : "", argomento::numero(k.sinistra)}));
  else if (k.lato == 'd' && k.sinistra)
    s_.emetti(s_.evento(diag::lato_curva_con_s, s_.luogo_chiave(), {chiave}));
  if (k.cifre > 1) s_.emetti(s_.evento(diag::classe_curva_ambigua, s_.luogo_chiave(), {chiave}));
  const std::int64_t inizio = s_.corrente.valore(0), lunghezza = s_.corrente.valore(1), fine = inizio + lunghezza;
  const std::int64_t seme = 2;  // the first metre a curve can bend
  if (lunghezza < 0) {
    s_.emetti(s_.evento(diag::curva_negativa, s_.luogo_valore(1), {argomento::di_metri(inizio), argomento::di_metri(lunghezza)}));
  } else if (prossimo_prima > fine && prossimo_prima > seme) {
    s_.emetti(s_.evento(diag::curva_nulla, s_.luogo_valore(0),
                        {argomento::di_metri(inizio), argomento::di_metri(fine), argomento::di_metri(prossimo_prima - 1)}));
  } else if (prossimo_prima > inizio + 1 && prossimo_prima > seme) {
    s_.emetti(s_.evento(diag::curva_sovrapposta, s_.luogo_valore(0),
                        {argomento::di_metri(inizio), argomento::di_metri(prossimo_prima - 1), argomento::di_metri(prossimo_prima),
                         argomento::di_metri(fine)}));
  }
  if (fine > s_.m.lunghezza_metri && prossimo_dopo > s_.m.lunghezza_metri)
    s_.emetti(s_.evento(diag::curva_tagliata, s_.luogo_valore(1),
                        {s_.arg_entita(), argomento::di_metri(fine), argomento::di_metri(s_.m.lunghezza_metri)}));
}

void lint_diagnostiche::posizione(std::int64_t metri, bool fine) {
  const std::int64_t fine_linea = s_.m.servizio[voce_treno].valore2;
  // A line of no length is an error at its entry; everything lies past it.
  if (metri <= fine_linea || fine_linea <= 0) return;
  oggetto_citato o = s_.entita();
  if (fine) o.p = oggetto_citato::parte::fine;
  s_.emetti(s_.evento(fine ? diag::fine_oltre_fine_linea : diag::oltre_fine_linea, s_.luogo_valore(0),
                      {argomento::di_oggetto(o), argomento::di_metri(metri), argomento::di_metri(fine_linea),
                       argomento::di_metri(s_.m.lunghezza_metri)}));
}

void lint_diagnostiche::valore_cambiato(std::size_t campo, std::int64_t diventa) {
  if (!s_.corrente.v) return;
  const voce v = *s_.corrente.v;
  const campo_voce& f = campo_n(v, campo);
  s_.emetti(s_.evento(diag::fuori_intervallo, s_.luogo_valore(campo),
                      {argomento::di_campo(v, campo), argomento::valore_di(v, campo, s_.corrente.valore(campo)), argomento::numero(f.minimo),
                       argomento::valore_di(v, campo, f.massimo), argomento::valore_di(v, campo, diventa), s_.arg_entita()}));
}

void lint_diagnostiche::ridotto(formula f, std::int64_t esatto, std::int64_t memorizzato, int bit) {
  const std::int64_t massimo = bit == 8 ? 255 : 32767, minimo = bit == 8 ? 0 : -32768;
  s_.emetti(s_.evento(diag::valore_ridotto, s_.luogo_chiave(),
                      {s_.arg_entita(), argomento::di_parole(testo_formula(f)), argomento::numero(esatto), argomento::numero(bit), argomento::numero(minimo),
                       argomento::numero(massimo), argomento::numero(memorizzato)}));
}

void lint_diagnostiche::montagna(std::int32_t tipo_memorizzato, std::int64_t distanza) {
  std::int64_t tipo = s_.corrente.valore(2);
  if (tipo > regole::soglia_montagna_segnata) tipo -= regole::soglia_montagna_segnata;
  if (tipo_memorizzato == regole::tipo_montagna_vicina && tipo != regole::tipo_montagna_vicina && distanza <= regole::distanza_montagna_vicina)
    s_.emetti(s_.evento(diag::montagna_tipo_3, s_.luogo_valore(0), {s_.arg_entita(), argomento::di_metri(distanza), argomento::numero(tipo)}));
}

void lint_diagnostiche::tempo_segnale(std::int32_t letto) {
  const std::int64_t sx = s_.corrente.valore(1);
  if (letto >= 1 && letto <= regole::tempo_minimo_sotto && sx == regole::sx_con_tempo)
    s_.emetti(s_.evento(diag::tempo_101, s_.luogo_valore(10), {s_.arg_entita(), argomento::numero(letto)}));
  if (letto != 0 && sx != regole::sx_con_tempo)
    s_.emetti(s_.evento(diag::tempo_ignorato, s_.luogo_valore(10), {s_.arg_entita(), argomento::numero(letto), argomento::numero(sx)}));
}

void lint_diagnostiche::rallentamento_senza_avviso(std::int32_t f_ta) {
  if (f_ta != 0) s_.emetti(s_.evento(diag::sequenza_senza_avviso, s_.luogo_valore(4), {s_.arg_entita()}));
  else s_.emetti(s_.evento(diag::rallentamento_senza_avviso, s_.luogo_valore(0), {s_.arg_entita()}));
}

void lint_diagnostiche::cella_sostituita(std::int64_t cella) {
  diagnostica d = s_.evento(diag::cella_sostituita, s_.luogo_chiave(),
                            {s_.arg_entita(), argomento::numero(cella), argomento::metri_da_a(metro_cella(cella), metro_cella(cella + 1) - 1),
                             argomento::di_oggetto(s_.celle.oggetto(cella, s_.m))});
  if (auto nota = s_.celle.nota(cella, s_.m)) d.note.push_back(*nota);
  s_.emetti(std::move(d));
}

void lint_diagnostiche::marca_sovrascritta(std::int64_t cella, std::uint8_t prima, std::uint8_t dopo) {
  marche_.push_back({cella, {prima, dopo}});
}

void lint_diagnostiche::fine_voce() {
  // A signal's marks over another signal's are the rule; a station's lost
  // to a signal's, or the other way round, is worth a word.
  auto di_stazione = [](std::uint8_t v) {
    return v >= regole::marca_stazione_prima && v < regole::marca_stazione_prima + regole::marche_stazione;
  };
  std::string celle;
  for (const auto& [c, valori] : marche_) {
    if (di_stazione(valori.first) == di_stazione(valori.second)) continue;
    celle += (celle.empty() ? "" : ", ") + std::to_string(c) + " (" + std::to_string(valori.first) + " -> " + std::to_string(valori.second) + ")";
  }
  if (!celle.empty()) s_.emetti(s_.evento(diag::marche_sovrascritte, s_.luogo_chiave(), {s_.arg_entita(), argomento::di_parole(celle)}));
  marche_.clear();
  if (s_.corrente.v == voce::stazione && s_.corrente.valori.size() >= formato(voce::stazione).campi.size()) valori_stazione();
}

// Fields 5 and 6 of a station, which the format sets to 0 where they do
// not apply.
void lint_diagnostiche::valori_stazione() {
  const voce_letta& c = s_.corrente;
  const std::int64_t tipo = c.valore(1), lunghezza = c.valore(2);
  const bool prima = s_.stazione_k == 1;
  auto ignorato = [&](std::size_t campo) {
    if (c.valore(campo) == 0) return;
    s_.emetti(s_.evento(diag::valore_ignorato, s_.luogo_valore(campo),
                        {s_.arg_entita(), argomento::di_campo(voce::stazione, campo), argomento::numero(c.valore(campo)),
                         argomento::di_parole(campo_n(voce::stazione, campo).significato)}));
  };
  if (lunghezza < regole::lunghezza_stazione_lunga || prima) ignorato(4);
  if ((tipo >= 5 && tipo <= 8) || prima) ignorato(5);
}

void lint_diagnostiche::ora(std::int64_t ore, std::int64_t minuti, std::int64_t secondi, bool orologio) {
  if (ore >= 0 && (ore < 24 || !orologio) && minuti >= 0 && minuti < 60 && secondi >= 0 && secondi < 60) return;
  const std::size_t primo = orologio ? 0 : 13;
  luogo_testo dove = s_.luogo_valore(primo);
  dove.fine = s_.luogo_valore(primo + 2).fine;
  s_.emetti(s_.evento(diag::ora_impossibile, dove,
                      {orologio ? argomento() : s_.arg_entita(), argomento::di_ora(ore, minuti, secondi),
                       argomento::di_secondi(ore * 3600 + minuti * 60 + secondi)}));
}

}  // namespace sc
