// mudalinx-generar-muestra --scale N --seed S --output FILE.xml [--encoding ISO-8859-1|UTF-8]
// Writes a sample Sendaro Exchange file of N large secondary schools.
#include <cstdlib>
#include <exception>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "tools/generator/sample_writer.h"

namespace {

using mudalinx::generator::Encoding;
using mudalinx::generator::SampleOptions;

constexpr const char* kUsage =
    "Uso: mudalinx-generar-muestra --scale N --seed S --output ARCHIVO.xml [--encoding ISO-8859-1|UTF-8]\n"
    "  --scale N     número de centros (1 = un instituto grande)\n"
    "  --seed S      semilla: la misma semilla da el mismo archivo\n"
    "  --output F    archivo de intercambio que se escribe\n"
    "  --encoding E  codificación del archivo (ISO-8859-1 por omisión)\n";

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

unsigned long long wholeNumber(std::string_view option, const std::string& text) {
  std::size_t used = 0;
  unsigned long long value = 0;
  try {
    if (text.empty() || text[0] == '-') throw std::invalid_argument(text);
    value = std::stoull(text, &used);
  } catch (const std::logic_error&) {
    used = 0;
  }
  if (used == 0 || used != text.size()) {
    throw UsageError("El valor de " + std::string(option) + " debe ser un número entero: " + text);
  }
  return value;
}

struct Arguments {
  SampleOptions options;
  std::string output;
};

Arguments parse(int argc, char** argv) {
  Arguments args;
  bool scaleGiven = false;
  bool seedGiven = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view option = argv[i];
    if (option == "--help" || option == "-h") {
      std::cout << kUsage;
      std::exit(0);
    }
    if (i + 1 >= argc) throw UsageError("Falta el valor de " + std::string(option) + ".");
    const std::string value = argv[++i];
    if (option == "--scale") {
      const auto scale = wholeNumber(option, value);
      args.options.scale = scale > 1000000 ? 1000000 : static_cast<int>(scale);
      scaleGiven = true;
    } else if (option == "--seed") {
      args.options.seed = wholeNumber(option, value);
      seedGiven = true;
    } else if (option == "--output") {
      args.output = value;
    } else if (option == "--encoding") {
      if (value == "ISO-8859-1") {
        args.options.encoding = Encoding::Latin1;
      } else if (value == "UTF-8") {
        args.options.encoding = Encoding::Utf8;
      } else {
        throw UsageError("Codificación desconocida: " + value + " (ISO-8859-1 o UTF-8).");
      }
    } else {
      throw UsageError("Opción desconocida: " + std::string(option));
    }
  }
  if (!scaleGiven || !seedGiven || args.output.empty()) {
    throw UsageError("Faltan --scale, --seed o --output.");
  }
  return args;
}

}  // namespace

int main(int argc, char** argv) {
  Arguments args;
  try {
    args = parse(argc, argv);
    mudalinx::generator::checkOptions(args.options);
  } catch (const std::exception& error) {
    std::cerr << error.what() << "\n" << kUsage;
    return 2;
  }
  try {
    mudalinx::generator::writeSampleFile(args.output, args.options);
  } catch (const std::exception& error) {
    std::cerr << error.what() << "\n";
    return 1;
  }
  return 0;
}
