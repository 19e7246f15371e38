#include "indicators/feed_arguments.hpp"

#include <optional>
#include <string>
#include <vector>

#include "args.hpp"
#include "bar_feeds.hpp"
#include "documents.hpp"
#include "errors.hpp"
#include "feed_admission.hpp"
#include "json/market_records.hpp"
#include "json/record_reader.hpp"

namespace ostrel::host {
namespace {

bool given(PyObject* object) { return object != nullptr && object != Py_None; }

// The object as JSON text, through the json module's dumps.
std::optional<std::string> json_text(PyObject* object) {
  static PyObject* dumps = nullptr;
  if (dumps == nullptr) {
    PyObject* json = PyImport_ImportModule("json");
    if (json == nullptr) return std::nullopt;
    dumps = PyObject_GetAttrString(json, "dumps");
    Py_DECREF(json);
    if (dumps == nullptr) return std::nullopt;
  }
  PyObject* text = PyObject_CallOneArg(dumps, object);
  if (text == nullptr) return std::nullopt;
  Py_ssize_t size = 0;
  const char* utf8 = PyUnicode_AsUTF8AndSize(text, &size);
  std::optional<std::string> out;
  if (utf8 != nullptr) out.emplace(utf8, static_cast<size_t>(size));
  Py_DECREF(text);
  return out;
}

// Reads one record of the argument `name` with `read`.
template <class T, class Read>
bool read_argument(PyObject* object, const char* name, Read read, T& out) {
  std::optional<std::string> text = json_text(object);
  if (text) {
    auto record = read_document<T>(*text, read);
    if (record) {
      out = std::move(record).value();
      return true;
    }
    // The position would point into text the caller never wrote.
    const std::string& message = record.error();
    set_value_error(std::string_view(message).substr(0, message.rfind(" at line ")));
  }
  add_processing_note(name);
  return false;
}

bool read_trades(json::Reader& r, std::vector<TradePrint>& out) {
  return json::read_sequence(r, out, json::read_trade_print);
}

}  // namespace

bool admit_feed_arguments(const FeedArguments& args, AdmittedFeeds& admitted) {
  BarFeeds raw;
  if (given(args.reference)) {
    if (PyFloat_Check(args.reference) || PyLong_Check(args.reference)) {
      double close = 0.0;
      if (!double_argument(args.reference, "reference", close)) return false;
      raw.reference_close = close;
    } else {
      Candle candle;
      if (!read_argument(args.reference, "reference", json::read_candle, candle)) return false;
      raw.reference_close = candle.close;
    }
  }
  DerivativesTick tick;
  if (given(args.derivatives)) {
    if (!read_argument(args.derivatives, "derivatives", json::read_derivatives_tick, tick)) {
      return false;
    }
    raw.derivatives = &tick;
  }
  OrderBook book;
  if (given(args.order_book)) {
    if (!read_argument(args.order_book, "order_book", json::read_order_book, book)) return false;
    raw.order_book = &book;
  }
  std::vector<TradePrint> trades;
  if (given(args.trades)) {
    if (!read_argument(args.trades, "trades", read_trades, trades)) return false;
    raw.trades = trades;
  }
  CrossSection section;
  if (given(args.cross_section)) {
    if (!read_argument(args.cross_section, "cross_section", json::read_cross_section, section)) {
      return false;
    }
    raw.cross_section = &section;
  }
  admit_feeds(raw, admitted);
  return true;
}

}  // namespace ostrel::host
