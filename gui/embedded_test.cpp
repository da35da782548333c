// The real program embedded in a host window of the test's own, under Xvfb.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;

const fs::path kBinDir = MUDALINX_BIN_DIR;
const fs::path kTestData = MUDALINX_TESTDATA;

std::string readFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string quoted(const fs::path& path) { return "'" + path.string() + "'"; }

bool onPath(const char* program) {
  return std::system((std::string("command -v ") + program + " >/dev/null 2>&1").c_str()) == 0;
}

class EmbeddedTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* tool : {"xvfb-run", "xdotool", "xwininfo"}) {
      if (!onPath(tool)) GTEST_SKIP() << tool << " no está instalado";
    }
    root_ = fs::temp_directory_path() / ("mudalinx_incrustado_" + std::to_string(::getpid()) + "_" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(root_ / "programa");
    fs::create_directories(root_ / "ktemp");
    // The program folder is the executable's: a copy of it with what ships beside it.
    for (const char* name : {"mudalinx", "NIVELEX.DBF", "SENDARO.chm", "SENDARO.ctx"}) {
      ASSERT_TRUE(fs::exists(kBinDir / name)) << name;
      fs::copy_file(kBinDir / name, root_ / "programa" / name);
    }
    // The host's settings file: only our key may change.
    std::ofstream(root_ / "programa" / "Quorvia.ini", std::ios::binary)
        << "[Quorvia]\r\nRuta=C:\\KTEMP\r\n[Transformadores]\r\nTransformado=7\r\nOtro=x\r\n";
  }
  void TearDown() override {
    if (!HasFailure()) fs::remove_all(root_);
  }

  // Runs the script; returns its exit status and keeps its output in log_.
  int run(const std::string& mode, const std::string& action) {
    const fs::path log = root_ / "registro.txt";
    const std::string command = "timeout 180 xvfb-run -a -s '-screen 0 1024x768x24' bash " +
                                quoted(kTestData / "embedded_run.sh") + " " + mode + " " +
                                quoted(kBinDir / "mudalinx_test_host") + " " + quoted(root_ / "programa" / "mudalinx") +
                                " " + action + " " + quoted(kTestData / "un_marco.xml") + " " +
                                quoted(root_ / "ktemp") + " >" + quoted(log) + " 2>&1";
    // Two X servers starting at once can race for one display number: start again then.
    for (int attempt = 0;; ++attempt) {
      const int status = std::system(command.c_str());
      log_ = readFile(log);
      if (attempt < 2 && log_.find("Xvfb failed to start") != std::string::npos) continue;
      return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
  }

  std::string ini() const { return readFile(root_ / "programa" / "Quorvia.ini"); }

  fs::path root_;
  std::string log_;
};

TEST_F(EmbeddedTest, ExportRunsAtOnceAndLeavesOutcomeOne) {
  ASSERT_EQ(run("accept", "EXPORTAR"), 0) << log_;
  EXPECT_NE(log_.find("incrustada=si"), std::string::npos) << log_;
  EXPECT_EQ(ini(), "[Quorvia]\r\nRuta=C:\\KTEMP\r\n[Transformadores]\r\nTransformado=1\r\nOtro=x\r\n");
  // A reader we did not write sees the teacher of the file.
  const std::string count = "/usr/bin/python3 -c 'import dbfread,sys; print(len(list(dbfread.DBF(sys.argv[1]))))' " +
                            quoted(root_ / "ktemp" / "PROFT.DBF") + " > " + quoted(root_ / "filas.txt");
  ASSERT_EQ(std::system(count.c_str()), 0);
  EXPECT_EQ(readFile(root_ / "filas.txt"), "1\n");
}

TEST_F(EmbeddedTest, CancelledDialogLeavesOutcomeMinusOne) {
  ASSERT_EQ(run("cancel", "exportar"), 0) << log_;
  EXPECT_NE(ini().find("Transformado=-1\r\n"), std::string::npos) << ini();
  EXPECT_FALSE(fs::exists(root_ / "ktemp" / "PROFT.DBF"));
}

TEST_F(EmbeddedTest, HostWindowGoingAwayEndsTheProgram) {
  ASSERT_EQ(run("hostgone", "importar"), 0) << log_;
  EXPECT_NE(ini().find("Transformado=0\r\n"), std::string::npos) << ini();
}

}  // namespace
