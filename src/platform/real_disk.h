// Files in a real directory. Each output goes to a new file beside its name
// and replaces the older file only when complete: replaced, never appended to.
#pragma once

#include <filesystem>
#include <string>

#include "model/disk.h"

namespace sc {

class RealDisk : public Disk {
 public:
  explicit RealDisk(std::filesystem::path directory);
  // `directory` as UTF-8 text; `separator` joins it and a name in the paths
  // shown to the user.
  RealDisk(const std::string& directory, char separator);

  bool exists(const std::string& name) override;
  std::optional<std::string> read(const std::string& name) override;
  // A failure is thrown as std::runtime_error naming the file and the reason.
  std::unique_ptr<Output> replace_stream(const std::string& name) override;
  void remove(const std::string& name) override;
  // No interruption ends the run halfway through a set.
  void commit_batch(std::vector<std::unique_ptr<Output>>& outputs) override;

  // The file's path as UTF-8 text, for messages.
  std::string path(const std::string& name) const;
  // The file on the host: the model's names are Windows-1252 text, the
  // host's file names Unicode.
  std::filesystem::path host_path(const std::string& name) const;

 private:
  std::filesystem::path directory_;
  std::string text_;  // the directory as shown
  char separator_;
};

}  // namespace sc
