// How the main window reads its arguments: a host program that embeds the window
// passes exactly two, an action word and the handle of its own window in hexadecimal.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mudalinx::app {

enum class Action { None, Export, Import };

struct CommandLine {
  // The job to start when the window is first shown; only with exactly two arguments.
  Action action = Action::None;
  // The host window, when the handle converted; embedded mode is on exactly then.
  std::optional<std::uint32_t> hostWindow;
  // The conversion message when the handle did not convert (shown, then the window
  // goes on as an ordinary one); empty otherwise.
  std::string handleError;

  bool embedded() const { return hostWindow.has_value(); }
};

// ARGS are the arguments after the program name.
CommandLine parseCommandLine(const std::vector<std::string>& args);

// "$" + TEXT read as a hexadecimal 32-bit value; nullopt when it is not one.
std::optional<std::uint32_t> parseHexHandle(std::string_view text);

}  // namespace mudalinx::app
