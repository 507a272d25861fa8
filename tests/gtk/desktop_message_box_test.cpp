// The desktop message box on a virtual X screen of the suite's own: what it shows, and the
// answers a user's clicks and keys give. Skips when Xvfb or xdotool is missing or the desktop
// module was not built.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "orvex/gmessage.hpp"
#include "orvex/host.hpp"
#include "platform/host/gtk_message_box.hpp"
#include "support/automation_matchers.hpp"

// GTK's font stack keeps what it matched until the process ends, which the leak checker would
// report (the same as tests/lsan.supp).
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

namespace orvex {
namespace {

using host::ShownBox;
using host::ShownButton;

// This program links the library's objects itself, so the library cannot find the desktop module
// beside its own file: the module built with it is named before any test runs.
[[maybe_unused]] const int kModuleNamed = [] {
#ifdef ORVEX_GTK_MODULE_PATH
  setenv("ORVEX_GTK_MODULE", ORVEX_GTK_MODULE_PATH, 0);
#endif
  return 0;
}();

constexpr int kEdgeSlack = 3;  // pixels: fonts round the edges of text differently

// An xdotool command on the test's display: its output ("!" when it failed).
std::string Xdotool(const std::string& arguments) {
  FILE* pipe = popen(("xdotool " + arguments + " 2>/dev/null").c_str(), "r");
  std::string output;
  for (int c; (c = fgetc(pipe)) != EOF;) output += static_cast<char>(c);
  return pclose(pipe) == 0 ? output : "!";
}

// Moves in two steps: xdotool waits for a move to happen, and waits long when the pointer is
// already where it is sent (the previous box may have had a button at the same place).
void Click(const ShownBox& box, const std::string& label) {
  auto button = std::ranges::find(box.buttons, label, &ShownButton::label);
  ASSERT_NE(button, box.buttons.end()) << "the box has no button " << label;
  const host::ScreenRect& r = button->rect;
  EXPECT_NE(Xdotool("mousemove --sync " + std::to_string(r.x + 2) + " " + std::to_string(r.y + 2) +
                    " mousemove --sync " + std::to_string(r.x + r.width / 2) + " " +
                    std::to_string(r.y + r.height / 2) + " click 1"),
            "!")
      << "xdotool could not click " << label;
}

// The window's name as the X server has it (xdotool's own name search cannot read Arabic), and
// the labels of the buttons.
std::string NameAndLabels(const ShownBox& box) {
  std::string text = Xdotool("getwindowname " + std::to_string(box.windowId));
  for (const ShownButton& button : box.buttons) text += button.label + " ";
  return text;
}

// Runs before GTK is started in this process: with no display, or one nobody answers on, the
// desktop is not available and the box refuses cleanly.
TEST(DesktopMessageBoxWithoutDisplay, IsNotAvailableAndRefusesWithNoInteractiveDesktop) {
  const char* display = std::getenv("DISPLAY");
  const std::string saved = display != nullptr ? display : "";
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  EXPECT_FALSE(host::DesktopAvailable());
  EXPECT_AUTOMATION_ERROR(host::ShowGtkMessageBox("text", 0, "title", "", 0), kNoInteractiveDesktop,
                          "ORVEX.Host", "");
  setenv("DISPLAY", ":65000", 1);  // no server listens there
  EXPECT_FALSE(host::DesktopAvailable());
  saved.empty() ? unsetenv("DISPLAY") : setenv("DISPLAY", saved.c_str(), 1);
}

class DesktopMessageBox : public ::testing::Test {
 protected:
  // Xvfb on a display number it picks itself (so that concurrent runs never collide), which it
  // writes once it accepts clients; before it, the shell writes its process id, Xvfb's once the
  // shell is replaced.
  static void SetUpTestSuite() {
    if (!host::GtkMessageBoxBuiltIn() || std::system("command -v xdotool >/dev/null") != 0) return;
    xvfb_ = popen(
        "echo $$; exec Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp -noreset "
        "2>/dev/null",
        "r");
    char pid[16] = "", display[16] = ":";
    if (!fgets(pid, sizeof pid, xvfb_) || !fgets(display + 1, sizeof display - 1, xvfb_))
      return TearDownTestSuite();
    pid_ = std::atoi(pid);
    display[strcspn(display, "\n")] = '\0';
    unsetenv("WAYLAND_DISPLAY");
    for (auto [name, value] : {std::pair<const char*, const char*>{"DISPLAY", display},
                               {"GDK_BACKEND", "x11"},
                               {"NO_AT_BRIDGE", "1"},
                               {"GSETTINGS_BACKEND", "memory"}})
      setenv(name, value, 1);
  }
  // Nothing may touch GTK after its server is gone, so this is the suite's last word.
  static void TearDownTestSuite() {
    if (pid_ > 0) kill(pid_, SIGTERM);
    if (xvfb_ != nullptr) pclose(xvfb_);
    xvfb_ = nullptr;
    pid_ = 0;
  }
  void SetUp() override {
    if (pid_ == 0) GTEST_SKIP() << "no desktop module, xdotool or Xvfb";
    ASSERT_TRUE(host::DesktopAvailable()) << "GTK did not start on " << std::getenv("DISPLAY");
    host::SetShownBoxObserver([this](const ShownBox& box) { drive_(box); });
  }
  void TearDown() override { host::SetShownBoxObserver(nullptr); }

