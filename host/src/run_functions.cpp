// run and run_json: a whole series in, the report text out.

#include <string>

#include "args.hpp"
#include "documents.hpp"
#include "entry_points.hpp"
#include "errors.hpp"
#include "run_driver.hpp"
#include "series.hpp"
#include "text.hpp"

namespace ostrel::host {
namespace {

constexpr const char* kRunParams[] = {"open", "high",      "low",    "close",
                                      "volume", "time", "spec_json", "capital"};
constexpr Signature kRun = signature("run", kRunParams, 7);
constexpr size_t kPrices = 5;

constexpr const char* kRunJsonParams[] = {"request_json"};
constexpr Signature kRunJson = signature("run_json", kRunJsonParams, 1);

PyObject* result_str(BacktestResult<Report> result) {
  const std::optional<Report> report = value_or_raise(std::move(result));
  return report ? report_str(*report) : nullptr;
}

PyObject* run(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return guarded([&]() -> PyObject* {
    PyObject* arg[kRun.count];
    if (!bind_arguments(kRun, args, nargs, kwnames, arg)) return nullptr;
    PriceColumn prices[kPrices];
    for (size_t i = 0; i < kPrices; ++i) {
      if (!prices[i].read(arg[i], kRunParams[i])) return nullptr;
    }
    TimeColumn time;
    if (!time.read(arg[5], "time")) return nullptr;
    std::string_view spec_text;
    if (!text_argument(arg[6], "spec_json", spec_text)) return nullptr;
    double capital = 10000.0;
    if (arg[7] != nullptr && !float_call_argument(arg[7], "capital", capital)) return nullptr;

    const size_t m = prices[0].size();
    const size_t lengths[] = {prices[1].size(), prices[2].size(), prices[3].size(),
                              prices[4].size(), time.size()};
    for (size_t i = 0; i < std::size(lengths); ++i) {
      if (lengths[i] != m) {
        set_value_error(std::string(kRunParams[i + 1]) + " length " + std::to_string(lengths[i]) +
                        " does not match open length " + std::to_string(m));
        return nullptr;
      }
    }

    std::optional<StrategySpec> spec = value_or_raise(read_spec_document(spec_text));
    if (!spec) return nullptr;
    const CandleColumns columns{time.values(),      prices[0].values(), prices[1].values(),
                                prices[2].values(), prices[3].values(), prices[4].values()};
    return result_str(run_columns_report(std::move(*spec), columns, capital));
  });
}

PyObject* run_json(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return guarded([&]() -> PyObject* {
    PyObject* arg[kRunJson.count];
    if (!bind_arguments(kRunJson, args, nargs, kwnames, arg)) return nullptr;
    std::string_view request_text;
    if (!text_argument(arg[0], "request_json", request_text)) return nullptr;
    std::optional<RunRequest> request = value_or_raise(read_run_request_document(request_text));
    if (!request) return nullptr;
    return result_str(run_request_report(std::move(*request)));
  });
}

}  // namespace

PyMethodDef run_method = {
    "run", reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(run)),
    METH_FASTCALL | METH_KEYWORDS,
    "run(open, high, low, close, volume, time, spec_json, capital=10000.0)\n--\n\n"
    "Run a backtest. Returns the report as a JSON string."};

PyMethodDef run_json_method = {
    "run_json", reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(run_json)),
    METH_FASTCALL | METH_KEYWORDS,
    "run_json(request_json)\n--\n\n"
    "Run a backtest from a single JSON request bundling candles, spec and optional\n"
    "feeds. Returns the report as a JSON string."};

}  // namespace ostrel::host
