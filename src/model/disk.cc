#include "model/disk.h"

#include <exception>
#include <stdexcept>

namespace sc {

namespace {

// Collects the pieces; the name takes them only when committed.
class StringOutput : public Disk::Output {
 public:
  StringOutput(std::map<std::string, std::string>& files, std::string name) : files_(files), name_(std::move(name)) {}
  void write(std::string_view bytes) override { buffer_.append(bytes); }
  void close() override {}
  void commit() override { files_[name_] = std::move(buffer_); }
  void commit_reversibly() override {
    auto it = files_.find(name_);
    if (it != files_.end()) older_ = it->second;
    commit();
  }
  void undo() override {
    if (older_) files_[name_] = std::move(*older_);
    else files_.erase(name_);
  }
  void release() override { older_.reset(); }

 private:
  std::map<std::string, std::string>& files_;
  std::string name_;
  std::string buffer_;
  std::optional<std::string> older_;
};

// Writes into a file of a batch, which closes and names it.
class BatchOutput : public Disk::Output {
 public:
  explicit BatchOutput(Disk::Output& out) : out_(out) {}
  void write(std::string_view bytes) override { out_.write(bytes); }
  void close() override {}
  void commit() override {}

 private:
  Disk::Output& out_;
};

}  // namespace

Disk::Output& Disk::Batch::add(const std::string& name) {
  outputs_.push_back(disk_.replace_stream(name));
  return *outputs_.back();
}

void Disk::Batch::add(const std::string& name, std::string_view bytes) { add(name).write(bytes); }

void Disk::Batch::commit() {
  for (auto& out : outputs_) out->close();
  disk_.commit_batch(outputs_);
  outputs_.clear();
}

std::unique_ptr<Disk::Output> BatchDisk::replace_stream(const std::string& name) {
  return std::make_unique<BatchOutput>(batch_.add(name));
}

void Disk::commit_batch(std::vector<std::unique_ptr<Output>>& outputs) {
  std::size_t renamed = 0;
  try {
    for (; renamed < outputs.size(); ++renamed) outputs[renamed]->commit_reversibly();
  } catch (const std::exception& e) {
    std::string message = e.what();
    std::string not_back;
    while (renamed > 0) {
      try {
        outputs[--renamed]->undo();
      } catch (const std::exception& u) {
        not_back += std::string("; ") + u.what();
      }
    }
    if (outputs.size() > 1) message += not_back.empty() ? "; the older files were kept as they were" : not_back;
    throw std::runtime_error(message);
  }
  for (auto& out : outputs) out->release();
}

bool MemoryDisk::exists(const std::string& name) { return files_.count(name) > 0; }

std::optional<std::string> MemoryDisk::read(const std::string& name) {
  auto it = files_.find(name);
  if (it == files_.end()) return std::nullopt;
  return it->second;
}

std::unique_ptr<Disk::Output> MemoryDisk::replace_stream(const std::string& name) {
  return std::make_unique<StringOutput>(files_, name);
}

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

// The base's own way, for the copies too: they are only strings.
void OverlayDisk::commit_batch(std::vector<std::unique_ptr<Output>>& outputs) { base_.commit_batch(outputs); }

std::unique_ptr<Disk::Output> OverlayDisk::replace_stream(const std::string& name) {
  if (shadowed_.count(name)) return std::make_unique<StringOutput>(copies_, name);
  return base_.replace_stream(name);
}

void OverlayDisk::remove(const std::string& name) {
  if (shadowed_.count(name)) copies_.erase(name);
  else base_.remove(name);
}

}  // namespace sc
