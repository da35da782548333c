#include "exchange/document.h"

#include "exchange/text.h"

#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/xmlerror.h>

#include <climits>
#include <cstring>
#include <fstream>
#include <sstream>
#include <system_error>
#include <utility>

namespace mudalinx::exchange {

namespace {

struct ParserCtxtFree {
  void operator()(xmlParserCtxt* ctxt) const noexcept { xmlFreeParserCtxt(ctxt); }
};
using ParserCtxtPtr = std::unique_ptr<xmlParserCtxt, ParserCtxtFree>;

// External entities are never loaded (no NOENT, DTDLOAD, DTDATTR) and nothing is
// fetched from the network; size limits stay on (no HUGE).
constexpr int kParseOptions = XML_PARSE_NONET | XML_PARSE_NOBLANKS;

// Messages are UTF-8 on every platform.
std::string displayName(const std::filesystem::path& file) {
  const std::u8string name = file.u8string();
  return std::string(name.begin(), name.end());
}

// Some libxml2 modules (encoding conversion, I/O) report through the thread's generic
// handler instead of the parser context; while we parse, nothing may reach stderr.
class QuietGenericErrors {
 public:
  QuietGenericErrors() : previous_(xmlGenericError), previousContext_(xmlGenericErrorContext) {
    xmlSetGenericErrorFunc(nullptr, &ignore);
  }
  ~QuietGenericErrors() { xmlSetGenericErrorFunc(previousContext_, previous_); }
  QuietGenericErrors(const QuietGenericErrors&) = delete;
  QuietGenericErrors& operator=(const QuietGenericErrors&) = delete;

