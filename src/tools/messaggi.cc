#include "tools/messaggi.h"

#include <algorithm>
#include <iterator>

namespace sc {

namespace {

struct voce_errore {
  std::int32_t codice;
  bool posizione;
  const char* testo;
};

constexpr voce_errore errori[] = {
    {1, false, "the line length is above 1000000 m"},
    {2, false, "a kilometre reference value is not a multiple of 50 m"},
    {3, false, "the first signal-repetition value is not a multiple of 50"},
    {4, false, "the second signal-repetition value is not a multiple of 50"},
    {5, false, "the signal-repetition keyword holds neither the digit 4 nor 9"},
    {6, true, "a sign board's cell already holds another object"},
    {7, true, "an abatement mark's cell already holds another object"},
    {8, true, "the station position is not a multiple of 50 m"},
    {9, true, "the station length is not a multiple of 100 m"},
    {10, false, "too many stations: they reach the service records taken by sign texts"},
    {11, true, "no room for a mark in front of this signal before a restriction warning board"},
    {12, true, "no free cell in an approach window before this restriction start"},
    {13, true, "no free cell for a mark along this slow restriction or in front of its exit signal, "
               "or the restriction has no end"},
    {15, true, "the position lies outside the track"},
    {16, true, "a signal's cell already holds another object"},
    {17, true, "the cell of the restriction's warning board, 1200 m before its start, is already taken"},
    {18, true, "the restriction's start cell already holds another object"},
    {19, true, "the restriction's end cell already holds another object, or lies outside the track"},
    {20, true, "one of the four cells before the restriction's warning board is already taken"},
    {21, true, "a speed board's cell already holds another object"},
    {22, true, "the station starts less than 350 m after the previous station's end"},
    {24, false, "a station's end lies at or before 100 m"},
    {25, false, "the description could not be read: a missing file, values cut off by the end of the file, "
                "a value too large for its field, a missing line length, or an item outside the track"},
    {101, false, "the line description file does not exist"},
    {102, false, "no [generale] section before the end of the line description"},
    {103, false, "a curve keyword has no class digit 1 to 6, or the plan of the line passes metre 1000000"},
    {1250, false, "the slots reserved for the format markers are already taken (an object in the first 25 m)"},
    {1251, false, "the slots reserved for the competition codes are already taken (an object in the first 25 m)"},
};

const voce_errore* trova(std::int32_t codice) {
  auto it = std::find_if(std::begin(errori), std::end(errori), [&](const voce_errore& e) { return e.codice == codice; });
  return it == std::end(errori) ? nullptr : it;
}

}  // namespace

const char* testo_errore(std::int32_t codice) {
  const voce_errore* e = trova(codice);
  return e ? e->testo : "unknown error";
}

bool errore_con_posizione(std::int32_t codice) {
  const voce_errore* e = trova(codice);
  return e && e->posizione;
}

std::string riga_errore(std::int32_t codice, std::int32_t posizione, const std::string& file, int riga) {
  std::string r;
  if (!file.empty()) r += file + ":" + std::to_string(riga) + ": ";
  r += "error " + std::to_string(codice);
  if (errore_con_posizione(codice)) r += " at " + std::to_string(posizione) + " m";
  return r + ": " + testo_errore(codice);
}

}  // namespace sc
