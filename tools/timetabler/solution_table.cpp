#include "tools/timetabler/solution_table.h"

#include "table/table.h"

namespace mudalinx::timetabler {

void writeSolutionTable(const std::filesystem::path& workspace, const std::vector<SolutionRow>& rows) {
  using table::FieldType;
  // Field order and the extra fields are the timetabler's own; readers go by name.
  const table::TableDef def{"SOLUC",
                            {{"PROF", FieldType::Text, 10},
                             {"ASIG", FieldType::Text, 10},
                             {"CODGRUPO", FieldType::Text, 10},
                             {"DIA", FieldType::Integer, 0},
                             {"HORA", FieldType::Integer, 0},
                             {"MARCO", FieldType::Text, 1},
                             {"AULA", FieldType::Text, 10},
                             {"TAREA", FieldType::Text, 12},
                             {"SESION", FieldType::Integer, 0},
                             {"FIJA", FieldType::Logical, 0}},
                            {},
                            table::Format::DBase4};
  table::removeTableFiles(workspace, def.name);
  table::createTable(workspace, def);
  table::Table soluc = table::Table::open(workspace, def.name, table::Access::Exclusive);
  for (const SolutionRow& row : rows) {
    soluc.append();
    soluc.setText("PROF", row.teacher);
    soluc.setText("ASIG", row.subject);
    soluc.setText("CODGRUPO", row.group);
    soluc.setInteger("DIA", row.day);
    soluc.setInteger("HORA", row.hour);
    soluc.setText("MARCO", row.frame);
    soluc.setText("AULA", row.room);
    soluc.setText("TAREA", row.task);
    soluc.setInteger("SESION", row.session);
    soluc.setLogical("FIJA", false);
    soluc.post();
  }
  soluc.close();
}

}  // namespace mudalinx::timetabler
