#include "gtk/box_driver.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <thread>

#include "gtk/program.hpp"

namespace orvex::testing {

ShownBoxes::ShownBoxes() {
  host::SetShownBoxObserver([this](const host::ShownBox& box) {
    std::lock_guard<std::mutex> lock(mutex_);
    boxes_.push_back(box);
    arrived_.notify_all();
  });
}

ShownBoxes::~ShownBoxes() { host::SetShownBoxObserver(nullptr); }

std::optional<host::ShownBox> ShownBoxes::Next(std::chrono::seconds timeout) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (!arrived_.wait_for(lock, timeout, [this] { return !boxes_.empty(); })) {
    ADD_FAILURE() << "no message box was shown";
    return std::nullopt;
  }
  host::ShownBox box = boxes_.front();
  boxes_.pop_front();
  return box;
}

int32_t ShowAndDrive(const std::function<int32_t()>& show,
                     const std::function<void(ShownBoxes&)>& drive) {
  ShownBoxes boxes;
  std::thread driver([&] { drive(boxes); });
  int32_t answer = 0;
  try {
    answer = show();
  } catch (...) {
    driver.join();
    throw;
  }
  driver.join();
  return answer;
}

// xdotool's own name matching reads only the legacy window name, which cannot carry Arabic;
// so the visible windows are listed and each one's UTF-8 name is compared.
std::vector<unsigned long> VisibleWindowsNamed(const std::string& title) {
  ProgramResult listed = RunProgram({"xdotool", "search", "--onlyvisible", "--name", ""});
  std::vector<unsigned long> windows;
  std::istringstream lines(listed.output);
  unsigned long window = 0;
  while (lines >> window) {
    std::string name = RunProgram({"xdotool", "getwindowname", std::to_string(window)}).output;
    if (!name.empty() && name.back() == '\n') name.pop_back();
    if (name == title) windows.push_back(window);
  }
  return windows;
}

// Moves in two steps: xdotool waits for a move to happen, and waits long when the pointer is
// already where it is sent (the previous box may have had a button at the same place).
void ClickAt(const host::ScreenRect& rect) {
  ProgramResult clicked = RunProgram({"xdotool", "mousemove", "--sync", std::to_string(rect.x + 2),
                                      std::to_string(rect.y + 2), "mousemove", "--sync",
                                      std::to_string(rect.x + rect.width / 2),
                                      std::to_string(rect.y + rect.height / 2), "click", "1"});
  EXPECT_EQ(clicked.exitCode, 0) << "xdotool could not click";
}

void PressKeys(unsigned long window, const std::vector<std::string>& keys) {
  std::vector<std::string> command = {"xdotool", "windowfocus", "--sync", std::to_string(window),
                                      "key",     "--delay",     "50"};
  command.insert(command.end(), keys.begin(), keys.end());
  EXPECT_EQ(RunProgram(command).exitCode, 0) << "xdotool could not type";
}

bool SaveScreenshot(unsigned long window, const std::string& path) {
  if (!ProgramOnPath("import")) return false;
  return RunProgram({"import", "-window", std::to_string(window), path}).exitCode == 0;
}

const host::ShownButton* ButtonLabelled(const host::ShownBox& box, const std::string& label) {
  for (const host::ShownButton& button : box.buttons)
    if (button.label == label) return &button;
  ADD_FAILURE() << "the box has no button " << label;
  return nullptr;
}

}  // namespace orvex::testing
