#include "gui/Plantihoras.h"

#include <ostream>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "gui/GradientPanel.h"
#include "gui/HelpViewer.h"
#include "gui/MainForm.h"
#include "gui/gui_test_support.h"

namespace mudalinx::gui {
namespace {

namespace fs = std::filesystem;
using testing::clearMessages;
using testing::onNextModal;
using testing::shownMessages;

const fs::path kTestData = MUDALINX_TESTDATA;

QStringList rows(const QListWidget* list) {
  QStringList texts;
  for (int row = 0; row < list->count(); ++row) texts << list->item(row)->text();
  return texts;
}

class PlantillasTest : public ::testing::Test {
 protected:
  void SetUp() override { clearMessages(); }
  exchange::Document doc_ = exchange::Document::load(kTestData / "marcos.xml");
  QWidget owner_;
};

TEST_F(PlantillasTest, ActivationShowsTheFirstFrameWithNothingMarked) {
  TPlantillas dialog(doc_, &owner_);
  dialog.show();
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Planillas, Marcos o Jornadas Horarias"));
  EXPECT_EQ(rows(dialog.ListBox2), (QStringList{"1", "23", "JORNADA_LARGA"}));
  EXPECT_TRUE(dialog.ListBox2->selectedItems().isEmpty());
  EXPECT_EQ(dialog.ListBox2->selectionMode(), QAbstractItemView::ExtendedSelection);
  EXPECT_EQ(dialog.ComboBoxPlantilla->currentText(), QStringLiteral("1"));
  EXPECT_FALSE(dialog.ComboBoxPlantilla->isVisible());
  EXPECT_EQ(dialog.LabelNombre->text(), QStringLiteral("Mañana"));
  EXPECT_EQ(dialog.LabelPlanFec1->text(), QStringLiteral("01/09/2026"));
  EXPECT_EQ(dialog.LabelPlanFec2->text(), QStringLiteral("30/06/2027"));
  // The slot whose frame code carries a leading blank is not one of frame "1".
  EXPECT_EQ(rows(dialog.ListBox1), (QStringList{"Primera", "Segunda"}));
  EXPECT_EQ(dialog.Draw3D4->geometry(), QRect(0, 0, 369, 281));
  EXPECT_EQ(dialog.ListBox2->geometry(), QRect(16, 103, 127, 45));
  EXPECT_EQ(dialog.ListBox1->geometry(), QRect(152, 103, 193, 146));
  EXPECT_EQ(dialog.BitBtnContinuar->geometry(), QRect(255, 253, 89, 25));
  EXPECT_EQ(dialog.BitBtnContinuar->text(), QStringLiteral("Continuar"));
  EXPECT_TRUE(dialog.BitBtnContinuar->isDefault());
  EXPECT_TRUE(shownMessages().empty());
  dialog.hide();
}

TEST_F(PlantillasTest, ClickShowsThatFramesDetailsAndSlots) {
  TPlantillas dialog(doc_, &owner_);
  dialog.show();
  const QRect second = dialog.ListBox2->visualItemRect(dialog.ListBox2->item(1));
  QTest::mouseClick(dialog.ListBox2->viewport(), Qt::LeftButton, {}, second.center());
  EXPECT_EQ(dialog.ComboBoxPlantilla->currentText(), QStringLiteral("23"));
  EXPECT_EQ(dialog.LabelNombre->text(), QStringLiteral("Tarde"));
  EXPECT_EQ(dialog.LabelPlanFec1->text(), QStringLiteral("02/09/2026"));
  EXPECT_EQ(dialog.LabelPlanFec2->text(), QStringLiteral("29/06/2027"));
  EXPECT_EQ(rows(dialog.ListBox1), QStringList{QStringLiteral("Tarde 1ª")});
  EXPECT_TRUE(dialog.ListBox2->item(1)->isSelected());
  dialog.hide();
}

struct MarkingCase {
  const char* title;
  std::vector<int> marked;
  bool valid;
  std::string codes;
  QString message;  // empty: none
};

// Test names then carry the case's title instead of a dump of its bytes.
void PrintTo(const MarkingCase& c, std::ostream* out) { *out << c.title; }

class MarkingTest : public PlantillasTest, public ::testing::WithParamInterface<MarkingCase> {};

INSTANTIATE_TEST_SUITE_P(
    Closing, MarkingTest,
    ::testing::Values(
        MarkingCase{"dos", {0, 1}, true, "1         23        ", {}},
        MarkingCase{"uno_largo", {2}, true, "JORNADA_LA", {}},
        MarkingCase{"ninguno", {}, false, "", QStringLiteral("Debe al menos seleccionar 1 Marco Horario.")},
        MarkingCase{"tres", {0, 1, 2}, false, "1         23        JORNADA_LA",
                    QStringLiteral("Demasiados Marcos Horarios seleccionados.\r\n"
                                   "Como máximo puede seleccionar 2 Marcos Horarios")}),
    [](const ::testing::TestParamInfo<MarkingCase>& info) { return std::string(info.param.title); });

TEST_P(MarkingTest, ContinuarJudgesTheMarking) {
  const MarkingCase& c = GetParam();
  TPlantillas dialog(doc_, &owner_);
  dialog.show();
  for (int row : c.marked) dialog.ListBox2->item(row)->setSelected(true);
  dialog.BitBtnContinuar->click();
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.SeleccionValida, c.valid);
  EXPECT_EQ(dialog.CodigosMarcos, c.codes);
  if (c.message.isEmpty()) {
    EXPECT_TRUE(shownMessages().empty());
  } else {
    ASSERT_EQ(shownMessages().size(), 1u);
    EXPECT_EQ(shownMessages()[0].text, c.message);
  }
}

TEST_F(PlantillasTest, EscapeClosesThroughTheSameJudgement) {
  TPlantillas dialog(doc_, &owner_);
  onNextModal("mudalinx::gui::TPlantillas", [](QWidget* widget) { QTest::keyClick(widget, Qt::Key_Escape); });
  dialog.exec();
  EXPECT_FALSE(dialog.SeleccionValida);
  ASSERT_EQ(shownMessages().size(), 1u);
  EXPECT_EQ(shownMessages()[0].text, QStringLiteral("Debe al menos seleccionar 1 Marco Horario."));
}

TEST(PlantillasHelpTest, F1InTheDialogOpensTheMainTopic) {
  clearMessages();
  const fs::path bin = MUDALINX_BIN_DIR;
  app::Folders folders{testing::freshFolder("ktemp"), testing::freshFolder("programa")};
  for (const char* name : {"SENDARO.chm", "SENDARO.ctx"}) fs::copy_file(bin / name, folders.program / name);
  const exchange::Document doc = exchange::Document::load(kTestData / "marcos.xml");
  {
    TMForm form({}, folders);
    TPlantillas dialog(doc, &form);
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    dialog.ListBox2->setFocus();
    QTest::keyClick(dialog.ListBox2, Qt::Key_F1);
    HelpViewer* viewer = existingHelpViewer();
    ASSERT_NE(viewer, nullptr) << (shownMessages().empty() ? "" : shownMessages()[0].text.toStdString());
    EXPECT_EQ(viewer->currentPage(), QStringLiteral("principal.htm"));
    viewer->close();
    dialog.hide();
  }
  fs::remove_all(folders.workspace);
  fs::remove_all(folders.program);
}

// Through the export run: a closing with nothing marked brings a fresh dialog; the second
// closing, with two frames, lets the run go on.
TEST(PlantillasInExportTest, UnacceptableMarkingBringsAFreshDialog) {
  clearMessages();
  const fs::path bin = MUDALINX_BIN_DIR;
  if (!fs::exists(bin / "NIVELEX.DBF")) GTEST_SKIP() << "NIVELEX.DBF no está construido";
  app::Folders folders{testing::freshFolder("ktemp"), testing::freshFolder("programa")};
  fs::copy_file(bin / "NIVELEX.DBF", folders.program / "NIVELEX.DBF");

  TMForm form({}, folders);
  form.show();
  int dialogs = 0;
  onNextModal("QFileDialog", [&](QWidget* widget) {
    auto* files = static_cast<QFileDialog*>(widget);
    testing::typeIntoFileDialog(files, kTestData / "marcos.xml");
    onNextModal("mudalinx::gui::TPlantillas", [&](QWidget* first) {
      ++dialogs;
      static_cast<TPlantillas*>(first)->BitBtnContinuar->click();
      onNextModal("mudalinx::gui::TPlantillas", [&](QWidget* second) {
        ++dialogs;
        auto* dialog = static_cast<TPlantillas*>(second);
        EXPECT_TRUE(dialog->ListBox2->selectedItems().isEmpty());
        dialog->ListBox2->item(0)->setSelected(true);
        dialog->ListBox2->item(1)->setSelected(true);
        dialog->BitBtnContinuar->click();
      });
    });
  });
  form.BExportar->click();
  EXPECT_EQ(dialogs, 2);
  ASSERT_EQ(shownMessages().size(), 2u);
  EXPECT_EQ(shownMessages()[0].text, QStringLiteral("Debe al menos seleccionar 1 Marco Horario."));
  EXPECT_EQ(shownMessages()[1].text, QStringLiteral("Proceso finalizado"));
  EXPECT_TRUE(fs::exists(folders.workspace / "DIASHORAST2.DBF"));
  form.close();
  fs::remove_all(folders.workspace);
  fs::remove_all(folders.program);
}

}  // namespace
}  // namespace mudalinx::gui
