#include "gui/Plantihoras.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>

#include "exchange/text.h"
#include "gui/GradientPanel.h"
#include "gui/MainForm.h"
#include "gui/message_box.h"

namespace mudalinx::gui {
namespace {

QString fromWindows1252(const std::string& text) { return QString::fromStdString(exchange::win1252ToUtf8(text)); }

QFont arialFont(int pixels, bool italic = false, bool underline = false) {
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(pixels);
  font.setBold(true);
  font.setItalic(italic);
  font.setUnderline(underline);
  return font;
}

QLabel* makeLabel(const QString& text, QWidget* parent, QRect geometry, const QFont& font, QColor color) {
  auto* label = new QLabel(text, parent);
  label->setGeometry(geometry);
  label->setFont(font);
  label->setWordWrap(true);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, color);
  label->setPalette(palette);
  return label;
}

QListWidget* makeList(QWidget* parent, QRect geometry, QAbstractItemView::SelectionMode mode) {
  auto* list = new QListWidget(parent);
  list->setGeometry(geometry);
  list->setSelectionMode(mode);
  list->setUniformItemSizes(true);
  return list;
}

void addRow(QListWidget* list, const QString& text) {
  auto* item = new QListWidgetItem(text, list);
  item->setSizeHint(QSize(0, 13));
}

}  // namespace

TPlantillas::TPlantillas(const exchange::Document& doc, QWidget* owner) : QDialog(owner), doc_(doc) {
  buildControls();
}

void TPlantillas::buildControls() {
  setWindowTitle(QStringLiteral("Planillas, Marcos o Jornadas Horarias"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  QFont font(QStringLiteral("MS Sans Serif"));
  font.setPixelSize(11);
  setFont(font);
  // Outer size 378 x 315 at 424, 285: the client area inside a sizeable frame and a title bar.
  resize(370, 288);
  move(424, 285);

  const QColor maroon(128, 0, 0);
  // Start sky blue, end the classic colour of inactive caption text.
  Draw3D4 = new GradientPanel(QColor(166, 202, 240), Qt::white, QColor(212, 208, 200), this);
  Draw3D4->setGeometry(0, 0, 369, 281);
  Draw3D4->setProperty("helpContext", kMainHelpContext);
  LabelPlantillas = makeLabel(
      QStringLiteral("Seleccione 1, o los 2 Marcos Horarios que quiere aplicar a su Horario en Quorvia."), Draw3D4,
      {16, 2, 321, 33}, arialFont(13), palette().color(QPalette::WindowText));
  LabelSelec = makeLabel(QStringLiteral("Para seleccionar mas de un Marco Horario, mantenga (Ctrl) pulsado y "
                                        "seleccione cada marco con 1 click del botón izquierdo del ratón."),
                         Draw3D4, {16, 36, 321, 50}, arialFont(13, true), Qt::red);
  LabelMarcos = makeLabel(QStringLiteral("MARCOS"), Draw3D4, {40, 86, 74, 16}, arialFont(16), maroon);
  Label1 = makeLabel(QStringLiteral("HORAS"), Draw3D4, {215, 86, 67, 18}, arialFont(16), maroon);
  ListBox2 = makeList(Draw3D4, {16, 103, 127, 45}, QAbstractItemView::ExtendedSelection);
  ListBox1 = makeList(Draw3D4, {152, 103, 193, 146}, QAbstractItemView::SingleSelection);
  LabelNombre = makeLabel(QStringLiteral("-"), Draw3D4, {9, 151, 120, 41}, arialFont(16, false, true), maroon);
  LabelPlanFec1 = makeLabel(QStringLiteral("-"), Draw3D4, {9, 196, 120, 23}, arialFont(16), maroon);
  LabelPlanFec2 = makeLabel(QStringLiteral("-"), Draw3D4, {9, 226, 120, 23}, arialFont(16), maroon);

  ComboBoxPlantilla = new QComboBox(Draw3D4);
  ComboBoxPlantilla->setGeometry(150, 254, 81, 21);
  QFont comboFont = font;
  comboFont.setBold(true);
  ComboBoxPlantilla->setFont(comboFont);
  ComboBoxPlantilla->setStyleSheet(QStringLiteral("QComboBox { background: yellow; }"));
  ComboBoxPlantilla->setVisible(false);

  BitBtnContinuar = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("Continuar"),
                                    Draw3D4);
  BitBtnContinuar->setGeometry(255, 253, 89, 25);
  BitBtnContinuar->setFont(comboFont);
  BitBtnContinuar->setDefault(true);
  BitBtnContinuar->setProperty("helpContext", kMainHelpContext);

  setTabOrder(BitBtnContinuar, ComboBoxPlantilla);
  setTabOrder(ComboBoxPlantilla, ListBox1);
  setTabOrder(ListBox1, ListBox2);

  connect(ListBox2, &QListWidget::itemClicked, this, &TPlantillas::ListBox2Click);
  connect(ListBox2, &QListWidget::currentRowChanged, this, &TPlantillas::ListBox2Click);
  connect(BitBtnContinuar, &QPushButton::clicked, this, &TPlantillas::BitBtnContinuarClick);

  // F1 opens the main window's help topic, through the main window when there is one.
  auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
  f1->setContext(Qt::WindowShortcut);
  connect(f1, &QShortcut::activated, this, [this] {
    if (auto* form = qobject_cast<TMForm*>(parentWidget())) form->helpRequested();
  });
}

void TPlantillas::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (activated_) return;
  activated_ = true;
  FormActivate();
}

