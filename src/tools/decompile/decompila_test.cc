// The decompile of small scenarios: which entries it writes for each layer,
// and what it reports for files the compiler could not have written.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support/compilazione.h"
#include "test_support/descrizioni.h"
#include "test_support/tracciati_ostili.h"
#include "tools/decompile/decompila.h"
#include "model/codici.h"
#include "tools/decompile/decompila_parti.h"

namespace sc {
namespace {

// A scenario compiled from a line of 9000 m (320 cells) with the given line
// items and service entries.
scenario_compilato compilato(const std::string& voci_linea, const std::string& voci_servizio, std::int32_t j = 1) {
  const test::compilazione c = test::compila_in_memoria(test::linea_con(voci_linea), test::servizio_con(voci_servizio), j);
  // Codes of the walk (11 to 13) leave the files whole.
  EXPECT_TRUE(c.codice == 0 || (c.codice >= 11 && c.codice <= 13)) << c.codice << "\n" << voci_linea << voci_servizio;
  EXPECT_EQ(c.mostrato, 0);
  return test::carica_compilato(c);
}

struct caso_voci {
  const char* nome;
  const char* linea;                // line items given
  const char* servizio;             // service entries given
  std::vector<const char*> attese;  // lines the decompile writes (either file)
  std::vector<const char*> assenti = {};  // lines it must not write
};

class VociScritte : public ::testing::TestWithParam<caso_voci> {};

TEST_P(VociScritte, AsAnAuthorWritesThemAndByteForByte) {
  const caso_voci& c = GetParam();
  const scenario_compilato s = compilato(c.linea, c.servizio);
  const decompilazione d = decompila(s);
  const std::string tutto = d.linea + d.servizio;
  for (const char* riga : c.attese) EXPECT_NE(tutto.find(std::string(riga) + "\r\n"), std::string::npos) << riga << "\n" << tutto;
  for (const char* riga : c.assenti) EXPECT_EQ(tutto.find(riga), std::string::npos) << riga << "\n" << tutto;
  const verifica v = verifica_decompilazione(s, d);
  for (const differenza& x : v.differenze) ADD_FAILURE() << riga_diagnostica(s, x);
  EXPECT_TRUE(v.esatta());
}

const caso_voci casi_voci[] = {
    {"gradients change where their cells do", "pendenza, 0, 0\r\npendenza, 1025, -12\r\npendenza, 1075, -8\r\n", "",
     {"pendenza, 0, 0", "pendenza, 1000, -12", "pendenza, 1100, -8"}},
    {"entries at the last position reach the last cells", "pendenza, 15900, 4\r\npendenza, 15900, 7\r\n", "",
     {"pendenza, 0, 0", "pendenza, 15900, 4", "pendenza, 15900, 7"}},
    {"speed limits in steps of 5 km/h", "", "velocita, 0, 72\r\nvelocita, 6010, 60\r\naderenza, 0, 90\r\n",
     {"velocita, 0, 70", "velocita, 6000, 60", "aderenza, 0, 90"}},
    {"a curve of each side", "curvad1, 100, 50\r\ncurvas6, 150, 20\r\nCURVAD3, 1000, 10\r\n", "",
     {"curvad1, 100, 50", "curvas6, 150, 20", "curvad3, 1000, 10"}},
    {"two curves of one class make one", "curvas2, 500, 100\r\ncurvas2, 600, 100\r\n", "", {"curvas2, 500, 200"}},
    {"a curve past the end of the plan", "curvad4, 15850, 500\r\n", "", {"curvad4, 15850, 150"}},
    {"speed boards with fifths", "indicatori_vmax, 700, 70, 60, 50, 1, 7, , 20, 2\r\n", "",
     {"indicatori_vmax, 700, 70, 60, 50, 1, 5, , 20, 2"}},
    {"sign texts that need quotes", "cartello_indicatore, 2800, \"A, B\"\r\ncartello_indicatore, 100, \" X\"\r\ncartello_indicatore, 200, \"\"\r\n", "",
     {"cartello_indicatore, 2800, \"A, B\"", "cartello_indicatore, 100, \" X\"", "cartello_indicatore, 200, \"\""}},
    {"a flagged mountain", "montagna, 1000, 2000, 12\r\n", "", {"montagna, 1000, 2000, 12"}},
    {"a mountain 100 m after another is type 3", "montagna, 1000, 2000, 2\r\nmontagna, 2100, 2500, 4\r\n", "",
     {"montagna, 1000, 2000, 2", "montagna, 2100, 2500, 3"}},
    {"150 m after another: a start 10 m later keeps its type", "montagna, 1000, 2000, 2\r\nmontagna, 2160, 2500, 4\r\n", "",
     {"montagna, 1000, 2000, 2", "montagna, 2160, 2500, 4"}},
    {"a range of no cells keeps a touching range's type",
     "montagna, 1000, 2000, 2\r\nmontagna, 2000, 1800, 3\r\nmontagna, 2000, 2500, 14\r\n", "",
     {"montagna, 1000, 2000, 2", "montagna, 2000, 1800, 3", "montagna, 2000, 2500, 14"}},
    {"a flagged range running on beneath the next", "montagna, 950, 1525, 13\r\nmontagna, 1525, 2000, 13\r\n", "",
     {"montagna, 950, 1550, 13", "montagna, 1500, 2000, 13"}},
    {"stations of every rule", "",
     "stazione, 0, 23, 500, 0, 1, 1, 0, 0, 0, 4, 1, 1, 1, 11, 35, 0, PRIMA\r\n"
     "stazione, 2000, 5, 300, 0, 0, 1, 0, 0, 0, 4, 1, 1, 1, 11, 40, 0, QUINTA\r\n"
     "stazione, 3000, 7, 300, 0, 0, 1, 0, 0, 0, 4, 1, 1, 1, 11, 44, 30, SETTIMA\r\n"
     "stazione, 5000, 23, 800, 0, 1, 1, 0, 0, 0, 4, 1, 1, 1, 11, 50, 0, \"LUNGA, ESTESA\"\r\n"
     "stazione, 7000, 30, 200, 0, 0, 0, 0, 0, 0, 4, 1, 1, 1, 25, 0, 0, TRENTA\r\n",
     {"stazione, 0, 23, 500, 0, 0, 1, 0, 0, 0, 4, 1, 1, 1, 11, 35, 0, PRIMA", "stazione, 2000, 5, 300, 0, 0, 0, 0, 0, 0, 4, 1, 1, 1, 11, 40, 0, QUINTA",
      "stazione, 3000, 7, 300, 0, 0, 0, 0, 0, 0, 4, 1, 1, 1, 11, 44, 30, SETTIMA",
      "stazione, 5000, 23, 800, 0, 1, 1, 0, 0, 0, 4, 1, 1, 1, 11, 50, 0, \"LUNGA, ESTESA\"",
      "stazione, 7000, 30, 200, 0, 0, 0, 0, 0, 0, 4, 1, 1, 1, 25, 0, 0, TRENTA"}},
    {"signal times as stored", "",
     "segnale, 2600, 1, 3, 1, 1, 0, 0, 0, 0, 0, 255\r\nsegnale, 4000, 2, 3, 1, 1, 0, 0, 0, 0, 0, 50\r\nsegnale, 5000, 2, 3, 1, 1, 0, 1, 2, 3, 4, 316\r\n",
     {"segnale, 2600, 1, 3, 1, 1, 0, 0, 0, 0, 0, 0", "segnale, 4000, 2, 3, 1, 1, 0, 0, 0, 0, 0, 101", "segnale, 5000, 2, 3, 1, 1, 0, 1, 2, 3, 4, 316"}},
    {"a signal written before a station that takes over its marks", "",
     "segnale, 2750, 1, 3, 1, 1, 0, 0, 0, 0, 0, 0\r\nstazione, 2500, 23, 200, 0, 0, 0, 0, 0, 0, 4, 1, 1, 1, 11, 35, 0, DOPO\r\n",
     {"[segnali]\r\nsegnale, 2750, 1, 3, 1, 1, 0, 0, 0, 0, 0, 0\r\n[stazioni]\r\nstazione, 2500, 23, 200, 0, 0, 0, 0, 0, 0, 4, 1, 1, 1, 11, 35, 0, DOPO"}},
    {"restrictions with and without warning boards", "",
     "rallentamento, 1500, 60, 500, 1, 1, 0\r\nrallentamento, 3000, 40, 1000, 0, 1, 30\r\nrallentamento, 6000, 120, 400, 2, 0, 0\r\n",
     {"rallentamento, 1500, 60, 500, 1, 0, 0", "rallentamento, 3000, 40, 1000, 0, 1, 30", "rallentamento, 6000, 120, 400, 2, 0, 0"},
     {"abbattimento"}},
    {"the cell of 1500 m with a warning board", "", "rallentamento, 1510, 60, 500, 1, 1, 0\r\n", {"rallentamento, 1510, 60, 490, 1, 1, 0"}},
    {"a restriction within one cell", "", "rallentamento, 4000, 60, 10, 0, 0, 0\r\n", {"rallentamento, 4000, 60, 0, 0, 0, 0"}},
    {"marks of the description where the walk would not put them", "",
     "abbattimento, 1000, 0\r\nabbattimento, 2000, 70000\r\nabbattimento, 3000, 150\r\n",
     {"abbattimento, 1000, 0", "abbattimento, 2000, 4464", "abbattimento, 3000, 150"}},
    {"a mark where the walk puts its own first", "",
     "rallentamento, 3000, 60, 1000, 0, 0, 0\r\nabbattimento, 2800, 180\r\n", {"abbattimento, 2750, 180"}, {"abbattimento, 2800"}},
    {"a mark on the due cell of a slow restriction moves the marks after it", "",
     "rallentamento, 3000, 60, 1200, 0, 0, 0\r\nabbattimento, 3450, 180\r\n", {"abbattimento, 3450, 180"}, {"abbattimento, 3400", "abbattimento, 3850"}},
    {"a mark in front of a signal keeps its lower value", "",
     "segnale, 3000, 1, 3, 1, 1, 0, 0, 0, 0, 0, 0\r\nabbattimento, 3000, 120\r\nabbattimento, 2950, 0\r\nrallentamento, 4800, 60, 500, 0, 0, 0\r\n",
     {"abbattimento, 3000, 120", "abbattimento, 2950, 0"}},
    {"a higher mark there comes back as the walk's own", "",
     "segnale, 3000, 1, 3, 1, 1, 0, 0, 0, 0, 0, 0\r\nabbattimento, 3000, 200\r\nabbattimento, 2950, 0\r\nrallentamento, 4800, 60, 500, 0, 0, 0\r\n",
     {"abbattimento, 2950, 0"}, {"abbattimento, 3000"}},
    // A station's stop cell (67 here) written over each kind of object:
    // what it keeps of it comes back before it.
    {"a stop cell over a sign board", "cartello_indicatore, 3300, (KM 162)\r\n", "stazione, 3300, 23, 200, 0, 0, 0, 0, 0, 0, 4, 1, 1, 1, 11, 35, 0, BRUNEA\r\n",
     {"cartello_indicatore, 3300, (KM 162)"}},
    {"a stop cell over a speed board", "indicatori_vmax, 3300, 70, 60, 50, 1, , , , 2\r\n",
     "stazione, 3300, 23, 200, 0, 0, 0, 0, 0, 0, 4, 1, 1, 1, 11, 35, 0, BRUNEA\r\n", {"indicatori_vmax, 3300, 0, 60, 50, 1, , , , 2"}},
    {"a stop cell over a signal", "",
     "segnale, 3300, 1, 3, 1, 1, 0, 0, 0, 0, 0, 0\r\nstazione, 3300, 23, 200, 0, 0, 0, 0, 0, 0, 4, 1, 1, 1, 11, 35, 0, BRUNEA\r\n",
     {"[segnali]\r\nsegnale, 3300, 1, 0, 1, 1, 0, 0, 0, 0, 0, 0\r\n[stazioni]"}},
    {"a stop cell over a restriction's start", "",
     "rallentamento, 3300, 40, 500, 0, 0, 0\r\nstazione, 3300, 23, 200, 0, 0, 0, 0, 0, 0, 4, 1, 1, 1, 11, 35, 0, BRUNEA\r\n",
     {"[rallentamenti]\r\nrallentamento, 3300, 40, 500, 0, 0, 0\r\n[stazioni]"}},
    {"a stop cell over a restriction's end", "",
     "rallentamento, 2800, 40, 500, 0, 0, 0\r\nstazione, 3300, 23, 200, 0, 0, 0, 0, 0, 0, 4, 1, 1, 1, 11, 35, 0, BRUNEA\r\n",
     {"rallentamento, 2800, 40, 0, 0, 0, 0"}},
    {"a stop cell over a warning board", "",
     "rallentamento, 4500, 40, 500, 0, 0, 7\r\nstazione, 3300, 23, 200, 0, 0, 0, 0, 0, 0, 4, 1, 1, 1, 11, 35, 0, BRUNEA\r\n",
     {"[rallentamenti]\r\nrallentamento, 4500, 40, 500, 0, 0, 7\r\n[stazioni]"}},
    {"a stop cell over a warning sequence", "",
     "rallentamento, 4550, 40, 500, 0, 1, 0\r\nstazione, 3300, 23, 200, 0, 0, 0, 0, 0, 0, 4, 1, 1, 1, 11, 35, 0, BRUNEA\r\n",
     {"[rallentamenti]\r\nrallentamento, 4550, 40, 500, 0, 1, 0\r\n[stazioni]"}},
    {"a restriction's start and a sign board under two stop cells", "cartello_indicatore, 2530, CITTA\r\n",
     "rallentamento, 1368, 80, 1287, 0, 0, 0\r\nstazione, 1350, 23, 200, 0, 0, 0, 0, 0, 0, 4, 1, 1, 1, 11, 35, 0, PRIMA\r\n"
     "stazione, 2200, 23, 800, 1, 1, 1, 0, 0, 0, 4, 1, 1, 1, 11, 45, 0, SECONDA\r\n",
     {"cartello_indicatore, 2550, CITTA", "[rallentamenti]\r\nrallentamento, 1350, 80, 1300, 0, 0, 0\r\n[stazioni]"}},
    {"a restriction at 25 (mod 100) and its sequence a cell further off", "", "rallentamento, 3025, 60, 500, 0, 1, 0\r\n",
     {"rallentamento, 3025, 60, 525, 0, 1, 0"}},
    {"a flagged range of type 0", "montagna, 1000, 2000, 266\r\n", "", {"montagna, 1000, 2000, 266"}},
    {"a range of type 0 over a flagged one", "montagna, 1000, 2000, 12\r\nmontagna, 1000, 800, 3\r\nmontagna, 1000, 2000, 0\r\n", "",
     {"montagna, 1000, 2000, 266"}},
    {"three flagged ranges over each other", "montagna, 1000, 3000, 12\r\nmontagna, 1050, 3000, 12\r\nmontagna, 1100, 3000, 12\r\n", "",
     {"montagna, 1000, 3000, 12", "montagna, 1050, 2850, 13", "montagna, 1100, 3000, 13"}},
    {"a signal whose approach marks later signals write over keeps its plain code", "",
     "segnale, 3000, 0, 3, 1, 1, 0, 1, 0, 0, 0, 0\r\nsegnale, 3100, 1, 3, 1, 1, 0, 0, 0, 0, 0, 0\r\nsegnale, 2800, 1, 3, 1, 1, 4, 0, 0, 0, 0, 0\r\n",
     {"segnale, 3000, 0, 3, 1, 1, 0, 1, 0, 0, 0, 0"}},
    {"signal codes past 9 come back from their marks", "",
     "segnale, 3000, 5, 3, 1, 1, 2, 9, 0, 0, 0, 0\r\nsegnale, 5000, 2, 3, 1, 1, 0, 7, 0, 0, 0, 0\r\n",
     {"segnale, 3000, 2, 3, 1, 1, 2, 18, 0, 0, 0, 0", "segnale, 5000, 2, 3, 1, 1, 0, 7, 0, 0, 0, 0"}},
    {"the last cell's type under the cells before it", "montagna, 15700, 16100, 2\r\nmontagna, 15500, 16000, 13\r\n", "", {"montagna, 15900, 16050, 2"}},
};

INSTANTIATE_TEST_SUITE_P(Decompila, VociScritte, ::testing::ValuesIn(casi_voci), [](const auto& i) { return test::nome_caso(i.param.nome); });

// As many mountain ranges as the readers keep: each comes back as one entry.
TEST(Decompila, EightyMountainRanges) {
  std::string voci;
  for (int i = 0; i < regole::montagne_massime; ++i)
    voci += "montagna, " + std::to_string(200 * i) + ", " + std::to_string(200 * i + 50) + ", " + std::to_string(1 + i % 6) + "\r\n";
  const scenario_compilato s = compilato(voci, "");
  const decompilazione d = decompila(s);
  std::size_t montagne = 0;
  for (std::size_t p = d.linea.find("montagna"); p != std::string::npos; p = d.linea.find("montagna", p + 1)) ++montagne;
  EXPECT_EQ(montagne, std::size_t(regole::montagne_massime));
  EXPECT_TRUE(verifica_decompilazione(s, d).esatta());
}

// Files a compile wrote after it recorded a code: the descriptions stop
// where it stopped, with the entry that stopped it, and the decompile says
// which code it was where the files tell.
struct caso_fermata {
  const char* nome;
  const char* linea;     // the whole line description
  const char* servizio;  // service entries
  std::int32_t codice;   // what the compile records
  bool certo;            // the files tell it
  const char* riga;      // the entry the descriptions stop with
};

class Fermate : public ::testing::TestWithParam<caso_fermata> {};

TEST_P(Fermate, TheDescriptionsStopWhereTheCompileStopped) {
  const caso_fermata& c = GetParam();
  // A service description of its own ends where it ends.
  const std::string servizio = std::string(c.servizio).rfind("[generale]", 0) == 0 ? c.servizio : test::servizio_con(c.servizio);
  const test::compilazione primo = test::compila_in_memoria(c.linea, servizio);
  ASSERT_EQ(primo.codice, c.codice);
  const scenario_compilato s = test::carica_compilato(primo);
  const decompilazione d = decompila(s);
  EXPECT_TRUE(d.fermata || c.codice == codice::progressiva_non_multipla);
  EXPECT_TRUE(d.con_problemi);
  if (c.certo) {
    EXPECT_EQ(d.codice, c.codice);
  }
  EXPECT_EQ(d.codice_certo, c.certo);
  EXPECT_NE((d.linea + d.servizio).find(std::string(c.riga) + "\r\n"), std::string::npos) << d.linea << d.servizio;
  const verifica v = verifica_decompilazione(s, d);
  for (const differenza& x : v.differenze) ADD_FAILURE() << riga_diagnostica(s, x);
  EXPECT_TRUE(v.esatta());
}

#define LINEA(...) "[generale]\r\nlunghezza percorso, 9000\r\n" __VA_ARGS__ "[curve]\r\ncurvad2, 1000, 300\r\n[fine]\r\n"
const caso_fermata casi_fermata[] = {
    {"a length past the limit", LINEA("progressiva chilometrica uno, 5000, 50, 1\r\nlunghezza percorso, 2000000\r\n"), "", codice::lunghezza_eccessiva, true,
     "lunghezza percorso, 2000000"},
    {"a signal repetition off the grid", LINEA("ripetizione segnali 4 codici, 75, 100\r\n"), "", codice::ripetizione_primo_valore, true,
     "ripetizione segnali 4 codici, 75, 100"},
    {"a second repetition value off the grid", LINEA("ripetizione segnali 9 codici, 100, 120\r\n"), "", codice::ripetizione_secondo_valore, true,
     "ripetizione segnali 4 codici, 100, 120"},
    {"a repetition key with no codes after a good one",
     LINEA("ripetizione segnali 9 codici, 100, 200\r\nripetizione segnali, 100, 0\r\n"), "", codice::ripetizione_codici, true, "ripetizione segnali, 100, 0"},
    {"kilometre references off the grid", LINEA("progressiva chilometrica uno, 5000, 75, 0\r\n"), "", codice::progressiva_non_multipla, true,
     "progressiva chilometrica tre, 5000, 75, 0"},
    {"a line item the reading fails on, with the plan unextended",
     "[generale]\r\nlunghezza percorso, 9000\r\n[curve]\r\ncurvad2, 1000, 300\r\npendenza, 99999999999, 0\r\n[fine]\r\n", "", codice::lettura_fallita, false,
     "pendenza, 2147483648, 0"},
    {"a station off the grid", LINEA(), "velocita, 0, 80\r\nstazione, 3310, 23, 200, 0, 0, 0, 0, 0, 0, 4, 1, 1, 1, 11, 35, 0, STORTA\r\n",
     codice::stazione_posizione, true, "stazione, 3310"},
    {"a station length off the grid", LINEA(), "velocita, 0, 80\r\nstazione, 3300, 23, 250, 0, 0, 0, 0, 0, 0, 4, 1, 1, 1, 11, 35, 0, CORTA\r\n",
     codice::stazione_lunghezza, false, "stazione, 3300, 23, 50"},
    {"a station off the track", LINEA(), "velocita, 0, 80\r\nstazione, 15500, 23, 200, 0, 0, 0, 0, 0, 0, 4, 1, 1, 1, 11, 35, 0, FUORI\r\n",
     codice::fuori_linea, true, "stazione, 15500"},
    {"a station too close to the one before", LINEA(),
     "stazione, 3300, 23, 200, 0, 0, 0, 0, 0, 0, 4, 1, 1, 1, 11, 35, 0, PRIMA\r\nstazione, 3700, 23, 200, 0, 0, 0, 0, 0, 0, 4, 1, 1, 1, 11, 40, 0, SECONDA\r\n",
     codice::stazioni_vicine, true, "stazione, 3700, 23, 200, 0, 0, 0, 0, 0, 0, 4, 1, 1, 1, 11, 40, 0, SECONDA"},
    {"a station that ends too early", LINEA(), "stazione, 50, 23, 100, 0, 0, 0, 0, 0, 0, 4, 1, 1, 1, 11, 35, 0, PRESTO\r\n", codice::stazione_troppo_presto,
     true, "stazione, 50, 23, 100, 0, 0, 0, 0, 0, 0, 4, 1, 1, 1, 11, 35, 0, PRESTO"},
    {"a station whose name the end of the file cuts off", LINEA(),
     "[generale]\r\nvelocita, 0, 80\r\nstazione, 3300, 23, 200, 1, 0, 0, 7, 8, 9, 4, 1, 1, 1, 11, 35, 20", codice::lettura_fallita, true,
     "stazione, 3300, 23, 0, 1, 0, 0, 7, 8, 9, 4, 1, 1, 1, 11, 35, 20"},
    {"a station record cut off by a field too large", LINEA(),
     "stazione, 3300, 23, 200, 1, 0, 0, 7, 8, 256, 4, 1, 1, 1, 11, 35, 0, CAMPO\r\n", codice::lettura_fallita, true, "stazione, 3300, 23, 0, 1, 0, 0, 7, 8, 256"},
};
#undef LINEA

INSTANTIATE_TEST_SUITE_P(Decompila, Fermate, ::testing::ValuesIn(casi_fermata), [](const auto& i) { return test::nome_caso(i.param.nome); });

// A curve past metre 1000000 stops the reading with error 103: the plan
// shows it bent there and not extended after it.
TEST(Decompila, ACurvePastTheLastMetreOfThePlanStopsWithIt) {
  const test::compilazione primo = test::compila_in_memoria(
      "[generale]\r\nlunghezza percorso, 999000\r\n[curve]\r\ncurvad1, 500, 100\r\ncurvas2, 999800, 500\r\npendenza, 1000, 4\r\n[fine]\r\n",
      test::servizio_con(""));
  ASSERT_EQ(primo.codice, codice::curva_errata);
  const scenario_compilato s = test::carica_compilato(primo);
  const decompilazione d = decompila(s);
  EXPECT_EQ(d.codice, codice::curva_errata);
  EXPECT_TRUE(d.codice_certo);
  // The curve that stops it comes last.
  EXPECT_NE(d.linea.find("curvas2, 999800, 200\r\n[fine]\r\n"), std::string::npos) << d.linea.substr(d.linea.size() - 300);
  EXPECT_TRUE(verifica_decompilazione(s, d).esatta());
}

TEST(Decompila, GeneralValuesAndTheClock) {
  const scenario_compilato s = test::carica_compilato(test::compila_in_memoria(
      test::righe({"[generale]", "lunghezza percorso, 9000", "progressiva chilometrica tre, 3000, 100, 1", "progressiva chilometrica due, 3000, 50, 0",
                   "progressiva chilometrica uno, 5000, 0, 0", "sfondo due, 2", "ripetizione segnali 9 codici, 100, 200", "[curve]", "[fine]"}),
      test::servizio_con("numero vetture, 6\r\norologio, 9, 5, 7\r\nsabbia, 3\r\n")));
  const decompilazione d = decompila(s);
  // 5000 leads; the two of 3000 tie below it and come out with the later
  // one first, so they are written the other way round.
  for (const char* riga : {"progressiva chilometrica tre, 5000, 0, 0", "progressiva chilometrica due, 3000, 100, 1",
                           "progressiva chilometrica uno, 3000, 50, 0", "sfondo due, 2", "ripetizione segnali 9 codici, 100, 200", "orologio, 9 5 7",
                           "numero vetture, 6", "sabbia, 3"})
    EXPECT_NE((d.linea + d.servizio).find(std::string(riga) + "\r\n"), std::string::npos) << riga << "\n" << d.linea;
  EXPECT_TRUE(verifica_decompilazione(s, d).esatta());
}

TEST(Decompila, WithoutAPlanCurvesAreLeftOut) {
  const scenario_compilato s = compilato("curvad5, 1800, 300\r\n", "", 0);
  const decompilazione d = decompila(s);
  EXPECT_FALSE(d.con_piano);
  EXPECT_EQ(d.linea.find("curva"), std::string::npos);
  EXPECT_TRUE(verifica_decompilazione(s, d).esatta());
}

TEST(Decompila, FillChangesAndTheTail) {
  struct caso {
    std::vector<int> valori;  // cells 0 to n
    std::vector<std::pair<std::int32_t, int>> cambi;
  };
  const caso casi[] = {
      {{5, 5, 5, 5, 5, 0, 0, 0}, {{0, 5}}},
      {{5, 6, 6, 7, 7, 0, 0, 0}, {{0, 5}, {1, 6}, {3, 7}}},
      {{5, 5, 5, 5, 5, 1, 0, 2}, {{0, 5}, {5, 1}, {5, 0}, {5, 2}}},
      {{0, 0, 0, 0, 0, 3, 0, 0}, {{0, 0}, {5, 3}}},
  };
  for (const caso& c : casi) EXPECT_EQ(inverso::cambi_riempimento(c.valori), c.cambi);
}

TEST(Decompila, TextFieldsThatSurviveTheReader) {
  struct caso {
    const char* testo;
    const char* scritto;
    bool esatto;
  };
  const caso casi[] = {
      {"BRUNEA", "BRUNEA", true},         {"COLLE ZAVRO", "COLLE ZAVRO", true}, {"A, B", "\"A, B\"", true}, {" A", "\" A\"", true},
      {"A ", "\"A \"", true},             {"", "\"\"", true},                   {"PIANO \"ALTO\"", "PIANO \"ALTO\"", true},
      {"\"X\", Y", "\"\"X\", Y\"", false}, {"A\r\nB", "\"A\r\nB\"", true},
  };
  for (const caso& c : casi) {
    bool esatto = false;
    EXPECT_EQ(inverso::campo_testo(c.testo, &esatto), c.scritto);
    EXPECT_EQ(esatto, c.esatto) << c.testo;
  }
}

// Files edited by hand: the closest descriptions, and one line for each part
// that does not come back.
struct caso_guasto {
  const char* nome;
  void (*modifica)(scenario_compilato&);
  std::vector<const char*> righe;
};

class PartiNonRiprodotte : public ::testing::TestWithParam<caso_guasto> {};

TEST_P(PartiNonRiprodotte, AreListedOneByOne) {
  scenario_compilato s = compilato("pendenza, 0, 0\r\nmontagna, 1000, 2000, 12\r\n",
                                   "stazione, 3300, 23, 200, 0, 0, 0, 0, 0, 0, 4, 1, 1, 20, 11, 44, 0, BRUNEA\r\nsegnale, 2600, 1, 3, 1, 1, 0, 0, 0, 0, 0, 0\r\n");
  GetParam().modifica(s);
  const verifica v = verifica_decompilazione(s, decompila(s));
  EXPECT_FALSE(v.esatta());
  std::vector<std::string> righe;
  for (const differenza& x : v.differenze) righe.push_back(riga_diagnostica(s, x));
  std::vector<std::string> attese(GetParam().righe.begin(), GetParam().righe.end());
  EXPECT_EQ(righe, attese);
}

const caso_guasto casi_guasto[] = {
    {"an unknown kind of cell", [](scenario_compilato& s) { s.celle[100].tipo = 99; },
     {"Linea_Treno.dat: cell 100 (metres 5000-5049): not reproduced: kind 99 -> nothing"}},
    {"an approach mark that nothing writes", [](scenario_compilato& s) { s.celle[150].val6 = 7; },
     {"Linea_Treno.dat: cell 150 (metres 7500-7549): not reproduced: approach mark 7 -> 0"}},
    {"a warning sequence step without its restriction",
     [](scenario_compilato& s) { s.celle[200].tipo = cella_sequenza_avviso, s.celle[200].val1 = 1; },
     {"Linea_Treno.dat: cell 200 (metres 10000-10049): not reproduced: warning board sequence (step 1) -> nothing"}},
    {"a station's end no length gives",
     [](scenario_compilato& s) {
       s.servizio[1].codice += 60;  // a time comes back whatever it is
       s.servizio[1].valore2 += 100;
     },
     {"Linea_Treno.sim: record 1 (station 1 \"BRUNEA\"): not reproduced: end 3500 -> 3400"}},
    {"a format marker changed", [](scenario_compilato& s) { s.servizio[voce_scenario].intero1 = 611; },
     {"Linea_Treno.sim: record 85 (scenario data): not reproduced: format marker 611 -> 610"}},
    {"a plan bent by hand",
     [](scenario_compilato& s) {
       const std::size_t metri = s.geometria.size() / 2;
       s.geometria[5000].valore += 0.5;
       s.geometria[metri + 5001].valore += 0.25;
     },
     // Every point after the first one bent by hand moves with it.
     {"Linea_linea.dat: metres 5000-15998: not reproduced: the plan of the line"}},
};

INSTANTIATE_TEST_SUITE_P(Decompila, PartiNonRiprodotte, ::testing::ValuesIn(casi_guasto), [](const auto& i) { return test::nome_caso(i.param.nome); });

// Files no compile writes, made to be slow or large: the decompile names
// what does not come back in lines of their own size, whatever the records
// hold, and describes no more cells than the longest line has.
TEST(Decompila, HostileTracksAreReportedInProportion) {
  const scenario_compilato partenze = test::tutte_partenze(21000);
  const verifica v = verifica_decompilazione(partenze, decompila(partenze));
  EXPECT_FALSE(v.esatta());
  ASSERT_FALSE(v.differenze.empty());
  EXPECT_EQ(riga_diagnostica(partenze, v.differenze.back()),
            "Ostile_Treno.dat: cells 20141-20999 (metres 1007050-1049999): not reproduced: track 21000 cells -> 20141 cells");
  const scenario_compilato fermate = test::fermate_di_un_nome();
  const verifica w = verifica_decompilazione(fermate, decompila(fermate));
  EXPECT_FALSE(w.esatta());
  std::size_t lunghezza = 0;
  for (const differenza& x : w.differenze) {
    const std::string riga = riga_diagnostica(fermate, x);
    EXPECT_LT(riga.size(), 300u) << riga.substr(0, 300);
    lunghezza += riga.size();
  }
  EXPECT_LT(lunghezza, 100 * fermate.celle.size());
}

}  // namespace
}  // namespace sc
