// The frame-selection dialog `Plantillas`: the user marks one or two of the document's
// school-day frames ("Marcos Horarios") and looks at each one's name, dates and slots.
#pragma once

#include <QDialog>

#include <string>
#include <vector>

#include "exchange/document.h"
#include "export/frame_choice.h"

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace mudalinx::gui {

class GradientPanel;

class TPlantillas : public QDialog {
  Q_OBJECT

 public:
  // DOC is the export run's loaded document; it must outlive the dialog.
  TPlantillas(const exchange::Document& doc, QWidget* owner);

  GradientPanel* Draw3D4;
  QLabel* LabelPlantillas;
  QLabel* LabelSelec;
  QLabel* LabelMarcos;
  QLabel* Label1;
  QListWidget* ListBox2;  // the frame codes, several can be marked
  QListWidget* ListBox1;  // the slot names of the frame on show
  QLabel* LabelNombre;
  QLabel* LabelPlanFec1;
  QLabel* LabelPlanFec2;
  QComboBox* ComboBoxPlantilla;  // never shown: its current entry is the frame on show
  QPushButton* BitBtnContinuar;

  // The verdict of the closing (Windows-1252 codes, 10 characters each).
  std::string CodigosMarcos;
  bool SeleccionValida = false;
  exporter::FrameMarking marking() const { return {CodigosMarcos, SeleccionValida}; }

  void FormActivate();
  void ListBox2Click();
  void ComboBoxPlantillaChange();
  void BitBtnContinuarClick();

  // Every way of closing passes here: Continuar, the close box, Escape.
  void done(int result) override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void buildControls();
  void FormClose();

  const exchange::Document& doc_;
  std::vector<exporter::FrameEntry> frames_;  // as the lists show them, Windows-1252
  bool activated_ = false;
  bool closed_ = false;
};

}  // namespace mudalinx::gui
