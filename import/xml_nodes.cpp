#include "import/xml_nodes.h"

#include <stdexcept>

namespace mudalinx::importer {
namespace {

const xmlChar* xml(const char* text) { return reinterpret_cast<const xmlChar*>(text); }
const xmlChar* xml(const std::string& text) { return xml(text.c_str()); }

// libxml2 reports a failed allocation by a null result.
template <typename T>
T* created(T* node) {
  if (node == nullptr) throw std::runtime_error("No hay memoria suficiente para construir el documento XML.");
  return node;
}

}  // namespace

xmlNode* replaceRootElement(xmlDoc* doc, const char* name) {
  if (xmlNode* old = xmlDocGetRootElement(doc)) {
    xmlUnlinkNode(old);
    xmlFreeNode(old);
  }
  xmlNode* root = created(xmlNewDocNode(doc, nullptr, xml(name), nullptr));
  // xmlDocSetRootElement would put the new root where the old one stood; it goes last.
  if (xmlAddChild(reinterpret_cast<xmlNode*>(doc), root) == nullptr) {
    xmlFreeNode(root);
    throw std::runtime_error("No se pudo crear el elemento raíz del documento XML.");
  }
  return root;
}

xmlNode* appendElement(xmlNode* parent, const char* name) {
  return created(xmlNewChild(parent, nullptr, xml(name), nullptr));
}

void setAttribute(xmlNode* node, const char* name, const std::string& value) {
  created(xmlNewProp(node, xml(name), xml(value)));
}

bool appendDato(xmlNode* parent, const char* name, const std::string& text) {
  std::string admitted = text;
  bool replaced = false;
  for (char& c : admitted) {
    const auto code = static_cast<unsigned char>(c);
    if (code < 0x20 && c != '\t' && c != '\n' && c != '\r') {
      c = '?';
      replaced = true;
    }
  }
  xmlNode* dato =
      created(xmlNewTextChild(parent, nullptr, xml("dato"), admitted.empty() ? nullptr : xml(admitted)));
  setAttribute(dato, "nombre_dato", name);
  return replaced;
}

}  // namespace mudalinx::importer
