// StreamingBacktest: one engine driven bar by bar, from construction until
// finish_json or close.

#include <memory>
#include <new>
#include <string>

#include "args.hpp"
#include "bar_feeds.hpp"
#include "documents.hpp"
#include "engine.hpp"
#include "entry_points.hpp"
#include "errors.hpp"
#include "report_writer.hpp"
#include "text.hpp"

namespace ostrel::host {
namespace {

struct Streaming {
  PyObject_HEAD
  std::unique_ptr<BacktestEngine> engine;  // absent once finished
  // 0: free; -1: held exclusively; n > 0: held shared n times.
  Py_ssize_t borrow;
};

Streaming* as_streaming(PyObject* self) { return reinterpret_cast<Streaming*>(self); }

// Access to an instance for the length of one call. A call that would
// overlap another call's incompatible access (a conversion callback calling
// back into the instance) is refused before it changes anything.
class ExclusiveAccess {
 public:
  explicit ExclusiveAccess(Streaming* s) : s_(s), held_(s->borrow == 0) {
    if (held_) {
      s_->borrow = -1;
    } else {
      PyErr_SetString(PyExc_RuntimeError, "Already borrowed");
    }
  }
  ~ExclusiveAccess() {
    if (held_) s_->borrow = 0;
  }
  ExclusiveAccess(const ExclusiveAccess&) = delete;
  ExclusiveAccess& operator=(const ExclusiveAccess&) = delete;
  explicit operator bool() const { return held_; }

 private:
  Streaming* s_;
  bool held_;
};

class SharedAccess {
 public:
  explicit SharedAccess(Streaming* s) : s_(s), held_(s->borrow >= 0) {
    if (held_) {
      ++s_->borrow;
    } else {
      PyErr_SetString(PyExc_RuntimeError, "Already mutably borrowed");
    }
  }
  ~SharedAccess() {
    if (held_) --s_->borrow;
  }
  SharedAccess(const SharedAccess&) = delete;
  SharedAccess& operator=(const SharedAccess&) = delete;
  explicit operator bool() const { return held_; }

