#include "gui/MainForm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QWindow>

#include <stdexcept>

#include "app/ini_file.h"
#include "gui/GradientPanel.h"
#include "gui/Plantihoras.h"
#include "gui/help_system.h"
#include "gui/host_window.h"
#include "gui/message_box.h"

namespace mudalinx::gui {
namespace {

constexpr const char* kHelpContextProperty = "helpContext";

QFont windowFont() {
  QFont font(QStringLiteral("MS Sans Serif"));
  font.setPixelSize(11);
  return font;
}

QFont titleFont() {
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(16);
  font.setBold(true);
  return font;
}

QLabel* makeLabel(const QString& text, QWidget* parent, QRect geometry, const QFont& font) {
  auto* label = new QLabel(text, parent);
  label->setGeometry(geometry);
  label->setFont(font);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  return label;
}

QPushButton* makeButton(const QString& text, QWidget* parent, QRect geometry) {
  auto* button = new QPushButton(text, parent);
  button->setGeometry(geometry);
  button->setAutoDefault(false);
  return button;
}

void setHelpContext(QWidget* widget, int context) { widget->setProperty(kHelpContextProperty, context); }

// The help context of WIDGET or of the nearest parent that has one.
int helpContextOf(const QWidget* widget, int fallback) {
  for (; widget; widget = widget->parentWidget()) {
    const QVariant context = widget->property(kHelpContextProperty);
    if (context.isValid()) return context.toInt();
  }
  return fallback;
}

// The arrow instead of the hour-glass while a dialog waits for the user.
class ArrowCursorWhileOpen {
 public:
  ArrowCursorWhileOpen() { QApplication::setOverrideCursor(Qt::ArrowCursor); }
  ~ArrowCursorWhileOpen() { QApplication::restoreOverrideCursor(); }
  ArrowCursorWhileOpen(const ArrowCursorWhileOpen&) = delete;
  ArrowCursorWhileOpen& operator=(const ArrowCursorWhileOpen&) = delete;
};

}  // namespace

TMForm::TMForm(std::vector<std::string> args, app::Folders folders, QWidget* parent)
    : QWidget(parent), args_(std::move(args)), folders_(std::move(folders)) {
  buildControls();
  FormCreate();
}

TMForm::~TMForm() {
  while (busyDepth_ > 0) setBusy(false);
  // The host's window object would take this window's own with it when it goes.
  if (QWindow* own = windowHandle(); own && host_) own->setParent(nullptr);
}

void TMForm::buildControls() {
  setWindowTitle(QStringLiteral("Exportar e importar datos entre Quorvia y Sendaro"));
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(632, 266);
  setFont(windowFont());
  setHelpContext(this, kMainHelpContext);

  const QColor amber(249, 211, 125);
  const QColor cream(255, 238, 221);
  Draw3D2 = new GradientPanel(amber, Qt::white, cream, this);
  Draw3D2->setGeometry(1, 0, 315, 169);
  Label3 = makeLabel(QStringLiteral("Transformar datos desde Sendaro hacia Quorvia "), Draw3D2, {24, 24, 265, 57},
                     titleFont());
  Label3->setWordWrap(true);
  BExportar = makeButton(QStringLiteral("Aceptar"), Draw3D2, {96, 120, 89, 25});

  Draw3D3 = new GradientPanel(amber, Qt::white, cream, this);
  Draw3D3->setGeometry(316, 0, 317, 169);
  Label4 = makeLabel(QStringLiteral("Transformar datos desde Quorvia hacia Sendaro"), Draw3D3, {8, 24, 305, 57},
                     titleFont());
  Label4->setWordWrap(true);
  BImportar = makeButton(QStringLiteral("Aceptar"), Draw3D3, {96, 120, 89, 25});

  Draw3D1 = new GradientPanel(QColor(194, 205, 254), QColor(207, 242, 254), QColor(204, 216, 230), this);
  Draw3D1->setGeometry(0, 168, 633, 97);
  BClose = makeButton(QStringLiteral("&Salir"), Draw3D1, {256, 32, 89, 25});
  Button1 = makeButton(QStringLiteral("F1 Ayuda"), Draw3D1, {264, 64, 75, 25});
  QFont boldFont = windowFont();
  boldFont.setBold(true);
  Label1 = makeLabel(QStringLiteral("Mudalinx para TX15 V-1.0"), Draw3D1, {8, 72, 230, 13}, boldFont);
  QPalette red = Label1->palette();
  red.setColor(QPalette::WindowText, Qt::red);
  Label1->setPalette(red);

  const QIcon ok = style()->standardIcon(QStyle::SP_DialogOkButton);
  BExportar->setIcon(ok);
  BImportar->setIcon(ok);
  BClose->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));

  for (QWidget* widget : {static_cast<QWidget*>(Draw3D1), static_cast<QWidget*>(Draw3D2),
                          static_cast<QWidget*>(Draw3D3), static_cast<QWidget*>(BExportar),
                          static_cast<QWidget*>(BImportar), static_cast<QWidget*>(BClose),
                          static_cast<QWidget*>(Button1)}) {
    setHelpContext(widget, kMainHelpContext);
  }
  // Bottom panel first (Salir, F1 Ayuda), then the export panel, then the import panel.
  setTabOrder(BClose, Button1);
  setTabOrder(Button1, BExportar);
  setTabOrder(BExportar, BImportar);
  BClose->setFocus(Qt::OtherFocusReason);

  OpenDialogXML = new QFileDialog(this, QStringLiteral("Archivo XML"));
  OpenDialogXML->setOption(QFileDialog::DontUseNativeDialog);
  OpenDialogXML->setAcceptMode(QFileDialog::AcceptOpen);
  OpenDialogXML->setFileMode(QFileDialog::AnyFile);
  OpenDialogXML->setNameFilter(QStringLiteral("*.xml"));
  OpenDialogXML->setDefaultSuffix(QStringLiteral("xml"));
  OpenDialogXML->resize(760, 460);

  connect(BExportar, &QPushButton::clicked, this, &TMForm::BExportarClick);
  connect(BImportar, &QPushButton::clicked, this, &TMForm::BImportarClick);
  connect(BClose, &QPushButton::clicked, this, &QWidget::close);
  connect(Button1, &QPushButton::clicked, this, &TMForm::Button1Click);
  auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
  f1->setContext(Qt::WindowShortcut);
  connect(f1, &QShortcut::activated, this, &TMForm::helpRequested);

  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
}

