#include "platform/host/terminal_message_box.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cctype>

#include "orvex/automation_error.hpp"
#include "orvex/host.hpp"
#include "platform/host/message_box_buttons.hpp"

namespace orvex::host {

namespace {

class Terminal {
 public:
  Terminal() : fd_(open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC)) {}
  ~Terminal() {
    if (fd_ >= 0) close(fd_);
  }
  Terminal(const Terminal&) = delete;
  Terminal& operator=(const Terminal&) = delete;

  bool IsOpen() const { return fd_ >= 0; }
  void Write(const std::string& text) const {
    size_t done = 0;
    while (done < text.size()) {
      ssize_t n = write(fd_, text.data() + done, text.size() - done);
      if (n <= 0) return;
      done += static_cast<size_t>(n);
    }
  }
  // One line of input; false at end of input with nothing read.
  bool ReadLine(std::string& line) const {
    line.clear();
    char c = 0;
    while (true) {
      ssize_t n = read(fd_, &c, 1);
      if (n <= 0) return !line.empty();
      if (c == '\n') return true;
      line.push_back(c);
    }
  }

 private:
  int fd_;
};

std::string Menu(const std::vector<ButtonChoice>& buttons, size_t defaultIndex) {
  std::string menu;
  for (size_t i = 0; i < buttons.size(); ++i) {
    if (!menu.empty()) menu += "  ";
    menu += "[";
    menu += static_cast<char>(std::toupper(buttons[i].key));
    menu += "]";
    menu += buttons[i].label + 1;
    if (i == defaultIndex) menu += "*";
  }
  return menu;
}

}  // namespace

int32_t ShowTerminalMessageBox(const std::string& prompt, int32_t style, const std::string& title,
                               const std::string& helpFile, int32_t helpContext) {
  Terminal tty;
  if (!tty.IsOpen()) Raise(kNoInteractiveDesktop, "ORVEX.Host");
  std::vector<ButtonChoice> buttons = ButtonsOfStyle(style);
  size_t defaultIndex = static_cast<size_t>((style >> 8) & 0xF);
  if (defaultIndex >= buttons.size()) defaultIndex = 0;

  std::string text = "\n== " + (title.empty() ? std::string("ORVEX") : title) + " ==\n";
  text += prompt + "\n";
  if ((style & 0x4000) != 0 && !helpFile.empty())
    text += "(Help: " + helpFile + " #" + std::to_string(helpContext) + ")\n";
  while (true) {
    tty.Write(text + Menu(buttons, defaultIndex) + " > ");
    std::string answer;
    if (!tty.ReadLine(answer) || answer.empty()) return buttons[defaultIndex].answer;
    char key = static_cast<char>(std::tolower(static_cast<unsigned char>(answer[0])));
    for (const ButtonChoice& button : buttons)
      if (button.key == key) return button.answer;
  }
}

}  // namespace orvex::host
