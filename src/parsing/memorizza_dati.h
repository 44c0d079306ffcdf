// Reads the line description and then the service description into the
// model, deleting each file once read.
#pragma once

namespace sc {

class Disk;
class ascoltatore_lettura;
struct modello;

// Problems are left in codice_errore and posizione_errore, and told to the
// listener. With `recupera`, an entry that would end the reading is dropped
// and the reading goes on, so that independent problems are all found.
void memorizza_dati(modello& m, Disk& disk, ascoltatore_lettura& ascolta, bool recupera = false);

}  // namespace sc
