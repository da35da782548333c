// What the window tests share: one QApplication on the offscreen platform, the message
// boxes recorded instead of shown, and a way to act on a modal dialog once it is open.
#pragma once

#include <QString>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace mudalinx::gui::testing {

struct ShownMessage {
  QString text;
  QString details;
};

// The boxes shown since the last clearMessages(), in order.
std::vector<ShownMessage>& shownMessages();
void clearMessages();

// Runs ACTION on the next modal dialog of class CLASSNAME that appears (checked from the event loop).
void onNextModal(const char* className, std::function<void(QWidget*)> action);

// Types FILE into the name field of the open dialog DIALOG and presses Return, as a user does.
void typeIntoFileDialog(QWidget* dialog, const std::filesystem::path& file);

// A fresh empty folder under the system's temporary folder.
std::filesystem::path freshFolder(const std::string& name);

}  // namespace mudalinx::gui::testing
