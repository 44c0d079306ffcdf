#include "model/disk.h"

namespace sc {

bool MemoryDisk::exists(const std::string& name) { return files_.count(name) > 0; }

std::optional<std::string> MemoryDisk::read(const std::string& name) {
  auto it = files_.find(name);
  if (it == files_.end()) return std::nullopt;
  return it->second;
}

void MemoryDisk::replace(const std::string& name, const std::string& bytes) { files_[name] = bytes; }

void MemoryDisk::remove(const std::string& name) { files_.erase(name); }

}  // namespace sc
