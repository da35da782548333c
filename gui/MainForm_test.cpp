#include "gui/MainForm.h"

#include <QApplication>
#include <ostream>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <algorithm>

#include "gui/GradientPanel.h"
#include "gui/HelpViewer.h"
#include "gui/gui_test_support.h"
#include "gui/message_box.h"

namespace mudalinx::gui {
namespace {

namespace fs = std::filesystem;
using testing::clearMessages;
using testing::freshFolder;
using testing::onNextModal;
using testing::shownMessages;
using testing::typeIntoFileDialog;

const fs::path kTestData = MUDALINX_TESTDATA;
const fs::path kBinDir = MUDALINX_BIN_DIR;

std::vector<QString> messageTexts() {
  std::vector<QString> texts;
  for (const testing::ShownMessage& message : shownMessages()) texts.push_back(message.text);
  return texts;
}

// Answers the open dialog with FILE, or cancels it when FILE is empty.
void answerFileDialog(const fs::path& file) {
  onNextModal("QFileDialog", [file](QWidget* widget) {
    auto* dialog = static_cast<QFileDialog*>(widget);
    if (file.empty()) {
      dialog->reject();
      return;
    }
    typeIntoFileDialog(dialog, file);
  });
}

class MainFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    clearMessages();
    folders_.workspace = freshFolder("ktemp");
    folders_.program = freshFolder("programa");
  }
  void TearDown() override {
    fs::remove_all(folders_.workspace);
    fs::remove_all(folders_.program);
  }
  // A program folder as installed: the level table and the help beside the program.
  void installProgramFiles() {
    for (const char* name : {"NIVELEX.DBF", "SENDARO.chm", "SENDARO.ctx"}) {
      if (!fs::exists(kBinDir / name)) GTEST_SKIP() << name << " no está construido en " << kBinDir;
      fs::copy_file(kBinDir / name, folders_.program / name);
    }
  }

  app::Folders folders_;
};

TEST_F(MainFormTest, ControlsStandWhereTheLayoutPutsThem) {
  TMForm form({}, folders_);
  EXPECT_EQ(form.windowTitle(), QStringLiteral("Exportar e importar datos entre Quorvia y Sendaro"));
  EXPECT_EQ(form.size(), QSize(632, 266));
  EXPECT_EQ(form.minimumSize(), form.maximumSize());
  EXPECT_FALSE(form.windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_EQ(form.font().pixelSize(), 11);

  struct Placed {
    const char* name;
    QWidget* widget;
    QWidget* parent;
    QRect geometry;
  };
  const Placed placed[] = {
      {"Draw3D2", form.Draw3D2, &form, {1, 0, 315, 169}},      {"Label3", form.Label3, form.Draw3D2, {24, 24, 265, 57}},
      {"BExportar", form.BExportar, form.Draw3D2, {96, 120, 89, 25}},
      {"Draw3D3", form.Draw3D3, &form, {316, 0, 317, 169}},    {"Label4", form.Label4, form.Draw3D3, {8, 24, 305, 57}},
      {"BImportar", form.BImportar, form.Draw3D3, {96, 120, 89, 25}},
      {"Draw3D1", form.Draw3D1, &form, {0, 168, 633, 97}},     {"BClose", form.BClose, form.Draw3D1, {256, 32, 89, 25}},
      {"Button1", form.Button1, form.Draw3D1, {264, 64, 75, 25}},
      {"Label1", form.Label1, form.Draw3D1, {8, 72, 230, 13}},
  };
  for (const Placed& p : placed) {
    SCOPED_TRACE(p.name);
    EXPECT_EQ(p.widget->parentWidget(), p.parent);
    EXPECT_EQ(p.widget->geometry(), p.geometry);
  }

  struct Captioned {
    QString text;
    QString shown;
  };
  const Captioned captions[] = {
      {form.Label3->text(), QStringLiteral("Transformar datos desde Sendaro hacia Quorvia ")},
      {form.Label4->text(), QStringLiteral("Transformar datos desde Quorvia hacia Sendaro")},
      {form.Label1->text(), QStringLiteral("Mudalinx para TX15 V-1.0")},
      {form.BExportar->text(), QStringLiteral("Aceptar")},
      {form.BImportar->text(), QStringLiteral("Aceptar")},
      {form.BClose->text(), QStringLiteral("&Salir")},
      {form.Button1->text(), QStringLiteral("F1 Ayuda")},
  };
  for (const Captioned& c : captions) EXPECT_EQ(c.text, c.shown);

  for (QLabel* label : {form.Label3, form.Label4}) {
    EXPECT_EQ(label->font().family(), QStringLiteral("Arial"));
    EXPECT_EQ(label->font().pixelSize(), 16);
    EXPECT_TRUE(label->font().bold());
    EXPECT_TRUE(label->wordWrap());
  }
  EXPECT_TRUE(form.Label1->font().bold());
  EXPECT_EQ(form.Label1->palette().color(QPalette::WindowText), QColor(Qt::red));
  EXPECT_FALSE(form.BExportar->icon().isNull());
  EXPECT_FALSE(form.BImportar->icon().isNull());

  EXPECT_EQ(form.Draw3D2->startColor(), QColor(249, 211, 125));
  EXPECT_EQ(form.Draw3D2->middleColor(), QColor(Qt::white));
  EXPECT_EQ(form.Draw3D2->endColor(), QColor(255, 238, 221));
  EXPECT_EQ(form.Draw3D1->startColor(), QColor(194, 205, 254));
  EXPECT_EQ(form.Draw3D1->middleColor(), QColor(207, 242, 254));
  EXPECT_EQ(form.Draw3D1->endColor(), QColor(204, 216, 230));

  EXPECT_EQ(form.OpenDialogXML->windowTitle(), QStringLiteral("Archivo XML"));
  EXPECT_EQ(form.OpenDialogXML->nameFilters(), QStringList{QStringLiteral("*.xml")});
  EXPECT_EQ(form.OpenDialogXML->defaultSuffix(), QStringLiteral("xml"));
  EXPECT_TRUE(form.OpenDialogXML->testOption(QFileDialog::DontUseNativeDialog));

  for (QPushButton* button : {form.BExportar, form.BImportar, form.BClose, form.Button1}) {
    EXPECT_TRUE(button->isEnabled());
  }
}

TEST_F(MainFormTest, TabGoesFromTheBottomPanelToExportThenImport) {
  TMForm form({}, folders_);
  form.show();
  form.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  form.BClose->setFocus();
  const std::vector<QWidget*> order = {form.Button1, form.BExportar, form.BImportar, form.BClose};
  for (QWidget* expected : order) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), expected) << expected->objectName().toStdString();
  }
  form.close();
}

