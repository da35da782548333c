// The Sendaro Exchange document on libxml2: SERVICIO / BLOQUE_DATOS / sections
// (grupo_datos with seq) / records (grupo_datos) / values (dato, by position).
#pragma once

#include <libxml/tree.h>

#include <cstddef>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace mudalinx::exchange {

// Spanish, UTF-8 message; for a file that is not well-formed it gives the line and the reason.
class XmlError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct XmlDocFree {
  void operator()(xmlDoc* doc) const noexcept;
};
using XmlDocPtr = std::unique_ptr<xmlDoc, XmlDocFree>;

// Sections and records keep their document alive (OWNER), so a section taken from a
// temporary document stays valid.
class Record {
 public:
  Record(xmlNode* node, std::vector<xmlNode*> values, std::shared_ptr<const xmlDoc> owner = {});
  std::size_t valueCount() const { return values_.size(); }
  // Text of the k-th dato (0-based) in Windows-1252, untrimmed; "" past the last one.
  // All character data inside the dato counts (text and CDATA, nested elements included);
  // comments and processing instructions do not.
  // A character outside Windows-1252 becomes "?" and sets *lossy when given.
  std::string value(std::size_t k, bool* lossy = nullptr) const;
  xmlNode* node() const { return node_; }

 private:
  std::shared_ptr<const xmlDoc> owner_;
  xmlNode* node_;
  std::vector<xmlNode*> values_;
};

class Section {
 public:
  Section(std::string name, std::vector<xmlNode*> records, std::shared_ptr<const xmlDoc> owner = {});
  const std::string& name() const { return name_; }
  std::size_t count() const { return records_.size(); }
  Record record(std::size_t i) const;  // 0 <= i < count()

 private:
  std::shared_ptr<const xmlDoc> owner_;
  std::string name_;
  std::vector<xmlNode*> records_;
};

class Document {
 public:
  // Parses FILE in the encoding it declares, with no network access and no external
  // entity or DTD loading. Throws XmlError when the file cannot be read, is not
  // well-formed, declares entities, or lacks /SERVICIO/BLOQUE_DATOS. Blank text
  // between elements is dropped.
  static Document load(const std::filesystem::path& file);
  // The same for a document held in memory; NAME stands for the file in messages.
  static Document parse(std::string_view bytes, const std::filesystem::path& name);

  // The records of every grupo_datos[@seq=NAME] under /SERVICIO/BLOQUE_DATOS (exact,
  // case-sensitive), in document order. A missing section has no records.
  Section section(std::string_view name) const;

  // The encoding named by the XML declaration, "" when there is none.
  std::string declaredEncoding() const;
  const std::filesystem::path& file() const { return file_; }

  // For the import, which edits and saves the document.
  xmlDoc* raw() const { return doc_.get(); }

 private:
  Document(XmlDocPtr doc, std::filesystem::path file);
  std::shared_ptr<xmlDoc> doc_;
  std::filesystem::path file_;
};

}  // namespace mudalinx::exchange
