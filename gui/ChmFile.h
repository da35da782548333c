// Reading the compiled help file: its pages by name, its contents file, its default topic,
// and the table of help context numbers installed beside it.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>

struct chmFile;

namespace mudalinx::gui {

class ChmFile {
 public:
  // Throws std::runtime_error "No se encuentra el archivo de ayuda …" when FILE is missing,
  // and a Spanish message when it is not a readable help file.
  explicit ChmFile(const std::filesystem::path& file);

  // The bytes of the stored file NAME ("principal.htm", "/estilo.css"); nullopt when absent.
  std::optional<std::string> read(const std::string& name) const;
  // Names stored in the help file's system data; empty when it has none.
  const std::string& contentsFile() const { return contentsFile_; }
  const std::string& defaultTopic() const { return defaultTopic_; }
  const std::filesystem::path& file() const { return file_; }

 private:
  struct Close {
    void operator()(chmFile* handle) const noexcept;
  };
  void readSystemData();

  std::filesystem::path file_;
  std::unique_ptr<chmFile, Close> handle_;
  std::string contentsFile_;
  std::string defaultTopic_;
};

// The context table beside HELPFILE (same name, extension ".ctx"): lines "NUMBER PAGE",
// "#" comments. Throws a Spanish message when it is missing or a line is not valid.
std::map<int, std::string> readHelpContexts(const std::filesystem::path& helpFile);

}  // namespace mudalinx::gui
