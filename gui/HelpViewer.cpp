#include "gui/HelpViewer.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPointer>
#include <QSplitter>
#include <QTextDocumentFragment>
#include <QTreeWidget>
#include <QUrl>

#include <stdexcept>

#include "gui/sitemap.h"

namespace mudalinx::gui {
namespace {

constexpr const char* kScheme = "chm";
constexpr int kPageRole = Qt::UserRole;

QUrl pageUrl(const QString& page) {
  QUrl url;
  url.setScheme(QString::fromLatin1(kScheme));
  url.setPath(page.startsWith(QLatin1Char('/')) ? page : QLatin1Char('/') + page);
  return url;
}

// Names in sitemap files carry character references (&eacute;).
QString decodedName(const std::string& name) {
  return QTextDocumentFragment::fromHtml(QString::fromUtf8(name)).toPlainText();
}

QPointer<HelpViewer>& theViewer() {
  static QPointer<HelpViewer> viewer;
  return viewer;
}

}  // namespace

ChmBrowser::ChmBrowser(std::shared_ptr<const ChmFile> chm, QWidget* parent)
    : QTextBrowser(parent), chm_(std::move(chm)) {
  setOpenExternalLinks(false);
}

QVariant ChmBrowser::loadResource(int type, const QUrl& name) {
  if (name.scheme() != QLatin1String(kScheme)) return QTextBrowser::loadResource(type, name);
  const std::optional<std::string> bytes = chm_->read(name.path().toStdString());
  if (!bytes) return {};
  return QByteArray(bytes->data(), static_cast<qsizetype>(bytes->size()));
}

HelpViewer::HelpViewer(const std::filesystem::path& helpFile, QWidget* parent)
    : QWidget(parent, Qt::Window),
      chm_(std::make_shared<const ChmFile>(helpFile)),
      contexts_(readHelpContexts(helpFile)),
      browser_(new ChmBrowser(chm_)),
      contents_(new QTreeWidget) {
  setWindowTitle(QStringLiteral("Ayuda de Mudalinx"));
  contents_->setHeaderHidden(true);
  contents_->setColumnCount(1);

  auto* splitter = new QSplitter(Qt::Horizontal);
  splitter->addWidget(contents_);
  splitter->addWidget(browser_);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({260, 620});
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(splitter);
  resize(880, 580);

  fillContents();
  connect(contents_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
    const QString page = item->data(0, kPageRole).toString();
    if (!page.isEmpty()) showPage(page);
  });
  connect(contents_, &QTreeWidget::itemClicked, contents_, &QTreeWidget::itemActivated);
  // Links followed inside the browser change the page without passing through showPage.
  connect(browser_, &QTextBrowser::sourceChanged, this, &HelpViewer::markCurrentInContents);
  connect(browser_, &QTextBrowser::historyChanged, this, &HelpViewer::markCurrentInContents);
}

void HelpViewer::fillContents() {
  if (chm_->contentsFile().empty()) return;
  const std::optional<std::string> hhc = chm_->read(chm_->contentsFile());
  if (!hhc) return;
  addEntries(parseSitemap(*hhc), nullptr);
  contents_->expandAll();
}

void HelpViewer::addEntries(const std::vector<SitemapEntry>& entries, QTreeWidgetItem* parent) {
  for (const SitemapEntry& entry : entries) {
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(contents_);
    item->setText(0, decodedName(entry.name));
    item->setData(0, kPageRole, QString::fromUtf8(entry.local));
    addEntries(entry.children, item);
  }
}

void HelpViewer::showContents() {
  QString page = QString::fromUtf8(chm_->defaultTopic());
  if (page.isEmpty() && contents_->topLevelItemCount() > 0) {
    page = contents_->topLevelItem(0)->data(0, kPageRole).toString();
  }
  contents_->setVisible(true);
  showPage(page);
}

void HelpViewer::showContext(int number) {
  const auto found = contexts_.find(number);
  if (found == contexts_.end()) {
    throw std::runtime_error("La ayuda no tiene el tema número " + std::to_string(number));
  }
  showPage(QString::fromStdString(found->second));
}

void HelpViewer::showPage(const QString& page) {
  if (!chm_->read(page.toStdString())) {
    throw std::runtime_error("La página " + page.toStdString() + " no está en el archivo de ayuda " +
                             chm_->file().string());
  }
  browser_->setSource(pageUrl(page), QTextDocument::HtmlResource);
}

QString HelpViewer::currentPage() const {
  QString path = browser_->source().path();
  if (path.startsWith(QLatin1Char('/'))) path.remove(0, 1);
  return path;
}

void HelpViewer::markCurrentInContents() {
  const QString page = currentPage();
  for (QTreeWidgetItemIterator it(contents_); *it; ++it) {
    if ((*it)->data(0, kPageRole).toString() == page) {
      contents_->setCurrentItem(*it);
      return;
    }
  }
}

HelpViewer* sharedHelpViewer(const std::filesystem::path& helpFile) {
  QPointer<HelpViewer>& viewer = theViewer();
  if (viewer && viewer->helpFile() != helpFile) {
    delete viewer.data();
  }
  if (!viewer) {
    viewer = new HelpViewer(helpFile);
    viewer->setAttribute(Qt::WA_DeleteOnClose);
    // Not owned by any window: it goes with the process.
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, qApp, [window = viewer] { delete window.data(); });
  }
  return viewer.data();
}

HelpViewer* existingHelpViewer() { return theViewer().data(); }

}  // namespace mudalinx::gui
