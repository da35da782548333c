#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>
#include <string>

#include "import/path_text.h"
#include "import/replacing_file.h"
#include "table/os_error.h"

namespace mudalinx::importer {
namespace {

std::runtime_error saveError(const std::filesystem::path& target, int error) {
  return std::runtime_error("No se pudo guardar el archivo «" + pathText(target) + "»: " +
                            table::detail::systemReason(error));
}

}  // namespace

ReplacingFile::ReplacingFile(const std::filesystem::path& target) : target_(target) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary_ = target.parent_path() / ("." + target.filename().string() + "." + std::to_string(::getpid()) + "-" +
                                         std::to_string(attempt) + ".tmp");
    descriptor_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor_ >= 0) {
      // The file being replaced keeps its permissions.
      struct stat existing {};
      if (::stat(target.c_str(), &existing) == 0) ::fchmod(descriptor_, existing.st_mode & 07777);
      return;
    }
    if (errno != EEXIST) throw saveError(target_, errno);
  }
  throw saveError(target_, EEXIST);
}

ReplacingFile::~ReplacingFile() {
  if (descriptor_ >= 0) ::close(descriptor_);
  if (!committed_) ::unlink(temporary_.c_str());
}

void ReplacingFile::write(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(descriptor_, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      throw saveError(target_, errno);
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
}

void ReplacingFile::commit() {
  if (::fsync(descriptor_) != 0) throw saveError(target_, errno);
  const int closed = ::close(descriptor_);
  descriptor_ = -1;
  if (closed != 0) throw saveError(target_, errno);
  if (::rename(temporary_.c_str(), target_.c_str()) != 0) throw saveError(target_, errno);
  committed_ = true;
}

}  // namespace mudalinx::importer
