// A panel painted with a vertical gradient from a start colour over a middle colour to an
// end colour: the coloured background of the program's windows.
#pragma once

#include <QColor>
#include <QWidget>

namespace mudalinx::gui {

class GradientPanel : public QWidget {
  Q_OBJECT

 public:
  GradientPanel(QColor start, QColor middle, QColor end, QWidget* parent = nullptr);

  QColor startColor() const { return start_; }
  QColor middleColor() const { return middle_; }
  QColor endColor() const { return end_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor start_;
  QColor middle_;
  QColor end_;
};

}  // namespace mudalinx::gui