 private:
  static void ignore(void*, const char*, ...) {}
  xmlGenericErrorFunc previous_;
  void* previousContext_;
};

struct ParseFailure {
  bool seen = false;
  bool fatal = false;
  int line = 0;
  int code = 0;
  std::string message;  // libxml2's own text, for codes we do not word ourselves
};

// Keeps the first error (fatal errors outrank plain ones); warnings are ignored.
void collectError(void* userData, xmlErrorPtr error) {
  auto* ctxt = static_cast<xmlParserCtxt*>(userData);
  auto* failure = static_cast<ParseFailure*>(ctxt->_private);
  if (failure == nullptr || error == nullptr || error->level < XML_ERR_ERROR) return;
  const bool fatal = error->level == XML_ERR_FATAL;
  if (failure->seen && (failure->fatal || !fatal)) return;
  failure->seen = true;
  failure->fatal = fatal;
  failure->line = error->line;
  failure->code = error->code;
  failure->message = error->message != nullptr ? error->message : "";
  while (!failure->message.empty() && (failure->message.back() == '\n' || failure->message.back() == ' ')) {
    failure->message.pop_back();
  }
}

std::string spanishReason(int code, const std::string& message) {
  switch (code) {
    case XML_ERR_NO_MEMORY: return "memoria insuficiente";
    case XML_ERR_DOCUMENT_START:
    case XML_ERR_DOCUMENT_EMPTY: return "el documento está vacío o no empieza por un elemento";
    case XML_ERR_DOCUMENT_END:
    case XML_ERR_EXTRA_CONTENT: return "hay contenido después del elemento raíz";
    case XML_ERR_INVALID_HEX_CHARREF:
    case XML_ERR_INVALID_DEC_CHARREF:
    case XML_ERR_INVALID_CHARREF: return "referencia de carácter no válida";
    case XML_ERR_INVALID_CHAR: return "carácter no permitido en XML";
    case XML_ERR_ENTITYREF_SEMICOL_MISSING: return "falta el punto y coma de una referencia (&…;)";
    case XML_ERR_UNDECLARED_ENTITY:
    case XML_WAR_UNDECLARED_ENTITY: return "entidad no declarada";
    case XML_ERR_ENTITY_IS_EXTERNAL: return "referencia a una entidad externa";
    case XML_ERR_UNSUPPORTED_ENCODING: return "codificación no admitida";
    case XML_ERR_INVALID_ENCODING: return "el contenido no corresponde a la codificación declarada";
    case XML_ERR_STRING_NOT_CLOSED:
    case XML_ERR_ATTRIBUTE_NOT_FINISHED: return "falta la comilla de cierre";
    case XML_ERR_LT_IN_ATTRIBUTE: return "carácter < dentro del valor de un atributo";
    case XML_ERR_ATTRIBUTE_NOT_STARTED: return "valor de atributo sin comillas";
    case XML_ERR_ATTRIBUTE_WITHOUT_VALUE:
    case XML_ERR_EQUAL_REQUIRED: return "atributo sin valor";
    case XML_ERR_ATTRIBUTE_REDEFINED: return "atributo repetido en un elemento";
    case XML_ERR_COMMENT_NOT_FINISHED: return "comentario sin cerrar";
    case XML_ERR_CDATA_NOT_FINISHED: return "sección CDATA sin cerrar";
    case XML_ERR_RESERVED_XML_NAME: return "declaración XML fuera del comienzo del archivo";
    case XML_ERR_SPACE_REQUIRED: return "falta un espacio";
    case XML_ERR_NAME_REQUIRED: return "falta un nombre de elemento o de atributo";
    case XML_ERR_LT_REQUIRED:
    case XML_ERR_GT_REQUIRED: return "etiqueta mal formada";
    case XML_ERR_LTSLASH_REQUIRED:
    case XML_ERR_TAG_NAME_MISMATCH: return "la etiqueta de cierre no corresponde a la de apertura";
    case XML_ERR_TAG_NOT_FINISHED:
    case XML_ERR_NOT_WELL_BALANCED: return "un elemento no está cerrado";
    case XML_ERR_ENTITY_LOOP: return "las entidades se expanden sin medida";
    case XML_ERR_PI_NOT_STARTED:
    case XML_ERR_PI_NOT_FINISHED: return "instrucción de procesamiento (<?…?>) mal formada";
    case XML_ERR_XMLDECL_NOT_STARTED:
    case XML_ERR_XMLDECL_NOT_FINISHED:
    case XML_ERR_VERSION_MISSING:
    case XML_ERR_STANDALONE_VALUE:
    case XML_ERR_ENCODING_NAME: return "declaración XML (<?xml …?>) mal formada";
    case XML_ERR_UNKNOWN_VERSION:
    case XML_ERR_VERSION_MISMATCH: return "versión de XML no admitida";
    case XML_ERR_HYPHEN_IN_COMMENT: return "un comentario contiene «--»";
    case XML_ERR_MISPLACED_CDATA_END: return "«]]>» fuera de una sección CDATA";
    case XML_ERR_LITERAL_NOT_STARTED:
    case XML_ERR_LITERAL_NOT_FINISHED:
    case XML_ERR_PUBID_REQUIRED:
    case XML_ERR_URI_REQUIRED:
    case XML_ERR_DOCTYPE_NOT_FINISHED:
    case XML_ERR_EXT_SUBSET_NOT_FINISHED:
    case XML_ERR_CONDSEC_NOT_FINISHED:
    case XML_ERR_ENTITY_NOT_FINISHED:
    case XML_ERR_VALUE_REQUIRED: return "declaración de tipo de documento (<!DOCTYPE …>) mal formada";
    case XML_ERR_NAME_TOO_LONG: return "un nombre es demasiado largo";
    case XML_ERR_INTERNAL_ERROR:
      // libxml2 tells its nesting limit and a broken document type only through this code and its text.
      if (message.find("depth") != std::string::npos) return "los elementos se anidan a demasiada profundidad";
      if (message.find("Subset") != std::string::npos) {
        return "declaración de tipo de documento (<!DOCTYPE …>) mal formada";
      }
      return "error de sintaxis (código " + std::to_string(code) + ")";
    // libxml2's own text is English: the user gets the code, which is enough to look it up.
    default: return "error de sintaxis (código " + std::to_string(code) + ")";
  }
}

bool isElement(const xmlNode* node, const char* name) {
  return node->type == XML_ELEMENT_NODE && node->ns == nullptr &&
         std::strcmp(reinterpret_cast<const char*>(node->name), name) == 0;
}

// The element children of PARENT named NAME (no namespace), in document order.
template <typename Visit>
void forEachChild(const xmlNode* parent, const char* name, Visit visit) {
  for (xmlNode* child = parent->children; child != nullptr; child = child->next) {
    if (isElement(child, name)) visit(child);
  }
}

// /SERVICIO/BLOQUE_DATOS: every BLOQUE_DATOS child of the document element SERVICIO.
std::vector<xmlNode*> dataBlocks(xmlDoc* doc) {
  std::vector<xmlNode*> blocks;
  const xmlNode* root = xmlDocGetRootElement(doc);
  if (root != nullptr && isElement(root, "SERVICIO")) {
    forEachChild(root, "BLOQUE_DATOS", [&](xmlNode* block) { blocks.push_back(block); });
  }
  return blocks;
}

bool hasSeq(const xmlNode* node, std::string_view name) {
  const xmlAttr* attr = xmlHasNsProp(node, reinterpret_cast<const xmlChar*>("seq"), nullptr);
  if (attr == nullptr) return false;
  std::unique_ptr<xmlChar, decltype(xmlFree)> value(xmlNodeGetContent(reinterpret_cast<const xmlNode*>(attr)),
                                                    xmlFree);
  return value != nullptr && std::string_view(reinterpret_cast<const char*>(value.get())) == name;
}

bool declaresEntities(const xmlDoc* doc) {
  const xmlDtd* dtd = doc->intSubset;
  return dtd != nullptr && dtd->entities != nullptr &&
         xmlHashSize(static_cast<xmlHashTablePtr>(dtd->entities)) > 0;
}

// Character data of the subtree below NODE, in document order, as UTF-8.
void appendCharacterData(const xmlNode* node, std::string& utf8) {
  for (const xmlNode* child = node->children; child != nullptr; child = child->next) {
    switch (child->type) {
      case XML_TEXT_NODE:
      case XML_CDATA_SECTION_NODE:
        if (child->content != nullptr) utf8 += reinterpret_cast<const char*>(child->content);
        break;
      case XML_ELEMENT_NODE:
        appendCharacterData(child, utf8);
        break;
      default:  // comments, processing instructions; entity references cannot occur
        break;
    }
  }
}

std::string readWholeFile(const std::filesystem::path& file) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) {
    throw XmlError("No se puede leer el archivo " + displayName(file) + ": no existe o no es un archivo.");
  }
  std::ifstream in(file, std::ios::binary);
  std::ostringstream bytes;
  if (in) bytes << in.rdbuf();
  if (!in || in.bad()) {
    throw XmlError("No se puede leer el archivo " + displayName(file) + ".");
  }
  return std::move(bytes).str();
}

}  // namespace

