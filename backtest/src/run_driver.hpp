#pragma once
// Whole-series runs: the checks before the first bar, the bar loop, and the
// written report.

#include <span>
#include <string>
#include <string_view>

#include "error.hpp"
#include "records.hpp"
#include "request/requests.hpp"
#include "spec.hpp"

namespace ostrel {

// Candles only, no feeds. Returns the report text.
BacktestResult<std::string> run_candles(StrategySpec spec, std::span<const Candle> candles,
                                        double capital);

// A read run request with its per-bar feed lists. Returns the report text.
BacktestResult<std::string> run_request(RunRequest request);

// Reads the run request document, then runs it.
BacktestResult<std::string> run_request_text(std::string_view request_json);

}  // namespace ostrel
