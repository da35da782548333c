// Opens the input as a dBASE table and reads every field of every record in
// every way the converters and the import read fields.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz/fuzz_support.h"
#include "table/table.h"

namespace {

using mudalinx::table::Table;
using mudalinx::table::TableError;

// A field that cannot be read so must say why in a readable message.
template <typename Read>
void attempt(Read read) {
  try {
    read();
  } catch (const TableError& error) {
    mudalinx::fuzz::requireReadableMessage(error.what());
  }
}

void readField(const Table& table, const std::string& field) {
  attempt([&] { (void)table.isBlank(field); });
  attempt([&] { (void)table.text(field); });
  attempt([&] { (void)table.integer(field); });
  attempt([&] { (void)table.number(field); });
  attempt([&] { (void)table.logical(field); });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace mudalinx;
  const auto folder = fuzz::scratchFolder() / "tabla";
  fuzz::resetFolder(folder);
  fuzz::writeInput(folder / "FUZZ.DBF", data, size);
  try {
    auto table = Table::open(folder, "FUZZ", table::Access::Shared);
    (void)table.recordCount();
    std::string firstText;
    for (table.first(); !table.eof(); table.next()) {
      (void)table.recordNumber();
      for (const auto& field : table.fields()) {
        if (!table.hasField(field.name)) std::abort();  // a field the table lists must be readable by name
        readField(table, field.name);
      }
      if (firstText.empty() && !table.fields().empty()) {
        attempt([&] { firstText = table.text(table.fields().front().name); });
      }
    }
    if (!table.fields().empty()) {
      // The first record holding that text is found again.
      const std::string& name = table.fields().front().name;
      if (!firstText.empty() && !table.locate({{name, firstText}})) std::abort();
    }
    table.close();
  } catch (const TableError& error) {
    fuzz::requireReadableMessage(error.what());
  }
  return 0;
}
