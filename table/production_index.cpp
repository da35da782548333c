#include "table/production_index.h"

#include <algorithm>

#include "table/ascii_case.h"

namespace mudalinx::table::detail {
namespace {

constexpr std::size_t kPage = 512;
constexpr std::size_t kPagesPerBlock = 2;
constexpr std::size_t kBlock = kPage * kPagesPerBlock;
constexpr std::size_t kTagSlots = 48;
constexpr std::size_t kTagEntry = 32;
constexpr std::size_t kFirstTagPage = 4;          // after the header and the tag table
constexpr std::size_t kPagesPerTag = 2 * kPagesPerBlock;  // tag header block, root block
constexpr char kKeyOfField = 0x10;                // ascending, duplicates allowed

void put32(char* p, std::size_t value) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

void put16(char* p, std::size_t value) {
  p[0] = static_cast<char>(value & 0xFF);
  p[1] = static_cast<char>((value >> 8) & 0xFF);
}

struct KeyShape {
  char type;
  std::size_t length;
};

KeyShape keyShapeOf(const FieldLayout& field) {
  switch (field.storage) {
    case Storage::Numeric: return {'N', 12};  // BCD
    case Storage::Date: return {'D', 8};
    default: return {'C', static_cast<std::size_t>(field.info.width)};
  }
}

// The tag-name tree: a binary search tree over the tag names, tags numbered from 1.
struct TreeLinks {
  unsigned char left = 0, right = 0, parent = 0;
};

std::vector<TreeLinks> tagNameTree(const std::vector<std::string>& names) {
  std::vector<TreeLinks> links(names.size());
  for (std::size_t i = 1; i < names.size(); ++i) {
    std::size_t node = 0;
    for (;;) {
      unsigned char& child = names[i] < names[node] ? links[node].left : links[node].right;
      if (child == 0) {
        child = static_cast<unsigned char>(i + 1);
        links[i].parent = static_cast<unsigned char>(node + 1);
        break;
      }
      node = child - 1U;
    }
  }
  return links;
}

}  // namespace

std::vector<char> emptyProductionIndex(const std::string& tableName, const TableLayout& layout,
                                       const std::vector<IndexDef>& indexes) {
  const std::size_t pages = kFirstTagPage + kPagesPerTag * indexes.size();
  std::vector<char> file(pages * kPage, '\0');

  char* header = file.data();
  header[0] = 0x02;
  putToday(header + 1);
  const std::string base = upperAscii(tableName).substr(0, 16);
  std::copy(base.begin(), base.end(), header + 4);
  put16(header + 20, kPagesPerBlock);
  put16(header + 22, kBlock);
  header[24] = 1;  // production index
  header[25] = static_cast<char>(kTagSlots);
  header[26] = static_cast<char>(kTagEntry);
  put16(header + 28, indexes.size());
  header[30] = static_cast<char>(indexes.size() + 1);
  header[31] = 0x57;  // same language driver as the table
  put32(header + 32, pages);
  putToday(header + 44);
  header[529] = 1;

  std::vector<std::string> names;
  for (const IndexDef& index : indexes) names.push_back(upperAscii(index.name).substr(0, 10));
  const std::vector<TreeLinks> links = tagNameTree(names);

  for (std::size_t i = 0; i < indexes.size(); ++i) {
    const std::string field = upperAscii(indexes[i].field);
    const FieldLayout& indexed = *std::find_if(layout.fields.begin(), layout.fields.end(),
                                               [&](const FieldLayout& f) { return f.info.name == field; });
    const KeyShape key = keyShapeOf(indexed);
    const std::size_t itemLength = (key.length + 4 + 3) / 4 * 4;
    const std::size_t tagPage = kFirstTagPage + kPagesPerTag * i;
    const std::size_t rootPage = tagPage + kPagesPerBlock;

    char* entry = file.data() + kPage + kTagEntry * (i + 1);
    put32(entry, tagPage);
    std::copy(names[i].begin(), names[i].end(), entry + 4);
    entry[15] = kKeyOfField;
    entry[16] = static_cast<char>(links[i].left);
    entry[17] = static_cast<char>(links[i].right);
    entry[18] = static_cast<char>(links[i].parent);
    entry[19] = 0x02;
    entry[20] = key.type;

    char* tag = file.data() + tagPage * kPage;
    put32(tag, rootPage);
    put32(tag + 4, kPagesPerBlock);
    tag[8] = kKeyOfField;
    tag[9] = key.type;
    tag[11] = 0x1B;
    put16(tag + 12, key.length);
    put16(tag + 14, (kBlock - 12) / itemLength);
    put16(tag + 18, itemLength);
    std::copy(field.begin(), field.end(), tag + 24);
    put32(tag + 248, rootPage);
    put32(tag + 252, rootPage);
    // The root block stays all zeros: no keys.
  }
  return file;
}

}  // namespace mudalinx::table::detail
