// The main window `MForm`: the two job buttons, help, the command line and the
// embedded mode in a host program's window, over the export and import runs of app/.
#pragma once

#include <QWidget>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/jobs.h"
#include "app/ui_port.h"

class QFileDialog;
class QLabel;
class QPushButton;
class QWindow;

namespace mudalinx::gui {

class GradientPanel;

// The help context of the window, its panels and its buttons.
inline constexpr int kMainHelpContext = 3;

class TMForm : public QWidget, public app::UserInterface {
  Q_OBJECT

 public:
  // ARGS: the command-line arguments after the program name.
  TMForm(std::vector<std::string> args, app::Folders folders, QWidget* parent = nullptr);
  ~TMForm() override;

  // Controls, under their names in the window's layout.
  GradientPanel* Draw3D1;
  GradientPanel* Draw3D2;
  GradientPanel* Draw3D3;
  QLabel* Label3;
  QLabel* Label4;
  QLabel* Label1;
  QPushButton* BExportar;
  QPushButton* BImportar;
  QPushButton* BClose;
  QPushButton* Button1;
  QFileDialog* OpenDialogXML;

  void BExportarClick();
  void BImportarClick();
  void Button1Click();
  // F1, wherever the focus is.
  void helpRequested();

  const app::Session& session() const { return session_; }
  std::filesystem::path helpFile() const;
  std::filesystem::path iniFile() const;

  // The user-interface port of the jobs.
  std::optional<std::filesystem::path> chooseFile() override;
  void showMessage(const std::string& text) override;
  void setBusy(bool on) override;
  exporter::FrameMarking chooseFrames(const exchange::Document& doc) override;
  void showFinished(const exchange::Report& report) override;
  void disableJobs() override;
  void closeWindow() override;

 signals:
  // The window has closed; being the main window, the process ends.
  void formClosed();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  using Job = app::JobResult (*)(app::Session&, app::UserInterface&, const app::Folders&, exchange::Report&);

  void buildControls();
  void FormCreate();
  void FormShow();
  void FormClose();
  void embedIn(std::uint32_t handle, const std::string& handleText);
  void hostWindowGone();
  void runJob(Job job);

  std::vector<std::string> args_;
  app::CommandLine commandLine_;
  app::Folders folders_;
  app::Session session_;
  // The host program's window that this one lives in, embedded mode only.
  std::unique_ptr<QWindow> host_;
  bool shown_ = false;
  bool closeHandled_ = false;
  // The host window went away: the outcome is written and every dialog gives up.
  bool leaving_ = false;
  int busyDepth_ = 0;
};

}  // namespace mudalinx::gui
