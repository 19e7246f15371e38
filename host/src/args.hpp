#pragma once
// The one argument binder of every entry point and method, and the
// conversions of single arguments.

#include <Python.h>

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace ostrel::host {

// A callable's parameters as the call-shape messages name them. A method
// counts its `self` among the positional arguments, as the interpreter does.
struct Signature {
  const char* name;  // "run", "StreamingBacktest.step"
  const char* const* params;
  size_t count;
  size_t required;  // the leading parameters without a default
  bool method = false;
  size_t positional = 0;  // how many may be given by position; 0: all (the rest are keyword-only)

  size_t positional_count() const { return positional == 0 ? count : positional; }
};

template <size_t N>
constexpr Signature signature(const char* name, const char* const (&params)[N], size_t required,
                              bool method = false) {
  return Signature{name, params, N, required, method};
}

constexpr Signature no_arguments(const char* name, bool method = true) {
  return Signature{name, nullptr, 0, 0, method};
}

// Binds vectorcall arguments to `slots` (sig.count of them; borrowed
// references, nullptr for an omitted optional parameter). On a call-shape
// error sets the interpreter's TypeError and returns false.
bool bind_arguments(const Signature& sig, PyObject* const* args, Py_ssize_t nargs,
                    PyObject* kwnames, PyObject** slots);

// The same for a tuple and a keyword dict (type calls).
bool bind_arguments(const Signature& sig, PyObject* args, PyObject* kwargs, PyObject** slots);

// The qualified name of an object's type, as Python's messages show it.
const char* type_name(PyObject* object);

// Single items, converted as float() and integer conversion do, with their
// exceptions. Return false with the exception set.
inline bool item_to_double(PyObject* item, double& out) {
  if (PyFloat_CheckExact(item)) {
    out = PyFloat_AS_DOUBLE(item);
    return true;
  }
  out = PyLong_CheckExact(item) ? PyLong_AsDouble(item) : PyFloat_AsDouble(item);
  return !(out == -1.0 && PyErr_Occurred());
}

inline bool item_to_int64(PyObject* item, int64_t& out) {
  const long long v = PyLong_AsLongLong(item);
  if (v == -1 && PyErr_Occurred()) return false;
  out = v;
  return true;
}

// Arguments: the conversion, and on failure the note naming the parameter.
bool double_argument(PyObject* object, const char* name, double& out);
// Anything float() accepts, text included (the capital).
bool float_call_argument(PyObject* object, const char* name, double& out);
bool int64_argument(PyObject* object, const char* name, int64_t& out);
// A str's UTF-8 text; valid while the str lives.
bool text_argument(PyObject* object, const char* name, std::string_view& out);

}  // namespace ostrel::host
