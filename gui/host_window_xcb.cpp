// X11: a host window is any existing X window; its destruction arrives as DestroyNotify.
#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <QMetaObject>
#include <QObject>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

#include "gui/host_window.h"

namespace mudalinx::gui {
namespace {

xcb_connection_t* x11Connection() {
  if (QGuiApplication::platformName() != QLatin1String("xcb")) return nullptr;
  const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  return x11 ? x11->connection() : nullptr;
}

bool windowExists(xcb_connection_t* connection, std::uint32_t handle) {
  const xcb_get_geometry_cookie_t cookie = xcb_get_geometry(connection, handle);
  xcb_generic_error_t* error = nullptr;
  std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> reply(
      xcb_get_geometry_reply(connection, cookie, &error), &std::free);
  std::free(error);
  return reply != nullptr;
}

class HostWatch : public QObject, public QAbstractNativeEventFilter {
 public:
  HostWatch(std::uint32_t handle, std::function<void()> onGone, QObject* owner)
      : QObject(owner), handle_(handle), onGone_(std::move(onGone)) {
    qGuiApp->installNativeEventFilter(this);
  }
  ~HostWatch() override { qGuiApp->removeNativeEventFilter(this); }

  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* /*result*/) override {
    if (fired_ || eventType != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_DESTROY_NOTIFY) return false;
    if (static_cast<const xcb_destroy_notify_event_t*>(message)->window != handle_) return false;
    fired_ = true;
    QMetaObject::invokeMethod(this, [this] { onGone_(); }, Qt::QueuedConnection);
    return false;
  }

 private:
  std::uint32_t handle_;
  std::function<void()> onGone_;
  bool fired_ = false;
};

}  // namespace

QWindow* adoptHostWindow(std::uint32_t handle) {
  xcb_connection_t* connection = x11Connection();
  if (!connection || !windowExists(connection, handle)) return nullptr;
  return QWindow::fromWinId(static_cast<WId>(handle));
}

void watchHostWindow(std::uint32_t handle, QObject* owner, std::function<void()> onGone) {
  xcb_connection_t* connection = x11Connection();
  if (!connection) return;
  // Structure events of a window go to every client that asks for them: this one now does.
  const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
  xcb_change_window_attributes(connection, handle, XCB_CW_EVENT_MASK, &mask);
  xcb_flush(connection);
  new HostWatch(handle, std::move(onGone), owner);
}

}  // namespace mudalinx::gui
