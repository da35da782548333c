#include "app/command_line.h"

#include <ostream>
#include <gtest/gtest.h>

namespace mudalinx::app {
namespace {

struct CommandLineCase {
  const char* title;
  std::vector<std::string> args;
  Action action;
  std::optional<std::uint32_t> hostWindow;
  std::string handleError;
};

// Test names then carry the case's title instead of a dump of its bytes.
void PrintTo(const CommandLineCase& c, std::ostream* out) { *out << c.title; }

class CommandLineTest : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLineTest, ReadsActionAndHandle) {
  const CommandLineCase& c = GetParam();
  const CommandLine line = parseCommandLine(c.args);
  EXPECT_EQ(line.action, c.action);
  EXPECT_EQ(line.hostWindow, c.hostWindow);
  EXPECT_EQ(line.embedded(), c.hostWindow.has_value());
  EXPECT_EQ(line.handleError, c.handleError);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLineTest,
    ::testing::Values(
        CommandLineCase{"NoArguments", {}, Action::None, std::nullopt, ""},
        CommandLineCase{"OneArgument", {"exportar"}, Action::None, std::nullopt, ""},
        CommandLineCase{"ExportInCapitals", {"EXPORTAR", "1A2b"}, Action::Export, 0x1A2B, ""},
        CommandLineCase{"ImportMixedCase", {"ImPortar", "00ff"}, Action::Import, 0xFF, ""},
        CommandLineCase{"UnknownWordStillEmbedded", {"borrar", "10"}, Action::None, 0x10, ""},
        CommandLineCase{"AccentedCapitalIsNotFolded", {"EXPORTAR\xC3\x81", "10"}, Action::None, 0x10, ""},
        CommandLineCase{"BadHandleKeepsTheAction", {"exportar", "12G"}, Action::Export, std::nullopt,
                        "'$12G' no es un valor entero válido"},
        CommandLineCase{"EmptyHandle", {"importar", ""}, Action::Import, std::nullopt,
                        "'$' no es un valor entero válido"},
        CommandLineCase{"SignedHandle", {"importar", "-1"}, Action::Import, std::nullopt,
                        "'$-1' no es un valor entero válido"},
        CommandLineCase{"LargestHandle", {"exportar", "FFFFFFFF"}, Action::Export, 0xFFFFFFFFu, ""},
        CommandLineCase{"HandleTooLarge", {"exportar", "100000000"}, Action::Export, std::nullopt,
                        "'$100000000' no es un valor entero válido"},
        CommandLineCase{"ThreeArguments", {"exportar", "10", "x"}, Action::None, std::nullopt, ""}),
    [](const ::testing::TestParamInfo<CommandLineCase>& info) { return std::string(info.param.title); });

}  // namespace
}  // namespace mudalinx::app
