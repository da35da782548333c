// The program's plain message boxes: title "Mudalinx", one OK button, and the general
// error handler that shows the text of any error that ends a job.
#pragma once

#include <QString>

#include <exception>
#include <functional>

class QWidget;

namespace mudalinx::gui {

inline constexpr const char* kApplicationTitle = "Mudalinx";

// A modal box over PARENT with TEXT; DETAILS, when not empty, behind the details toggle.
// OK keeps the focus so that Return closes the box.
void showMessageBox(QWidget* parent, const QString& text, const QString& details = {});

// The general error handler: the error's own text (Spanish, UTF-8) in a message box.
void showError(QWidget* parent, const std::exception& error);

// Runs WORK; an error escaping it is shown by the general error handler.
// Returns whether WORK ended without an error.
bool runShowingErrors(QWidget* parent, const std::function<void()>& work);

// Tests replace the boxes so that nothing blocks; an empty handler restores them.
using MessageHandler = std::function<void(QWidget* parent, const QString& text, const QString& details)>;
void setMessageHandler(MessageHandler handler);

}  // namespace mudalinx::gui
