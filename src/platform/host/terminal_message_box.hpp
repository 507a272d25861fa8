// The message box of a process without a desktop: the box drawn on the controlling terminal.
#pragma once

#include <cstdint>
#include <string>

namespace orvex::host {

// Shows the title, the prompt and the buttons of the style on /dev/tty and reads the answer
// (1..7). Raises kNoInteractiveDesktop when the process has no controlling terminal.
int32_t ShowTerminalMessageBox(const std::string& prompt, int32_t style, const std::string& title,
                               const std::string& helpFile, int32_t helpContext);

}  // namespace orvex::host
