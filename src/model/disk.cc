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

bool OverlayDisk::exists(const std::string& name) {
  if (shadowed_.count(name)) return copies_.count(name) > 0;
  return base_.exists(name);
}

std::optional<std::string> OverlayDisk::read(const std::string& name) {
  if (shadowed_.count(name)) {
    auto it = copies_.find(name);
    if (it == copies_.end()) return std::nullopt;
    return it->second;
  }
  return base_.read(name);
}

void OverlayDisk::replace(const std::string& name, const std::string& bytes) {
  if (shadowed_.count(name)) copies_[name] = bytes;
  else base_.replace(name, bytes);
}

void OverlayDisk::remove(const std::string& name) {
  if (shadowed_.count(name)) copies_.erase(name);
  else base_.remove(name);
}

}  // namespace sc
