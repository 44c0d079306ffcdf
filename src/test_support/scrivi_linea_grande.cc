// Writes the two descriptions of the largest line into a directory, as
// Grande_linea.txt and Grande_Treno-.txt, for the scripts that look at it in
// a browser (the view test and the view benchmark).
#include <fstream>
#include <iostream>
#include <string>

#include "test_support/linea_grande.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: scrivi_linea_grande DIR\n";
    return 1;
  }
  const sc::test::descrizioni d = sc::test::linea_grande();
  const std::string dir = argv[1];
  std::ofstream(dir + "/Grande_linea.txt", std::ios::binary) << d.linea;
  std::ofstream(dir + "/Grande_Treno-.txt", std::ios::binary) << d.servizio;
  std::ifstream prova(dir + "/Grande_Treno-.txt");
  if (!prova) {
    std::cerr << "scrivi_linea_grande: cannot write into " << dir << "\n";
    return 1;
  }
  return 0;
}