 private:
  Streaming* s_;
  bool held_;
};

constexpr char kFinished[] = "this backtest is finished";

// The engine, or nullptr with ValueError kFinished.
BacktestEngine* running_engine(Streaming* s) {
  if (s->engine == nullptr) set_value_error(kFinished);
  return s->engine.get();
}

PyObject* step_status(Status failed) {
  if (failed) {
    set_backtest_error(*failed);
    return nullptr;
  }
  Py_RETURN_NONE;
}

// ---- construction and destruction ----

constexpr const char* kNewParams[] = {"spec_json", "capital"};
constexpr Signature kNew = signature("StreamingBacktest", kNewParams, 1);

PyObject* streaming_new(PyTypeObject* type, PyObject* args, PyObject* kwargs) {
  return guarded([&]() -> PyObject* {
    PyObject* arg[kNew.count];
    if (!bind_arguments(kNew, args, kwargs, arg)) return nullptr;
    std::string_view spec_text;
    if (!text_argument(arg[0], "spec_json", spec_text)) return nullptr;
    double capital = 10000.0;
    if (arg[1] != nullptr && !float_call_argument(arg[1], "capital", capital)) return nullptr;
    std::optional<StrategySpec> spec = value_or_raise(read_spec_document(spec_text));
    if (!spec) return nullptr;
    std::optional<BacktestEngine> engine =
        value_or_raise(BacktestEngine::create(std::move(*spec), capital));
    if (!engine) return nullptr;
    auto owned = std::make_unique<BacktestEngine>(std::move(*engine));
    PyObject* self = type->tp_alloc(type, 0);
    if (self == nullptr) return nullptr;
    Streaming* s = as_streaming(self);
    new (&s->engine) std::unique_ptr<BacktestEngine>(std::move(owned));
    s->borrow = 0;
    return self;
  });
}

void streaming_dealloc(PyObject* self) {
  PyTypeObject* type = Py_TYPE(self);
  as_streaming(self)->engine.~unique_ptr();
  type->tp_free(self);
  Py_DECREF(type);
}

// ---- methods ----

// A method binds its arguments, then takes the access it needs for the rest
// of the call (argument conversion included), then runs its body.
template <const Signature& sig, class Access, PyObject* (*body)(Streaming*, PyObject**)>
PyObject* method(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return guarded([&]() -> PyObject* {
    PyObject* arg[sig.count + 1];
    if (!bind_arguments(sig, args, nargs, kwnames, arg)) return nullptr;
    Streaming* s = as_streaming(self);
    Access access(s);
    if (!access) return nullptr;
    return body(s, arg);
  });
}

constexpr const char* kStepParams[] = {"open", "high", "low", "close", "volume", "time"};
constexpr Signature kStep = signature("StreamingBacktest.step", kStepParams, 6, true);

PyObject* step(Streaming* s, PyObject** arg) {
  Candle candle;
  double* prices[] = {&candle.open, &candle.high, &candle.low, &candle.close, &candle.volume};
  for (size_t i = 0; i < std::size(prices); ++i) {
    if (!double_argument(arg[i], kStepParams[i], *prices[i])) return nullptr;
  }
  if (!int64_argument(arg[5], "time", candle.time)) return nullptr;
  BacktestEngine* engine = running_engine(s);
  if (engine == nullptr) return nullptr;
  return step_status(engine->step(candle, BarFeeds{}));
}

constexpr const char* kStepJsonParams[] = {"step_json"};
constexpr Signature kStepJson = signature("StreamingBacktest.step_json", kStepJsonParams, 1, true);

PyObject* step_json(Streaming* s, PyObject** arg) {
  std::string_view text;
  if (!text_argument(arg[0], "step_json", text)) return nullptr;
  auto request = read_step_request_document(text);
  if (!request) {
    set_value_error(request.error());
    return nullptr;
  }
  BacktestEngine* engine = running_engine(s);
  if (engine == nullptr) return nullptr;
  return step_status(engine->step(request->candle, bar_feeds(request->feeds)));
}

constexpr Signature kEquityJson = no_arguments("StreamingBacktest.equity_json");

PyObject* equity_json(Streaming* s, PyObject**) {
  const BacktestEngine* engine = running_engine(s);
  if (engine == nullptr) return nullptr;
  return text_str(write_equity(engine->equity()));
}

constexpr Signature kLatestEquityJson = no_arguments("StreamingBacktest.latest_equity_json");

PyObject* latest_equity_json(Streaming* s, PyObject**) {
  const BacktestEngine* engine = running_engine(s);
  if (engine == nullptr) return nullptr;
  const auto points = engine->equity();
  return points.empty() ? text_str("null") : text_str(write_equity_point(points.back()));
}

constexpr Signature kFinishJson = no_arguments("StreamingBacktest.finish_json");

PyObject* finish_json(Streaming* s, PyObject**) {
  // Finished from here on, whatever follows.
  std::unique_ptr<BacktestEngine> engine = std::move(s->engine);
  if (engine == nullptr) {
    set_value_error(kFinished);
    return nullptr;
  }
  return report_str(std::move(*engine).finish());
}

constexpr Signature kClose = no_arguments("StreamingBacktest.close");

PyObject* close(Streaming* s, PyObject**) {
  s->engine.reset();
  Py_RETURN_NONE;
}

// ---- attributes and repr: shared access, no arguments ----

template <PyObject* (*body)(Streaming*)>
PyObject* shared(PyObject* self) {
  return guarded([&]() -> PyObject* {
    Streaming* s = as_streaming(self);
    SharedAccess access(s);
    if (!access) return nullptr;
    return body(s);
  });
}

template <PyObject* (*body)(Streaming*)>
PyObject* getter(PyObject* self, void*) {
  return shared<body>(self);
}

PyObject* num_trades(Streaming* s) {
  const BacktestEngine* engine = running_engine(s);
  if (engine == nullptr) return nullptr;
  return PyLong_FromSize_t(engine->num_trades());
}

PyObject* is_finished(Streaming* s) { return PyBool_FromLong(s->engine == nullptr); }

PyObject* repr(Streaming* s) {
  if (s->engine == nullptr) return PyUnicode_FromString("StreamingBacktest(finished)");
  const std::string text = "StreamingBacktest(bars=" + std::to_string(s->engine->bars()) +
                           ", trades=" + std::to_string(s->engine->num_trades()) + ")";
  return PyUnicode_FromStringAndSize(text.data(), static_cast<Py_ssize_t>(text.size()));
}

template <const Signature& sig, class Access, PyObject* (*body)(Streaming*, PyObject**)>
constexpr PyCFunction fastcall() {
  return reinterpret_cast<PyCFunction>(
      reinterpret_cast<void (*)()>(method<sig, Access, body>));
}

constexpr int kFastcall = METH_FASTCALL | METH_KEYWORDS;

PyMethodDef methods[] = {
    {"step", fastcall<kStep, ExclusiveAccess, step>(), kFastcall,
     "step($self, open, high, low, close, volume, time)\n--\n\n"
     "Advance by one OHLCV bar."},
    {"step_json", fastcall<kStepJson, ExclusiveAccess, step_json>(), kFastcall,
     "step_json($self, step_json)\n--\n\n"
     "Advance by one bar described as a `StepRequest` document, which is the\n"
     "only form that can also carry the bar's reference / derivatives /\n"
     "order-book / trade / cross-section feeds."},
    {"equity_json", fastcall<kEquityJson, SharedAccess, equity_json>(), kFastcall,
     "equity_json($self)\n--\n\n"
     "The equity curve so far, as a JSON array."},
    {"latest_equity_json", fastcall<kLatestEquityJson, SharedAccess, latest_equity_json>(), kFastcall,
     "latest_equity_json($self)\n--\n\n"
     "The most recent equity point as JSON, or `null` before the first bar."},
    {"finish_json", fastcall<kFinishJson, ExclusiveAccess, finish_json>(), kFastcall,
     "finish_json($self)\n--\n\n"
     "Close any open position and return the report JSON. Consumes the run."},
    {"close", fastcall<kClose, ExclusiveAccess, close>(), kFastcall,
     "close($self)\n--\n\n"
     "Drop the run without producing a report. Idempotent."},
    {nullptr, nullptr, 0, nullptr}};

PyGetSetDef getset[] = {
    {"num_trades", getter<num_trades>, nullptr, "The number of closed trades so far.", nullptr},
    {"is_finished", getter<is_finished>, nullptr, nullptr, nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr}};

constexpr const char kDoc[] =
    "StreamingBacktest(spec_json, capital=10000.0)\n--\n\n"
    "A backtest driven one bar at a time.\n\n"
    "`run` needs the whole series up front; this class drives the same engine\n"
    "bar by bar, so a live loop and a backtest are the same code path. Once the\n"
    "run is finished (by `finish_json` or `close`) every further call raises\n"
    "instead of resurrecting a half-finished run.";

PyType_Slot slots[] = {{Py_tp_new, reinterpret_cast<void*>(streaming_new)},
                       {Py_tp_dealloc, reinterpret_cast<void*>(streaming_dealloc)},
                       {Py_tp_repr, reinterpret_cast<void*>(shared<repr>)},
                       {Py_tp_methods, methods},
                       {Py_tp_getset, getset},
                       {Py_tp_doc, const_cast<char*>(kDoc)},
                       {0, nullptr}};

PyType_Spec spec = {"ostrel_backtest._ostrel_backtest.StreamingBacktest", sizeof(Streaming), 0,
                    Py_TPFLAGS_DEFAULT, slots};

}  // namespace

PyObject* create_streaming_type() { return PyType_FromSpec(&spec); }

}  // namespace ostrel::host
