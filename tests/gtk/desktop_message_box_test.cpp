// The desktop message box on a virtual X screen: what it shows, and the answers a user's clicks
// and keys give. Skips when Xvfb or xdotool is missing or the library was built without GTK.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "gtk/box_driver.hpp"
#include "gtk/program.hpp"
#include "gtk/xvfb_server.hpp"
#include "orvex/automation_error.hpp"
#include "orvex/gmessage.hpp"
#include "orvex/host.hpp"
#include "platform/host/gtk_message_box.hpp"
#include "support/automation_matchers.hpp"

namespace orvex {
namespace {

using host::ShownBox;
using host::ShownButton;
using testing::ButtonLabelled;
using testing::ClickAt;
using testing::PressKeys;
using testing::ShowAndDrive;
using testing::ShownBoxes;

// Pixels of slack for the edges of text, which fonts round differently.
constexpr int kEdgeSlack = 3;

std::vector<std::string> LabelsOf(const ShownBox& box) {
  std::vector<std::string> labels;
  for (const ShownButton& button : box.buttons) labels.push_back(button.label);
  return labels;
}

std::string ArtifactFolder() {
  std::filesystem::path folder =
      std::filesystem::read_symlink("/proc/self/exe").parent_path() / "artifacts";
  std::filesystem::create_directories(folder);
  return folder.string();
}

// Runs before GTK is started in this process: with no display, or one nobody answers on, the
// desktop is not available and the box refuses cleanly.
TEST(DesktopMessageBoxWithoutDisplay, IsNotAvailableAndRefusesWithNoInteractiveDesktop) {
  std::string display = std::getenv("DISPLAY") != nullptr ? std::getenv("DISPLAY") : "";
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  EXPECT_FALSE(host::DesktopAvailable());
  AutomationError refused =
      testing::CatchAutomationError([] { host::ShowGtkMessageBox("text", 0, "title", "", 0); });
  EXPECT_EQ(refused.Number, kNoInteractiveDesktop);
  EXPECT_EQ(refused.Source, "ORVEX.Host");

  setenv("DISPLAY", ":65000", 1);  // no server listens there
  EXPECT_FALSE(host::DesktopAvailable());
  if (display.empty())
    unsetenv("DISPLAY");
  else
    setenv("DISPLAY", display.c_str(), 1);
}

class DesktopMessageBox : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!host::GtkMessageBoxBuiltIn() || !testing::ProgramOnPath("xdotool")) return;
    server_ = testing::XvfbServer::Start();
    if (!server_) return;
    setenv("DISPLAY", server_->DisplayName().c_str(), 1);
    unsetenv("WAYLAND_DISPLAY");
    setenv("GDK_BACKEND", "x11", 1);
    setenv("NO_AT_BRIDGE", "1", 1);
    setenv("GSETTINGS_BACKEND", "memory", 1);
  }
  // Nothing may touch GTK after its server is gone, so this is the suite's last word.
  static void TearDownTestSuite() { server_.reset(); }

  void SetUp() override {
    if (!host::GtkMessageBoxBuiltIn()) GTEST_SKIP() << "the library was built without GTK";
    if (!testing::ProgramOnPath("xdotool")) GTEST_SKIP() << "xdotool is not installed";
    if (!server_) GTEST_SKIP() << "Xvfb is not installed or did not start";
    ASSERT_TRUE(host::DesktopAvailable()) << "GTK did not start on " << server_->DisplayName();
  }

  static std::unique_ptr<testing::XvfbServer> server_;
};

std::unique_ptr<testing::XvfbServer> DesktopMessageBox::server_;

struct ClickCase {
  int32_t style;
  std::vector<std::string> labels;
  std::string iconName;
  std::string click;
  int32_t answer;
};

