// Asking the help system for the help file's table of contents or for the topic of a
// help context number. Throws a Spanish message when the help cannot be shown.
#pragma once

#include <filesystem>

class QWidget;

namespace mudalinx::gui {

void showHelpContents(QWidget* parent, const std::filesystem::path& helpFile);
void showHelpContext(QWidget* parent, const std::filesystem::path& helpFile, int context);

}  // namespace mudalinx::gui
