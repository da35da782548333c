// Where the system's help viewer is not available, the program's own viewer shows the help.
#include <QApplication>

#include "gui/HelpViewer.h"
#include "gui/help_system.h"

namespace mudalinx::gui {
namespace {

void bringUp(HelpViewer* viewer) {
  // A modal dialog blocks every window but its own: the help then opens as one of them.
  QWidget* modal = QApplication::activeModalWidget();
  if (modal && viewer->parentWidget() != modal) viewer->setParent(modal, Qt::Window);
  viewer->show();
  viewer->raise();
  viewer->activateWindow();
}

}  // namespace

void showHelpContents(QWidget* /*parent*/, const std::filesystem::path& helpFile) {
  HelpViewer* viewer = sharedHelpViewer(helpFile);
  viewer->showContents();
  bringUp(viewer);
}

void showHelpContext(QWidget* /*parent*/, const std::filesystem::path& helpFile, int context) {
  HelpViewer* viewer = sharedHelpViewer(helpFile);
  viewer->showContext(context);
  bringUp(viewer);
}

}  // namespace mudalinx::gui
