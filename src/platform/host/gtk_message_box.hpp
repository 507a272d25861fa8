// The message box of a process with a desktop: a modal GTK 3 dialog, mirrored for right-to-left
// reading. The dialog lives in a module of its own (orvex-gtk.so), loaded the first time a box
// is asked for where a display is named; the library itself never links GTK, and where the
// module or GTK's libraries are missing the desktop is never reported as available.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace orvex::host {

// True when the desktop module loads (it was built and installed, and GTK's libraries are there).
bool GtkMessageBoxBuiltIn();

// True when a display is named (DISPLAY or WAYLAND_DISPLAY), GTK started on it, and the calling
// thread is the one GTK was started on. GTK is started lazily by the first call, without
// touching the process locale.
bool DesktopAvailable();

// Shows the box and blocks until a button closes it; returns the answer 1..7. The Help button
// (style 0x4000) does not close the box: it shows the help file and context under the prompt.
// Closing the window answers Cancel when the box has a Cancel button, else the first button's
// answer. Raises kNoInteractiveDesktop when DesktopAvailable() is false.
int32_t ShowGtkMessageBox(const std::string& prompt, int32_t style, const std::string& title,
                          const std::string& helpFile, int32_t helpContext);

// A rectangle in screen (root window) coordinates.
struct ScreenRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

struct ShownButton {
  std::string label;   // without the mnemonic underscore
  int32_t answer = 0;  // 0 for Help, which answers nothing
  ScreenRect rect;
  bool isDefault = false;
  bool hasFocus = false;
};

// What a box looks like on the screen once it has been drawn.
struct ShownBox {
  unsigned long windowId = 0;  // the X11 window, 0 on other back ends
  std::string title;
  std::string prompt;
  std::string helpText;  // shown after Help was pressed; empty before
  bool rightToLeft = false;
  std::string iconName;  // empty when the style asks for no icon
  ScreenRect icon;
  ScreenRect textArea;               // the space given to the prompt
  ScreenRect text;                   // the prompt's text itself, within textArea
  std::vector<ShownButton> buttons;  // in the order of the style's button set
};

// Called on the showing thread each time a box has been drawn on the screen, and again after
// Help changed it. Lets a caller (an automated test, an accessibility bridge) see where things
// are. Pass nullptr to stop.
using ShownBoxObserver = std::function<void(const ShownBox&)>;
void SetShownBoxObserver(ShownBoxObserver observer);

}  // namespace orvex::host
