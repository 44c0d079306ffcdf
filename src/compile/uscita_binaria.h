// The three binary files the simulator loads.
#pragma once

#include <string>

namespace sc {

class Disk;
struct modello;

// The line geometry: every point of the plan grid as a tagged value, all X
// values first, then all Y values.
std::string contenuto_linea_dat(const modello& m);
// The service data: the 87 service records, each with its text.
std::string contenuto_servizio_sim(const modello& m);
// The track cells: 15 bytes a cell.
std::string contenuto_celle_dat(const modello& m);

// Writes the geometry (when the grid was built), the service data and the
// track cells, each replacing an older file; none replaces its older file
// before all are written.
void scrivi_file_binari(const modello& m, Disk& disk);

}  // namespace sc
