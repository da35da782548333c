#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Outcome {
  int exitCode = -1;
  std::string output;  // stdout and stderr
};

Outcome run(const std::string& arguments) {
  Outcome outcome;
  const std::string command = std::string("'") + MUDALINX_BIN_DIR + "/mudalinx-horario-prueba' " + arguments + " 2>&1";
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return outcome;
  char buffer[4096];
  while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) outcome.output.append(buffer, n);
  const int status = ::pclose(pipe);
  outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return outcome;
}

TEST(SampleTimetablerProgram, ExitCodesAndMessages) {
  struct Case {
    std::string arguments;
    int exitCode;
    std::vector<std::string> shown;
  };
  const std::vector<Case> cases{
      {"", 2, {"Uso: mudalinx-horario-prueba DIRECTORIO_DE_TRABAJO", "Herramienta de prueba", "no forma parte"}},
      {"a b", 2, {"Uso:"}},
      {"--help", 0, {"Uso:"}},
      {"/no/existe/KTEMP", 1, {"/no/existe/KTEMP"}},
      {std::string("'") + MUDALINX_SOURCE_DIR + "/tools/timetabler'", 1, {"PROFT"}},  // a folder without tables
  };
  for (const Case& c : cases) {
    const Outcome outcome = run(c.arguments);
    EXPECT_EQ(outcome.exitCode, c.exitCode) << c.arguments << "\n" << outcome.output;
    for (const std::string& text : c.shown) {
      EXPECT_NE(outcome.output.find(text), std::string::npos) << c.arguments << "\n" << outcome.output;
    }
  }
}

}  // namespace