TEST_F(DesktopMessageBox, ShowsTheButtonSetAndIconOfTheStyleAndAnswersTheButtonClicked) {
  const std::vector<ClickCase> cases = {
      {0x00, {"OK"}, "", "OK", 1},
      {0x11, {"OK", "Cancel"}, "dialog-error", "Cancel", 2},
      {0x22, {"Abort", "Retry", "Ignore"}, "dialog-question", "Abort", 3},
      {0x32, {"Abort", "Retry", "Ignore"}, "dialog-warning", "Retry", 4},
      {0x42, {"Abort", "Retry", "Ignore"}, "dialog-information", "Ignore", 5},
      {0x03, {"Yes", "No", "Cancel"}, "", "Yes", 6},
      {0x04, {"Yes", "No"}, "", "No", 7},
      {0x35, {"Retry", "Cancel"}, "dialog-warning", "Retry", 4},
  };
  Host desktop;
  for (const ClickCase& c : cases) {
    std::string title = "Style " + std::to_string(c.style);
    SCOPED_TRACE(title);
    int32_t answer = ShowAndDrive(
        [&] { return desktop.ShowMessageBox("Pick " + c.click, c.style, title, "", 0); },
        [&](ShownBoxes& boxes) {
          std::optional<ShownBox> box = boxes.Next();
          if (!box) return;
          EXPECT_EQ(testing::VisibleWindowsNamed(title), std::vector<unsigned long>{box->windowId});
          EXPECT_EQ(box->prompt, "Pick " + c.click);
          EXPECT_EQ(LabelsOf(*box), c.labels);
          EXPECT_EQ(box->iconName, c.iconName);
          EXPECT_FALSE(box->rightToLeft);
          if (const ShownButton* button = ButtonLabelled(*box, c.click)) ClickAt(button->rect);
        });
    EXPECT_EQ(answer, c.answer);
  }
}

struct KeyCase {
  int32_t style;
  std::string defaultLabel;
  std::vector<std::string> keys;
  int32_t answer;
};

TEST_F(DesktopMessageBox, KeysPressTheDefaultButtonAndEscapeClosesOnlyWhereTheDesktopLetsIt) {
  const std::vector<KeyCase> cases = {
      {0x001, "OK", {"Return"}, 1},
      {0x101, "Cancel", {"Return"}, 2},
      {0x202, "Ignore", {"Return"}, 5},
      {0x104, "No", {"space"}, 7},
      {0x300, "OK", {"Return"}, 1},  // a fourth default button does not exist: the first
      {0x000, "OK", {"Escape"}, 1},  // closing an OK box answers OK
      {0x001, "OK", {"Escape"}, 2},  // closing a box with Cancel answers Cancel
      {0x003, "Yes", {"Escape"}, 2},
      // Escape does nothing on a Yes/No box; the access key of No then answers.
      {0x004, "Yes", {"Escape", "alt+n"}, 7},
      {0x002, "Abort", {"Escape", "alt+r"}, 4},
  };
  Host desktop;
  int n = 0;
  for (const KeyCase& c : cases) {
    std::string title = "Keys " + std::to_string(++n);
    SCOPED_TRACE(title);
    int32_t answer = ShowAndDrive(
        [&] { return desktop.ShowMessageBox("Press a key", c.style, title, "", 0); },
        [&](ShownBoxes& boxes) {
          std::optional<ShownBox> box = boxes.Next();
          if (!box) return;
          for (const ShownButton& button : box->buttons) {
            EXPECT_EQ(button.isDefault, button.label == c.defaultLabel) << button.label;
            EXPECT_EQ(button.hasFocus, button.label == c.defaultLabel) << button.label;
          }
          PressKeys(box->windowId, c.keys);
        });
    EXPECT_EQ(answer, c.answer);
  }
}

TEST_F(DesktopMessageBox, HelpShowsTheHelpFileAndContextWithoutClosingTheBox) {
  Host desktop;
  int32_t answer = ShowAndDrive(
      [&] { return desktop.ShowMessageBox("Need help?", 0x4001, "Help box", "orvex.chm", 42); },
      [&](ShownBoxes& boxes) {
        std::optional<ShownBox> box = boxes.Next();
        if (!box) return;
        EXPECT_EQ(LabelsOf(*box), (std::vector<std::string>{"OK", "Cancel", "Help"}));
        EXPECT_EQ(box->helpText, "");
        EXPECT_EQ(box->buttons.back().answer, 0);
        if (const ShownButton* help = ButtonLabelled(*box, "Help")) ClickAt(help->rect);
        std::optional<ShownBox> helped = boxes.Next();
        if (!helped) return;
        EXPECT_EQ(helped->windowId, box->windowId);
        EXPECT_NE(helped->helpText.find("orvex.chm"), std::string::npos) << helped->helpText;
        EXPECT_NE(helped->helpText.find("42"), std::string::npos) << helped->helpText;
        if (const ShownButton* ok = ButtonLabelled(*helped, "OK")) ClickAt(ok->rect);
      });
  EXPECT_EQ(answer, 1);
}

