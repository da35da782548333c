// The layout of a .DBF file: header, field descriptors, where each value sits in a record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "table/table.h"

namespace mudalinx::table::detail {

enum class Flavour { DBase, DBase7, FoxPro };

// How a field's bytes encode its value.
enum class Storage {
  Character,           // C: blank-padded text
  Numeric,             // N, F: right-justified decimal text
  Logical,             // L
  Date,                // D: YYYYMMDD
  BigEndianInteger,    // dBASE 7 I, +: sign bit inverted
  LittleEndianInteger, // FoxPro I
  OrderedDouble,       // dBASE 7 O
  LittleEndianDouble,  // Visual FoxPro B
  Currency,            // Visual FoxPro Y: value x 10 000
  DateTime,            // Visual FoxPro T: Julian day, milliseconds
  Skipped,             // memo block numbers, binary and timestamp values we do not interpret
};

struct FieldLayout {
  FieldInfo info;
  Storage storage = Storage::Character;
  std::size_t offset = 0;  // from the start of the record (the deletion flag is byte 0)
  int nullBit = -1;        // bit in the _NullFlags field that marks the value as null
  bool indexed = false;
};

struct TableLayout {
  std::uint8_t version = 0x03;
  Flavour flavour = Flavour::DBase;
  std::size_t headerLength = 0;
  std::size_t recordLength = 0;
  std::uint32_t recordCount = 0;
  bool hasIndexFile = false;      // header byte 28 (a production .MDX, or a FoxPro .CDX)
  std::vector<FieldLayout> fields;  // what the user sees, _NullFlags left out
  std::size_t nullFlagsOffset = 0;  // 0: the table has no _NullFlags field
  std::size_t nullFlagsWidth = 0;
};

constexpr std::size_t kDescriptorSize = 32;
constexpr std::size_t kDBase7DescriptorSize = 48;
constexpr std::size_t kDBase7HeaderSize = 68;
constexpr char kEndOfFile = 0x1A;
constexpr char kDeletedFlag = '*';
constexpr char kLiveFlag = ' ';

// Reads the header at the start of BYTES (at least 32 bytes, as many as the file has up to its
// header length). Refuses, naming FILE, whatever would make reading unsafe.
TableLayout parseLayout(const std::vector<char>& bytes, std::uint64_t fileSize, const std::filesystem::path& file);

// The layout of a new table, and the header bytes that go before its first record.
struct NewTable {
  TableLayout layout;
  std::vector<char> header;  // ends with the 0x0D terminator
};
NewTable layoutNewTable(const TableDef& def);

// Today's date as dBASE files keep it: year - 1900, month, day, one byte each.
void putToday(char* threeBytes);

// The record count and date of last update as they go into header bytes 1 to 7.
void stampHeader(char* headerStart, std::uint32_t recordCount);

// A record with every field unset.
std::string blankRecord(const TableLayout& layout);

}  // namespace mudalinx::table::detail
