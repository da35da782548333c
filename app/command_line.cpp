#include "app/command_line.h"

#include "exchange/text.h"

namespace mudalinx::app {

std::optional<std::uint32_t> parseHexHandle(std::string_view text) {
  if (text.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (char c : text) {
    int digit = 0;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (c >= 'a' && c <= 'f') {
      digit = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    } else {
      return std::nullopt;
    }
    value = value * 16 + static_cast<std::uint64_t>(digit);
    if (value > 0xFFFFFFFFull) return std::nullopt;
  }
  return static_cast<std::uint32_t>(value);
}

CommandLine parseCommandLine(const std::vector<std::string>& args) {
  CommandLine line;
  if (args.size() != 2) return line;

  const std::string word = exchange::lowerAZ(args[0]);
  if (word == "exportar") {
    line.action = Action::Export;
  } else if (word == "importar") {
    line.action = Action::Import;
  }

  line.hostWindow = parseHexHandle(args[1]);
  if (!line.hostWindow) line.handleError = "'$" + args[1] + "' no es un valor entero válido";
  return line;
}

}  // namespace mudalinx::app
