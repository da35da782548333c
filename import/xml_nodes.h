// Building the timetable document's nodes on libxml2. Texts are UTF-8; every node is
// linked into the tree at once, so the document owns it on every path.
#pragma once

#include <libxml/tree.h>

#include <string>

namespace mudalinx::importer {

// Unlinks and frees the document element (with everything below it) and appends a new,
// empty element NAME as the last top-level node; every other top-level node stays.
xmlNode* replaceRootElement(xmlDoc* doc, const char* name);

xmlNode* appendElement(xmlNode* parent, const char* name);
void setAttribute(xmlNode* node, const char* name, const std::string& value);
// <dato nombre_dato="NAME">TEXT</dato>; the text is taken literally (no entity parsing).
// Characters XML 1.0 does not admit (control characters other than tab, line feed and
// carriage return, which tables written by other programs may hold) would make the saved
// document unreadable: each is written as "?", and the result is true.
bool appendDato(xmlNode* parent, const char* name, const std::string& text);

}  // namespace mudalinx::importer
