// Asserts the number, source and description of an AutomationError together.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "orvex/automation_error.hpp"

namespace orvex::testing {

// Runs the call and returns the AutomationError it raised; fails the test when it raised none.
inline AutomationError CatchAutomationError(const std::function<void()>& call) {
  try {
    call();
  } catch (const AutomationError& error) {
    return error;
  }
  ADD_FAILURE() << "expected an AutomationError";
  return AutomationError(0);
}

}  // namespace orvex::testing

// EXPECT_AUTOMATION_ERROR(call, number, source, description); pass "" to skip source or text.
#define EXPECT_AUTOMATION_ERROR(call, number, source, description)     \
  do {                                                                 \
    ::orvex::AutomationError raised_ =                                 \
        ::orvex::testing::CatchAutomationError([&] { (void)(call); }); \
    EXPECT_EQ(raised_.Number, static_cast<int32_t>(number));           \
    if (!std::string(source).empty()) {                                \
      EXPECT_EQ(raised_.Source, std::string(source));                  \
    }                                                                  \
    if (!std::string(description).empty()) {                           \
      EXPECT_EQ(raised_.Description, std::string(description));        \
    }                                                                  \
  } while (0)

// EXPECT_RAISED(call, number, sourceStart): the call raises an error with that number (any but 0
// when 0) whose source starts with sourceStart.
#define EXPECT_RAISED(call, number, sourceStart)                                \
  do {                                                                          \
    ::orvex::AutomationError raised_ =                                          \
        ::orvex::testing::CatchAutomationError([&] { (void)(call); });          \
    const auto wanted_ = static_cast<int32_t>(number);                          \
    EXPECT_TRUE(wanted_ == 0 ? raised_.Number != 0 : raised_.Number == wanted_) \
        << raised_.Number << " " << raised_.Description;                        \
    EXPECT_TRUE(raised_.Source.starts_with(sourceStart)) << raised_.Source;     \
  } while (0)
