#include "import/document_save.h"

#include <fcntl.h>
#include <libxml/xmlsave.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>
#include <system_error>

namespace mudalinx::importer {
namespace {

std::runtime_error saveError(const std::filesystem::path& target, const std::string& reason) {
  return std::runtime_error("No se pudo guardar el archivo «" + target.string() + "»: " + reason);
}

std::string systemReason(int error) { return std::generic_category().message(error); }

// A file beside the target, removed again unless it was renamed into place.
class TemporaryFile {
 public:
  explicit TemporaryFile(const std::filesystem::path& target) : target_(target) {
    for (int attempt = 0; attempt < 100; ++attempt) {
      path_ = target.parent_path() / ("." + target.filename().string() + "." + std::to_string(::getpid()) + "-" +
                                      std::to_string(attempt) + ".tmp");
      fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (fd_ >= 0) return;
      if (errno != EEXIST) throw saveError(target_, systemReason(errno));
    }
    throw saveError(target_, "no se pudo crear un archivo temporal en su carpeta");
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!renamed_) ::unlink(path_.c_str());
  }

  int fd() const { return fd_; }

  void commit() {
    if (::fsync(fd_) != 0) throw saveError(target_, systemReason(errno));
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0) throw saveError(target_, systemReason(errno));
    if (::rename(path_.c_str(), target_.c_str()) != 0) throw saveError(target_, systemReason(errno));
    renamed_ = true;
  }

 private:
  std::filesystem::path target_;
  std::filesystem::path path_;
  int fd_ = -1;
  bool renamed_ = false;
};

}  // namespace

void saveDocumentReplacing(xmlDoc* doc, const std::filesystem::path& target) {
  TemporaryFile file(target);
  const char* encoding = doc->encoding != nullptr ? reinterpret_cast<const char*>(doc->encoding) : nullptr;
  xmlSaveCtxt* context = xmlSaveToFd(file.fd(), encoding, XML_SAVE_FORMAT);
  if (context == nullptr) {
    throw saveError(target, std::string("no se puede escribir en la codificación ") + (encoding ? encoding : "UTF-8"));
  }
  const long dumped = xmlSaveDoc(context, doc);
  const int flushed = xmlSaveClose(context);  // also frees the context
  if (dumped < 0 || flushed < 0) throw saveError(target, "error de escritura (¿disco lleno?)");
  file.commit();
}

}  // namespace mudalinx::importer
