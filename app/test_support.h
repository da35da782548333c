// Helpers shared by the tests of the jobs and of the command-line tool.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace mudalinx::testing {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
 public:
  TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder();
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

void writeFile(const std::filesystem::path& file, std::string_view contents);
std::string readFile(const std::filesystem::path& file);

// Every regular file under FOLDER (relative path -> contents), to see that nothing changed.
std::map<std::string, std::string> snapshot(const std::filesystem::path& folder);

// A level table NIVELEX.DBF in FOLDER: rows of (course-offer id, level short name, studies), texts UTF-8.
struct LevelRow {
  long long offer;
  std::string level;
  std::string studies;
};
void writeLevelTable(const std::filesystem::path& folder, const std::vector<LevelRow>& rows);

// An empty table NAME in FOLDER with one text field, for files that must be real tables.
void writeSmallTable(const std::filesystem::path& folder, const std::string& name);

// PATH in single quotes, for a shell command line.
std::string quoted(const std::filesystem::path& path);

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs COMMAND (a shell command line) with its output caught in files of SCRATCH.
Outcome runShell(const std::string& command, const std::filesystem::path& scratch);

}  // namespace mudalinx::testing
