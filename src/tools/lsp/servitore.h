// The protocol layer of the editor server: JSON-RPC messages in and out,
// the lifecycle (initialize, shutdown, exit), the open documents laid over
// the files of their folder, the pairing of a line description with its
// service descriptions, when each pair is checked again, and cancellation.
// What the answers say comes from the language layer (lingua.h). It reads
// and writes no stream and keeps no clock of its own: the `lsp` command
// feeds it messages and time, the tests and the fuzzer do the same in
// memory.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/disk.h"

namespace sc {

class servitore_lsp {
 public:
  using orologio = std::chrono::steady_clock;
  using istante = orologio::time_point;

  struct opzioni {
    // While a pair's texts keep changing it is checked at most once in
    // this time; a change after a quiet spell is checked at once.
    std::chrono::milliseconds intervallo{200};
    std::function<istante()> adesso = [] { return orologio::now(); };
    // A folder's files, read by their Windows-1252 names, and their names.
    std::function<std::unique_ptr<Disk>(const std::filesystem::path&)> disco;
    std::function<std::vector<std::string>(const std::filesystem::path&)> elenca;
  };

  // `invia` takes each outgoing message's JSON body.
  servitore_lsp(std::function<void(const std::string&)> invia, opzioni o);
  explicit servitore_lsp(std::function<void(const std::string&)> invia);
  ~servitore_lsp();

  // Messages that arrived together, in order: a cancellation among them
  // reaches a request before it.
  void ricevi(const std::vector<std::string>& corpi);
  // A framing fault: answered as a message that is no JSON.
  void guasto_cornice(const std::string& motivo);

  // When the next pending check is due, and running the ones that are.
  std::optional<istante> prossima_scadenza() const;
  void esegui_scadenze();

  // After "exit": the process's status (0 when "shutdown" came first).
  bool finito() const;
  int esito() const;

 private:
  struct stato;
  std::unique_ptr<stato> s_;
};

// The files of the host, for `opzioni`: RealDisk and the folder's listing.
std::unique_ptr<Disk> disco_reale(const std::filesystem::path& cartella);
std::vector<std::string> elenco_reale(const std::filesystem::path& cartella);

}  // namespace sc
