#include "gui/GradientPanel.h"

#include <QLinearGradient>
#include <QPainter>

namespace mudalinx::gui {

GradientPanel::GradientPanel(QColor start, QColor middle, QColor end, QWidget* parent)
    : QWidget(parent), start_(start), middle_(middle), end_(end) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void GradientPanel::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  QLinearGradient gradient(rect().topLeft(), rect().bottomLeft());
  gradient.setColorAt(0.0, start_);
  gradient.setColorAt(0.5, middle_);
  gradient.setColorAt(1.0, end_);
  painter.fillRect(rect(), gradient);
}

}  // namespace mudalinx::gui
