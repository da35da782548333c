#include "export/table_rows.h"

#include <string>


namespace mudalinx::exporter {

void removeOldTables(const std::filesystem::path& workspace, std::initializer_list<std::string_view> names) {
  for (std::string_view name : names) table::removeTableFiles(workspace, name);
}

void setTextField(table::Table& table, const SourceRecord& origin, std::string_view field, std::string_view value) {
  if (table.setText(field, value)) {
    origin.warn("recortado", "El valor de " + std::string(field) + " de " + table.name() +
                                 " no cabe en el campo y se guarda recortado: " + quotedValue(value));
  }
}

void postRow(table::Table& table, exchange::Report& report) {
  table.post();
  report.addRows(table.name());
}

}  // namespace mudalinx::exporter
