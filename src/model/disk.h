// What the core needs of the directory it works in. Names are plain file
// names inside that directory; the implementation joins them to it.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace sc {

class Disk {
 public:
  // The new content of a file, written piece by piece from its first byte.
  // The name keeps its older file, whole, until commit(); an output dropped
  // before that leaves no trace.
  class Output {
   public:
    virtual ~Output() = default;
    virtual void write(std::string_view bytes) = 0;
    // The content is complete; nothing more is written. Closing again does
    // nothing.
    virtual void close() = 0;
    // Puts the completed content under the name, replacing any older file
    // in one step.
    virtual void commit() = 0;
    // commit() for one file of a batch: the older file (or the lack of one)
    // is kept aside until release(), and undo() puts it back. An output that
    // keeps nothing aside cannot undo, and says so.
    virtual void commit_reversibly() { commit(); }
    virtual void undo() { throw std::runtime_error("an output that keeps nothing aside cannot be put back"); }
    virtual void release() {}
  };

  // Files replaced together: every one is complete before any takes its
  // name, so a failure while writing leaves the older set as it was.
  class Batch {
   public:
    explicit Batch(Disk& disk) : disk_(disk) {}
    // A file written piece by piece; commit() closes it.
    Output& add(const std::string& name);
    // A file holding exactly `bytes`.
    void add(const std::string& name, std::string_view bytes);
    // Closes every file, then gives each its name, in the order they were
    // added. Closed together, the files are flushed together: on a host that
    // starts writing each file to the disk as it is written, their flushes
    // overlap instead of waiting one after the other. When one cannot take
    // its name (a locked or read-only file), those already renamed are put
    // back, so the older set stays whole, and the failure is thrown.
    void commit();

   private:
    Disk& disk_;
    std::vector<std::unique_ptr<Output>> outputs_;
  };

  virtual ~Disk() = default;
  virtual bool exists(const std::string& name) = 0;
  // The whole content, or nothing when the file cannot be read.
  virtual std::optional<std::string> read(const std::string& name) = 0;
  // A new content for the file; it replaces the older file, never appends.
  virtual std::unique_ptr<Output> replace_stream(const std::string& name) = 0;
  // Deletes the file if it exists.
  virtual void remove(const std::string& name) = 0;

  // Replaces the file by one holding exactly `bytes`.
  void replace(const std::string& name, std::string_view bytes) {
    auto out = replace_stream(name);
    out->write(bytes);
    out->close();
    out->commit();
  }

  // What Batch::commit() does with its outputs; a host may wrap it, so that
  // nothing interrupts it halfway.
  virtual void commit_batch(std::vector<std::unique_ptr<Output>>& outputs);
};

// The same directory, but a file replaced through it joins `batch` and takes
// its name when the batch is committed: writers that replace one file each
// can so write several as one batch.
class BatchDisk : public Disk {
 public:
  BatchDisk(Disk& base, Batch& batch) : base_(base), batch_(batch) {}
  bool exists(const std::string& name) override { return base_.exists(name); }
  std::optional<std::string> read(const std::string& name) override { return base_.read(name); }
  std::unique_ptr<Output> replace_stream(const std::string& name) override;
  void remove(const std::string& name) override { base_.remove(name); }

 private:
  Disk& base_;
  Batch& batch_;
};

// A directory held in memory, for tests and for work on copies.
class MemoryDisk : public Disk {
 public:
  bool exists(const std::string& name) override;
  std::optional<std::string> read(const std::string& name) override;
  std::unique_ptr<Output> replace_stream(const std::string& name) override;
  void remove(const std::string& name) override;

  const std::map<std::string, std::string>& files() const { return files_; }

 private:
  std::map<std::string, std::string> files_;
};

// Work on copies: the given files live in memory under their names, and their
// deletion only drops the copy; every other file is the base directory's.
class OverlayDisk : public Disk {
 public:
  OverlayDisk(Disk& base, std::map<std::string, std::string> copies) : base_(base), copies_(std::move(copies)) {
    for (const auto& entry : copies_) shadowed_.insert(entry.first);
  }
  bool exists(const std::string& name) override;
  std::optional<std::string> read(const std::string& name) override;
  std::unique_ptr<Output> replace_stream(const std::string& name) override;
  void remove(const std::string& name) override;
  void commit_batch(std::vector<std::unique_ptr<Output>>& outputs) override;

 private:
  Disk& base_;
  std::map<std::string, std::string> copies_;
  std::set<std::string> shadowed_;  // names the base is never asked about
};

}  // namespace sc
