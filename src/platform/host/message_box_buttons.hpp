// The buttons of a message box's style: what the terminal box and the desktop box both offer.
#pragma once

#include <cstdint>
#include <vector>

namespace orvex::host {

// A button of a message box: its label, the key that presses it and the answer it gives.
struct ButtonChoice {
  const char* label;
  char key;
  int32_t answer;
};

// The buttons of the button set in the low four bits of a style, in display order.
std::vector<ButtonChoice> ButtonsOfStyle(int32_t style);

}  // namespace orvex::host
