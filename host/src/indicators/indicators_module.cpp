// The module _indicators: the Indicator class, the batch compute() and the
// list of registered types.

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "args.hpp"
#include "errors.hpp"
#include "indicator_factory.hpp"
#include "indicators/indicators_module.hpp"
#include "registry.hpp"
#include "series.hpp"

namespace ostrel::host {

PyObject* float_tuple(std::span<const double> values) {
  PyObject* tuple = PyTuple_New(static_cast<Py_ssize_t>(values.size()));
  if (tuple == nullptr) return nullptr;
  for (size_t i = 0; i < values.size(); ++i) {
    PyObject* v = PyFloat_FromDouble(values[i]);
    if (v == nullptr) {
      Py_DECREF(tuple);
      return nullptr;
    }
    PyTuple_SET_ITEM(tuple, static_cast<Py_ssize_t>(i), v);
  }
  return tuple;
}

PyObject* feed_name(FeedKind feed) {
  const std::string_view name = kFeedDocumentNames[static_cast<size_t>(feed)];
  return PyUnicode_FromStringAndSize(name.data(), static_cast<Py_ssize_t>(name.size()));
}

PyObject* outputs_dict(const Indicator& indicator) {
  PyObject* dict = PyDict_New();
  if (dict == nullptr) return nullptr;
  for (const NamedOutput& o : indicator.outputs()) {
    PyObject* key = PyUnicode_FromStringAndSize(o.name.data(), static_cast<Py_ssize_t>(o.name.size()));
    PyObject* value = PyFloat_FromDouble(o.value);
    const bool ok = key != nullptr && value != nullptr && PyDict_SetItem(dict, key, value) == 0;
    Py_XDECREF(key);
    Py_XDECREF(value);
    if (!ok) {
      Py_DECREF(dict);
      return nullptr;
    }
  }
  return dict;
}

namespace {

PyObject* text(std::string_view s) {
  return PyUnicode_FromStringAndSize(s.data(), static_cast<Py_ssize_t>(s.size()));
}

constexpr std::string_view kKindNames[] = {"positive integer", "real", "i32", "u32"};

// (name, feed, parameter kinds, output names) for every registered type.
PyObject* types(PyObject*, PyObject*) {
  return guarded([&]() -> PyObject* {
    PyObject* list = PyList_New(0);
    if (list == nullptr) return nullptr;
    for (const TypeRow& row : known_indicator_types()) {
      if (row.build == nullptr) continue;
      PyObject* kinds = PyTuple_New(static_cast<Py_ssize_t>(row.build->params.size()));
      PyObject* outputs = PyTuple_New(static_cast<Py_ssize_t>(row.build->outputs.size()));
      bool ok = kinds != nullptr && outputs != nullptr;
      for (size_t i = 0; ok && i < row.build->params.size(); ++i) {
        PyObject* k = text(kKindNames[static_cast<size_t>(row.build->params[i])]);
        ok = k != nullptr;
        if (ok) PyTuple_SET_ITEM(kinds, static_cast<Py_ssize_t>(i), k);
      }
      for (size_t i = 0; ok && i < row.build->outputs.size(); ++i) {
        PyObject* o = text(row.build->outputs[i]);
        ok = o != nullptr;
        if (ok) PyTuple_SET_ITEM(outputs, static_cast<Py_ssize_t>(i), o);
      }
      PyObject* entry = ok ? Py_BuildValue("(NNNN)", text(row.name), feed_name(row.feed), kinds, outputs)
                           : nullptr;
      if (!ok) {
        Py_XDECREF(kinds);
        Py_XDECREF(outputs);
      }
      if (entry == nullptr || PyList_Append(list, entry) != 0) {
        Py_XDECREF(entry);
        Py_DECREF(list);
        return nullptr;
      }
      Py_DECREF(entry);
    }
    return list;
  });
}

constexpr const char* kComputeParams[] = {"type", "params", "open",   "high",     "low",
                                          "close", "volume", "time", "reference"};
constexpr Signature kCompute = {.name = "compute",
                                .params = kComputeParams,
                                .count = std::size(kComputeParams),
                                .required = 2,
                                .positional = 2};

bool given(PyObject* object) { return object != nullptr && object != Py_None; }

// A float64 column of n values, written in place.
struct OutputColumn {
  PyObject* bytes = nullptr;
  double* data = nullptr;
};

OutputColumn new_column(size_t n) {
  OutputColumn c;
  c.bytes = PyByteArray_FromStringAndSize(nullptr, static_cast<Py_ssize_t>(n * sizeof(double)));
  if (c.bytes != nullptr) c.data = reinterpret_cast<double*>(PyByteArray_AS_STRING(c.bytes));
  return c;
}

// compute(type, params, *, open, high, low, close, volume, time, reference):
// {"value": bytearray, component: bytearray, ...} of float64, NaN where the
// indicator had no value. Missing open/high/low are the close, a missing
// volume 0, a missing time 0; a missing or NaN reference is absent.
PyObject* compute(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return guarded([&]() -> PyObject* {
    PyObject* arg[kCompute.count];
    if (!bind_arguments(kCompute, args, nargs, kwnames, arg)) return nullptr;
    std::string_view name;
    if (!text_argument(arg[0], "type", name)) return nullptr;
    PriceColumn params;
    if (!params.read(arg[1], "params")) return nullptr;
    constexpr size_t kColumns = 5;  // open, high, low, close, volume
    PriceColumn prices[kColumns];
    TimeColumn time;
    PriceColumn reference;
    for (size_t i = 0; i < kColumns; ++i) {
      if (given(arg[2 + i]) && !prices[i].read(arg[2 + i], kComputeParams[2 + i])) return nullptr;
    }
    if (given(arg[7]) && !time.read(arg[7], "time")) return nullptr;
    if (given(arg[8]) && !reference.read(arg[8], "reference")) return nullptr;
    if (!given(arg[5])) {
      PyErr_SetString(PyExc_TypeError, "compute() missing required keyword argument: 'close'");
      return nullptr;
    }
    const size_t n = prices[3].size();
    auto check_length = [&](PyObject* object, size_t size, const char* column) {
      if (!given(object) || size == n) return true;
      set_value_error(std::string(column) + " length " + std::to_string(size) +
                      " does not match close length " + std::to_string(n));
      return false;
    };
    for (size_t i = 0; i < kColumns; ++i) {
      if (!check_length(arg[2 + i], prices[i].size(), kComputeParams[2 + i])) return nullptr;
    }
    if (!check_length(arg[7], time.size(), "time") ||
        !check_length(arg[8], reference.size(), "reference")) {
      return nullptr;
    }

    std::optional<std::unique_ptr<Indicator>> built =
        value_or_raise(create_indicator(name, params.values()));
    if (!built) return nullptr;
    Indicator& indicator = **built;
    // Built, so its row exists and has a builder.
    const auto names = find_type(resolve_alias(name))->build->outputs;

    std::vector<OutputColumn> columns(1 + names.size());
    auto release = [&] {
      for (OutputColumn& c : columns) Py_XDECREF(c.bytes);
    };
    for (OutputColumn& c : columns) {
      c = new_column(n);
      if (c.bytes == nullptr) {
        release();
        return nullptr;
      }
    }
    const double nan = std::numeric_limits<double>::quiet_NaN();
    auto column_or = [&](size_t i, size_t k, double fallback) {
      return given(arg[2 + i]) ? prices[i].values()[k] : fallback;
    };
    UpdateContext ctx;
    for (size_t k = 0; k < n; ++k) {
      const double close = prices[3].values()[k];
      ctx.candle = Candle{given(arg[7]) ? time.values()[k] : 0, column_or(0, k, close),
                          column_or(1, k, close), column_or(2, k, close), close,
                          column_or(4, k, 0.0)};
      ctx.reference_close.reset();
      if (given(arg[8]) && !std::isnan(reference.values()[k])) {
        ctx.reference_close = reference.values()[k];
      }
      const std::optional<double> value = indicator.update(ctx);
      columns[0].data[k] = value.value_or(nan);
      const auto outputs = indicator.outputs();
      for (size_t j = 0; j < names.size(); ++j) {
        columns[1 + j].data[k] = value && j < outputs.size() ? outputs[j].value : nan;
      }
    }

    PyObject* result = PyDict_New();
    bool ok = result != nullptr;
    for (size_t j = 0; ok && j < columns.size(); ++j) {
      const std::string_view key = j == 0 ? std::string_view("value") : names[j - 1];
      PyObject* k = text(key);
      ok = k != nullptr && PyDict_SetItem(result, k, columns[j].bytes) == 0;
      Py_XDECREF(k);
    }
    release();
    if (!ok) Py_CLEAR(result);
    return result;
  });
}

PyMethodDef functions[] = {
    {"types", types, METH_NOARGS,
     "types()\n--\n\n"
     "(name, feed, parameter kinds, output names) of every registered type."},
    {"compute", reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(compute)),
     METH_FASTCALL | METH_KEYWORDS,
     "compute(type, params, *, open=None, high=None, low=None, close=None, volume=None,\n"
     "        time=None, reference=None)\n--\n\n"
     "The indicator over whole columns: a dict of float64 bytearrays, NaN where\n"
     "it had no value."},
    {nullptr, nullptr, 0, nullptr}};

PyModuleDef module_def = {PyModuleDef_HEAD_INIT,
                          "_indicators",
                          "The registry's indicators: Indicator, compute and types.",
                          -1,
                          functions,
                          nullptr,
                          nullptr,
                          nullptr,
                          nullptr};

PyObject* create_module() {
  PyObject* module = PyModule_Create(&module_def);
  if (module == nullptr) return nullptr;
  PyObject* type = create_indicator_type();
  if (type == nullptr || PyModule_AddObjectRef(module, "Indicator", type) != 0) Py_CLEAR(module);
  Py_XDECREF(type);
  return module;
}

}  // namespace
}  // namespace ostrel::host

PyMODINIT_FUNC PyInit__indicators() {
  return ostrel::host::guarded([] { return ostrel::host::create_module(); });
}
