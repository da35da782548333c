#include "cli/csv_dump.h"

#include <ostream>

#include "exchange/text.h"
#include "table/table.h"

namespace mudalinx::cli {

std::string csvCell(std::string_view value) {
  if (value.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(value);
  std::string cell = "\"";
  for (char c : value) {
    if (c == '"') cell += '"';
    cell += c;
  }
  cell += '"';
  return cell;
}

void dumpTable(const std::filesystem::path& file, std::ostream& out) {
  table::Table table = table::Table::openFile(file, table::Access::Shared);
  const auto& fields = table.fields();
  const auto writeLine = [&out, &fields](auto cellOf) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
      if (i > 0) out << ',';
      out << csvCell(exchange::win1252ToUtf8(cellOf(fields[i])));
    }
    out << "\r\n";
  };
  writeLine([](const table::FieldInfo& field) { return field.name; });
  for (table.first(); !table.eof(); table.next()) {
    writeLine([&table](const table::FieldInfo& field) { return table.text(field.name); });
  }
  table.close();
}

}  // namespace mudalinx::cli
