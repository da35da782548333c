// Embedding the main window in a window of the host program that started it, by the
// handle it passed, and noticing when that window goes away.
#pragma once

#include <cstdint>
#include <functional>

class QObject;
class QWindow;

namespace mudalinx::gui {

// The host's window as a foreign window for the caller to own; nullptr when this platform
// cannot embed windows or no window has that handle.
QWindow* adoptHostWindow(std::uint32_t handle);

// Calls ON_GONE once, from the event loop, when the window HANDLE is destroyed (taking the
// embedded window with it). The watch lasts as long as OWNER.
void watchHostWindow(std::uint32_t handle, QObject* owner, std::function<void()> onGone);

}  // namespace mudalinx::gui
