// A stand-in host program: one plain window whose X11 id it prints in hexadecimal,
// without prefix, as a host passes it to the program it embeds.
#include <QApplication>
#include <QWidget>

#include <cstdio>

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QWidget host;
  host.setWindowTitle(QStringLiteral("Anfitrion de prueba"));
  host.resize(700, 320);
  host.show();
  std::printf("%llx\n", static_cast<unsigned long long>(host.winId()));
  std::fflush(stdout);
  return application.exec();
}
