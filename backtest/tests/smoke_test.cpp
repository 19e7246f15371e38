#include <gtest/gtest.h>

#include "error.hpp"

namespace ostrel {
namespace {

TEST(BacktestError, RendersEachKindWithItsPrefix) {
  EXPECT_EQ(BacktestError::invalid_input("no candles").render(), "invalid input data: no candles");
  EXPECT_EQ(BacktestError::invalid_params("Sma", "period must be greater than zero").render(),
            "invalid parameters for indicator Sma: period must be greater than zero");
  EXPECT_EQ(BacktestError::undeclared_indicator("mac").render(),
            "rule references undeclared indicator: mac");
}

}  // namespace
}  // namespace ostrel
