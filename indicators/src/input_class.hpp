#pragma once
// Step 1 of every update, by input class: a bar whose input is missing or bad
// yields no value and never reaches the type's own computation. A type derives
// from the base of its class and provides push().

#include <cmath>
#include <optional>

#include "indicator.hpp"
#include "record_validation.hpp"

namespace ostrel {

// Reads candle.close; a close that is NaN or infinite is skipped.
template <class Type>
class CloseIndicator : public Indicator {
 public:
  std::optional<double> update(const UpdateContext& ctx) final {
    const double close = ctx.candle.close;
    if (!std::isfinite(close)) return std::nullopt;
    return static_cast<Type&>(*this).push(close);
  }
};

// Reads the whole candle; a candle that fails validation is skipped.
template <class Type>
class CandleIndicator : public Indicator {
 public:
  std::optional<double> update(const UpdateContext& ctx) final {
    if (validate_candle(ctx.candle)) return std::nullopt;
    return static_cast<Type&>(*this).push(ctx.candle);
  }
};

}  // namespace ostrel
