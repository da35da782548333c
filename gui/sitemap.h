// The contents (.hhc) and index (.hhk) files of compiled help: nested lists of entries,
// each with a name and the page it opens.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mudalinx::gui {

struct SitemapEntry {
  std::string name;   // as written, character references not decoded
  std::string local;  // the page, relative to the help file's root
  std::vector<SitemapEntry> children;
};

// The entries of a sitemap file in document order. Tolerant, as the help viewer is:
// unknown tags are skipped, unclosed lists end at the end of the text.
std::vector<SitemapEntry> parseSitemap(std::string_view text);

}  // namespace mudalinx::gui
