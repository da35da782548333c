// A new file written beside its target and renamed over it only when complete: readers
// see the old file or the whole new one, never a part.
#pragma once

#include <filesystem>
#include <string_view>

namespace mudalinx::importer {

class ReplacingFile {
 public:
  // Creates a new, uniquely named file in TARGET's folder. Throws a Spanish error naming TARGET.
  explicit ReplacingFile(const std::filesystem::path& target);
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;
  // Removes the new file unless commit() succeeded; TARGET stays as it was.
  ~ReplacingFile();

  // A descriptor open for writing, valid until commit().
  int descriptor() const { return descriptor_; }

  // Appends BYTES to the new file.
  void write(std::string_view bytes);

  // Flushes the new file to disk and renames it over TARGET.
  void commit();

 private:
  std::filesystem::path target_;
  std::filesystem::path temporary_;
  int descriptor_ = -1;
  bool committed_ = false;
};

}  // namespace mudalinx::importer
