// Windows: a host window is any window handle IsWindow accepts; a timer notices its end.
#include <windows.h>

#include <QTimer>
#include <QWindow>

#include "gui/host_window.h"

namespace mudalinx::gui {

QWindow* adoptHostWindow(std::uint32_t handle) {
  const HWND window = reinterpret_cast<HWND>(static_cast<quintptr>(handle));
  if (!IsWindow(window)) return nullptr;
  return QWindow::fromWinId(reinterpret_cast<WId>(window));
}

void watchHostWindow(std::uint32_t handle, QObject* owner, std::function<void()> onGone) {
  const HWND window = reinterpret_cast<HWND>(static_cast<quintptr>(handle));
  auto* timer = new QTimer(owner);
  QObject::connect(timer, &QTimer::timeout, timer, [timer, window, onGone = std::move(onGone)] {
    if (IsWindow(window)) return;
    timer->stop();
    onGone();
  });
  timer->start(500);
}

}  // namespace mudalinx::gui
