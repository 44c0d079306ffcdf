#include "diagnostics/codici.h"

#include <array>
#include <set>

#include "diagnostics/lint.h"
#include "diagnostics/tabella.h"
#include "model/codici.h"
#include "model/regole.h"
#include "model/tipi_cella.h"
#include "parsing/guasto.h"
#include "parsing/lettore_campi.h"

namespace sc {

namespace {

// The multiples of `passo` on both sides of v, for "use 2500 or 2550".
std::pair<std::int64_t, std::int64_t> multipli(std::int64_t v, std::int64_t passo) {
  const std::int64_t sotto = v >= 0 ? v / passo * passo : -((-v + passo - 1) / passo) * passo;
  return {sotto, sotto + passo};
}

// The two multiples as fixes of the value at `dove`, the nearer first.
void correggi_con_multipli(diagnostica& d, std::int64_t v, std::pair<std::int64_t, std::int64_t> m) {
  const bool sopra_prima = m.second - v < v - m.first;
  for (std::int64_t x : sopra_prima ? std::array{m.second, m.first} : std::array{m.first, m.second})
    d.correzioni.push_back({d.dove, std::to_string(x)});
}

argomento metri_della_cella(std::int64_t c) { return argomento::metri_da_a(metro_cella(c), metro_cella(c + 1) - 1); }

// The positions a point item may be written at to land in cells `da` to `a`.
argomento posizioni_in(std::int64_t da, std::int64_t a) {
  return argomento::metri_da_a(mappati_in(da, aggancio::punto).da, mappati_in(a, aggancio::punto).a);
}

oggetto_citato intero(oggetto_citato o) {
  if (o.p != oggetto_citato::parte::anonimo) o.p = oggetto_citato::parte::intero;
  return o;
}

}  // namespace

// ---------------------------------------------------------------- codes of the reading

diagnostica codici_diagnostiche::occupata(const rifiuto& r) {
  const std::int64_t p = s_.corrente.valore(0);
  static const std::pair<std::int32_t, diag> ids[] = {
      {codice::cartello_occupato, diag::cartello_occupato}, {codice::abbattimento_occupato, diag::abbattimento_occupato},
      {codice::segnale_occupato, diag::segnale_occupato},   {codice::avviso_occupato, diag::avviso_occupato},
      {codice::inizio_occupato, diag::inizio_occupato},     {codice::fine_occupata, diag::fine_occupata},
      {codice::sequenza_occupata, diag::sequenza_occupata}, {codice::indicatore_occupato, diag::indicatore_occupato}};
  diag id = diag::segnale_occupato;
  for (auto [c, i] : ids)
    if (c == r.codice) id = i;
  std::size_t valore = 0;
  std::vector<argomento> arg = {s_.arg_entita(), argomento::numero(r.cella), metri_della_cella(r.cella),
                                argomento::di_oggetto(s_.celle.oggetto(r.cella, s_.m))};
  if (r.codice == codice::avviso_occupato) arg.push_back(argomento::di_metri(p - regole::distanza_avviso));
  if (r.codice == codice::fine_occupata) {
    arg.push_back(argomento::di_metri(p + s_.corrente.valore(2)));
    valore = 2;
  }
  if (r.codice == codice::sequenza_occupata) {
    const std::int64_t prima = cella_fill(p - regole::distanza_avviso);
    const std::int64_t ultima = prima - regole::celle_sequenza + 1;
    arg.push_back(argomento::metri_da_a(metro_cella(ultima), metro_cella(prima + 1) - 1));
    arg.push_back(posizioni_in(ultima, prima));
  }
  diagnostica d = s_.evento(id, s_.luogo_valore(valore), std::move(arg));
  if (auto nota = s_.celle.nota(r.cella, s_.m)) d.note.push_back(*nota);
  return d;
}

diagnostica codici_diagnostiche::stazioni_vicine(std::int64_t p) {
  const voce_servizio& s = s_.m.servizio[std::size_t(s_.stazione_k)];
  const voce_servizio& prima = s_.m.servizio[std::size_t(s_.stazione_k - 1)];
  const std::int64_t distanza = std::int64_t(s.valore1) - prima.valore2;
  oggetto_citato precedente{oggetto_citato::parte::intero, voce::stazione, prima.valore3, prima.nome, 0};
  // The first position that leaves room, where the track has it.
  const std::int64_t suggerita = p + (regole::spazio_stazioni - distanza + regole::multiplo_posizione - 1) / regole::multiplo_posizione *
                                         regole::multiplo_posizione;
  // Suggestions stay on the line: not past its end, nor past the track's.
  const std::int64_t fine_linea = s_.m.servizio[voce_treno].valore2;
  const std::int64_t massima = std::min<std::int64_t>(posizione_massima(s_.m.n_celle, regole::margine_stazione), fine_linea);
  const bool c_e_posto = suggerita <= massima;
  diagnostica d;
  if (p < prima.valore3) {
    d = s_.evento(diag::stazioni_fuori_ordine, s_.luogo_valore(0),
                  {s_.arg_entita(), argomento::di_metri(s.valore1), argomento::di_oggetto(precedente), argomento::di_metri(prima.valore2),
                   c_e_posto ? argomento::di_metri(suggerita) : argomento()});
  } else {
    d = s_.evento(diag::stazioni_vicine, s_.luogo_valore(0),
                  {s_.arg_entita(), argomento::di_metri(s.valore1), argomento::di_metri(distanza), argomento::di_oggetto(precedente),
                   argomento::di_metri(prima.valore2), argomento::di_metri(suggerita), c_e_posto ? argomento() : argomento::di_metri(massima)});
  }
  if (c_e_posto) d.correzioni.push_back({d.dove, std::to_string(suggerita)});
  if (auto it = s_.stazioni.find(s_.stazione_k - 1); it != s_.stazioni.end())
    d.note.push_back(s_.evento(diag::nota_stazione_precedente, it->second, {argomento::di_oggetto(precedente), argomento::di_metri(prima.valore2)}));
  return d;
}

diagnostica codici_diagnostiche::evento_codice(std::int32_t c, causa_codice causa) {
  const voce_letta& x = s_.corrente;
  const std::int64_t p = x.valore(0);
  if (rifiuto_ && rifiuto_->codice == c) {
    const rifiuto r = *rifiuto_;
    rifiuto_.reset();
    return occupata(r);
  }
  switch (c) {
    case codice::lunghezza_eccessiva: return s_.evento(diag::lunghezza_eccessiva, s_.luogo_valore(0), {argomento::di_metri(p)});
    case codice::ripetizione_primo_valore:
    case codice::ripetizione_secondo_valore: {
      const std::size_t i = c == codice::ripetizione_primo_valore ? 0 : 1;
      auto [a, b] = multipli(x.valore(i), regole::multiplo_posizione);
      diagnostica d = s_.evento(i == 0 ? diag::ripetizione_primo : diag::ripetizione_secondo, s_.luogo_valore(i),
                                {argomento::di_campo(voce::ripetizione, i), argomento::numero(x.valore(i)), argomento::numero(a), argomento::numero(b)});
      correggi_con_multipli(d, x.valore(i), {a, b});
      return d;
    }
    case codice::ripetizione_codici: return s_.evento(diag::ripetizione_codici, s_.luogo_chiave(), {s_.testo_chiave()});
    case codice::stazione_posizione: {
      auto [a, b] = multipli(p, regole::multiplo_posizione);
      diagnostica d = s_.evento(diag::stazione_posizione, s_.luogo_valore(0),
                                {s_.arg_entita(), argomento::di_metri(p), argomento::di_metri(a), argomento::di_metri(b)});
      correggi_con_multipli(d, p, {a, b});
      return d;
    }
    case codice::stazione_lunghezza: {
      auto [a, b] = multipli(x.valore(2), regole::multiplo_lunghezza_stazione);
      diagnostica d = s_.evento(diag::stazione_lunghezza, s_.luogo_valore(2),
                                {s_.arg_entita(), argomento::di_metri(x.valore(2)), argomento::di_metri(a), argomento::di_metri(b)});
      correggi_con_multipli(d, x.valore(2), {a, b});
      return d;
    }
    case codice::stazioni_troppe:
      return s_.evento(diag::stazioni_troppe, s_.luogo_chiave(),
                       {s_.arg_entita(), argomento::numero(s_.prossimo_testo - 2), argomento::numero(prima_voce_cartelli - s_.prossimo_testo)});
    case codice::stazioni_vicine: return stazioni_vicine(p);
    case codice::stazione_troppo_presto:
      return s_.evento(diag::stazione_troppo_presto, s_.luogo_valore(2),
                       {s_.arg_entita(), argomento::di_metri(s_.m.servizio[std::size_t(s_.stazione_k)].valore2)});
    case codice::fuori_linea: {
      // A code the line description left stops this one at its first signal or restriction.
      if (causa == causa_codice::codice_precedente) return s_.evento(diag::lettura_interrotta, s_.luogo_chiave(), {s_.arg_entita()});
      const bool stazione = x.v == voce::stazione;
      const std::int64_t massima = posizione_massima(s_.m.n_celle, stazione ? regole::margine_stazione : regole::margine_elemento);
      return s_.evento(stazione ? diag::fuori_linea_stazione : diag::fuori_linea, s_.luogo_valore(0),
                       {s_.arg_entita(), argomento::di_metri(p), argomento::di_metri(massima)});
    }
    case codice::curva_errata:
      if (causa == causa_codice::curva_senza_classe) return s_.evento(diag::curva_senza_classe, s_.luogo_chiave(), {s_.testo_chiave()});
      return s_.evento(diag::curva_oltre_milione, s_.luogo_valore(1),
                       {argomento::di_metri(p), argomento::di_metri(x.valore(1)), argomento::di_metri(p + x.valore(1))});
    case codice::generale_mancante:
      if (auto quasi = lint_.quasi_generale()) return s_.evento(diag::generale_mancante_simile, quasi->first, {quasi->second});
      return s_.evento(diag::generale_mancante, s_.src.ultimo_campo());
    case codice::linea_mancante: return s_.evento(diag::linea_mancante, {});
    default: return s_.evento(diag::guasto_generico, x.v ? s_.luogo_chiave() : s_.src.ultimo_campo());
  }
}

void codici_diagnostiche::codice(std::int32_t c, std::optional<std::int32_t> posizione, causa_codice causa) {
  diagnostica d = evento_codice(c, causa);
  if (posizione) d.metri = *posizione;
  if (c == codice::stazioni_troppe || c == codice::stazione_troppo_presto) d.metri = std::int32_t(s_.corrente.valore(0));
  s_.emetti(std::move(d));
}

void codici_diagnostiche::guasto(const guasto_lettura& g) {
  const voce_letta& x = s_.corrente;
  const luogo_testo dove = x.v ? s_.luogo_chiave() : s_.src.ultimo_campo();
  auto entita = [&]() -> argomento { return x.v ? s_.arg_entita() : argomento("an item"); };
  diagnostica d = s_.evento(diag::guasto_generico, dove);
  switch (g.causa) {
    case causa_guasto::fine_file:
      if (x.v)
        d = s_.evento(diag::valori_troncati, s_.luogo_chiave(),
                      {argomento::di_chiave(*x.v), argomento::numero(std::int64_t(formato(*x.v).campi.size())),
                       argomento::numero(std::int64_t(x.valori.size()))});
      else if (s_.sezione == sezione_lettura::preambolo)
        d = s_.evento(diag::file_vuoto, s_.src.luogo(0, 0), {argomento::di_parte(s_.src.parte())});
      else
        d = s_.evento(diag::file_finito_tra_disabilitati, s_.src.ultimo_campo());
      break;
    case causa_guasto::numero_fuori_campo:
      if (x.v)
        d = s_.evento(diag::numero_fuori_campo, s_.src.ultimo_campo(),
                      {argomento::di_campo(*x.v, x.valori.size()), argomento::di_chiave(*x.v), s_.src.testo_ultimo_campo(),
                       argomento::numero(g.minimo), argomento::numero(g.massimo)});
      break;
    case causa_guasto::velocita_fuori_byte:
      d = s_.evento(diag::velocita_fuori_byte, lint_.luogo_velocita().value_or(dove), {argomento::numero(g.valore)});
      break;
    case causa_guasto::indicatore_fuori_16:
      d = s_.evento(diag::indicatore_fuori_16, dove, {entita(), argomento::numero(g.valore)});
      break;
    case causa_guasto::cella_fuori_pista:
      d = s_.evento(diag::cella_fuori_pista, dove,
                    {entita(), argomento::numero(g.valore), metri_della_cella(g.valore), argomento::numero(g.massimo),
                     argomento::di_metri(metro_cella(g.massimo + 1) - 1)});
      break;
    case causa_guasto::testo_troppo_lungo:
      d = s_.evento(diag::testo_troppo_lungo, s_.src.ultimo_campo(),
                    {x.v ? argomento::di_campo(*x.v, formato(*x.v).campi.size() - 1) : argomento("text"), argomento::numero(g.valore)});
      break;
    case causa_guasto::troppi_cartelli: d = s_.evento(diag::troppi_cartelli, dove); break;
    case causa_guasto::troppe_montagne: d = s_.evento(diag::troppe_montagne, dove); break;
    case causa_guasto::senza_lunghezza:
      // A length entry that was read and refused has its own error already.
      if (s_.luogo_lunghezza) return;
      d = s_.evento(diag::senza_lunghezza, s_.src.ultimo_campo());
      break;
    case causa_guasto::lunghezza_senza_pista:
      d = s_.evento(diag::lunghezza_senza_pista, s_.luogo_valore(0), {argomento::di_metri(g.valore)});
      break;
    case causa_guasto::somma_fuori_32:
      d = s_.evento(diag::somma_fuori_32, dove, {x.v ? s_.arg_entita() : argomento("the kilometre references' first values"), argomento::numero(g.valore)});
      break;
    case causa_guasto::file_mancante: d = s_.evento(diag::servizio_mancante, {}); break;
    case causa_guasto::generico: break;
  }
  s_.emetti(std::move(d));
}

void codici_diagnostiche::progressive_non_multiple() {
  for (voce v : {voce::progressiva_tre, voce::progressiva_due, voce::progressiva_uno}) {
    auto it = s_.progressive.find(v);
    if (it == s_.progressive.end()) continue;
    for (std::size_t i = 0; i < 2; ++i) {
      const std::int64_t valore = it->second.second[i];
      if (valore % regole::multiplo_posizione == 0) continue;
      auto [a, b] = multipli(valore, regole::multiplo_posizione);
      diagnostica d = s_.evento(diag::progressiva_non_multipla, it->second.first[i],
                                {argomento::di_chiave(v), argomento::di_campo(v, i), argomento::numero(valore), argomento::numero(a), argomento::numero(b)});
      correggi_con_multipli(d, valore, {a, b});
      s_.emetti(std::move(d));
    }
  }
}

void codici_diagnostiche::servizio_senza_generale() {
  if (auto quasi = lint_.quasi_generale()) return s_.emetti(s_.evento(diag::servizio_senza_generale_simile, quasi->first, {quasi->second}));
  s_.emetti(s_.evento(diag::servizio_senza_generale, s_.src.luogo(0, 0)));
}

// ---------------------------------------------------------------- the walk

void codici_diagnostiche::problema(const problema_cammino& p) {
  const oggetto_citato regola = intero(s_.celle.oggetto(p.cella_regola, s_.m));
  const luogo_testo dove_regola = s_.celle.luogo(p.cella_regola);
  diagnostica d{};
  switch (p.tipo) {
    case problema_cammino::caso::segnale_avviso:
      d = s_.evento(diag::segnale_senza_spazio, s_.celle.luogo(p.cella_oggetto),
                    {argomento::di_oggetto(s_.celle.oggetto(p.cella_oggetto, s_.m)), argomento::numero(p.cella_regola - p.cella_oggetto),
                     argomento::di_oggetto(s_.celle.oggetto(p.cella_regola, s_.m)), argomento::di_parole(s_.celle.elenco(p.celle, s_.m))});
      d.note.push_back(s_.evento(diag::nota_voce, dove_regola, {argomento::di_oggetto(regola)}));
      break;
    case problema_cammino::caso::finestra:
      d = s_.evento(diag::approccio_pieno, dove_regola,
                    {argomento::di_oggetto(regola), argomento::numero(p.distanza), argomento::numero(p.distanza + 2),
                     argomento::metri_da_a(metro_cella(p.celle.back()), metro_cella(std::int64_t(p.celle.front()) + 1) - 1),
                     argomento::di_parole(s_.celle.elenco(p.celle, s_.m))});
      break;
    case problema_cammino::caso::ripetizione:
      d = s_.evento(diag::ripetizione_piena, dove_regola,
                    {argomento::di_oggetto(regola), metri_della_cella(p.cella_oggetto), argomento::di_parole(s_.celle.elenco(p.celle, s_.m))});
      break;
    case problema_cammino::caso::senza_fine: d = s_.evento(diag::rallentamento_senza_fine, dove_regola, {argomento::di_oggetto(regola)}); break;
    case problema_cammino::caso::segnale_uscita:
      d = s_.evento(diag::uscita_piena, s_.celle.luogo(p.cella_oggetto),
                    {argomento::di_oggetto(s_.celle.oggetto(p.cella_oggetto, s_.m)), argomento::di_oggetto(regola), argomento::di_parole(s_.celle.elenco(p.celle, s_.m))});
      d.note.push_back(s_.evento(diag::nota_voce, dove_regola, {argomento::di_oggetto(regola)}));
      break;
  }
  d.metri = std::int32_t(metro_cella(p.cella_regola));
  std::set<std::string> viste;
  for (std::int32_t c : p.celle)
    if (auto nota = s_.celle.nota(c, s_.m); nota && viste.insert(testo_oggetto(nota->arg[0].o, true)).second) d.note.push_back(*nota);
  // Without a place for the object itself, the rule's entry stands in.
  if (!d.dove.noto()) d.dove = dove_regola;
  s_.emetti(std::move(d));
}

void codici_diagnostiche::fine_compilazione(std::int32_t c) {
  if (c == codice::lettura_fallita) {
    s_.emetti(s_.evento(diag::pista_senza_marcatori, s_.luogo_lunghezza.value_or(luogo_testo{}),
                        {argomento::di_metri(s_.m.servizio[voce_treno].valore2), argomento::numero(s_.m.n_celle + 1)}));
    return;
  }
  s_.emetti(s_.evento(c == codice::slot_formato_occupati ? diag::slot_formato : diag::slot_gara, s_.celle.luogo(regole::cella_marcatori),
                      {argomento::di_oggetto(s_.celle.oggetto(regole::cella_marcatori, s_.m))}));
}

}  // namespace sc
