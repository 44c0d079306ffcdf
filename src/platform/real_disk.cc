#include "platform/real_disk.h"

#include <limits>
#include <memory>
#include <stdexcept>

#include "model/testo.h"
#include "platform/file.h"
#include "platform/platform.h"

namespace sc {

namespace {

class FileOutput : public Disk::Output {
 public:
  explicit FileOutput(std::filesystem::path p) : file_(std::move(p)) {}
  void write(std::string_view bytes) override { file_.scrivi(bytes); }
  void close() override { file_.chiudi(); }
  void commit() override { file_.conferma(); }
  void commit_reversibly() override { file_.conferma_reversibile(); }
  void undo() override { file_.annulla(); }
  void release() override { file_.rilascia(); }

 private:
  piattaforma::file_nuovo file_;
};

std::filesystem::path nome_host(const std::string& name) {
  const std::string utf8 = cp1252_a_utf8(name);
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

}  // namespace

RealDisk::RealDisk(std::filesystem::path directory)
    : directory_(std::move(directory)), text_(piattaforma::testo_percorso(directory_)), separator_(piattaforma::separatore()) {}

RealDisk::RealDisk(const std::string& directory, char separator)
    : directory_(piattaforma::percorso_di(directory)), text_(directory), separator_(separator) {}

std::filesystem::path RealDisk::host_path(const std::string& name) const { return directory_ / nome_host(name); }

std::string RealDisk::path(const std::string& name) const {
  return text_ + separator_ + cp1252_a_utf8(name);
}

bool RealDisk::exists(const std::string& name) {
  return piattaforma::genere_di(host_path(name)) != piattaforma::genere_voce::nessuna;
}

std::optional<std::string> RealDisk::read(const std::string& name) {
  try {
    return piattaforma::leggi_file_regolare(host_path(name), std::numeric_limits<std::size_t>::max());
  } catch (const std::runtime_error&) {
    return std::nullopt;
  }
}

std::unique_ptr<Disk::Output> RealDisk::replace_stream(const std::string& name) {
  return std::make_unique<FileOutput>(host_path(name));
}

void RealDisk::remove(const std::string& name) { piattaforma::rimuovi(host_path(name)); }

void RealDisk::commit_batch(std::vector<std::unique_ptr<Output>>& outputs) {
  piattaforma::senza_interruzioni intero;
  Disk::commit_batch(outputs);
}

}  // namespace sc
