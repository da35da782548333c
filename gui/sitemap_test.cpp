#include "gui/sitemap.h"

#include <gtest/gtest.h>

namespace mudalinx::gui {
namespace {

TEST(SitemapTest, NestedListsBecomeChildrenOfTheEntryBeforeThem) {
  const auto entries = parseSitemap(R"(
    <OBJECT type="text/site properties"><param name="Window Styles" value="0x800025"></OBJECT>
    <UL>
      <LI><OBJECT type="text/sitemap"><param name="Name" value="Inicio"><param name="Local" value="a.htm"></OBJECT>
      <ul>
        <li><object TYPE='text/sitemap'><PARAM NAME=Name VALUE="Qu&eacute; hacer"><param name="Local" value="b.htm"></object>
        <!-- <li><object type="text/sitemap"><param name="Name" value="oculto"></object> -->
      </ul>
      <LI><OBJECT type="text/sitemap"><param name="Name" value="Fin"><param name="Local" value="c.htm">
        <param name="Local" value="d.htm"></OBJECT>
    </UL>)");
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].name, "Inicio");
  EXPECT_EQ(entries[0].local, "a.htm");
  ASSERT_EQ(entries[0].children.size(), 1u);
  EXPECT_EQ(entries[0].children[0].name, "Qu&eacute; hacer");
  EXPECT_EQ(entries[0].children[0].local, "b.htm");
  EXPECT_EQ(entries[1].name, "Fin");
  EXPECT_EQ(entries[1].local, "c.htm");
  EXPECT_TRUE(entries[1].children.empty());
}

TEST(SitemapTest, UnbalancedOrTruncatedTextDoesNotLoseEarlierEntries) {
  const auto entries = parseSitemap(
      "</UL></UL><UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"Uno\"></OBJECT>"
      "<UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"Dos\"></OBJECT><LI><OBJECT type=\"text/si");
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, "Uno");
  ASSERT_EQ(entries[0].children.size(), 1u);
  EXPECT_EQ(entries[0].children[0].name, "Dos");
  EXPECT_TRUE(parseSitemap("").empty());
  EXPECT_TRUE(parseSitemap("<").empty());
}

}  // namespace
}  // namespace mudalinx::gui
