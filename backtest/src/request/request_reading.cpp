#include "request/request_reading.hpp"

#include "huge_pages.hpp"
#include "json/market_records.hpp"
#include "json/record_reader.hpp"
#include "json/spec_reading.hpp"

namespace ostrel::json {

namespace {

template <class T, class ReadElement>
bool read_optional_list(Reader& r, std::optional<std::vector<T>>& out, ReadElement read_element) {
  return read_optional(r, out, [&](Reader& rr, std::vector<T>& list) {
    return read_sequence(rr, list, read_element);
  });
}

// The candle list is by far the largest part of a request: reserve it once
// from the text that is left (a candle takes at least 12 bytes, so this is
// bounded by the input) rather than growing and copying it.
bool read_candles(Reader& r, std::vector<Candle>& out) {
  constexpr size_t kMinCandleBytes = 12;
  out.reserve(r.remaining() / kMinCandleBytes);
  advise_huge_pages(out.data(), out.capacity() * sizeof(Candle));
  return read_sequence(r, out, read_candle);
}

bool read_trade_list(Reader& r, std::vector<TradePrint>& out) {
  return read_sequence(r, out, read_trade_print);
}

constexpr Field kRunFields[] = {{"spec", true},       {"candles", true}, {"capital", false},
                                {"reference", false}, {"derivs", false}, {"books", false},
                                {"trades", false},    {"sections", false}};

bool read_run_field(Reader& r, RunRequest& q, size_t i) {
  switch (i) {
    case 0: return read_strategy_spec(r, q.spec);
    case 1: return read_candles(r, q.candles);
    case 2: return r.read_f64(q.capital);
    case 3: return read_optional_list(r, q.reference, read_candle);
    case 4: return read_optional_list(r, q.derivs, read_derivatives_tick);
    case 5: return read_optional_list(r, q.books, read_order_book);
    case 6: return read_optional_list(r, q.trades, read_trade_list);
    default: return read_optional_list(r, q.sections, read_cross_section);
  }
}

constexpr RecordShape<RunRequest> kRunRequest{"struct RunRequest",
                                              "struct RunRequest with 8 elements", kRunFields,
                                              read_run_field};

constexpr Field kFeedsFields[] = {{"reference", false},
                                  {"deriv", false},
                                  {"orderbook", false},
                                  {"trades", false},
                                  {"cross_section", false}};

bool read_feeds_field(Reader& r, StepFeeds& f, size_t i) {
  switch (i) {
    case 0:
      return read_optional(r, f.reference, [](Reader& rr, double& v) { return rr.read_f64(v); });
    case 1: return read_optional(r, f.deriv, read_derivatives_tick);
    case 2: return read_optional(r, f.orderbook, read_order_book);
    case 3: return read_optional_list(r, f.trades, read_trade_print);
    default: return read_optional(r, f.cross_section, read_cross_section);
  }
}

constexpr RecordShape<StepFeeds> kStepFeeds{"struct StepFeeds", "struct StepFeeds with 5 elements",
                                            kFeedsFields, read_feeds_field};

constexpr Field kStepFields[] = {{"candle", true}, {"feeds", false}};

bool read_step_field(Reader& r, StepRequest& q, size_t i) {
  if (i == 0) return read_candle(r, q.candle);
  return read_record(r, q.feeds, kStepFeeds);
}

constexpr RecordShape<StepRequest> kStepRequest{"struct StepRequest",
                                                "struct StepRequest with 2 elements", kStepFields,
                                                read_step_field};

}  // namespace

bool read_run_request(Reader& r, RunRequest& out) { return read_record(r, out, kRunRequest); }
bool read_step_request(Reader& r, StepRequest& out) { return read_record(r, out, kStepRequest); }

}  // namespace ostrel::json