void TPlantillas::FormActivate() {
  const std::vector<exporter::FrameEntry> frames = exporter::listFrames(doc_);
  if (frames.size() > 1) {
    frames_ = frames;
    const QSignalBlocker blockList(ListBox2);
    ComboBoxPlantilla->clear();
    ListBox2->clear();
    for (const exporter::FrameEntry& frame : frames_) {
      ComboBoxPlantilla->addItem(fromWindows1252(frame.code));
      addRow(ListBox2, fromWindows1252(frame.code));
    }
    ListBox2->clearSelection();
  }
  ComboBoxPlantilla->setCurrentIndex(0);
  ComboBoxPlantillaChange();
}

void TPlantillas::ListBox2Click() {
  ComboBoxPlantilla->setCurrentIndex(ListBox2->currentRow());
  ComboBoxPlantillaChange();
}

void TPlantillas::ComboBoxPlantillaChange() {
  LabelNombre->setText(QStringLiteral("-"));
  LabelNombre->setToolTip({});
  LabelPlanFec1->setText(QStringLiteral("-"));
  LabelPlanFec2->setText(QStringLiteral("-"));
  const int current = ComboBoxPlantilla->currentIndex();
  if (current < 0 || static_cast<std::size_t>(current) >= frames_.size()) return;
  const std::string& code = frames_[static_cast<std::size_t>(current)].code;
  // Of two frames with the same code the later one is shown.
  for (const exporter::FrameEntry& frame : frames_) {
    if (frame.code != code) continue;
    LabelNombre->setText(fromWindows1252(frame.name));
    // The label keeps its size: a long name is cut, the whole one is in the tip.
    LabelNombre->setToolTip(LabelNombre->text());
    LabelPlanFec1->setText(fromWindows1252(frame.start));
    LabelPlanFec2->setText(fromWindows1252(frame.end));
  }
  ListBox1->clear();
  for (const std::string& slot : exporter::slotNamesOfFrame(doc_, code)) addRow(ListBox1, fromWindows1252(slot));
}

void TPlantillas::BitBtnContinuarClick() { accept(); }

void TPlantillas::done(int result) {
  if (!closed_) {
    closed_ = true;
    FormClose();
  }
  QDialog::done(result);
}

void TPlantillas::FormClose() {
  std::vector<std::string> entries;
  std::vector<bool> marked;
  for (int row = 0; row < ListBox2->count(); ++row) {
    entries.push_back(static_cast<std::size_t>(row) < frames_.size() ? frames_[static_cast<std::size_t>(row)].code
                                                                      : std::string());
    marked.push_back(ListBox2->item(row)->isSelected());
  }
  const exporter::FrameVerdict verdict = exporter::judgeMarking(entries, marked);
  if (verdict.message) showMessageBox(this, QString::fromStdString(*verdict.message));
  CodigosMarcos = verdict.marking.CodigosMarcos;
  SeleccionValida = verdict.marking.SeleccionValida;
}

}  // namespace mudalinx::gui
