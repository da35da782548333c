// Saving a document so that its file is either the complete new one or untouched.
#pragma once

#include <libxml/tree.h>

#include <filesystem>

namespace mudalinx::importer {

// Writes DOC, indented, in the encoding its XML declaration names (UTF-8 without one),
// to a temporary file in TARGET's folder and renames it over TARGET. On any failure the
// temporary file is removed, TARGET is left as it was, and a Spanish error is thrown.
void saveDocumentReplacing(xmlDoc* doc, const std::filesystem::path& target);

}  // namespace mudalinx::importer
