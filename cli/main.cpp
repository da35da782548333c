// mudalinx-cli: the export and the import without a window, and a look into tables.
// Exit status: 0 the job finished, 1 it stopped (message on standard error), 2 wrong usage.
#include <CLI/CLI.hpp>

#include <exception>
#include <iostream>
#include <optional>
#include <string>

#include "app/folders.h"
#include "app/jobs.h"
#include "app/replace_file.h"
#include "cli/cli_user_interface.h"
#include "cli/csv_dump.h"
#include "cli/frame_codes.h"
#include "exchange/report.h"

namespace {

namespace app = mudalinx::app;
namespace cli = mudalinx::cli;

constexpr const char* kUsage =
    "Uso:\n"
    "  mudalinx-cli export ARCHIVO.xml [--workspace DIR] [--program-dir DIR] [--frames CODIGO[,CODIGO]]"
    " [--report ARCHIVO.json]\n"
    "  mudalinx-cli import ARCHIVO.xml [--workspace DIR] [--report ARCHIVO.json]\n"
    "  mudalinx-cli dump TABLA.DBF\n";

struct JobOptions {
  std::string file;
  std::string workspace;
  std::string programDir;
  std::string frames;
  bool framesGiven = false;
  std::string reportFile;
};

app::Folders foldersOf(const JobOptions& options) {
  return {options.workspace.empty() ? app::defaultWorkspace() : std::filesystem::path(options.workspace),
          options.programDir.empty() ? app::programFolder() : std::filesystem::path(options.programDir)};
}

// Runs one job; the report file, when asked for, is written however the job ended.
int runJob(const JobOptions& options, bool exporting) {
  std::optional<std::vector<std::string>> frameCodes;
  if (options.framesGiven) frameCodes = cli::splitCodes(options.frames);
  cli::CliUserInterface ui(options.file, frameCodes, std::cout, std::cerr);
  app::Session session;
  mudalinx::exchange::Report report;
  const auto writeReport = [&] {
    if (!options.reportFile.empty()) app::replaceFile(options.reportFile, report.json());
  };
  try {
    const app::Folders folders = foldersOf(options);
    const app::JobResult result = exporting ? app::runExport(session, ui, folders, report)
                                            : app::runImport(session, ui, folders, report);
    writeReport();
    return result == app::JobResult::Finished ? 0 : 1;
  } catch (const std::exception& error) {
    std::cerr << error.what() << std::endl;
    try {
      writeReport();
    } catch (const std::exception& reportError) {
      std::cerr << reportError.what() << std::endl;
    }
    return 1;
  }
}

int dump(const std::string& file) {
  try {
    cli::dumpTable(file, std::cout);
    std::cout.flush();
    return 0;
  } catch (const std::exception& error) {
    std::cerr << error.what() << std::endl;
    return 1;
  }
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App command{"Mudalinx: datos entre Sendaro y Quorvia", "mudalinx-cli"};
  command.require_subcommand(1);

  JobOptions exportOptions;
  CLI::App* exportCommand = command.add_subcommand("export", "Sendaro -> carpeta de trabajo de Quorvia");
  exportCommand->add_option("FILE", exportOptions.file, "archivo XML de Sendaro")->required();
  exportCommand->add_option("--workspace", exportOptions.workspace, "carpeta de trabajo (C:\\KTEMP)");
  exportCommand->add_option("--program-dir", exportOptions.programDir, "carpeta con NIVELEX.DBF");
  CLI::Option* framesOption =
      exportCommand->add_option("--frames", exportOptions.frames, "Marcos Horarios: CODIGO[,CODIGO]");
  exportCommand->add_option("--report", exportOptions.reportFile, "resumen JSON");

  JobOptions importOptions;
  CLI::App* importCommand = command.add_subcommand("import", "solución de Quorvia -> horario para Sendaro");
  importCommand->add_option("FILE", importOptions.file, "archivo XML de Sendaro")->required();
  importCommand->add_option("--workspace", importOptions.workspace, "carpeta de trabajo (C:\\KTEMP)");
  importCommand->add_option("--report", importOptions.reportFile, "resumen JSON");

  std::string tableFile;
  CLI::App* dumpCommand = command.add_subcommand("dump", "una tabla dBASE como CSV");
  dumpCommand->add_option("TABLE", tableFile, "archivo .DBF")->required();

  try {
    command.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    if (error.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success)) return command.exit(error);  // --help
    std::cerr << "Uso incorrecto: " << error.what() << "\n" << kUsage;
    return 2;
  }

  exportOptions.framesGiven = framesOption->count() > 0;
  if (exportCommand->parsed()) return runJob(exportOptions, true);
  if (importCommand->parsed()) return runJob(importOptions, false);
  return dump(tableFile);
}
