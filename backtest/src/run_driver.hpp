#pragma once
// Whole-series runs: the checks before the first bar, the bar loop, and the
// written report.

#include <span>
#include <string>
#include <string_view>

#include "error.hpp"
#include "records.hpp"
#include "report.hpp"
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

// The caller's columns of one series, all of one length, read in place: the
// candle of bar k is assembled when the bar is stepped, so no list of
// records is ever built.
struct CandleColumns {
  std::span<const int64_t> time;
  std::span<const double> open, high, low, close, volume;
};

// As run_candles and run_request, but handing back the finished report
// unwritten, for callers that write its text into a buffer of their own
// (see write_report_to).
BacktestResult<Report> run_columns_report(StrategySpec spec, const CandleColumns& columns,
                                          double capital);
BacktestResult<Report> run_request_report(RunRequest request);

}  // namespace ostrel
