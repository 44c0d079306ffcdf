// The language layer on the example and on pairs with mistakes, without a
// client: diagnostics of a pair, hover, completion, signature help, the
// outline, definitions, fixes, inlay hints, formatting and the page.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "test_support/descrizioni.h"
#include "test_support/linea_grande.h"
#include "tools/lsp/lingua.h"

namespace sc {
namespace {

using test::righe;

std::string leggi_esempio(const std::string& nome) {
  std::ifstream in(std::string(SC_EXAMPLES) + "/" + nome, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

coppia_descrizioni esempio() { return {"Valmora", "Ardesia", leggi_esempio("Valmora_linea.txt"), leggi_esempio("Valmora_Ardesia-.txt")}; }

std::size_t dopo(const std::string& testo, const std::string& cosa, std::size_t scarto = 0) { return testo.find(cosa) + scarto; }

// The diagnostics of one part, as "LINE:CODE-OR-NAME".
std::vector<std::string> codici(const analisi& a, parte_descrizione p) {
  std::vector<std::string> r;
  for (const diagnostica_mostrata& x : a.diagnostiche) {
    if (a.parte_di(x.d.dove.file) != p) continue;
    const scheda_diagnostica& s = scheda_di(x.d.id);
    r.push_back(std::to_string(x.d.dove.riga) + ":" + (s.codice ? std::to_string(s.codice) : s.nome ? s.nome : "note"));
  }
  return r;
}

const std::string linea_errata = righe({"[generale]", "lunghezza percorso, 6000", "[curve]", "pendensa, 1200, 8",
                                        "cartello_indicatore, 900, (BIVIO)", "[fine]"});
const std::string servizio_errato = righe({"[generale]", "velocita, 0, 80", "segnale, 900, 1, 3, 1, 1, 0, 0, 0, 0, 0, 0",
                                           "stazione, 2210, 23, 200, 0,0,0, 0,0,0, 4,1,1, 20, 8,20,0, PRIMA",
                                           "stazione, 2500, 23, 200, 0,0,0, 0,0,0, 4,1,1, 20, 8,30,0, SECONDA", "[fine]"});

TEST(Lingua, DiagnosticheDellaCoppia) {
  const analisi pulita = analizza(esempio());
  EXPECT_TRUE(pulita.diagnostiche.empty());

  const analisi a = analizza({"L", "T", linea_errata, servizio_errato});
  EXPECT_EQ(codici(a, parte_descrizione::linea), (std::vector<std::string>{"4:unknown-key"}));
  // The signal lands on the sign board of the other file; the station is off
  // the 50 m grid. The conflict's note is in the line description.
  EXPECT_EQ(codici(a, parte_descrizione::servizio), (std::vector<std::string>{"3:16", "4:8"}));
  const diagnostica& conflitto = a.diagnostiche[1].d;
  ASSERT_EQ(conflitto.note.size(), 1u);
  EXPECT_EQ(conflitto.note[0].dove.file, a.nome_linea);
  EXPECT_EQ(conflitto.note[0].dove.riga, 5);

  // Alone, a service description says what is missing and is still read.
  const analisi sola = analizza({"L", "T", std::nullopt, servizio_errato});
  ASSERT_FALSE(sola.diagnostiche.empty());
  EXPECT_EQ(sola.diagnostiche[0].d.id, diag::linea_mancante);
  EXPECT_EQ(codici(sola, parte_descrizione::servizio), (std::vector<std::string>{"1:101", "4:8"}));
}

TEST(Lingua, CorrezioniSuggerite) {
  const analisi a = analizza({"L", "T", linea_errata + "Progressiva chilometrica uno, 0, 0, 0\r\n",
                              servizio_errato + "cartello-indicatore, 100, (X)\r\n"});
  std::map<diag, std::vector<std::string>> viste;
  for (const diagnostica_mostrata& x : a.diagnostiche)
    for (const correzione& c : x.d.correzioni) viste[x.d.id].push_back(a.testo(*a.parte_di(c.dove.file)).substr(c.dove.inizio, c.dove.fine - c.dove.inizio) + ">" + c.testo);
  EXPECT_EQ(viste[diag::chiave_sconosciuta_simile], (std::vector<std::string>{"pendensa>pendenza"}));
  EXPECT_EQ(viste[diag::stazione_posizione], (std::vector<std::string>{"2210>2200", "2210>2250"}));

  // Too close to the previous station: the first position that leaves room.
  const analisi vicine = analizza({"L", "T", linea_errata, righe({"[generale]", "stazione, 1000, 23, 200, 0,0,0, 0,0,0, 4,1,1, 20, 8,20,0, A",
                                                                  "stazione, 1400, 23, 200, 0,0,0, 0,0,0, 4,1,1, 20, 8,30,0, B", "[fine]"})});
  std::vector<std::string> spostata;
  for (const diagnostica_mostrata& x : vicine.diagnostiche)
    if (x.d.id == diag::stazioni_vicine)
      for (const correzione& c : x.d.correzioni) spostata.push_back(c.testo);
  EXPECT_EQ(spostata, (std::vector<std::string>{"1550"}));
}

TEST(Lingua, Hover) {
  const coppia_descrizioni c = esempio();
  const analisi a = analizza(c);
  const std::string& s = *c.servizio;
  struct caso {
    std::size_t offset;
    std::vector<std::string> contiene;
  };
  const caso casi[] = {
      {dopo(s, "segnale,     900"), {"FIELDS", "posizione", "EXAMPLE"}},
      {dopo(s, "segnale,     900", 13), {"**position (posizione)**", "km 0.900; cell 19, metres 950–999", "holds: signal", "put there by this entry"}},
      {dopo(s, "velocita,    3500,    60", 22), {"**speed limit**", "stored: 12 × 5 = 60 km/h from cell 70"}},
      {dopo(s, "8,23,30", 2), {"**minutes**", "time: 08:23:30"}},
      {dopo(s, "ROCCAVERDE"), {"**name**", "service record 4: area 5600 to 5800 m"}},
  };
  for (const caso& x : casi) {
    const auto h = hover(a, parte_descrizione::servizio, x.offset);
    ASSERT_TRUE(h) << x.offset;
    for (const std::string& pezzo : x.contiene) EXPECT_NE(h->markdown.find(pezzo), std::string::npos) << pezzo << "\n" << h->markdown;
  }
  // Nothing to say between the fields.
  EXPECT_FALSE(hover(a, parte_descrizione::servizio, dopo(s, "[aderenze]") - 1));
  // A sign board at a signal's cell: the cell says who took it first.
  const analisi b = analizza({"L", "T", linea_errata, servizio_errato});
  const auto h = hover(b, parte_descrizione::servizio, dopo(servizio_errato, "segnale, 900", 10));
  ASSERT_TRUE(h);
  EXPECT_NE(h->markdown.find("put there by the `cartello_indicatore` entry on line 5 of the line description"), std::string::npos) << h->markdown;
}

TEST(Lingua, Completamento) {
  const coppia_descrizioni c = esempio();
  const analisi a = analizza(c);
  auto etichette = [&](parte_descrizione p, std::size_t offset) {
    std::vector<std::string> r;
    for (const proposta& x : completa(a, p, offset).proposte) r.push_back(x.etichetta);
    return r;
  };
  auto ha = [](const std::vector<std::string>& v, const std::string& x) { return std::find(v.begin(), v.end(), x) != v.end(); };
  const std::string& l = *c.linea;
  const auto generale = etichette(parte_descrizione::linea, dopo(l, "sfondo uno"));
  EXPECT_TRUE(ha(generale, "lunghezza percorso") && ha(generale, "[curve]") && !ha(generale, "pendenza"));
  const auto voci = etichette(parte_descrizione::linea, dopo(l, "pendenza,   600"));
  EXPECT_TRUE(ha(voci, "pendenza") && ha(voci, "curvad5") && !ha(voci, "lunghezza percorso") && !ha(voci, "stazione"));
  EXPECT_EQ(etichette(parte_descrizione::linea, 0), (std::vector<std::string>{"[generale]"}));
  EXPECT_TRUE(etichette(parte_descrizione::linea, dopo(l, "pendenza,   600", 12)).empty());  // among the values

  const completamento servizio = completa(a, parte_descrizione::servizio, dopo(*c.servizio, "segnale,     900"));
  auto snippet = [&](const std::string& chiave) {
    for (const proposta& x : servizio.proposte)
      if (x.etichetta == chiave) return x.snippet;
    return std::string();
  };
  EXPECT_EQ(snippet("velocita"), "velocita, ${1:position}, ${2:speed limit}");
  EXPECT_EQ(snippet("segnale").substr(0, 36), "segnale, ${1:posizione}, ${2:sx}, ${");
  const completamento curve = completa(a, parte_descrizione::linea, dopo(l, "curvad4"));
  const auto curva = std::find_if(curve.proposte.begin(), curve.proposte.end(), [](const proposta& x) { return x.etichetta == "curvad5"; });
  ASSERT_NE(curva, curve.proposte.end());
  EXPECT_EQ(curva->snippet, "curva${1|d,s|}${2|1,2,3,4,5,6|}, ${3:position}, ${4:length}");
}

TEST(Lingua, FirmaConCampoAttivo) {
  const coppia_descrizioni c = esempio();
  const analisi a = analizza(c);
  const std::size_t segnale = dopo(*c.servizio, "segnale,     900");
  const struct {
    std::size_t offset;
    int attivo;
  } casi[] = {{segnale + 9, 0}, {segnale + 18, 1}, {segnale + 22, 2}, {dopo(*c.servizio, " 240"), 10}};
  for (const auto& x : casi) {
    const auto f = firma_a(a, parte_descrizione::servizio, x.offset);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->attivo, x.attivo) << x.offset;
    EXPECT_EQ(f->etichetta.substr(f->parametri[1].first, f->parametri[1].second - f->parametri[1].first), "sx");
  }
  EXPECT_EQ(firma_a(a, parte_descrizione::servizio, segnale)->parametri.size(), 11u);
  EXPECT_FALSE(firma_a(a, parte_descrizione::servizio, dopo(*c.servizio, "[stazioni]", 3)));
}

TEST(Lingua, SimboliDefinizioniInlay) {
  const coppia_descrizioni c = esempio();
  const analisi a = analizza(c);
  std::vector<std::string> nomi;
  for (const simbolo& s : simboli(a, parte_descrizione::servizio))
    for (const simbolo& f : s.figli) nomi.push_back(s.nome + "/" + f.nome + " " + f.dettaglio);
  EXPECT_EQ(nomi, (std::vector<std::string>{"[stazioni]/VALMORA station, 200 m", "[stazioni]/SAN NICOL\xC3\x92 station, 2200 m",
                                            "[stazioni]/PONTE ORSA station, 4000 m", "[stazioni]/ROCCAVERDE station, 5700 m",
                                            "[rallentamenti]/restriction 2800 to 3100 m, 30 km/h", "[segnali]/signal 900 m",
                                            "[segnali]/signal 3600 m", "[segnali]/signal 4600 m", "[segnali]/signal 5300 m"}));

  // From the signal to the sign board it shares a cell with, in the other
  // file, and from the board back.
  const analisi b = analizza({"L", "T", linea_errata, servizio_errato});
  const auto d = definizioni(b, parte_descrizione::servizio, dopo(servizio_errato, "segnale"));
  ASSERT_FALSE(d.empty());
  EXPECT_EQ(d[0].parte, parte_descrizione::linea);
  EXPECT_EQ(linea_errata.substr(d[0].inizio, d[0].fine - d[0].inizio), "cartello_indicatore");
  std::vector<std::string> indietro;
  for (const luogo_parte& l : definizioni(b, parte_descrizione::linea, dopo(linea_errata, "cartello")))
    indietro.push_back(servizio_errato.substr(l.inizio, l.fine - l.inizio));
  EXPECT_EQ(indietro, (std::vector<std::string>{"900", "segnale"}));  // the error's place, and the entry

  const auto inlay = suggerimenti_inlay(a, parte_descrizione::servizio, 0, c.servizio->size());
  ASSERT_FALSE(inlay.empty());
  EXPECT_EQ(inlay.front().testo, "km 0.000, cell 0");  // the first adhesion takes effect at cell 0
  EXPECT_EQ(c.servizio->substr(inlay.front().offset - 1, 1), "0");
  const auto segnale = std::find_if(inlay.begin(), inlay.end(), [&](const suggerimento_inlay& s) { return s.offset == dopo(*c.servizio, "segnale,     900", 16); });
  ASSERT_NE(segnale, inlay.end());
  EXPECT_EQ(segnale->testo, "km 0.900, cell 19");
}

TEST(Lingua, FormattazioneCheTieneIByte) {
  for (coppia_descrizioni c : {esempio(), coppia_descrizioni{"Grande", "Treno", test::linea_grande().linea, test::linea_grande().servizio}}) {
    for (parte_descrizione p : {parte_descrizione::linea, parte_descrizione::servizio}) {
      const analisi a = analizza(c);
      const auto f = formatta(a, p);
      ASSERT_TRUE(f);
      coppia_descrizioni dopo_f = c;
      (p == parte_descrizione::linea ? dopo_f.linea : dopo_f.servizio) = *f;
      EXPECT_EQ(compila_coppia(c), compila_coppia(dopo_f));
      EXPECT_EQ(formatta(analizza(dopo_f), p), *f);  // formatting twice changes nothing
    }
  }
  const analisi a = analizza(esempio());
  const std::string f = *formatta(a, parte_descrizione::linea);
  EXPECT_NE(f.find("pendenza,     0,    0\r\npendenza,   600,    8\r\n"), std::string::npos);
  // An entry whose values run on to the next line is left as it is.
  const std::string a_capo = righe({"[generale]", "lunghezza percorso, 6000", "[curve]", "pendenza,   100,", "   5", "[fine]"});
  EXPECT_NE(formatta(analizza({"L", "T", a_capo, std::nullopt}), parte_descrizione::linea)->find("\r\npendenza,   100,\r\n   5\r\n"), std::string::npos);
}

TEST(Lingua, PaginaDellaCoppia) {
  std::string motivo;
  const auto pagina = pagina_coppia(esempio(), motivo);
  ASSERT_TRUE(pagina) << motivo;
  EXPECT_NE(pagina->find("<html"), std::string::npos);
  EXPECT_NE(pagina->find("ROCCAVERDE"), std::string::npos);
  // An object in cell 1 stops the compile: no page, and why.
  EXPECT_FALSE(pagina_coppia({"L", "T", linea_errata, righe({"[generale]", "abbattimento, 50, 5", "[fine]"})}, motivo));
  EXPECT_NE(motivo.find("1250"), std::string::npos);
}

}  // namespace
}  // namespace sc
