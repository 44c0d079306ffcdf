#include "parsing/memorizza_dati.h"

#include <new>

#include "model/codici.h"
#include "model/disk.h"
#include "model/nomi_file.h"
#include "parsing/contesto_lettura.h"
#include "parsing/guasto.h"

namespace sc {

namespace {

// Anything unexpected in either stage ends here: the files are closed (they
// are held in memory), both descriptions are deleted where they still exist.
void gestisci_guasto(contesto_lettura& ctx, const guasto_lettura& g) {
  ctx.m.codice_errore = codice::lettura_fallita;
  ctx.ascolta.guasto(g);
  ctx.chiudi();
  for (const std::string& nome : {nome_linea_txt(ctx.m), nome_treno_txt(ctx.m)})
    if (ctx.disk.exists(nome)) ctx.disk.remove(nome);
}

}  // namespace

void memorizza_dati(modello& m, Disk& disk, ascoltatore_lettura& ascolta, bool recupera) {
  contesto_lettura ctx(m, disk, ascolta, recupera);
  try {
    if (leggi_descrizione_linea(ctx) == fine_fase::prosegui) leggi_descrizione_servizio(ctx);
  } catch (const guasto_lettura& g) {
    gestisci_guasto(ctx, g);
  } catch (const std::bad_alloc&) {
    gestisci_guasto(ctx, guasto_lettura(causa_guasto::generico));
  }
  // Whatever ended the reading, the arrays of the last length entry exist.
  ctx.crea_celle();
}

}  // namespace sc
