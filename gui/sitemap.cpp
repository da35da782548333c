#include "gui/sitemap.h"

#include <cctype>
#include <map>

namespace mudalinx::gui {
namespace {

std::string lowerAscii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

struct Tag {
  std::string name;  // lower-case, "/ul" for a closing tag
  std::map<std::string, std::string> attributes;  // names lower-case
};

// Reads the tag whose "<" is at TEXT[AT]; AT ends after its ">".
Tag readTag(std::string_view text, std::size_t& at) {
  Tag tag;
  std::size_t i = at + 1;
  const auto isSpace = [&](std::size_t k) { return std::isspace(static_cast<unsigned char>(text[k])) != 0; };
  const std::size_t nameStart = i;
  while (i < text.size() && text[i] != '>' && !isSpace(i)) ++i;
  tag.name = lowerAscii(text.substr(nameStart, i - nameStart));
  while (i < text.size() && text[i] != '>') {
    if (isSpace(i) || text[i] == '/') {
      ++i;
      continue;
    }
    const std::size_t attrStart = i;
    while (i < text.size() && text[i] != '=' && text[i] != '>' && !isSpace(i)) ++i;
    std::string attrName = lowerAscii(text.substr(attrStart, i - attrStart));
    while (i < text.size() && isSpace(i)) ++i;
    std::string value;
    if (i < text.size() && text[i] == '=') {
      ++i;
      while (i < text.size() && isSpace(i)) ++i;
      if (i < text.size() && (text[i] == '"' || text[i] == '\'')) {
        const char quote = text[i++];
        const std::size_t valueStart = i;
        while (i < text.size() && text[i] != quote) ++i;
        value = std::string(text.substr(valueStart, i - valueStart));
        if (i < text.size()) ++i;
      } else {
        const std::size_t valueStart = i;
        while (i < text.size() && text[i] != '>' && !isSpace(i)) ++i;
        value = std::string(text.substr(valueStart, i - valueStart));
      }
    }
    tag.attributes[attrName] = value;
  }
  at = i < text.size() ? i + 1 : i;
  return tag;
}

}  // namespace

std::vector<SitemapEntry> parseSitemap(std::string_view text) {
  std::vector<SitemapEntry> root;
  std::vector<std::vector<SitemapEntry>*> open;  // the list entries go to is open.back()
  bool inEntry = false;
  SitemapEntry entry;

  std::size_t at = 0;
  while ((at = text.find('<', at)) != std::string_view::npos) {
    if (text.substr(at, 4) == "<!--") {
      const std::size_t end = text.find("-->", at + 4);
      at = end == std::string_view::npos ? text.size() : end + 3;
      continue;
    }
    const Tag tag = readTag(text, at);
    if (tag.name == "ul") {
      if (open.empty()) {
        open.push_back(&root);
      } else if (!open.back()->empty()) {
        open.push_back(&open.back()->back().children);
      } else {
        open.push_back(open.back());
      }
    } else if (tag.name == "/ul") {
      if (open.size() > 1) open.pop_back();
    } else if (tag.name == "object") {
      const auto type = tag.attributes.find("type");
      inEntry = type != tag.attributes.end() && lowerAscii(type->second) == "text/sitemap";
      entry = SitemapEntry{};
    } else if (tag.name == "param" && inEntry) {
      const auto name = tag.attributes.find("name");
      const auto value = tag.attributes.find("value");
      if (name == tag.attributes.end() || value == tag.attributes.end()) continue;
      const std::string key = lowerAscii(name->second);
      // An entry that names several pages opens the first.
      if (key == "name" && entry.name.empty()) entry.name = value->second;
      if (key == "local" && entry.local.empty()) entry.local = value->second;
    } else if (tag.name == "/object" && inEntry) {
      inEntry = false;
      (open.empty() ? root : *open.back()).push_back(std::move(entry));
    }
  }
  return root;
}

}  // namespace mudalinx::gui
