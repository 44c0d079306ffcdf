// Built-in content of the five text files. Each table lists the file's lines
// in order and ends with the sentinel, which is never written.
#include "writers/tabelle.h"

namespace sc {

const std::vector<std::string_view>& tabella_linea() {
  static const std::vector<std::string_view> righe = {
      "[generale]",
      "lunghezza percorso,    9000",
      "progressiva chilometrica uno,    0,    0,    0",
      "progressiva chilometrica due,    0,    0,    0",
      "progressiva chilometrica tre,    0,    0,    0",
      "sfondo uno,    0",
      "sfondo due,    0",
      "sfondo tre,    1",
      "ripetizione segnali 4 codici,    0    ,0",
      "[curve]",
      "curvad5,  1800,  300",
      "curvas3,  2100,  250",
      "curvad6,  2350,  350",
      ",  2750,  400",
      "curvas5,  2800,  400",
      "curvas6,  3200,  300",
      "curvas5,  3900,  400",
      "curvas2,  4300,  300",
      "curvas3,  4800,  300",
      "curvad4,  5100,  300",
      "curvas5,  5400,  200",
      "curvad5,  5600,  750",
      "curvad6,  6350,  350",
      "curvas6,  7350,  300",
      "[pendenze]",
      "pendenza,  0,   0",
      "pendenza,  1000,   -12",
      "pendenza,  1500,   -8",
      "pendenza,  2600,   0",
      "pendenza,  3600,   -5",
      "pendenza,  6800,   0",
      "[montagne]",
      "[cartelli]",
      "indicatori_vmax,  700,  70,  70,  70,  0,  ,  ,  ,  0",
      "indicatori_vmax,  5500,  60,  60,  60,  0,  ,  ,  ,  0",
      "[indicazioni]",
      "cartello_indicatore,  2800,   (VALDISPRETO)",
      "cartello_indicatore,  4100,   (BRUNEA)",
      "cartello_indicatore,  4800,   (COLLE ZAVRO)",
      "cartello_indicatore,  5900,   (       )(INERZIA)",
      "cartello_indicatore,  6700,   (PIANOSCA)",
      "cartello_indicatore,  7300,   (TERMINE TRATTA)",
      "[fine]",
      sentinella,
  };
  return righe;
}

const std::vector<std::string_view>& tabella_treno() {
  static const std::vector<std::string_view> righe = {
      "[generale]",
      "numero vetture,    4",
      "percentuale massa frenata,    105",
      "sabbia,    15",
      "orologio,    11              34            39 ",
      "[aderenze]",
      "aderenza,       0,    90",
      "[vel_limite]",
      "velocita,       0,    70",
      "velocita,    6000,    60",
      "[stazioni]",
      "stazione,       0, 23,  500,  0, 0, 0,  0,0,0,  4,1,1,    1,  11,35, 0, PRATOSERVINO",
      "stazione,    3300, 23,  200,  0, 0, 0,  0,0,0,  4,1,1,   20,  11,40, 0, VALDISPRETO",
      "stazione,    4450, 23,  200,  0, 0, 0,  0,0,0,  5,1,1,   20,  11,44, 0, BRUNEA",
      "stazione,    5250, 23,  200,  0, 0, 0,  0,0,0,  4,1,1,   20,  11,46, 0, COLLE ZAVRO",
      "stazione,    7100, 21,  200,  0, 0, 0,  0,0,0,  2,1,1,    0,  11,52, 0, PIANOSCA",
      "[rallentamenti]",
      "[segnali]",
      "segnale,    2600,   1, 3, 1,  1, 0,    0,  0,0,0, 255",
      "segnale,    4000,   2, 3, 1,  1, 0,    0,  0,0,0, 240",
      "segnale,    6200,   2, 3, 1,  1, 0,    0,  0,0,0, 0",
      "[codici]",
      "[fine]",
      sentinella,
  };
  return righe;
}

const std::vector<std::string_view>& tabella_note() {
  static const std::vector<std::string_view> righe = {
      "Questo scenario simula l'Tersio, il Vidaroz del Zavro. La guida è molto semplice, l'unica difficoltà è data dalla pendenza che si incontra nei primi 3 chilometri. Nella realtà la velocità limite è di 25 Km/h, la simulazione avviene con velocità massima di 70 Km/h a causa della poca idoneità del tipo di locomotore (nella realtà è infatti un elettromotrice). Il treno è molto leggero, la percentuale di massa frenata è impostata al 105%. L'altimetria non corrisponde alla realtà in qualche punto. Prima della stazione di Pianosca è presente un cartello che riporta l'indicazione 'INERZIA': qui è necessario spegnere il motore e proseguire fino alla stazione grazie alla forza d'inerzia. Questa indicazione è realmente presente. La ripetizione segnali è completamente assente. Attenzione alla pendenza di alcune stazioni ed ai segnali!",
      "",
      "BUON DIVERTIMENTO!!",
      "  ",
      "",
      "Cenni storici reperibili in http://www.example.org/storia/vidaroz-del-zavro.html.",
      "",
      " ",
      "Ferrovie Esempio-  http://www.example.com/",
      "Pagina privata  -  http://www.example.net/~autore/",
      "",
      "Mario   - mario@example.com",
      "Lucia   - lucia@example.org",
      sentinella,
  };
  return righe;
}

const std::vector<std::string_view>& tabella_rallentamenti() {
  static const std::vector<std::string_view> righe = {
      "",
      "            ",
      "",
      "",
      "",
      "",
      "",
      "          NESSUNA PRESCRIZIONE ",
      sentinella,
  };
  return righe;
}

const std::vector<std::string_view>& tabella_scheda() {
  static const std::vector<std::string_view> righe = [] {
    std::vector<std::string_view> r = {
        "",
        "",
        "  ___________________                                               ______________",
        " |                   |                    SCHEDA                   |              |",
        " |      Tersio       |                   da: Pratoservino          |     V80 C    |",
        " |___________________|                    a: Pianosca              |     100%     |",
        "                                                                   |______________|",
        "  ___________________                ___________________",
        " |  CLASSIFICAZIONE  |              |  MASSA BLOCCATA   |       ",
        " |  ELETTROMOTRICE   |              |      280T         |",
        " |___________________|              |___________________|",
        "",
        "  ________________________________________________________________________________",
        " | Vel.| Vel.| Progr Km |  No |   Localita' di  Servizio   |     Orario     | Rec |",
        " | Lim.|Marc.|          |  Rs |                            |                |     |",
        " |_____|_____|__________|_____|____________________________|________________|_____|",
        " | 70  |     |  0.000   |     | PRATOSERVINO               |          11:35 |     |",
        " |     |     |  3.300   |     | VALDISPRETO                | 11:40    11:40 |     |",
        " |     |     |  4.550   |     | BRUNEA                     | 11:44    11:44 |     |",
        " |     |     |  5.250   |     | COLLE ZAVRO                | 11:46    11:46 |     |",
        " | 60  |     |  6.000   |     | Cippo Km. 6.000            |      11:48     |     |",
        " |     |     |  7.000   |     | PIANOSCA                   | 11:51          |     |",
    };
    r.insert(r.end(), 25, " |     |     |          |     |                            |                |     |");
    r.insert(r.end(), {" |_____|_____|__________|_____|____________________________|________________|_____|", "", sentinella});
    return r;
  }();
  return righe;
}

}  // namespace sc
