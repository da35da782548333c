// `mudalinx`: the desktop program. Standalone without arguments; embedded in a host
// program's window with an action word and the host window's handle.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <exception>
#include <string>
#include <vector>

#include "app/folders.h"
#include "gui/MainForm.h"
#include "gui/message_box.h"

namespace {

// The general error handler of last resort: an error escaping any event handler is shown
// instead of unwinding through the event loop. The jobs show their own errors first.
class MudalinxApplication : public QApplication {
 public:
  using QApplication::QApplication;
  bool notify(QObject* receiver, QEvent* event) override {
    try {
      return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
      mudalinx::gui::showError(nullptr, error);
      return false;
    }
  }
};

// Qt's own texts (Aceptar, Cancelar, the file dialog) in Spanish whatever the system
// locale: from the program folder first, as installed on Windows, then Qt's own folder.
void installSpanishTranslation(QApplication& application, QTranslator& translator) {
  const QString name = QStringLiteral("qtbase_es");
  const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/translations");
  if (translator.load(name, beside) || translator.load(name, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    application.installTranslator(&translator);
  }
}

}  // namespace

int main(int argc, char** argv) {
  MudalinxApplication application(argc, argv);
  QApplication::setApplicationName(QString::fromUtf8(mudalinx::gui::kApplicationTitle));
  QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));
  QTranslator translator;
  installSpanishTranslation(application, translator);
  // The main window ends the process even when the help window is still open.
  QApplication::setQuitOnLastWindowClosed(false);

  std::vector<std::string> args;
  const QStringList arguments = QCoreApplication::arguments();
  for (qsizetype i = 1; i < arguments.size(); ++i) args.push_back(arguments[i].toStdString());

  try {
    mudalinx::gui::TMForm form(args, {mudalinx::app::defaultWorkspace(), mudalinx::app::programFolder()});
    QObject::connect(&form, &mudalinx::gui::TMForm::formClosed, &application, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    form.show();
    return application.exec();
  } catch (const std::exception& error) {
    mudalinx::gui::showError(nullptr, error);
    return 1;
  }
}
