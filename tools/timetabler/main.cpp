// mudalinx-horario-prueba: a stand-in for the timetabler in the demo and the tests.
#include <cstring>
#include <exception>
#include <iostream>

#include "tools/timetabler/scheduler.h"
#include "tools/timetabler/solution_table.h"
#include "tools/timetabler/timetable_input.h"

namespace {

constexpr const char* kUsage =
    "Uso: mudalinx-horario-prueba DIRECTORIO_DE_TRABAJO\n"
    "\n"
    "Herramienta de prueba: no forma parte de Mudalinx ni es un generador de horarios real.\n"
    "Lee PROFT, ASIGT, DIASHORAST, AULAT, GRUPOST y ASIGNOMT del directorio de trabajo y\n"
    "escribe SOLUC.DBF con un horario sencillo y siempre igual para los mismos datos.\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::strcmp(argv[1], "-h") == 0 || std::strcmp(argv[1], "--help") == 0)) {
    std::cout << kUsage;
    return 0;
  }
  if (argc != 2) {
    std::cerr << kUsage;
    return 2;
  }
  try {
    using namespace mudalinx::timetabler;
    const TimetableInput input = readTimetableInput(argv[1]);
    const Solution solution = buildSolution(input);
    writeSolutionTable(argv[1], solution.rows);
    std::cout << "Sesiones colocadas: " << solution.placed << "\n"
              << "Sesiones sin colocar: " << solution.unplaced << "\n"
              << "Guardias colocadas: " << solution.activities << "\n";
    return 0;
  } catch (const std::exception& error) {
    std::cerr << error.what() << "\n";
    return 1;
  }
}
