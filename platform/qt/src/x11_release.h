// x11_release.h: gives a button release, on X11, the place where the player let go.
#pragma once

#include <QAbstractNativeEventFilter>
#include <cstdint>
#include <memory>

namespace platform {

// A window manager that takes clicks on programs' windows (to focus and raise them) freezes
// the pointer at each press through a synchronous grab, until it hands the press on. A release
// and a move made meanwhile wait in the X server, which then reports the release where the
// pointer is by then: past the move. Qt takes that for a drag off the button, and the click is
// lost. Between a press and its release the pointer's every move reaches the program, so the
// place of the last press or move is where the release was made; this filter puts each release
// back there. In an event stream with no freeze, that is where the X server put it anyway.
class X11ReleaseFilter final : public QAbstractNativeEventFilter {
 public:
  // Installs a filter on the application when it runs on X11, until the filter is destroyed;
  // elsewhere returns none.
  static std::unique_ptr<X11ReleaseFilter> install();

  ~X11ReleaseFilter() override;

  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

 private:
  explicit X11ReleaseFilter(std::uint8_t inputOpcode);

  // The pointer's last place as the program was told, in root coordinates (16.16 fixed point
  // for the input extension's events, whole pixels for the core ones).
  struct Place {
    std::int32_t x = 0;
    std::int32_t y = 0;
    bool known = false;
  };

  void seeInputEvent(void* event);
  void seeCoreEvent(void* event, std::uint8_t kind);

  std::uint8_t inputOpcode_;  // 0: no input extension
  bool compressedMoves_;      // Qt's own setting, given back with the filter
  Place input_;
  Place core_;
};

}  // namespace platform
