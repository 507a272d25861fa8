// Drives message boxes on a virtual screen the way a user would: the box runs on the test's
// main thread (where GTK lives) while a helper thread looks at it and clicks or types with
// xdotool.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/host/gtk_message_box.hpp"

namespace orvex::testing {

// The boxes the library reports as drawn, in order, for the driving thread.
class ShownBoxes {
 public:
  ShownBoxes();
  ~ShownBoxes();
  ShownBoxes(const ShownBoxes&) = delete;
  ShownBoxes& operator=(const ShownBoxes&) = delete;

  // The next box drawn; empty when none came in time.
  std::optional<host::ShownBox> Next(std::chrono::seconds timeout = std::chrono::seconds(30));

 private:
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::deque<host::ShownBox> boxes_;
};

// Runs `show` on the calling thread and `drive` on a helper thread at the same time; returns
// what `show` returned once both are done.
int32_t ShowAndDrive(const std::function<int32_t()>& show,
                     const std::function<void(ShownBoxes&)>& drive);

// xdotool and ImageMagick, on the display named by DISPLAY.
std::vector<unsigned long> VisibleWindowsNamed(const std::string& title);
void ClickAt(const host::ScreenRect& rect);
void PressKeys(unsigned long window, const std::vector<std::string>& keys);
// Writes a PNG of the window; false when the picture could not be taken.
bool SaveScreenshot(unsigned long window, const std::string& path);

// The button with this label; fails the test when the box has none.
const host::ShownButton* ButtonLabelled(const host::ShownBox& box, const std::string& label);

}  // namespace orvex::testing
