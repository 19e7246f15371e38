#include <gtest/gtest.h>

#include "indicator_error.hpp"

namespace ostrel {
namespace {

TEST(IndicatorError, DisplaysKindAndMessage) {
  IndicatorError e{IndicatorError::Kind::InvalidCandle, "high must be >= low"};
  EXPECT_EQ(e.display(), "invalid candle: high must be >= low");
  EXPECT_EQ((IndicatorError{IndicatorError::Kind::PeriodZero, {}}.display()),
            "period must be greater than zero");
}

}  // namespace
}  // namespace ostrel
