// Shows the same message in English and in Arabic. Language "Arabic" lays the box out right to
// left: the text aligned to the right and the whole dialog mirrored, buttons included. On a
// desktop the boxes are dialogs; without one they are prompts on the terminal; with neither,
// ShowText answers 0.
#include <iostream>
#include <memory>

#include "orvex/gmessage.hpp"

int main() {
  using namespace orvex;
  constexpr int32_t kOkCancel = 1;
  constexpr int32_t kCritical = 16;
  auto message = std::make_shared<GMessage>();

  int32_t english =
      message->ShowText("The file does not exist.", kOkCancel | kCritical, "Error", "English");
  std::cout << "English box answered " << english << "\n";

  int32_t arabic = message->ShowText("الملف غير موجود", kOkCancel | kCritical, "خطأ", "Arabic");
  std::cout << "Arabic box answered " << arabic << "\n";
  return 0;
}
