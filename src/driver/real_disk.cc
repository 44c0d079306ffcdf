#include "driver/real_disk.h"

#include <cstdio>
#include <memory>
#include <stdexcept>

namespace sc {

namespace {

struct chiudi_file {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using file_ptr = std::unique_ptr<std::FILE, chiudi_file>;

file_ptr apri(const std::string& path, const char* modo) { return file_ptr(std::fopen(path.c_str(), modo)); }

[[noreturn]] void fallito(const char* cosa, const std::string& path) {
  throw std::runtime_error(std::string("cannot ") + cosa + " " + path);
}

class FileOutput : public Disk::Output {
 public:
  FileOutput(file_ptr f, std::string path) : f_(std::move(f)), path_(std::move(path)) {}
  void write(std::string_view bytes) override {
    if (std::fwrite(bytes.data(), 1, bytes.size(), f_.get()) != bytes.size()) fallito("write", path_);
  }
  void close() override {
    if (std::fclose(f_.release()) != 0) fallito("write", path_);
  }

 private:
  file_ptr f_;
  std::string path_;
};

}  // namespace

bool RealDisk::exists(const std::string& name) { return apri(path(name), "rb") != nullptr; }

std::optional<std::string> RealDisk::read(const std::string& name) {
  file_ptr f = apri(path(name), "rb");
  if (!f) return std::nullopt;
  std::string dati;
  char buf[1 << 16];
  for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f.get())) > 0;) dati.append(buf, n);
  if (std::ferror(f.get())) return std::nullopt;
  return dati;
}

std::unique_ptr<Disk::Output> RealDisk::replace_stream(const std::string& name) {
  const std::string p = path(name);
  // Opening for binary access first makes sure the delete finds a file.
  if (!apri(p, "ab")) fallito("create", p);
  if (std::remove(p.c_str()) != 0) fallito("delete", p);
  file_ptr f = apri(p, "wb");
  if (!f) fallito("create", p);
  return std::make_unique<FileOutput>(std::move(f), p);
}

void RealDisk::remove(const std::string& name) { std::remove(path(name).c_str()); }

}  // namespace sc
