#include "import/document_save.h"

#include <libxml/xmlsave.h>

#include <stdexcept>
#include <string>

#include "import/replacing_file.h"

namespace mudalinx::importer {

void saveDocumentReplacing(xmlDoc* doc, const std::filesystem::path& target) {
  ReplacingFile file(target);
  const char* encoding = doc->encoding != nullptr ? reinterpret_cast<const char*>(doc->encoding) : nullptr;
  auto failure = [&](const std::string& reason) {
    return std::runtime_error("No se pudo guardar el archivo «" + target.string() + "»: " + reason);
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