  // Each time the library reports a box drawn, looks at it and clicks or types as a user would
  // (on GTK's thread: GTK reads the input once it returns).
  std::function<void(const ShownBox&)> drive_;
  static inline FILE* xvfb_ = nullptr;
  static inline pid_t pid_ = 0;
};

TEST_F(DesktopMessageBox, ShowsTheStylesButtonsIconAndDefaultAndAnswersClicksAndKeys) {
  const struct {
    int32_t style;
    std::string labels;
    std::string icon;
    std::string defaultLabel;
    std::string user;  // "click LABEL", or keys pressed in turn
    int32_t answer;
  } cases[] = {
      {0x000, "OK", "", "OK", "Escape", 1},                     // closing an OK box answers OK
      {0x011, "OK Cancel", "dialog-error", "OK", "Escape", 2},  // ... one with Cancel, Cancel
      {0x111, "OK Cancel", "dialog-error", "Cancel", "click OK", 1},
      {0x222, "Abort Retry Ignore", "dialog-question", "Ignore", "Return", 5},
      {0x032, "Abort Retry Ignore", "dialog-warning", "Abort", "click Abort", 3},
      // Escape does nothing on a box without Cancel; an access key then answers.
      {0x042, "Abort Retry Ignore", "dialog-information", "Abort", "Escape alt+r", 4},
      {0x003, "Yes No Cancel", "", "Yes", "click Yes", 6},
      {0x104, "Yes No", "", "No", "Escape space", 7},
      {0x035, "Retry Cancel", "dialog-warning", "Retry", "click Retry", 4},
      {0x300, "OK", "", "OK", "Return", 1},  // no fourth button: the first is the default
  };
  Host desktop;
  for (const auto& c : cases) {
    const std::string title = "Style " + std::to_string(c.style) + " " + c.user;
    SCOPED_TRACE(title);
    drive_ = [&](const ShownBox& box) {
      EXPECT_EQ(NameAndLabels(box), title + "\n" + c.labels + " ");
      EXPECT_EQ(box.prompt + "|" + box.iconName + "|" + std::to_string(box.rightToLeft),
                "Pick|" + c.icon + "|0");
      for (const ShownButton& button : box.buttons)
        EXPECT_EQ(std::pair(button.isDefault, button.hasFocus),
                  std::pair(button.label == c.defaultLabel, button.label == c.defaultLabel))
            << button.label;
      if (c.user.starts_with("click "))
        Click(box, c.user.substr(6));
      else
        Xdotool("windowfocus --sync " + std::to_string(box.windowId) + " key --delay 50 " + c.user);
    };
    EXPECT_EQ(desktop.ShowMessageBox("Pick", c.style, title, "", 0), c.answer);
  }
}

TEST_F(DesktopMessageBox, HelpShowsTheHelpFileAndContextWithoutClosingTheBox) {
  int reports = 0;
  drive_ = [&](const ShownBox& box) {
    if (++reports == 1) {
      EXPECT_EQ(NameAndLabels(box), "Help box\nOK Cancel Help ");
      EXPECT_EQ(box.helpText, "");
      Click(box, "Help");
    } else {
      EXPECT_EQ(box.helpText, "Help: orvex.chm, topic 42");
      Click(box, "OK");
    }
  };
  EXPECT_EQ(Host().ShowMessageBox("Need help?", 0x4001, "Help box", "orvex.chm", 42), 1);
  EXPECT_EQ(reports, 2);
}

// Through GMessage: right alignment alone moves the text only; Arabic mirrors the whole box,
// buttons and icon included, with its text at the right.
TEST_F(DesktopMessageBox, ArabicBoxIsMirroredAndRightAlignmentMovesOnlyTheText) {
  const struct {
    std::string text, title;
    int32_t style;
    std::string language;
    bool mirrored, textAtRight;
  } cases[] = {
      {"The file does not exist.", "Error", 0x11, "English", false, false},
      {"Short", "Right", kStyleRight | 0x11, "English", false, true},
      {"الملف غير موجود", "خطأ", 0x11, "Arabic", true, true},
  };
  GMessage message;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.title);
    drive_ = [&](const ShownBox& box) {
      EXPECT_EQ(box.prompt, c.text);
      ASSERT_EQ(NameAndLabels(box), c.title + "\nOK Cancel ");
      EXPECT_EQ(box.rightToLeft, c.mirrored);
      EXPECT_EQ(box.buttons[0].rect.x > box.buttons[1].rect.x, c.mirrored);
      EXPECT_EQ(box.icon.x > box.textArea.x, c.mirrored);
      if (c.textAtRight) {
        EXPECT_GT(box.textArea.width, box.text.width + 20) << "the text fills its area";
        EXPECT_NEAR(box.text.x + box.text.width, box.textArea.x + box.textArea.width, kEdgeSlack);
      } else {
        EXPECT_NEAR(box.text.x, box.textArea.x, kEdgeSlack);
      }
      Click(box, "OK");
    };
    EXPECT_EQ(message.ShowText(c.text, c.style, c.title, c.language), 1);
  }
}

TEST_F(DesktopMessageBox, IsShownOnlyOnTheThreadGtkStartedOn) {
  bool elsewhere = true;
  std::thread([&] { elsewhere = host::DesktopAvailable(); }).join();
  EXPECT_FALSE(elsewhere);
  EXPECT_TRUE(host::DesktopAvailable());
}

}  // namespace
}  // namespace orvex
