#include "platform/host/message_box_buttons.hpp"

namespace orvex::host {

std::vector<ButtonChoice> ButtonsOfStyle(int32_t style) {
  switch (style & 0xF) {
    case 1:
      return {{"OK", 'o', 1}, {"Cancel", 'c', 2}};
    case 2:
      return {{"Abort", 'a', 3}, {"Retry", 'r', 4}, {"Ignore", 'i', 5}};
    case 3:
      return {{"Yes", 'y', 6}, {"No", 'n', 7}, {"Cancel", 'c', 2}};
    case 4:
      return {{"Yes", 'y', 6}, {"No", 'n', 7}};
    case 5:
      return {{"Retry", 'r', 4}, {"Cancel", 'c', 2}};
    default:
      return {{"OK", 'o', 1}};
  }
}

}  // namespace orvex::host