TEST_F(DesktopMessageBox, RightAlignmentAloneMovesTheTextButNotTheButtons) {
  Host desktop;
  int32_t answer = ShowAndDrive(
      [&] { return desktop.ShowMessageBox("Short", kStyleRight | 0x11, "Right", "", 0); },
      [&](ShownBoxes& boxes) {
        std::optional<ShownBox> box = boxes.Next();
        if (!box) return;
        EXPECT_FALSE(box->rightToLeft);
        EXPECT_GT(box->textArea.width, box->text.width + 20) << "the text fills its area";
        EXPECT_NEAR(box->text.x + box->text.width, box->textArea.x + box->textArea.width,
                    kEdgeSlack);
        EXPECT_LT(box->icon.x, box->textArea.x);
        EXPECT_LT(ButtonLabelled(*box, "OK")->rect.x, ButtonLabelled(*box, "Cancel")->rect.x);
        ClickAt(ButtonLabelled(*box, "OK")->rect);
      });
  EXPECT_EQ(answer, 1);
}

// The same box in English and in Arabic through GMessage: the Arabic one is mirrored, buttons
// and icon included, with its text at the right. Pictures of both are kept as test artifacts.
TEST_F(DesktopMessageBox, ArabicBoxIsMirroredAgainstTheEnglishOne) {
  GMessage message;
  std::string artifacts = ArtifactFolder();
  ShownBox english;
  ShownBox arabic;
  auto showAndKeep = [&](const std::string& text, const std::string& title,
                         const std::string& language, ShownBox& kept, const std::string& picture) {
    return ShowAndDrive(
        [&] { return message.ShowText(text, 0x11, title, language); },
        [&](ShownBoxes& boxes) {
          std::optional<ShownBox> box = boxes.Next();
          if (!box) return;
          kept = *box;
          EXPECT_EQ(testing::VisibleWindowsNamed(title), std::vector<unsigned long>{box->windowId});
          if (!testing::SaveScreenshot(box->windowId, artifacts + "/" + picture))
            std::cout << "[   NOTE   ] no screenshot: ImageMagick's import is missing\n";
          if (const ShownButton* ok = ButtonLabelled(*box, "OK")) ClickAt(ok->rect);
        });
  };
  EXPECT_EQ(showAndKeep("The file does not exist.", "Error", "English", english, "english_box.png"),
            1);
  EXPECT_EQ(showAndKeep("الملف غير موجود", "خطأ", "Arabic", arabic, "arabic_box.png"), 1);
  ASSERT_EQ(LabelsOf(english), (std::vector<std::string>{"OK", "Cancel"}));
  ASSERT_EQ(LabelsOf(arabic), (std::vector<std::string>{"OK", "Cancel"}));

  EXPECT_FALSE(english.rightToLeft);
  EXPECT_LT(english.buttons[0].rect.x, english.buttons[1].rect.x);
  EXPECT_LT(english.icon.x, english.textArea.x);
  EXPECT_NEAR(english.text.x, english.textArea.x, kEdgeSlack);

  EXPECT_TRUE(arabic.rightToLeft);
  EXPECT_GT(arabic.buttons[0].rect.x, arabic.buttons[1].rect.x);
  EXPECT_GT(arabic.icon.x, arabic.textArea.x);
  EXPECT_GT(arabic.textArea.width, arabic.text.width + 20) << "the text fills its area";
  EXPECT_NEAR(arabic.text.x + arabic.text.width, arabic.textArea.x + arabic.textArea.width,
              kEdgeSlack);
}

TEST_F(DesktopMessageBox, IsShownOnlyOnTheThreadGtkStartedOn) {
  bool elsewhere = true;
  std::thread other([&] { elsewhere = host::DesktopAvailable(); });
  other.join();
  EXPECT_FALSE(elsewhere);
  EXPECT_TRUE(host::DesktopAvailable());
}

}  // namespace
}  // namespace orvex
