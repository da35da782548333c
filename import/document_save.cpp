#include "import/document_save.h"

#include <libxml/xmlerror.h>
#include <libxml/xmlsave.h>

#include <stdexcept>
#include <string>

#include "import/path_text.h"
#include "import/replacing_file.h"

namespace mudalinx::importer {
namespace {

// libxml2 reports write errors through the thread's generic handler (stderr by default);
// the failure reaches the user as our exception instead.
class SilencedLibxmlErrors {
 public:
  SilencedLibxmlErrors() : handler_(xmlGenericError), context_(xmlGenericErrorContext) {
    xmlSetGenericErrorFunc(nullptr, &ignore);
  }
  ~SilencedLibxmlErrors() { xmlSetGenericErrorFunc(context_, handler_); }
  SilencedLibxmlErrors(const SilencedLibxmlErrors&) = delete;
  SilencedLibxmlErrors& operator=(const SilencedLibxmlErrors&) = delete;

 private:
  static void ignore(void*, const char*, ...) {}
  xmlGenericErrorFunc handler_;
  void* context_;
};

}  // namespace

void saveDocumentReplacing(xmlDoc* doc, const std::filesystem::path& target) {
  ReplacingFile file(target);
  const SilencedLibxmlErrors silenced;
  const char* encoding = doc->encoding != nullptr ? reinterpret_cast<const char*>(doc->encoding) : nullptr;
  auto failure = [&](const std::string& reason) {
    return std::runtime_error("No se pudo guardar el archivo «" + pathText(target) + "»: " + reason);
  };
  xmlSaveCtxt* context = xmlSaveToFd(file.descriptor(), encoding, XML_SAVE_FORMAT);
  if (context == nullptr) {
    throw failure(std::string("no se puede escribir en la codificación ") + (encoding ? encoding : "UTF-8"));
  }
  const long dumped = xmlSaveDoc(context, doc);
  const int flushed = xmlSaveClose(context);  // frees the context; the descriptor stays open
  if (dumped < 0 || flushed < 0) throw failure("error de escritura (¿disco lleno?)");
  file.commit();
}

}  // namespace mudalinx::importer
