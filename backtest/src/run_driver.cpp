#include "run_driver.hpp"

#include <string>

#include "bar_feeds.hpp"
#include "documents.hpp"
#include "engine.hpp"
#include "feed_requirements.hpp"
#include "report_writer.hpp"
#include "spec_validation.hpp"

namespace ostrel {

namespace {

// The checks both drivers make before the first bar, in order: the spec, the
// feeds it needs, the candles.
Status check_before_first_bar(const StrategySpec& spec, bool has_books, bool has_derivs,
                              size_t candles) {
  if (Status invalid = validate_spec(spec)) return invalid;
  if (Status unmet = check_feed_requirements(spec, has_books, has_derivs)) return unmet;
  if (candles == 0) return BacktestError::invalid_input("no candles");
  return std::nullopt;
}

template <class T>
Status check_feed_length(const char* feed, const std::optional<std::vector<T>>& list, size_t n) {
  if (!list || list->size() == n) return std::nullopt;
  return BacktestError::invalid_input(std::string(feed) + " feed length " +
                                      std::to_string(list->size()) + " does not match " +
                                      std::to_string(n) + " candles");
}

Status check_feed_lengths(const RunRequest& q) {
  const size_t n = q.candles.size();
  if (Status s = check_feed_length("reference", q.reference, n)) return s;
  if (Status s = check_feed_length("derivs", q.derivs, n)) return s;
  if (Status s = check_feed_length("books", q.books, n)) return s;
  if (Status s = check_feed_length("trades", q.trades, n)) return s;
  return check_feed_length("sections", q.sections, n);
}

// Steps every candle with the feeds of its index and finishes the run.
template <class CandleAt, class FeedsOf>
BacktestResult<Report> run_bars(StrategySpec spec, size_t count, double capital,
                                CandleAt candle_at, FeedsOf feeds_of) {
  auto engine = BacktestEngine::create(std::move(spec), capital);
  if (!engine) return std::move(engine).error();
  for (size_t k = 0; k < count; ++k) {
    if (Status failed = engine->step(candle_at(k), feeds_of(k))) return std::move(*failed);
  }
  return std::move(engine).value().finish();
}

BacktestResult<std::string> written(BacktestResult<Report> report) {
  if (!report) return std::move(report).error();
  return write_report(report.value());
}

BarFeeds no_feeds(size_t) { return BarFeeds{}; }

}  // namespace

BacktestResult<std::string> run_candles(StrategySpec spec, std::span<const Candle> candles,
                                        double capital) {
  if (Status s = check_before_first_bar(spec, false, false, candles.size())) return std::move(*s);
  return written(run_bars(std::move(spec), candles.size(), capital,
                          [candles](size_t k) { return candles[k]; }, no_feeds));
}

BacktestResult<Report> run_columns_report(StrategySpec spec, const CandleColumns& c,
                                          double capital) {
  const size_t n = c.open.size();
  if (Status s = check_before_first_bar(spec, false, false, n)) return std::move(*s);
  return run_bars(
      std::move(spec), n, capital,
      [&c](size_t k) {
        return Candle{c.time[k], c.open[k], c.high[k], c.low[k], c.close[k], c.volume[k]};
      },
      no_feeds);
}

BacktestResult<Report> run_request_report(RunRequest request) {
  if (Status s = check_before_first_bar(request.spec, request.books.has_value(),
                                        request.derivs.has_value(), request.candles.size())) {
    return std::move(*s);
  }
  if (Status s = check_feed_lengths(request)) return std::move(*s);
  StrategySpec spec = std::move(request.spec);
  const std::span<const Candle> candles = request.candles;
  return run_bars(std::move(spec), candles.size(), request.capital,
                  [candles](size_t k) { return candles[k]; },
                  [&request](size_t k) { return bar_feeds(request, k); });
}

BacktestResult<std::string> run_request(RunRequest request) {
  return written(run_request_report(std::move(request)));
}

BacktestResult<std::string> run_request_text(std::string_view request_json) {
  auto request = read_run_request_document(request_json);
  if (!request) return std::move(request).error();
  return run_request(std::move(request).value());
}

}  // namespace ostrel
