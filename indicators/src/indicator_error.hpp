#pragma once
// The indicator library's error value. Messages are fixed texts chosen by the
// code that raises them, so an error never allocates until it is displayed.

#include <string>
#include <string_view>

namespace ostrel {

struct IndicatorError {
  enum class Kind {
    PeriodZero,
    InvalidPeriod,
    NonFiniteInput,
    InvalidCandle,
    InvalidTick,
    NonPositiveMultiplier,
    InvalidOrderBook,
    InvalidTrade,
    InvalidDerivativesTick,
    InvalidCrossSection,
    InvalidParameter,
  };

  Kind kind;
  std::string_view message;  // static text; empty for the kinds without one

  std::string display() const;
};

}  // namespace ostrel
