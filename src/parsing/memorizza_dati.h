// Reads the line description and then the service description into the
// model, deleting each file once read.
#pragma once

namespace sc {

class Disk;
class segnalazioni;
struct modello;

// Problems are left in codice_errore and posizione_errore, and told to the
// diagnostics when there are any.
void memorizza_dati(modello& m, Disk& disk, segnalazioni* diag = nullptr);

}  // namespace sc
