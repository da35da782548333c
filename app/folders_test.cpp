#include "app/folders.h"

#include <ostream>
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace mudalinx::app {
namespace {

// Sets (or unsets) an environment variable for the life of the object.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) {
      ::setenv(name, value->c_str(), 1);
    } else {
      ::unsetenv(name);
    }
  }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
  ~ScopedEnvironment() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

struct WorkspaceCase {
  const char* title;
  std::optional<std::string> ktemp;
  std::optional<std::string> winePrefix;
  std::string expected;
};

// Test names then carry the case's title instead of a dump of its bytes.
void PrintTo(const WorkspaceCase& c, std::ostream* out) { *out << c.title; }

class DefaultWorkspaceTest : public ::testing::TestWithParam<WorkspaceCase> {};

TEST_P(DefaultWorkspaceTest, FollowsTheEnvironment) {
  const WorkspaceCase& c = GetParam();
  ScopedEnvironment home("HOME", "/home/jefatura");
  ScopedEnvironment ktemp("MUDALINX_KTEMP", c.ktemp);
  ScopedEnvironment prefix("WINEPREFIX", c.winePrefix);
  EXPECT_EQ(defaultWorkspace(), std::filesystem::path(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DefaultWorkspaceTest,
    ::testing::Values(WorkspaceCase{"OverrideWins", "/datos/KTEMP", "/opt/wine", "/datos/KTEMP"},
                      WorkspaceCase{"WinePrefix", std::nullopt, "/opt/wine", "/opt/wine/drive_c/KTEMP"},
                      WorkspaceCase{"EmptyValuesCountAsUnset", "", "", "/home/jefatura/.wine/drive_c/KTEMP"},
                      WorkspaceCase{"DefaultPrefix", std::nullopt, std::nullopt,
                                    "/home/jefatura/.wine/drive_c/KTEMP"}),
    [](const auto& info) { return std::string(info.param.title); });

TEST(ProgramFolder, IsTheFolderOfTheRunningProgram) {
  EXPECT_EQ(programFolder(), std::filesystem::canonical(MUDALINX_BIN_DIR));
}

}  // namespace
}  // namespace mudalinx::app
