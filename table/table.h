// The dBASE table layer: what the converters and the import need of a table,
// on files other Windows programs (the timetabler among them) read and write.
//
// Texts crossing this interface are Windows-1252 bytes, one per character.
// Error messages (TableError::what) are Spanish, UTF-8, and name the path or
// table, and for data errors the record and the field.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mudalinx::table {

class TableError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The table is held by another process (or another open of this one).
class TableInUseError : public TableError {
 public:
  using TableError::TableError;
};

enum class FieldType { Text, Integer, Float, Logical };

struct FieldDef {
  std::string name;
  FieldType type = FieldType::Text;
  int width = 0;  // characters, Text only
};

// A tag of the table's production index (NAME.MDX) on one field, ascending, duplicates allowed.
struct IndexDef {
  std::string name;
  std::string field;
};

enum class Format {
  DBase4,  // what older Windows dBASE readers expect; field names up to 10 characters
  DBase7,  // long field names
};

struct TableDef {
  std::string name;  // without extension, e.g. "ASIGNOMT"; the files are NAME.DBF and NAME.MDX
  std::vector<FieldDef> fields;
  std::vector<IndexDef> indexes;
  Format format = Format::DBase4;
};

enum class Access { Shared, Exclusive };

// A field as stored in the file: dBASE type letter, width and decimals.
struct FieldInfo {
  std::string name;
  char type = 'C';
  int width = 0;
  int decimals = 0;
};

// FILENAME inside FOLDER, its letter case ignored (Windows programs write soluc.dbf or SOLUC.DBF alike).
std::optional<std::filesystem::path> findFile(const std::filesystem::path& folder, std::string_view filename);

// Deletes NAME.DBF and then NAME.MDX from FOLDER where they exist (names matched case-blind).
// The table's exclusive lock is taken first: if another process holds the table, throws
// TableInUseError and deletes nothing. A file that cannot be deleted throws TableError.
void removeTableFiles(const std::filesystem::path& folder, std::string_view name);

// Creates the empty table (and its .MDX when DEF has indexes), replacing existing files.
// Each file is written under a temporary name and renamed into place, so a reader sees the old
// table or the new one, never half of one. An existing table held by another open throws
// TableInUseError; a stale NAME.MDX is removed when DEF has no indexes.
// Stored types: DBase4 Text C n, Integer N 11.0, Float N 20.4, Logical L 1;
//               DBase7 Text C n, Integer I 4, Float O 8, Logical L 1 (indexes: DBase4 only).
void createTable(const std::filesystem::path& folder, const TableDef& def);

// An open table with a current record. Besides the tables createTable writes, it reads dBASE
// III/IV/5 and 7, FoxPro and Visual FoxPro tables; a file that is damaged in a way that would
// make reading unsafe (short header, lengths that disagree, missing records) is refused with
// "El archivo ... está dañado: ...".
// Move-only; closing (explicit or by the destructor)
// writes every posted row; a row appended or edited but not posted is dropped. Call close()
// to learn of a failed write: the destructor can only report it on stderr. Deleted records
// are never seen.
//
// Locks: Exclusive holds the table against every other open, Shared against exclusive ones.
// The first change through a shared open turns its lock exclusive (TableInUseError while
// another open holds the table), so two writers never share a table.
//
// Posted rows are kept in memory and written in batches; the file on disk is always a valid
// table whose header counts exactly the rows written so far.
class Table {
 public:
  // NAME with or without ".DBF"; the file is found case-blind inside FOLDER.
  static Table open(const std::filesystem::path& folder, std::string_view name, Access access);
  static Table openFile(const std::filesystem::path& file, Access access);

  Table(Table&&) noexcept;
  Table& operator=(Table&&) noexcept;
  Table(const Table&) = delete;
  Table& operator=(const Table&) = delete;
  ~Table();

  void close();
  bool isOpen() const;

  const std::string& name() const;  // upper-case base name, e.g. "SOLUC"
  const std::filesystem::path& path() const;
  const std::vector<FieldInfo>& fields() const;
  bool hasField(std::string_view field) const;

  // Navigation over the live records that pass the filter, in record order. Moving (first,
  // next, locate, setFilter, append) while a row is being edited posts it first.
  void first();
  void next();
  bool eof() const;
  std::size_t recordCount() const;   // live records, the filter ignored
  std::size_t recordNumber() const;  // 1-based physical number of the current record

  // Field values of the current record (the edit buffer while editing; unset values at the
  // end). Field names are matched case-blind. An unknown field throws TableError.
  // text: a character field without its trailing blanks (leading blanks kept); a numeric
  //   field as its decimal value without padding (" 1" gives "1", "2.50" gives "2.5", blank
  //   gives ""); logical as "T"/"F" ("" when unset); binary numbers of dBASE 7 and FoxPro
  //   tables in decimal; a date as stored (YYYYMMDD); a FoxPro date-time as
  //   "YYYY-MM-DD HH:MM:SS"; memo and binary fields, whose values live in side files, as "".
  //   A FoxPro value marked null reads as unset.
  std::string text(std::string_view field) const;
  // integer: a numeric field's whole value (0 when blank); a character field's trimmed text
  //   read as a decimal integer. Anything that is not a whole number throws TableError
  //   naming the table, the record and the field.
  long long integer(std::string_view field) const;
  double number(std::string_view field) const;
  bool logical(std::string_view field) const;
  bool isBlank(std::string_view field) const;

  // Writing: append() starts a blank record, edit() the current one; set...() change the
  // buffer; post() stores it and the row becomes current. Unset fields stay blank. A value
  // the field cannot hold (not a number for a numeric field, a number wider than the field)
  // throws TableError naming the table, the record and the field; only text is cut.
  // A read-only file, or a table with an index file, refuses changes with TableError.
  void append();
  void edit();
  bool setText(std::string_view field, std::string_view value);  // true when the value was cut to the width
  void setInteger(std::string_view field, long long value);
  void setNumber(std::string_view field, double value);
  void setLogical(std::string_view field, bool value);
  void post();

  // First record (in record order, through the filter) whose fields equal the given texts
  // exactly, as text() reads them; it becomes current. False, and eof(), when none.
  bool locate(std::initializer_list<std::pair<std::string_view, std::string_view>> keys);

  // A record filter: only records for which PRED is true are visited. Moves to the first one.
  void setFilter(std::function<bool(const Table&)> pred);
  void clearFilter();

  class Impl;

 private:
  explicit Table(std::unique_ptr<Impl> impl);
  Impl& opened() const;  // TableError once closed
  std::unique_ptr<Impl> impl_;
};

}  // namespace mudalinx::table
