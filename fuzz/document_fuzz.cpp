// Loads the input as an Exchange file and reads every value of every section
// the system knows, as the converters and the import do.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "exchange/document.h"
#include "exchange/text.h"
#include "fuzz/fuzz_support.h"

namespace {

const char* const kSections[] = {
    "ANNO_ACADEMICO", "MATERIAS",           "ACTIVIDADES",     "EMPLEADOS",          "DEPENDENCIAS",
    "CURSOS_DEL_CENTRO", "UNIDADES",        "JORNADAS_ESCOLARES", "TRAMOS_HORARIOS", "HORARIOS_REGULARES",
};

// The converters read up to position 5 whatever a record holds.
constexpr std::size_t kPositionsRead = 6;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace mudalinx;
  const auto file = fuzz::scratchFolder() / "entrada.xml";
  fuzz::writeInput(file, data, size);
  try {
    const auto doc = exchange::Document::load(file);
    (void)doc.declaredEncoding();
    for (const char* name : kSections) {
      const auto section = doc.section(name);
      for (std::size_t i = 0; i < section.count(); ++i) {
        const auto record = section.record(i);
        const std::size_t positions = record.valueCount() > kPositionsRead ? record.valueCount() : kPositionsRead;
        for (std::size_t k = 0; k < positions; ++k) {
          bool lossy = false;
          const std::string value = exchange::TrimBoth(record.value(k, &lossy));
          (void)exchange::CapitalLetters(value);
          (void)exchange::WordInitials(value);
          (void)exchange::caseBlindKey(exchange::upperAZ(value));
          // A value in the system's code page goes to UTF-8 and back unchanged.
          const std::string utf8 = exchange::win1252ToUtf8(value);
          bool lost = false;
          if (!fuzz::isValidUtf8(utf8) || exchange::utf8ToWin1252(utf8, &lost) != value || lost) std::abort();
        }
      }
    }
  } catch (const exchange::XmlError& error) {
    fuzz::requireReadableMessage(error.what());
  }
  return 0;
}
