// How diagnostics look: the text and severity of every event, and the two
// forms they are printed in, "FILE:LINE:COL: error: MESSAGE [N]" with the
// source line and a caret, or one JSON document.
#pragma once

#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "diagnostics/diagnostica.h"

namespace sc {

enum class gravita { errore, avviso, nota };

gravita gravita_di(diag id);
// The message of an event, in plain words, without place or code.
std::string messaggio(const diagnostica& d);

struct opzioni_resa {
  bool sorgente = true;            // the source line and a caret
  bool json = false;               // one JSON document instead of text
  bool avvisi_come_errori = false;  // warnings count, and print, as errors
};

// Collects the events of one run and prints them.
class resa_diagnostiche : public ricevitore_diagnostiche {
 public:
  explicit resa_diagnostiche(opzioni_resa o) : opzioni_(o) {}

  // A description the events may point into: its name as the compile knows
  // it, the path the user gave, and its bytes as the reader saw them.
  void file(const std::string& nome, const std::string& percorso, std::string testo);

  void riporta(const diagnostica& d) override;

  // Prints every event and the summary ("2 errors, 3 warnings").
  void stampa(std::ostream& out) const;

  int errori() const;
  int avvisi() const;
  const std::vector<diagnostica>& tutte() const { return eventi_; }

 private:
  struct sorgente {
    std::string percorso, testo;
    int ordine;
  };
  std::vector<diagnostica> in_ordine() const;
  gravita effettiva(const diagnostica& d) const;
  void stampa_testo(std::ostream& out, const diagnostica& d, bool nota) const;
  std::string json(const diagnostica& d, bool nota) const;
  int conta(gravita g) const;

  opzioni_resa opzioni_;
  std::map<std::string, sorgente> file_;
  std::vector<diagnostica> eventi_;
};

}  // namespace sc
