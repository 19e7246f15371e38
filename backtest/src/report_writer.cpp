#include "report_writer.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "huge_pages.hpp"
#include "number_text.hpp"

namespace ostrel {
namespace {

// ---- the text buffer ----

// The text of one document, written straight into the string that is
// returned. The whole document's bound is reserved once; each piece then
// grows the string by its own bound, is written, and trims the string to
// what it wrote. So no byte is copied and only the written text (plus one
// piece's slack) is ever touched.
class TextSink {
 public:
  explicit TextSink(size_t bound) {
    text_.reserve(bound);
    advise_huge_pages(text_.data(), text_.capacity());
  }

  // Room for at most `bound` chars; valid until commit.
  char* claim(size_t bound) {
    const size_t size = text_.size();
    text_.resize(size + bound);
    return text_.data() + size;
  }
  void commit(const char* end) { text_.resize(static_cast<size_t>(end - text_.data())); }

  std::string take() && { return std::move(text_); }

 private:
  std::string text_;
};

// The same protocol over a caller's buffer that already has room for the
// whole document's bound.
class BufferSink {
 public:
  explicit BufferSink(char* out) : p_(out) {}

  char* claim(size_t) { return p_; }
  void commit(char* end) { p_ = end; }

  char* end() const { return p_; }

 private:
  char* p_;
};

// ---- values ----

char* put(char* p, std::string_view text) {
  std::memcpy(p, text.data(), text.size());
  return p + text.size();
}

// How a byte is written inside a string: 0 as itself, 'u' as \u00 and two
// lowercase hex digits, any other letter as a backslash and that letter.
constexpr std::array<char, 256> kEscapes = [] {
  std::array<char, 256> escapes{};
  for (int c = 0; c < 0x20; ++c) escapes[c] = 'u';
  escapes['\b'] = 'b';
  escapes['\t'] = 't';
  escapes['\n'] = 'n';
  escapes['\f'] = 'f';
  escapes['\r'] = 'r';
  escapes['"'] = '"';
  escapes['\\'] = '\\';
  return escapes;
}();

constexpr size_t max_string_chars(std::string_view s) { return 2 + 6 * s.size(); }

char* write_string(char* p, std::string_view s) {
  static constexpr char kHex[] = "0123456789abcdef";
  *p++ = '"';
  for (const char ch : s) {
    const auto c = static_cast<unsigned char>(ch);
    const char escape = kEscapes[c];
    if (escape == 0) {
      *p++ = ch;
      continue;
    }
    *p++ = '\\';
    *p++ = escape;
    if (escape == 'u') {
      *p++ = '0';
      *p++ = '0';
      *p++ = kHex[c >> 4];
      *p++ = kHex[c & 0xF];
    }
  }
  *p++ = '"';
  return p;
}

char* write_value(char* p, double x) { return write_json_number(p, x); }
char* write_value(char* p, int64_t v) { return write_json_int(p, v); }
char* write_value(char* p, uint64_t v) { return write_json_uint(p, v); }

constexpr size_t max_value_chars(double) { return kMaxJsonNumberChars; }
constexpr size_t max_value_chars(int64_t) { return kMaxJsonIntChars; }
constexpr size_t max_value_chars(uint64_t) { return kMaxJsonIntChars; }

// Members of one JSON type: each key text (with its separators) followed by
// its value.
template <class T, size_t N>
char* write_members(char* p, const std::array<std::string_view, N>& keys, const T (&values)[N]) {
  for (size_t i = 0; i < N; ++i) p = write_value(put(p, keys[i]), values[i]);
  return p;
}

template <class T, size_t N>
constexpr size_t max_members_chars(const std::array<std::string_view, N>& keys) {
  size_t chars = 0;
  for (std::string_view key : keys) chars += key.size() + max_value_chars(T{});
  return chars;
}

// ---- documents ----

constexpr std::string_view kTimeKey = R"({"time":)";
constexpr std::string_view kEquityKey = R"(,"equity":)";
constexpr size_t kMaxEquityPointChars =
    kTimeKey.size() + kMaxJsonIntChars + kEquityKey.size() + kMaxJsonNumberChars + 1;

char* write_point(char* p, const EquityPoint& point) {
  p = write_json_int(put(p, kTimeKey), point.time);
  p = write_json_number(put(p, kEquityKey), point.equity);
  *p++ = '}';
  return p;
}

constexpr std::array<std::string_view, 8> kMetricNumberKeys = {
    R"({"pnl":)",          R"(,"return_pct":)",   R"(,"sharpe":)",   R"(,"sortino":)",
    R"(,"calmar":)",       R"(,"max_drawdown":)", R"(,"win_rate":)", R"(,"profit_factor":)"};
constexpr std::array<std::string_view, 1> kMetricCountKeys = {R"(,"num_trades":)"};
constexpr size_t kMaxMetricsChars = max_members_chars<double>(kMetricNumberKeys) +
                                    max_members_chars<uint64_t>(kMetricCountKeys) + 1;

char* write_metrics(char* p, const Metrics& m) {
  const double numbers[] = {m.pnl,          m.return_pct, m.sharpe,   m.sortino,
                            m.calmar,       m.max_drawdown, m.win_rate, m.profit_factor};
  const uint64_t counts[] = {m.num_trades};
  p = write_members(p, kMetricNumberKeys, numbers);
  p = write_members(p, kMetricCountKeys, counts);
  *p++ = '}';
  return p;
}

constexpr std::array<std::string_view, 2> kTradeTimeKeys = {R"({"entry_time":)",
                                                             R"(,"exit_time":)"};
constexpr std::array<std::string_view, 5> kTradeNumberKeys = {
    R"(,"entry_price":)", R"(,"exit_price":)", R"(,"qty":)", R"(,"pnl":)", R"(,"return_pct":)"};
constexpr std::string_view kTradeReasonKey = R"(,"reason":)";
constexpr size_t kTradeFixedChars = max_members_chars<int64_t>(kTradeTimeKeys) +
                                    max_members_chars<double>(kTradeNumberKeys) +
                                    kTradeReasonKey.size() + 1;

size_t max_trade_chars(const Trade& trade) {
  return kTradeFixedChars + max_string_chars(exit_reason_text(trade.reason));
}

char* write_trade(char* p, const Trade& t) {
  const int64_t times[] = {t.entry_time, t.exit_time};
  const double numbers[] = {t.entry_price, t.exit_price, t.qty, t.pnl, t.return_pct};
  p = write_members(p, kTradeTimeKeys, times);
  p = write_members(p, kTradeNumberKeys, numbers);
  p = write_string(put(p, kTradeReasonKey), exit_reason_text(t.reason));
  *p++ = '}';
  return p;
}

template <class Sink>
void write_literal(Sink& sink, std::string_view text) {
  sink.commit(put(sink.claim(text.size()), text));
}

// Equity points are claimed in blocks small enough to stay in cache between
// growing the string and writing them.
constexpr size_t kPointsPerBlock = 1024;

size_t max_equity_chars(std::span<const EquityPoint> points) {
  return 2 + points.size() * (kMaxEquityPointChars + 1);
}

template <class Sink>
void write_equity_array(Sink& sink, std::span<const EquityPoint> points) {
  write_literal(sink, "[");
  for (size_t first = 0; first < points.size(); first += kPointsPerBlock) {
    const size_t last = std::min(points.size(), first + kPointsPerBlock);
    char* p = sink.claim((last - first) * (kMaxEquityPointChars + 1));
    for (size_t k = first; k < last; ++k) {
      if (k != 0) *p++ = ',';
      p = write_point(p, points[k]);
    }
    sink.commit(p);
  }
  write_literal(sink, "]");
}

size_t max_trades_chars(std::span<const Trade> trades) {
  size_t chars = 2;
  for (const Trade& trade : trades) chars += max_trade_chars(trade) + 1;
  return chars;
}

template <class Sink>
void write_trade_array(Sink& sink, std::span<const Trade> trades) {
  write_literal(sink, "[");
  for (size_t k = 0; k < trades.size(); ++k) {
    char* p = sink.claim(max_trade_chars(trades[k]) + 1);
    if (k != 0) *p++ = ',';
    sink.commit(write_trade(p, trades[k]));
  }
  write_literal(sink, "]");
}

constexpr std::string_view kSchemaVersionKey = R"({"schema_version":)";
constexpr std::string_view kSymbolKey = R"(,"symbol":)";
constexpr std::string_view kTimeframeKey = R"(,"timeframe":)";
constexpr std::string_view kMetricsKey = R"(,"metrics":)";
constexpr std::string_view kTradesKey = R"(,"trades":)";
constexpr std::string_view kReportEquityKey = R"(,"equity":)";
constexpr std::array<std::string_view, 2> kTotalKeys = {R"(,"fees_paid":)",
                                                        R"(,"initial_capital":)"};
constexpr size_t kMaxTotalsChars = max_members_chars<double>(kTotalKeys) + 1;

size_t max_head_chars(const Report& r) {
  return kSchemaVersionKey.size() + kMaxJsonIntChars + kSymbolKey.size() +
         max_string_chars(r.symbol) + kTimeframeKey.size() + max_string_chars(r.timeframe) +
         kMetricsKey.size() + kMaxMetricsChars + kTradesKey.size();
}

// Schema version, labels, metrics, up to the trades' key.
template <class Sink>
void write_head(Sink& sink, const Report& r) {
  char* p = sink.claim(max_head_chars(r));
  p = write_json_uint(put(p, kSchemaVersionKey), r.schema_version);
  p = write_string(put(p, kSymbolKey), r.symbol);
  p = write_string(put(p, kTimeframeKey), r.timeframe);
  p = write_metrics(put(p, kMetricsKey), r.metrics);
  sink.commit(put(p, kTradesKey));
}

template <class Sink>
void write_totals(Sink& sink, const Report& r) {
  const double totals[] = {r.fees_paid, r.initial_capital};
  char* p = write_members(sink.claim(kMaxTotalsChars), kTotalKeys, totals);
  *p++ = '}';
  sink.commit(p);
}

template <class Sink>
void write_report_text(Sink& sink, const Report& report) {
  write_head(sink, report);
  write_trade_array(sink, report.trades);
  write_literal(sink, kReportEquityKey);
  write_equity_array(sink, report.equity);
  write_totals(sink, report);
}

}  // namespace

size_t max_report_chars(const Report& report) {
  return max_head_chars(report) + max_trades_chars(report.trades) + kReportEquityKey.size() +
         max_equity_chars(report.equity) + kMaxTotalsChars;
}

std::string write_report(const Report& report) {
  TextSink sink(max_report_chars(report));
  write_report_text(sink, report);
  return std::move(sink).take();
}

char* write_report_to(char* out, const Report& report) {
  BufferSink sink(out);
  write_report_text(sink, report);
  return sink.end();
}

std::string write_equity(std::span<const EquityPoint> points) {
  TextSink sink(max_equity_chars(points));
  write_equity_array(sink, points);
  return std::move(sink).take();
}

std::string write_equity_point(const EquityPoint& point) {
  TextSink sink(kMaxEquityPointChars);
  sink.commit(write_point(sink.claim(kMaxEquityPointChars), point));
  return std::move(sink).take();
}

}  // namespace ostrel
