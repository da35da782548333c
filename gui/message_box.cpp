#include "gui/message_box.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <utility>

namespace mudalinx::gui {
namespace {

MessageHandler& installedHandler() {
  static MessageHandler handler;
  return handler;
}

void showBox(QWidget* parent, const QString& text, const QString& details) {
  QMessageBox box(parent);
  box.setWindowTitle(QString::fromUtf8(kApplicationTitle));
  box.setText(text);
  box.setTextFormat(Qt::PlainText);
  box.setIcon(QMessageBox::NoIcon);
  box.setStandardButtons(QMessageBox::Ok);
  box.setDefaultButton(QMessageBox::Ok);
  if (!details.isEmpty()) box.setDetailedText(details);
  // The details toggle would otherwise take the focus and Return would open the details.
  QAbstractButton* ok = box.button(QMessageBox::Ok);
  QTimer::singleShot(0, ok, [ok] { ok->setFocus(Qt::OtherFocusReason); });
  box.exec();
}

}  // namespace

void showMessageBox(QWidget* parent, const QString& text, const QString& details) {
  if (const MessageHandler& handler = installedHandler()) {
    handler(parent, text, details);
    return;
  }
  showBox(parent, text, details);
}

void showError(QWidget* parent, const std::exception& error) {
  showMessageBox(parent, QString::fromUtf8(error.what()));
}

bool runShowingErrors(QWidget* parent, const std::function<void()>& work) {
  try {
    work();
    return true;
  } catch (const std::exception& error) {
    showError(parent, error);
    return false;
  }
}

void setMessageHandler(MessageHandler handler) { installedHandler() = std::move(handler); }

}  // namespace mudalinx::gui