struct CommandLineCase {
  const char* title;
  std::vector<std::string> args;
  std::vector<QString> messages;  // in order, with the open dialog cancelled when it comes
};

// Test names then carry the case's title instead of a dump of its bytes.
void PrintTo(const CommandLineCase& c, std::ostream* out) { *out << c.title; }

class CommandLineTest : public MainFormTest, public ::testing::WithParamInterface<CommandLineCase> {};

// The offscreen platform has no foreign windows: a valid handle is reported and the window
// stays an ordinary one, as with a handle that is not hexadecimal.
const QString kNoHost = QStringLiteral(
    "No se puede colocar la ventana dentro de la ventana $1a2b del programa que ha abierto Mudalinx: esa ventana no "
    "existe");
const QString kNoFile = QStringLiteral("No existe archivo");

INSTANTIATE_TEST_SUITE_P(
    Arguments, CommandLineTest,
    ::testing::Values(CommandLineCase{"ninguno", {}, {}},
                      CommandLineCase{"mayusculas", {"EXPORTAR", "1a2b"}, {kNoHost, kNoFile}},
                      CommandLineCase{"importar", {"Importar", "1a2b"}, {kNoHost, kNoFile}},
                      CommandLineCase{"desconocida", {"abrir", "1a2b"}, {kNoHost}},
                      CommandLineCase{"manejador_malo", {"exportar", "12zz"},
                                      {QStringLiteral("'$12zz' no es un valor entero válido"), kNoFile}},
                      CommandLineCase{"tres", {"exportar", "1a2b", "x"}, {}},
                      CommandLineCase{"uno", {"exportar"}, {}}),
    [](const ::testing::TestParamInfo<CommandLineCase>& info) { return std::string(info.param.title); });

TEST_P(CommandLineTest, StandaloneWindowRunsTheActionWordAndWritesNothing) {
  const CommandLineCase& c = GetParam();
  if (std::find(c.messages.begin(), c.messages.end(), kNoFile) != c.messages.end()) answerFileDialog({});
  {
    TMForm form(c.args, folders_);
    EXPECT_FALSE(form.session().embedded);
    EXPECT_TRUE(form.windowFlags() & Qt::WindowTitleHint);
    form.show();
    QTest::qWait(300);
    EXPECT_EQ(messageTexts(), c.messages);
    EXPECT_TRUE(form.isVisible()) << "sólo una ventana incrustada se cierra sola";
    EXPECT_TRUE(form.BExportar->isEnabled());
    form.close();
  }
  EXPECT_FALSE(fs::exists(folders_.program / "Quorvia.ini"));
}

