// Readable listings of the three binary files, in the author's units.
#pragma once

#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "model/modello.h"
#include "tools/readback/oggetti_linea.h"

namespace sc {

enum class tipo_binario { geometria, servizio, celle };

// A binary file read and checked: its kind and its decoded content.
struct binario_letto {
  tipo_binario tipo;
  std::vector<cella> celle;
  std::vector<voce_servizio> servizio;
  std::vector<valore_profilo> geometria;
};

// The file's kind as given, or by its name ("_linea.dat", ".sim", ".dat"),
// or, under any other name, by its content. Either the decoded file or the
// reason it is not one of the three kinds.
std::variant<binario_letto, std::string> leggi_binario(const std::string& nome, std::string_view dati, std::optional<tipo_binario> tipo = std::nullopt);

struct filtro_elenco {
  bool json = false;
  std::set<int> tipi;  // cell kinds to list; empty lists every cell
  std::optional<int> da, a;  // metres
  // For a track cell file: the service data beside it, for names, texts and
  // the line's end; empty when there is none.
  std::vector<voce_servizio> servizio;
};

std::string elenco_celle(const std::vector<cella>& celle, const filtro_elenco& filtro);
std::string elenco_servizio(const std::vector<voce_servizio>& servizio, const filtro_elenco& filtro);
std::string elenco_geometria(const std::vector<valore_profilo>& punti, const filtro_elenco& filtro);

// Every set point of the plan as CSV (metre,x,y) or as JSON.
std::string punti_geometria(const std::vector<valore_profilo>& punti, const filtro_elenco& filtro);

}  // namespace sc
