#include "exchange/report.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace mudalinx::exchange {
namespace {

Report sampleReport() {
  Report report;
  report.addRows("ASIGNOMT", 3);
  report.addRows("PROFT");
  report.addRows("ASIGNOMT", 2);
  report.addRows("AULAT", 0);
  report.warn({"omitido", "MATERIAS", 4, "Materia sin nombre: registro omitido."});
  report.warn({"recortado", "EMPLEADOS", 12, "Nombre \"largo\" recortado a 80 caracteres\\\n\ttabulado \x01 \xFF"});
  report.warn({"renombrado", "", 0, "C\xC3\xB3" "digo \xE2\x82\xAC repetido"});
  return report;
}

TEST(Report, CountsRowsPerTableInOrderOfFirstMention) {
  const Report report = sampleReport();
  ASSERT_EQ(report.rows().size(), 3u);
  EXPECT_EQ(report.rows()[0].first, "ASIGNOMT");
  EXPECT_EQ(report.rowsOf("ASIGNOMT"), 5u);
  EXPECT_EQ(report.rowsOf("PROFT"), 1u);
  EXPECT_EQ(report.rowsOf("AULAT"), 0u);
  EXPECT_EQ(report.rowsOf("CURSOST"), 0u);
  EXPECT_EQ(report.warnings().size(), 3u);
}

TEST(Report, TextSummary) {
  EXPECT_EQ(sampleReport().text(),
            "Filas escritas:\n"
            "  ASIGNOMT: 5\n"
            "  PROFT: 1\n"
            "  AULAT: 0\n"
            "Avisos:\n"
            "  MATERIAS, registro 4: Materia sin nombre: registro omitido.\n"
            "  EMPLEADOS, registro 12: Nombre \"largo\" recortado a 80 caracteres\\\n\ttabulado \x01 \xFF\n"
            "  C\xC3\xB3" "digo \xE2\x82\xAC repetido\n");
  EXPECT_EQ(Report().text(), "Filas escritas:\n  ninguna\nAvisos: ninguno\n");
}

// Parses the JSON with Python's reader and prints it back in a canonical form.
std::string canonicalJson(const std::string& json) {
  const auto input = std::filesystem::temp_directory_path() / ("report_test_" + std::to_string(::getpid()) + ".json");
  std::ofstream(input, std::ios::binary) << json;
  const std::string command = "/usr/bin/python3 -c \"import json,sys; "
                              "print(json.dumps(json.load(open(sys.argv[1], encoding='utf-8')), sort_keys=True))\" " +
                              input.string();
  std::string output;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    std::size_t n = 0;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
    if (pclose(pipe) != 0) output = "ERROR";
  }
  std::filesystem::remove(input);
  return output;
}

TEST(Report, JsonIsValidAndEscaped) {
  EXPECT_EQ(canonicalJson(sampleReport().json()),
            "{\"avisos\": [{\"registro\": 4, \"seccion\": \"MATERIAS\", \"texto\": \"Materia sin nombre: registro "
            "omitido.\", \"tipo\": \"omitido\"}, {\"registro\": 12, \"seccion\": \"EMPLEADOS\", \"texto\": "
            "\"Nombre \\\"largo\\\" recortado a 80 caracteres\\\\\\n\\ttabulado \\u0001 \\ufffd\", \"tipo\": "
            "\"recortado\"}, {\"registro\": 0, \"seccion\": \"\", \"texto\": \"C\\u00f3digo \\u20ac repetido\", "
            "\"tipo\": \"renombrado\"}], \"filas\": {\"ASIGNOMT\": 5, \"AULAT\": 0, \"PROFT\": 1}}\n");
  EXPECT_EQ(canonicalJson(Report().json()), "{\"avisos\": [], \"filas\": {}}\n");
}

}  // namespace
}  // namespace mudalinx::exchange