void XmlDocFree::operator()(xmlDoc* doc) const noexcept { xmlFreeDoc(doc); }

Record::Record(xmlNode* node, std::vector<xmlNode*> values, std::shared_ptr<const xmlDoc> owner)
    : owner_(std::move(owner)), node_(node), values_(std::move(values)) {}

std::string Record::value(std::size_t k, bool* lossy) const {
  if (k >= values_.size()) return {};
  std::string utf8;
  appendCharacterData(values_[k], utf8);
  return utf8ToWin1252(utf8, lossy);
}

Section::Section(std::string name, std::vector<xmlNode*> records, std::shared_ptr<const xmlDoc> owner)
    : owner_(std::move(owner)), name_(std::move(name)), records_(std::move(records)) {}

Record Section::record(std::size_t i) const {
  xmlNode* node = records_.at(i);
  std::vector<xmlNode*> values;
  forEachChild(node, "dato", [&](xmlNode* dato) { values.push_back(dato); });
  return Record(node, std::move(values), owner_);
}

Document::Document(XmlDocPtr doc, std::filesystem::path file) : doc_(std::move(doc)), file_(std::move(file)) {}

Document Document::load(const std::filesystem::path& file) { return parse(readWholeFile(file), file); }

Document Document::parse(std::string_view bytes, const std::filesystem::path& name) {
  const std::string shown = displayName(name);
  if (bytes.size() > static_cast<std::size_t>(INT_MAX)) {
    throw XmlError("El archivo " + shown + " es demasiado grande para leerlo.");
  }
  ParseFailure failure;
  XmlDocPtr doc;
  bool wellFormed = false;
  {
    QuietGenericErrors quiet;
    ParserCtxtPtr ctxt(xmlCreateMemoryParserCtxt(bytes.data(), static_cast<int>(bytes.size())));
    if (ctxt == nullptr) throw XmlError("Memoria insuficiente para leer el archivo " + shown + ".");
    ctxt->_private = &failure;
    ctxt->sax->serror = &collectError;
    xmlCtxtUseOptions(ctxt.get(), kParseOptions);
    xmlParseDocument(ctxt.get());
    doc.reset(ctxt->myDoc);
    ctxt->myDoc = nullptr;
    wellFormed = ctxt->wellFormed != 0;
  }
  // With a document type whose external part is not read, an undeclared entity is no
  // well-formedness error, yet its text would silently be missing from the data.
  if (doc == nullptr || !wellFormed || failure.code == XML_WAR_UNDECLARED_ENTITY) {
    if (!failure.seen) failure.message = "no se pudo analizar";
    throw XmlError("El archivo " + shown + " no es un XML válido (línea " + std::to_string(failure.line) + ": " +
                   spanishReason(failure.code, failure.message) + ").");
  }
  if (declaresEntities(doc.get())) {
    throw XmlError("El archivo " + shown +
                   " declara entidades XML (<!ENTITY …>), que un documento de intercambio no usa; no se procesa.");
  }
  if (dataBlocks(doc.get()).empty()) {
    throw XmlError("El archivo " + shown +
                   " no es un documento de intercambio de Sendaro (falta /SERVICIO/BLOQUE_DATOS).");
  }
  if (doc->URL == nullptr) doc->URL = xmlStrdup(reinterpret_cast<const xmlChar*>(shown.c_str()));
  return Document(std::move(doc), name);
}

Section Document::section(std::string_view name) const {
  std::vector<xmlNode*> records;
  for (const xmlNode* block : dataBlocks(doc_.get())) {
    forEachChild(block, "grupo_datos", [&](const xmlNode* section) {
      if (!hasSeq(section, name)) return;
      forEachChild(section, "grupo_datos", [&](xmlNode* record) { records.push_back(record); });
    });
  }
  return Section(std::string(name), std::move(records), doc_);
}

std::string Document::declaredEncoding() const {
  return doc_->encoding != nullptr ? reinterpret_cast<const char*>(doc_->encoding) : "";
}

}  // namespace mudalinx::exchange
