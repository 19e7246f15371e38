#include "indicator_error.hpp"

namespace ostrel {

std::string IndicatorError::display() const {
  auto with = [this](std::string_view prefix) {
    std::string text(prefix);
    text += message;
    return text;
  };
  switch (kind) {
    case Kind::PeriodZero: return "period must be greater than zero";
    case Kind::InvalidPeriod: return with("invalid period: ");
    case Kind::NonFiniteInput: return "input value must be finite (got NaN or infinity)";
    case Kind::InvalidCandle: return with("invalid candle: ");
    case Kind::InvalidTick: return with("invalid tick: ");
    case Kind::NonPositiveMultiplier: return "multiplier must be greater than zero";
    case Kind::InvalidOrderBook: return with("invalid order book: ");
    case Kind::InvalidTrade: return with("invalid trade: ");
    case Kind::InvalidDerivativesTick: return with("invalid derivatives tick: ");
    case Kind::InvalidCrossSection: return with("invalid cross-section: ");
    case Kind::InvalidParameter: return with("invalid parameter: ");
  }
  return {};
}

}  // namespace ostrel
