// Reads the line description and then the service description into the
// model, deleting each file once read.
#pragma once

#include "parsing/contesto_lettura.h"

namespace sc {

class Disk;
struct modello;

// Problems are left in codice_errore and posizione_errore; the result says
// which description line the reader was on when the last one was recorded.
luogo_lettura memorizza_dati(modello& m, Disk& disk);

}  // namespace sc
