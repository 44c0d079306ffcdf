// How diagnostics look on the command line: "FILE:LINE:COL: error: MESSAGE
// [N]" with the source line and a caret, or one JSON document; which
// warnings show, and which count as errors (-Wname, -Wno-name, -Werror=name).
#pragma once

#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "diagnostics/diagnostica.h"
#include "diagnostics/tabella.h"

namespace sc {

enum class stato_avviso { spento, acceso, errore };

struct opzioni_resa {
  bool sorgente = true;             // the source line and a caret
  bool json = false;                // one JSON document instead of text
  bool avvisi_come_errori = false;  // every warning shown counts, and prints, as an error
  std::map<std::string, stato_avviso> avvisi;  // -W options by warning name, the last one winning
};

// Reads one -W option ("-Wname", "-Wno-name", "-Werror=name",
// "-Wno-error=name") into the options; false when it names no warning.
bool leggi_opzione_avviso(const std::string& opzione, opzioni_resa& o);

// Collects the events of one run and prints them.
class resa_diagnostiche : public ricevitore_diagnostiche {
 public:
  explicit resa_diagnostiche(opzioni_resa o) : opzioni_(std::move(o)) {}

  // A description the events may point into: its name as the compile knows
  // it, the path the user gave, and its bytes as the reader saw them.
  void file(const std::string& nome, const std::string& percorso, std::string testo);

  void riporta(const diagnostica& d) override;

  // Prints every event shown and the summary ("2 errors, 3 warnings").
  void stampa(std::ostream& out) const;

  int errori() const;
  int avvisi() const;
  // The events shown, with the severity each is shown with.
  std::vector<diagnostica> mostrate() const;
  gravita effettiva(const diagnostica& d) const;

 private:
  struct sorgente {
    std::string percorso, testo;
    int ordine;
    bool non_testo;
  };
  bool mostrata(const diagnostica& d) const;
  std::vector<diagnostica> in_ordine() const;
  void stampa_testo(std::ostream& out, const diagnostica& d, bool nota) const;
  std::string json(const diagnostica& d, bool nota) const;
  int conta(gravita g) const;

  opzioni_resa opzioni_;
  std::map<std::string, sorgente> file_;
  std::vector<diagnostica> eventi_;
};

// The columns a UTF-8 text takes on a terminal: combining marks none, wide
// East Asian characters two.
std::size_t larghezza_visualizzata(std::string_view utf8);

}  // namespace sc
