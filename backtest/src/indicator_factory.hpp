#pragma once
// How the engine turns a declared indicator into a live one.

#include <functional>
#include <memory>
#include <span>
#include <string_view>

#include "error.hpp"
#include "indicator.hpp"

namespace ostrel {

using IndicatorFactory = std::function<BacktestResult<std::unique_ptr<Indicator>>(
    std::string_view type, std::span<const double> params)>;

// The registry: a ready indicator, or UnknownIndicator / InvalidParams.
BacktestResult<std::unique_ptr<Indicator>> create_indicator(std::string_view type,
                                                            std::span<const double> params);

}  // namespace ostrel
