// Writes into DIR every file the built-in run writes, the two descriptions
// it reads back and deletes included: the eight files that bench/disco.py
// copies to compare the run with.
#include <exception>
#include <iostream>
#include <string>

#include "driver/form1.h"
#include "platform/real_disk.h"

namespace {

// The reader deletes what it has read: here it stays.
class cartella_che_tiene : public sc::RealDisk {
 public:
  using RealDisk::RealDisk;
  void remove(const std::string&) override {}
};

struct senza_finestra : sc::Interfaccia {
  void mostra_attesa() override {}
  void mostra_messaggio(const std::string&) override {}
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: file_predefiniti DIR\n";
    return 1;
  }
  try {
    cartella_che_tiene cartella{std::filesystem::path(argv[1])};
    senza_finestra ui;
    sc::Form1 form(cartella, ui);
    return form.form_load();
  } catch (const std::exception& e) {
    std::cerr << "file_predefiniti: " << e.what() << "\n";
    return 1;
  }
}
