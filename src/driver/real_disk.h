// Files in a real directory, each output replaced, never appended to.
#pragma once

#include <string>

#include "model/disk.h"

namespace sc {

class RealDisk : public Disk {
 public:
  RealDisk(std::string directory, char separator) : directory_(std::move(directory)), separator_(separator) {}

  bool exists(const std::string& name) override;
  std::optional<std::string> read(const std::string& name) override;
  // Creates the file if missing, deletes it, then opens it anew for one
  // sequential pass. A failure is thrown as std::runtime_error.
  std::unique_ptr<Output> replace_stream(const std::string& name) override;
  void remove(const std::string& name) override;

  std::string path(const std::string& name) const { return directory_ + separator_ + name; }

 private:
  std::string directory_;
  char separator_;
};

}  // namespace sc
