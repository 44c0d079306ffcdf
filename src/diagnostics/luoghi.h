// Source places: the descriptions read so far, where each field lies in
// them (line and column worked out only when an event needs them), and the
// entry being read with the places of its key field and values.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "diagnostics/diagnostica.h"
#include "model/indice_righe.h"
#include "model/voci.h"

namespace sc {

class lettore_campi;

// A field of the entry being read, by its bytes; its text is read from the
// description only when a message needs it.
struct campo_letto {
  std::size_t inizio = 0, fine = 0;
  bool numero = true;  // it held a number (or nothing)
  bool vuoto = false;  // it held nothing
  bool decimale = false;  // rounding changed it
  double scritto = 0;     // the number as written
  std::int64_t valore = 0;
};

class sorgenti {
 public:
  void apri(const std::string& nome, lettore_campi& r, parte_descrizione parte);
  void chiudi() { lettore_ = nullptr; }

  lettore_campi* lettore() const { return lettore_; }
  parte_descrizione parte() const { return parte_; }
  const std::string& testo() const;
  std::string grezzo(std::size_t inizio, std::size_t fine) const;

  // A place in the file being read; the reader's last field.
  luogo_testo luogo(std::size_t inizio, std::size_t fine) const;
  luogo_testo ultimo_campo() const;
  std::string testo_ultimo_campo() const;
  // The line of an offset in the file being read.
  int riga(std::size_t offset) const;

 private:
  struct file_letto {
    std::string nome;
    mutable std::optional<indice_righe> righe;  // made when first needed
  };
  std::vector<file_letto> file_;
  lettore_campi* lettore_ = nullptr;
  parte_descrizione parte_ = parte_descrizione::linea;
};

// The entry being read: its key field, the entry the key triggered, and
// the values read for it so far.
struct voce_letta {
  campo_letto chiave;
  std::optional<voce> v;
  int voci_della_chiave = 0;
  std::vector<campo_letto> valori;
  std::size_t fine_precedente = 0;  // where the last field read ended
  bool a_capo = false;   // a value of it comes from a later line
  bool a_capo_detto = false;

  std::int64_t valore(std::size_t i) const { return i < valori.size() ? valori[i].valore : 0; }
};

}  // namespace sc
