#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>

#include <unistd.h>

#include "gui/gui_test_support.h"
#include "gui/message_box.h"

namespace mudalinx::gui::testing {
namespace {

class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "mudalinx_gui_test";
    static char* argv[] = {name, nullptr};
    application_ = std::make_unique<QApplication>(argc, argv);
    setMessageHandler([](QWidget*, const QString& text, const QString& details) {
      shownMessages().push_back({text, details});
    });
  }
  void TearDown() override {
    setMessageHandler({});
    application_.reset();
  }

 private:
  std::unique_ptr<QApplication> application_;
};

[[maybe_unused]] ::testing::Environment* const environment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace

std::vector<ShownMessage>& shownMessages() {
  static std::vector<ShownMessage> messages;
  return messages;
}

void clearMessages() { shownMessages().clear(); }

void onNextModal(const char* className, std::function<void(QWidget*)> action) {
  auto* timer = new QTimer;
  const auto started = std::chrono::steady_clock::now();
  QObject::connect(timer, &QTimer::timeout, timer, [timer, className, action = std::move(action), started] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal->inherits(className) && modal->isVisible()) {
      timer->deleteLater();
      timer->stop();
      action(modal);
      return;
    }
    if (std::chrono::steady_clock::now() - started > std::chrono::seconds(20)) {
      timer->stop();
      timer->deleteLater();
      ADD_FAILURE() << "no apareció el diálogo " << className;
      if (modal) modal->close();
    }
  });
  timer->start(20);
}

void typeIntoFileDialog(QWidget* dialog, const std::filesystem::path& file) {
  auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
  ASSERT_NE(name, nullptr);
  name->setText(QString::fromStdString(file.string()));
  QTest::keyClick(name, Qt::Key_Return);
}

std::filesystem::path freshFolder(const std::string& name) {
  static std::atomic<int> counter{0};
  const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                       ("mudalinx_gui_" + std::to_string(::getpid()) + "_" + name + "_" +
                                        std::to_string(counter++));
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  return folder;
}

}  // namespace mudalinx::gui::testing
