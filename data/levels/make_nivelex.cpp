// Builds the level table NIVELEX.DBF from its CSV source: make_nivelex SOURCE.csv FOLDER
#include <fstream>
#include <iostream>
#include <sstream>

#include "data/levels/level_table.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "Uso: make_nivelex ORIGEN.csv CARPETA\n";
    return 2;
  }
  try {
    std::ifstream in(argv[1], std::ios::binary);
    std::ostringstream csv;
    if (in) csv << in.rdbuf();
    if (!in) throw std::runtime_error(std::string("No se puede leer el archivo ") + argv[1] + ".");
    const auto rows = mudalinx::levels::parseLevelSource(csv.str(), argv[1]);
    mudalinx::levels::writeLevelTable(rows, argv[2]);
  } catch (const std::exception& error) {
    std::cerr << error.what() << "\n";
    return 1;
  }
  return 0;
}
