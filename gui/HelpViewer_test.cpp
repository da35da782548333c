#include "gui/HelpViewer.h"

#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>
#include <set>
#include <stdexcept>

#include "gui/sitemap.h"

namespace mudalinx::gui {
namespace {

namespace fs = std::filesystem;

const fs::path kHelpFile = fs::path(MUDALINX_BIN_DIR) / "SENDARO.chm";

void collectPages(const std::vector<SitemapEntry>& entries, std::set<std::string>& pages) {
  for (const SitemapEntry& entry : entries) {
    pages.insert(entry.local);
    collectPages(entry.children, pages);
  }
}

TEST(HelpFileTest, ContextThreeOpensTheMainWindowPage) {
  HelpViewer viewer(kHelpFile);
  viewer.showContext(3);
  EXPECT_EQ(viewer.currentPage(), QStringLiteral("principal.htm"));
  EXPECT_EQ(viewer.browser()->documentTitle(), QStringLiteral("Ventana principal de Mudalinx"));
  EXPECT_TRUE(viewer.browser()->toPlainText().contains(QStringLiteral("Proceso finalizado")));
  EXPECT_THROW(viewer.showContext(4), std::runtime_error);
}

TEST(HelpFileTest, ContentsListEveryTopicAndLinksFollowInsideTheFile) {
  HelpViewer viewer(kHelpFile);
  viewer.showContents();
  EXPECT_EQ(viewer.currentPage(), QStringLiteral("principal.htm"));
  QTreeWidget* tree = viewer.contentsTree();
  ASSERT_EQ(tree->topLevelItemCount(), 1);
  EXPECT_EQ(tree->topLevelItem(0)->text(0), QStringLiteral("Ventana principal de Mudalinx"));
  QStringList names;
  for (QTreeWidgetItemIterator it(tree); *it; ++it) names << (*it)->text(0);
  EXPECT_TRUE(names.contains(QStringLiteral("Mensajes y qué hacer")));
  EXPECT_TRUE(names.contains(QStringLiteral("Elegir los Marcos Horarios")));

  viewer.browser()->setSource(QUrl(QStringLiteral("exportar.htm")));
  EXPECT_EQ(viewer.currentPage(), QStringLiteral("exportar.htm"));
  EXPECT_EQ(viewer.browser()->documentTitle(), QStringLiteral("Pasar los datos de Sendaro a Quorvia"));
  EXPECT_EQ(tree->currentItem()->text(0), QStringLiteral("Pasar los datos de Sendaro a Quorvia"));
}

TEST(HelpFileTest, EveryContentsAndIndexEntryIsAPageOfTheFile) {
  const ChmFile chm(kHelpFile);
  std::set<std::string> pages;
  for (const char* sitemap : {"SENDARO.hhc", "SENDARO.hhk"}) {
    const std::optional<std::string> text = chm.read(sitemap);
    ASSERT_TRUE(text) << sitemap;
    collectPages(parseSitemap(*text), pages);
  }
  EXPECT_GE(pages.size(), 7u);
  for (const std::string& page : pages) {
    const std::optional<std::string> html = chm.read(page);
    ASSERT_TRUE(html) << page;
    EXPECT_NE(html->find("<title>"), std::string::npos) << page;
  }
  EXPECT_EQ(chm.contentsFile(), "SENDARO.hhc");
  EXPECT_EQ(chm.defaultTopic(), "principal.htm");
}

TEST(HelpFileTest, MissingOrDamagedHelpFileIsReportedInSpanish) {
  const fs::path missing = fs::temp_directory_path() / "no_existe" / "SENDARO.chm";
  try {
    HelpViewer viewer(missing);
    FAIL() << "se esperaba un error";
  } catch (const std::runtime_error& error) {
    EXPECT_EQ(std::string(error.what()), "No se encuentra el archivo de ayuda " + missing.string());
  }
  const fs::path damaged = fs::temp_directory_path() / ("mudalinx_danado_" + std::to_string(::getpid()) + ".chm");
  { std::ofstream(damaged) << "esto no es un archivo de ayuda"; }
  EXPECT_THROW(ChmFile{damaged}, std::runtime_error);
  fs::remove(damaged);
}

}  // namespace
}  // namespace mudalinx::gui
