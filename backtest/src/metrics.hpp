#pragma once
// The figures a finished run is reduced to.

#include <span>

#include "report.hpp"

namespace ostrel {

Metrics compute_metrics(std::span<const EquityPoint> equity, std::span<const Trade> trades,
                        double initial_capital);

}  // namespace ostrel
