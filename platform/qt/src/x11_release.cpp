// x11_release.cpp: puts each X11 button release back where the pointer last was before it.
#include "x11_release.h"

#include <xcb/xcb.h>
#include <xcb/xinput.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <cstdlib>
#include <memory>

namespace platform {
namespace {

// Moves an event's root and window coordinates together onto (x, y) in root coordinates.
template <typename Event, typename Coordinate>
void moveTo(Event& event, Coordinate x, Coordinate y) {
  event.event_x = static_cast<Coordinate>(event.event_x + (x - event.root_x));
  event.event_y = static_cast<Coordinate>(event.event_y + (y - event.root_y));
  event.root_x = x;
  event.root_y = y;
}

std::uint8_t inputExtensionOpcode(xcb_connection_t* connection) {
  static constexpr char kName[] = "XInputExtension";
  const xcb_query_extension_cookie_t cookie =
      xcb_query_extension(connection, sizeof kName - 1, kName);
  std::unique_ptr<xcb_query_extension_reply_t, decltype(&std::free)> reply(
      xcb_query_extension_reply(connection, cookie, nullptr), &std::free);
  return reply && reply->present ? reply->major_opcode : 0;
}

}  // namespace

std::unique_ptr<X11ReleaseFilter> X11ReleaseFilter::install() {
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (x11 == nullptr || x11->connection() == nullptr) return nullptr;
  std::unique_ptr<X11ReleaseFilter> filter(
      new X11ReleaseFilter(inputExtensionOpcode(x11->connection())));
  QCoreApplication::instance()->installNativeEventFilter(filter.get());
  return filter;
}

X11ReleaseFilter::X11ReleaseFilter(std::uint8_t inputOpcode)
    : inputOpcode_(inputOpcode),
      compressedMoves_(QCoreApplication::testAttribute(Qt::AA_CompressHighFrequencyEvents)) {
  // Qt drops a queued move whenever a later one waits, even past a press or a release; the
  // filter must see every move to know where each release was made.
  QCoreApplication::setAttribute(Qt::AA_CompressHighFrequencyEvents, false);
}

X11ReleaseFilter::~X11ReleaseFilter() {
  QCoreApplication::setAttribute(Qt::AA_CompressHighFrequencyEvents, compressedMoves_);
}

bool X11ReleaseFilter::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
  if (eventType != "xcb_generic_event_t") return false;
  const std::uint8_t kind = static_cast<xcb_generic_event_t*>(message)->response_type & 0x7f;
  if (kind == XCB_GE_GENERIC)
    seeInputEvent(message);
  else
    seeCoreEvent(message, kind);
  return false;  // the event goes on to Qt, corrected if need be
}

void X11ReleaseFilter::seeInputEvent(void* message) {
  const auto* generic = static_cast<xcb_ge_generic_event_t*>(message);
  if (inputOpcode_ == 0 || generic->extension != inputOpcode_) return;
  // Press, release and motion share one layout.
  auto& event = *static_cast<xcb_input_button_press_event_t*>(message);
  switch (generic->event_type) {
    case XCB_INPUT_BUTTON_PRESS:
    case XCB_INPUT_MOTION: input_ = {event.root_x, event.root_y, true}; break;
    case XCB_INPUT_BUTTON_RELEASE:
      if (input_.known) moveTo(event, input_.x, input_.y);
      break;
    default: break;
  }
}

void X11ReleaseFilter::seeCoreEvent(void* message, std::uint8_t kind) {
  // Without the input extension's pointer events, Qt reads the core ones, whose press, release
  // and motion share one layout too.
  auto& event = *static_cast<xcb_button_press_event_t*>(message);
  switch (kind) {
    case XCB_BUTTON_PRESS:
    case XCB_MOTION_NOTIFY: core_ = {event.root_x, event.root_y, true}; break;
    case XCB_BUTTON_RELEASE:
      if (core_.known) moveTo(event, static_cast<std::int16_t>(core_.x),
                              static_cast<std::int16_t>(core_.y));
      break;
    default: break;
  }
}

}  // namespace platform
