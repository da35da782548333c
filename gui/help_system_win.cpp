// On Windows the system's HTML Help viewer shows the help file.
#include <windows.h>
#include <htmlhelp.h>

#include <stdexcept>
#include <string>

#include <QWidget>

#include "gui/help_system.h"

namespace mudalinx::gui {
namespace {

HWND ownerOf(QWidget* parent) { return parent ? reinterpret_cast<HWND>(parent->window()->winId()) : nullptr; }

std::string utf8Path(const std::filesystem::path& file) {
  const std::u8string text = file.u8string();
  return std::string(text.begin(), text.end());
}

void requireHelpFile(const std::filesystem::path& helpFile) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(helpFile, error)) {
    throw std::runtime_error("No se encuentra el archivo de ayuda " + utf8Path(helpFile));
  }
}

}  // namespace

void showHelpContents(QWidget* parent, const std::filesystem::path& helpFile) {
  requireHelpFile(helpFile);
  HtmlHelpW(ownerOf(parent), helpFile.wstring().c_str(), HH_DISPLAY_TOC, 0);
}

void showHelpContext(QWidget* parent, const std::filesystem::path& helpFile, int context) {
  requireHelpFile(helpFile);
  HtmlHelpW(ownerOf(parent), helpFile.wstring().c_str(), HH_HELP_CONTEXT, static_cast<DWORD_PTR>(context));
}

}  // namespace mudalinx::gui
