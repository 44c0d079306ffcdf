#include "tools/drawing/view.h"

#include <gtest/gtest.h>

#include "test_support/formati.h"
#include "test_support/linea_grande.h"
#include "test_support/scenario_in_memoria.h"
#include "tools/cli/testo_sicuro.h"
#include "test_support/tracciati_ostili.h"
#include "tools/drawing/plot.h"
#include "tools/drawing/regole_disegno.h"

namespace sc {
namespace {

const std::string apertura_dati = "<script id=\"dati\" type=\"application/json\">";

std::string dati_della_pagina(const std::string& pagina) {
  const std::size_t p = pagina.find(apertura_dati);
  if (p == std::string::npos) return "";
  const std::size_t inizio = p + apertura_dati.size();
  return pagina.substr(inizio, pagina.find("</script>", inizio) - inizio);
}

scenario_compilato ricco() {
  return test::scenario_in_memoria(test::descrizione_ricca("Ricca_linea.txt"), test::descrizione_ricca("Ricca_Treno-.txt"));
}

TEST(View, ThePageCarriesEverythingItNeeds) {
  const std::string pagina = pagina_view(ricco());
  for (const char* fuori : {"src=", "href=", "@import", "url(", "http://", "https://", "@DATI@", "/*@CODICE@*/", "/*@STILE@*/", "@TITOLO@"})
    EXPECT_EQ(pagina.find(fuori), std::string::npos) << fuori;
  const std::string dati = dati_della_pagina(pagina);
  EXPECT_TRUE(test::json_valido(dati)) << dati.substr(0, 300);
  for (const char* atteso : {"\"ALFA\"", "\"08:22:30\"", "\"(SOSTA)\"", "\"warn 30 km/h\"", "\"lunghezza\":12000", "[3000,3600,30,1800,",
                             // The curves as the plan bends them: start, last bent metre, side and class.
                             "[1500,2100,\"d3\",false,", "[4000,4400,\"s5\",true,", "[7000,7300,\"d6\",false,", "\"passi\":[1,2,5]"})
    EXPECT_NE(dati.find(atteso), std::string::npos) << atteso;
  // Every kind with its name, lane, glyph and colour, and the lanes' titles, from the tables.
  for (const tipo_cella_info& t : tabella_tipi_cella()) {
    const std::string riga = "\"" + std::to_string(t.tipo) + "\":{\"nome\":" + json_stringa(t.nome) + ",\"corsia\":" +
                             std::to_string(int(t.in_corsia)) + ",\"glifo\":\"" + disegno::di(t.segno).chiave + "\",\"colore\":\"" + t.colore + "\"}";
    EXPECT_NE(dati.find(riga), std::string::npos) << riga;
  }
  for (int c = 0; c < numero_corsie; ++c) EXPECT_NE(dati.find(json_stringa(nome_corsia(corsia(c)))), std::string::npos) << c;
  EXPECT_NE(pagina.find("<title>Linea - Treno"), std::string::npos);
}

TEST(View, NamesWithAnyBytesStayData) {
  scenario_compilato s = ricco();
  s.titolo = "T</script>@DATI@<b>";
  s.servizio[1].nome = std::string("A</script><!--\x01\0@DATI@\"\\", 24);
  const std::string pagina = pagina_view(s);
  const std::string dati = dati_della_pagina(pagina);
  EXPECT_TRUE(test::json_valido(dati)) << dati.substr(0, 300);
  EXPECT_NE(dati.find("\"A\\u003c/script\\u003e\\u003c!--\\u0001\\u0000@DATI@\\\"\\\\\""), std::string::npos);
  EXPECT_NE(pagina.find("<title>T&lt;/script&gt;@DATI@&lt;b&gt;"), std::string::npos);
  EXPECT_NE(pagina.find("vistaLinea"), std::string::npos) << "the script follows the data";
  const std::string svg = disegna_svg(s);
  EXPECT_TRUE(test::ben_formato(svg));
  EXPECT_NE(svg.find("A&lt;/script&gt;&lt;!--\xEF\xBF\xBD\xEF\xBF\xBD@DATI@&quot;\\"), std::string::npos);
}

TEST(View, TheLargestLineStaysAFewMegabytes) {
  const test::descrizioni d = test::linea_grande();
  const scenario_compilato s = test::scenario_in_memoria(d.linea, d.servizio);
  const std::string pagina = pagina_view(s);
  EXPECT_LT(pagina.size(), 3u << 20);
  const std::string dati = dati_della_pagina(pagina);
  EXPECT_TRUE(test::json_valido(dati));
  // The plan goes thinned: a few points per curve, not one per metre.
  const std::size_t m = dati.find("\"pianta\":{\"m\":[");
  ASSERT_NE(m, std::string::npos);
  const std::string metri = dati.substr(m, dati.find(']', m) - m);
  const auto punti = std::count(metri.begin(), metri.end(), ',') + 1;
  EXPECT_GT(punti, 400);
  EXPECT_LT(punti, 100000);
  EXPECT_NE(dati.find("\"S49\""), std::string::npos);
}

TEST(Plot, DrawingRulesForTheStaticPicture) {
  const std::string svg = disegna_svg(ricco());
  EXPECT_TRUE(test::ben_formato(svg));
  for (const char* atteso : {"end of line 12.000 km", "run-out after the line&apos;s end: 7050 m", "+12‰", "−7‰", "fill:#a04000\">30", "warn 30 km/h", "type 2, markers",
                             "(SOSTA)", "ALFA 08:15", "BETA 08:22:30", "Legend", ">d6<"})
    EXPECT_NE(svg.find(atteso), std::string::npos) << atteso;
  // Curves in the colour of their side.
  for (const auto& [s, etichetta] : {std::pair{disegno::strato::curva_destra, "d3"}, std::pair{disegno::strato::curva_sinistra, "s5"}})
    EXPECT_NE(svg.find("fill:" + std::string(disegno::di(s).colore) + "\">" + etichetta + "<"), std::string::npos) << etichetta;
  // The lanes and the legend take their names from the tables.
  for (int c = 0; c < numero_corsie; ++c) EXPECT_NE(svg.find(">" + std::string(nome_corsia(corsia(c))) + "<"), std::string::npos) << c;
  for (const tipo_cella_info& t : tabella_tipi_cella()) EXPECT_NE(svg.find(">" + std::string(t.nome) + "<"), std::string::npos) << t.nome;
  // The axis of the largest line thins its ticks: no more than one label per 80 px.
  const test::descrizioni d = test::linea_grande();
  const std::string grande = disegna_svg(test::scenario_in_memoria(d.linea, d.servizio));
  EXPECT_TRUE(test::ben_formato(grande));
  EXPECT_NE(grande.find("end of line 1000.000 km"), std::string::npos);
  std::size_t etichette_km = 0;
  for (std::size_t p = grande.find("00 km</text>"); p != std::string::npos; p = grande.find("00 km</text>", p + 1)) ++etichette_km;
  EXPECT_GE(etichette_km, 5u);
  EXPECT_LE(etichette_km, 40u);
  EXPECT_LT(grande.size(), 1u << 20);
}

// Files made to be large or slow to read: a record's name is given once,
// and the page stays in proportion to the cells.
TEST(View, HostileTracksStayInProportion) {
  std::size_t occorrenze = 0;
  const scenario_compilato fermate = test::fermate_di_un_nome();
  const std::string nome = fermate.servizio[1].nome, dati = dati_view(fermate);
  for (std::size_t p = dati.find(nome); p != std::string::npos; p = dati.find(nome, p + 1)) ++occorrenze;
  // The timetable, and the first stop cell's label and values.
  EXPECT_EQ(occorrenze, 3u);
  EXPECT_LT(dati.size(), 300 * fermate.celle.size() + 4 * nome.size());
  EXPECT_TRUE(test::json_valido(dati));
  const scenario_compilato partenze = test::tutte_partenze(20000);
  const std::string tutte = dati_view(partenze);
  EXPECT_LT(tutte.size(), 250 * partenze.celle.size());
  EXPECT_TRUE(test::json_valido(tutte));
}

}  // namespace
}  // namespace sc
