// The module _ostrel_backtest: its definition and its attributes, each also
// listed in __all__ in the order added.

#include <Python.h>

#include "entry_points.hpp"
#include "errors.hpp"

namespace ostrel::host {
namespace {

PyModuleDef module_def = {PyModuleDef_HEAD_INIT,
                          "_ostrel_backtest",
                          "Strategy backtests: run, run_json and StreamingBacktest.",
                          -1,
                          nullptr,
                          nullptr,
                          nullptr,
                          nullptr,
                          nullptr};

// Adds `value` (a new reference, consumed; nullptr means its creation failed)
// under `name` and appends the name to __all__.
bool add_attribute(PyObject* module, const char* name, PyObject* value) {
  if (value == nullptr) return false;
  const int added = PyModule_AddObjectRef(module, name, value);
  Py_DECREF(value);
  if (added != 0) return false;
  PyObject* all = PyObject_GetAttrString(module, "__all__");
  if (all == nullptr) {
    if (!PyErr_ExceptionMatches(PyExc_AttributeError)) return false;
    PyErr_Clear();
    all = PyList_New(0);
    if (all == nullptr || PyModule_AddObjectRef(module, "__all__", all) != 0) {
      Py_XDECREF(all);
      return false;
    }
  }
  PyObject* text = PyUnicode_FromString(name);
  const bool appended = text != nullptr && PyList_Append(all, text) == 0;
  Py_XDECREF(text);
  Py_DECREF(all);
  return appended;
}

PyObject* function(PyMethodDef* def, PyObject* module) {
  PyObject* module_name = PyModule_GetNameObject(module);
  if (module_name == nullptr) return nullptr;
  PyObject* f = PyCFunction_NewEx(def, nullptr, module_name);
  Py_DECREF(module_name);
  return f;
}

PyObject* create_module() {
  PyObject* module = PyModule_Create(&module_def);
  if (module == nullptr) return nullptr;
  const bool ok = add_attribute(module, "__version__", PyUnicode_FromString("0.2.0")) &&
                  add_attribute(module, "run", function(&run_method, module)) &&
                  add_attribute(module, "run_json", function(&run_json_method, module)) &&
                  add_attribute(module, "StreamingBacktest", create_streaming_type());
  if (!ok) Py_CLEAR(module);
  return module;
}

}  // namespace
}  // namespace ostrel::host

PyMODINIT_FUNC PyInit__ostrel_backtest() {
  return ostrel::host::guarded([] { return ostrel::host::create_module(); });
}
