#include "errors.hpp"

#include <string>

namespace ostrel::host {

void set_value_error(std::string_view text) {
  PyObject* message = PyUnicode_DecodeUTF8(text.data(), static_cast<Py_ssize_t>(text.size()),
                                           "replace");
  if (message == nullptr) return;
  PyErr_SetObject(PyExc_ValueError, message);
  Py_DECREF(message);
}

void set_backtest_error(const BacktestError& error) { set_value_error(error.render()); }

void add_processing_note(const char* name) {
  PyObject *type, *value, *traceback;
  PyErr_Fetch(&type, &value, &traceback);
  if (type == nullptr) return;
  PyErr_NormalizeException(&type, &value, &traceback);
  if (value != nullptr && PyObject_HasAttrString(value, "add_note")) {
    PyObject* done = PyObject_CallMethod(value, "add_note", "s",
                                         ("while processing '" + std::string(name) + "'").c_str());
    // A note that cannot be added must not replace the conversion's error.
    if (done == nullptr) PyErr_Clear();
    Py_XDECREF(done);
  }
  if (traceback != nullptr && value != nullptr) PyException_SetTraceback(value, traceback);
  PyErr_Restore(type, value, traceback);
}

namespace {

PyObject* internal_failure_class() {
  static PyObject* cls = nullptr;
  if (cls == nullptr) {
    cls = PyErr_NewExceptionWithDoc(
        "ostrel_backtest._ostrel_backtest.InternalError",
        "A broken invariant inside the engine. Derived from BaseException so that\n"
        "ordinary `except Exception` handlers do not swallow it.",
        PyExc_BaseException, nullptr);
  }
  return cls;
}

}  // namespace

void set_internal_failure(const char* what) {
  PyObject* cls = internal_failure_class();
  if (cls == nullptr) return;  // its creation's error is pending
  PyErr_SetString(cls, what);
}

}  // namespace ostrel::host