void TMForm::FormCreate() {
  commandLine_ = app::parseCommandLine(args_);
  if (args_.size() != 2) return;
  if (!commandLine_.embedded()) {
    showMessageBox(this, QString::fromStdString(commandLine_.handleError));
    return;
  }
  embedIn(*commandLine_.hostWindow, args_[1]);
}

void TMForm::embedIn(std::uint32_t handle, const std::string& handleText) {
  host_.reset(adoptHostWindow(handle));
  if (!host_) {
    showMessageBox(this, QString::fromStdString("No se puede colocar la ventana dentro de la ventana $" + handleText +
                                                " del programa que ha abierto Mudalinx: esa ventana no existe"));
    return;
  }
  setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
  setFixedSize(632, 266);
  winId();
  windowHandle()->setParent(host_.get());
  move(0, 0);
  session_.embedded = true;
  watchHostWindow(handle, this, [this] { hostWindowGone(); });
}

void TMForm::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (shown_) return;
  shown_ = true;
  // Right after the window is shown, from the event loop: the job's own dialogs are modal.
  QMetaObject::invokeMethod(this, &TMForm::FormShow, Qt::QueuedConnection);
}

void TMForm::FormShow() {
  if (args_.size() != 2 || closeHandled_) return;
  if (commandLine_.action == app::Action::Import) runJob(&app::runImport);
  if (commandLine_.action == app::Action::Export) runJob(&app::runExport);
}

void TMForm::closeEvent(QCloseEvent* event) {
  if (!closeHandled_) {
    closeHandled_ = true;
    FormClose();
  }
  event->accept();
  emit formClosed();
}

void TMForm::FormClose() {
  if (!session_.embedded) return;
  runShowingErrors(this, [this] {
    app::writeIniValue(iniFile(), "Transformadores", "Transformado", std::to_string(session_.outcome));
  });
}

void TMForm::hostWindowGone() {
  leaving_ = true;
  if (!closeHandled_) {
    closeHandled_ = true;
    FormClose();
  }
  emit formClosed();
  // Leaves every event loop, a dialog's included; the job then stops on its own.
  QCoreApplication::exit(0);
}

void TMForm::BExportarClick() { runJob(&app::runExport); }

void TMForm::BImportarClick() { runJob(&app::runImport); }

void TMForm::runJob(Job job) {
  exchange::Report report;
  runShowingErrors(this, [&] { job(session_, *this, folders_, report); });
  while (busyDepth_ > 0) setBusy(false);
}

void TMForm::Button1Click() {
  runShowingErrors(this, [this] { showHelpContents(this, helpFile()); });
}

void TMForm::helpRequested() {
  const int context = helpContextOf(QApplication::focusWidget(), kMainHelpContext);
  runShowingErrors(this, [this, context] { showHelpContext(this, helpFile(), context); });
}

std::filesystem::path TMForm::helpFile() const { return folders_.program / "SENDARO.chm"; }

std::filesystem::path TMForm::iniFile() const { return folders_.program / "Quorvia.ini"; }

std::optional<std::filesystem::path> TMForm::chooseFile() {
  if (leaving_ || OpenDialogXML->exec() != QDialog::Accepted) return std::nullopt;
  const QStringList files = OpenDialogXML->selectedFiles();
  if (files.isEmpty()) return std::nullopt;
  return std::filesystem::path(QFile::encodeName(files.front()).toStdString());
}

void TMForm::showMessage(const std::string& text) {
  if (leaving_) return;
  showMessageBox(this, QString::fromStdString(text));
}

void TMForm::setBusy(bool on) {
  if (on) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ++busyDepth_;
  } else if (busyDepth_ > 0) {
    QApplication::restoreOverrideCursor();
    --busyDepth_;
  }
}

exporter::FrameMarking TMForm::chooseFrames(const exchange::Document& doc) {
  if (leaving_) throw std::runtime_error("Se ha cerrado la ventana del programa que abrió Mudalinx");
  ArrowCursorWhileOpen arrow;
  TPlantillas dialog(doc, this);
  dialog.exec();
  return dialog.marking();
}

void TMForm::showFinished(const exchange::Report& report) {
  if (leaving_) return;
  showMessageBox(this, QStringLiteral("Proceso finalizado"), QString::fromStdString(report.text()));
}

void TMForm::disableJobs() {
  BExportar->setEnabled(false);
  BImportar->setEnabled(false);
}

void TMForm::closeWindow() { close(); }

}  // namespace mudalinx::gui
