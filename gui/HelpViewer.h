// The program's own help window: the pages of the compiled help file in a text browser,
// with the contents tree of its .hhc beside them.
#pragma once

#include <QTextBrowser>
#include <QWidget>

#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "gui/ChmFile.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace mudalinx::gui {

struct SitemapEntry;

// A text browser whose pages, pictures and style sheets come from the help file.
class ChmBrowser : public QTextBrowser {
  Q_OBJECT

 public:
  ChmBrowser(std::shared_ptr<const ChmFile> chm, QWidget* parent = nullptr);
  QVariant loadResource(int type, const QUrl& name) override;

 private:
  std::shared_ptr<const ChmFile> chm_;
};

class HelpViewer : public QWidget {
  Q_OBJECT

 public:
  // Throws the help file's own messages ("No se encuentra el archivo de ayuda …").
  explicit HelpViewer(const std::filesystem::path& helpFile, QWidget* parent = nullptr);

  // The default topic, with the contents tree.
  void showContents();
  // The page of help context NUMBER; throws a Spanish message for an unknown number.
  void showContext(int number);
  void showPage(const QString& page);

  // The page on show, relative to the help file's root ("principal.htm").
  QString currentPage() const;
  const std::filesystem::path& helpFile() const { return chm_->file(); }
  QTextBrowser* browser() const { return browser_; }
  QTreeWidget* contentsTree() const { return contents_; }

 private:
  void fillContents();
  void addEntries(const std::vector<SitemapEntry>& entries, QTreeWidgetItem* parent);
  void markCurrentInContents();

  std::shared_ptr<const ChmFile> chm_;
  std::map<int, std::string> contexts_;
  ChmBrowser* browser_;
  QTreeWidget* contents_;
};

// The one help window of the process, created for HELPFILE (again when the file changed).
HelpViewer* sharedHelpViewer(const std::filesystem::path& helpFile);
// The help window when one is open, else nullptr.
HelpViewer* existingHelpViewer();

}  // namespace mudalinx::gui
