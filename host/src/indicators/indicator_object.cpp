// Indicator: one registry indicator driven bar by bar from Python, through
// the same registry and update as the engine.

#include <memory>
#include <new>
#include <string>

#include "args.hpp"
#include "errors.hpp"
#include "feed_admission.hpp"
#include "indicator_factory.hpp"
#include "indicators/feed_arguments.hpp"
#include "indicators/indicators_module.hpp"
#include "registry.hpp"
#include "series.hpp"

namespace ostrel::host {
namespace {

struct IndicatorObject {
  PyObject_HEAD
  std::unique_ptr<Indicator> indicator;
  PyObject* type_name;  // the str it was built from
  PyObject* params;     // a tuple of floats
  PyObject* feed;       // the feed kind's document name
};

IndicatorObject* as_indicator(PyObject* self) { return reinterpret_cast<IndicatorObject*>(self); }

constexpr const char* kNewParams[] = {"type", "params"};
constexpr Signature kNew = signature("Indicator", kNewParams, 1);

PyObject* indicator_new(PyTypeObject* type, PyObject* args, PyObject* kwargs) {
  return guarded([&]() -> PyObject* {
    PyObject* arg[kNew.count];
    if (!bind_arguments(kNew, args, kwargs, arg)) return nullptr;
    std::string_view name;
    if (!text_argument(arg[0], "type", name)) return nullptr;
    PriceColumn params;
    if (arg[1] != nullptr && !params.read(arg[1], "params")) return nullptr;
    std::optional<std::unique_ptr<Indicator>> built =
        value_or_raise(create_indicator(name, params.values()));
    if (!built) return nullptr;
    PyObject* param_tuple = float_tuple(params.values());
    if (param_tuple == nullptr) return nullptr;
    PyObject* self = type->tp_alloc(type, 0);
    if (self == nullptr) {
      Py_DECREF(param_tuple);
      return nullptr;
    }
    IndicatorObject* ind = as_indicator(self);
    new (&ind->indicator) std::unique_ptr<Indicator>(std::move(*built));
    ind->type_name = Py_NewRef(arg[0]);
    ind->params = param_tuple;
    // Built, so its row exists.
    ind->feed = feed_name(find_type(resolve_alias(name))->feed);
    if (ind->feed == nullptr) Py_CLEAR(self);
    return self;
  });
}

void indicator_dealloc(PyObject* self) {
  PyTypeObject* type = Py_TYPE(self);
  IndicatorObject* ind = as_indicator(self);
  ind->indicator.~unique_ptr();
  Py_XDECREF(ind->type_name);
  Py_XDECREF(ind->params);
  Py_XDECREF(ind->feed);
  type->tp_free(self);
  Py_DECREF(type);
}

constexpr const char* kUpdateParams[] = {"open",      "high",        "low",        "close",
                                         "volume",    "time",        "reference",  "derivatives",
                                         "order_book", "trades",     "cross_section"};
constexpr Signature kUpdate = {.name = "Indicator.update",
                               .params = kUpdateParams,
                               .count = std::size(kUpdateParams),
                               .required = 4,
                               .method = true,
                               .positional = 6};

PyObject* update(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return guarded([&]() -> PyObject* {
    PyObject* arg[kUpdate.count];
    if (!bind_arguments(kUpdate, args, nargs, kwnames, arg)) return nullptr;
    Candle candle;
    double* prices[] = {&candle.open, &candle.high, &candle.low, &candle.close, &candle.volume};
    for (size_t i = 0; i < std::size(prices); ++i) {
      if (arg[i] != nullptr && !double_argument(arg[i], kUpdateParams[i], *prices[i])) {
        return nullptr;
      }
    }
    if (arg[5] != nullptr && !int64_argument(arg[5], "time", candle.time)) return nullptr;
    AdmittedFeeds feeds;
    if (!admit_feed_arguments({arg[6], arg[7], arg[8], arg[9], arg[10]}, feeds)) return nullptr;
    const std::optional<double> value =
        as_indicator(self)->indicator->update(update_context(feeds, candle));
    if (!value) Py_RETURN_NONE;
    return PyFloat_FromDouble(*value);
  });
}

PyObject* get_outputs(PyObject* self, void*) {
  return guarded([&]() -> PyObject* { return outputs_dict(*as_indicator(self)->indicator); });
}

PyObject* get_warmup_period(PyObject* self, void*) {
  return PyLong_FromUnsignedLongLong(as_indicator(self)->indicator->warmup_period());
}

PyObject* get_feed(PyObject* self, void*) { return Py_NewRef(as_indicator(self)->feed); }
PyObject* get_type(PyObject* self, void*) { return Py_NewRef(as_indicator(self)->type_name); }
PyObject* get_params(PyObject* self, void*) { return Py_NewRef(as_indicator(self)->params); }

PyObject* repr(PyObject* self) {
  IndicatorObject* ind = as_indicator(self);
  PyObject* list = PySequence_List(ind->params);
  if (list == nullptr) return nullptr;
  PyObject* text = PyUnicode_FromFormat("Indicator(%R, %R)", ind->type_name, list);
  Py_DECREF(list);
  return text;
}

PyMethodDef methods[] = {
    {"update", reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(update)),
     METH_FASTCALL | METH_KEYWORDS,
     "update($self, open, high, low, close, volume=0.0, time=0, *, reference=None,\n"
     "       derivatives=None, order_book=None, trades=None, cross_section=None)\n--\n\n"
     "Feed one bar. Returns the indicator's value, or None while it warms up or\n"
     "when the bar's input is missing or invalid for it. The feed arguments take\n"
     "the shapes of the JSON records (dicts or sequences); `reference` is the\n"
     "reference instrument's candle or its close. A feed record that fails\n"
     "validation is absent for the bar, as in a backtest."},
    {nullptr, nullptr, 0, nullptr}};

PyGetSetDef getset[] = {
    {"outputs", get_outputs, nullptr,
     "The named components of the last value, as a dict; empty for single-valued types.",
     nullptr},
    {"warmup_period", get_warmup_period, nullptr, "Bars of history the type needs.", nullptr},
    {"feed", get_feed, nullptr, "The feed the type consumes: 'kline', 'trade', ...", nullptr},
    {"type", get_type, nullptr, "The type name it was built from.", nullptr},
    {"params", get_params, nullptr, "The parameters, as floats.", nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr}};

constexpr const char kDoc[] =
    "Indicator(type, params=())\n--\n\n"
    "A streaming indicator of the registry, built from its type name and\n"
    "positional parameters exactly as a strategy declares it.";

PyType_Slot slots[] = {{Py_tp_new, reinterpret_cast<void*>(indicator_new)},
                       {Py_tp_dealloc, reinterpret_cast<void*>(indicator_dealloc)},
                       {Py_tp_repr, reinterpret_cast<void*>(repr)},
                       {Py_tp_methods, methods},
                       {Py_tp_getset, getset},
                       {Py_tp_doc, const_cast<char*>(kDoc)},
                       {0, nullptr}};

PyType_Spec spec = {"ostrel_backtest._indicators.Indicator", sizeof(IndicatorObject), 0,
                    Py_TPFLAGS_DEFAULT, slots};

}  // namespace

PyObject* create_indicator_type() { return PyType_FromSpec(&spec); }

}  // namespace ostrel::host