TEST_F(MainFormTest, FinishedExportDisablesBothJobsAndOffersTheReport) {
  installProgramFiles();
  if (IsSkipped()) return;
  TMForm form({}, folders_);
  form.show();
  answerFileDialog(kTestData / "un_marco.xml");
  form.BExportar->click();
  ASSERT_EQ(messageTexts(), std::vector<QString>{QStringLiteral("Proceso finalizado")});
  EXPECT_FALSE(shownMessages().front().details.isEmpty());
  EXPECT_FALSE(form.BExportar->isEnabled());
  EXPECT_FALSE(form.BImportar->isEnabled());
  EXPECT_TRUE(form.BClose->isEnabled());
  EXPECT_TRUE(form.Button1->isEnabled());
  EXPECT_EQ(form.session().outcome, 1);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  for (const char* table : {"ASIGNOMT.DBF", "PROFT.DBF", "AULAT.DBF", "CURSOST.DBF", "GRUPOST.DBF", "ASIGT.DBF",
                            "DIASHORAST.DBF", "PERIODOS.DBF"}) {
    EXPECT_TRUE(fs::exists(folders_.workspace / table)) << table;
  }
  EXPECT_TRUE(form.isVisible());
}

TEST_F(MainFormTest, JobThatStopsLeavesTheButtonsEnabled) {
  installProgramFiles();
  if (IsSkipped()) return;
  TMForm form({}, folders_);
  form.show();

  answerFileDialog(kTestData / "roto.xml");
  form.BExportar->click();
  ASSERT_EQ(shownMessages().size(), 1u);
  EXPECT_NE(shownMessages()[0].text, QStringLiteral("Proceso finalizado"));
  EXPECT_FALSE(shownMessages()[0].text.isEmpty());
  EXPECT_TRUE(form.BExportar->isEnabled());
  EXPECT_TRUE(form.BImportar->isEnabled());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);

  // Cancelling now uses the earlier choice again: the same error, not "No existe archivo".
  answerFileDialog({});
  form.BExportar->click();
  ASSERT_EQ(shownMessages().size(), 2u);
  EXPECT_EQ(shownMessages()[1].text, shownMessages()[0].text);
  EXPECT_EQ(form.session().outcome, 0);
}

TEST_F(MainFormTest, MissingLevelTableStopsTheExport) {
  TMForm form({}, folders_);
  form.show();
  answerFileDialog(kTestData / "un_marco.xml");
  form.BExportar->click();
  EXPECT_EQ(messageTexts(),
            std::vector<QString>{QStringLiteral("ATENCIÓN - NIVELEX.DBF No encontrado - Reinstale MUDALINX")});
  EXPECT_TRUE(form.BExportar->isEnabled());
  EXPECT_TRUE(fs::is_empty(folders_.workspace));
}

TEST_F(MainFormTest, F1ShowsTheTopicOfContextThreeAndTheButtonTheContents) {
  installProgramFiles();
  if (IsSkipped()) return;
  TMForm form({}, folders_);
  form.show();
  form.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  form.BImportar->setFocus();
  QTest::keyClick(form.BImportar, Qt::Key_F1);
  HelpViewer* viewer = existingHelpViewer();
  ASSERT_NE(viewer, nullptr) << (shownMessages().empty() ? "" : shownMessages()[0].text.toStdString());
  EXPECT_EQ(viewer->currentPage(), QStringLiteral("principal.htm"));
  EXPECT_TRUE(viewer->isVisible());

  viewer->showPage(QStringLiteral("mensajes.htm"));
  form.Button1->click();
  EXPECT_EQ(viewer->currentPage(), QStringLiteral("principal.htm"));
  EXPECT_TRUE(viewer->contentsTree()->isVisible());
  EXPECT_TRUE(shownMessages().empty());
  viewer->close();
}

TEST_F(MainFormTest, MissingHelpFileIsReported) {
  TMForm form({}, folders_);
  form.Button1->click();
  ASSERT_EQ(shownMessages().size(), 1u);
  EXPECT_TRUE(shownMessages()[0].text.startsWith(QStringLiteral("No se encuentra el archivo de ayuda ")));
  EXPECT_TRUE(shownMessages()[0].text.contains(QStringLiteral("SENDARO.chm")));
}

// The real box, not the recorder: title, one OK button, the report behind the toggle.
TEST_F(MainFormTest, FinishedBoxKeepsOkFocusedAndTheReportAsDetails) {
  setMessageHandler({});
  bool inspected = false;
  onNextModal("QMessageBox", [&inspected](QWidget* widget) {
    auto* box = static_cast<QMessageBox*>(widget);
    QTest::qWait(50);
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Mudalinx"));
    EXPECT_EQ(box->text(), QStringLiteral("Proceso finalizado"));
    EXPECT_EQ(box->detailedText(), QStringLiteral("ASIGNOMT: 3 filas"));
    EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
    EXPECT_EQ(QApplication::focusWidget(), box->button(QMessageBox::Ok));
    inspected = true;
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  });
  QWidget parent;
  showMessageBox(&parent, QStringLiteral("Proceso finalizado"), QStringLiteral("ASIGNOMT: 3 filas"));
  setMessageHandler([](QWidget*, const QString& text, const QString& details) {
    shownMessages().push_back({text, details});
  });
  EXPECT_TRUE(inspected);
}

}  // namespace
}  // namespace mudalinx::gui
