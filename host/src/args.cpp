#include "args.hpp"

#include <algorithm>
#include <string>
#include <vector>

#include "errors.hpp"

namespace ostrel::host {
namespace {

// 'a'; 'a' and 'b'; 'a', 'b', and 'c'.
std::string name_list(const std::vector<const char*>& names) {
  std::string text;
  for (size_t i = 0; i < names.size(); ++i) {
    if (i != 0) text += names.size() == 2 ? " and " : (i + 1 == names.size() ? ", and " : ", ");
    text += '\'';
    text += names[i];
    text += '\'';
  }
  return text;
}

void too_many_positional(const Signature& sig, Py_ssize_t nargs) {
  const size_t self = sig.method ? 1 : 0;
  const size_t most = sig.positional_count() + self;
  const size_t least = sig.required + self;
  const bool defaults = least != most;
  const std::string takes = defaults ? "from " + std::to_string(least) + " to " +
                                           std::to_string(most)
                                     : std::to_string(most);
  const size_t given = static_cast<size_t>(nargs) + self;
  PyErr_Format(PyExc_TypeError, "%s() takes %s positional argument%s but %zu %s given", sig.name,
               takes.c_str(), (most != 1 || defaults) ? "s" : "", given,
               given == 1 ? "was" : "were");
}

}  // namespace

// The interpreter's order: keywords are matched first (unknown or doubled
// names), then the positional count, then the missing parameters.
bool bind_arguments(const Signature& sig, PyObject* const* args, Py_ssize_t nargs,
                    PyObject* kwnames, PyObject** slots) {
  for (size_t i = 0; i < sig.count; ++i) slots[i] = nullptr;
  const size_t positional = std::min(static_cast<size_t>(nargs), sig.positional_count());
  for (size_t i = 0; i < positional; ++i) slots[i] = args[i];
  const Py_ssize_t nkw = kwnames == nullptr ? 0 : PyTuple_GET_SIZE(kwnames);
  for (Py_ssize_t k = 0; k < nkw; ++k) {
    PyObject* key = PyTuple_GET_ITEM(kwnames, k);
    size_t j = 0;
    while (j < sig.count && PyUnicode_CompareWithASCIIString(key, sig.params[j]) != 0) ++j;
    if (j == sig.count) {
      PyErr_Format(PyExc_TypeError, "%s() got an unexpected keyword argument '%S'", sig.name,
                   key);
      return false;
    }
    if (slots[j] != nullptr) {
      PyErr_Format(PyExc_TypeError, "%s() got multiple values for argument '%s'", sig.name,
                   sig.params[j]);
      return false;
    }
    slots[j] = args[nargs + k];
  }
  if (static_cast<size_t>(nargs) > sig.positional_count()) {
    too_many_positional(sig, nargs);
    return false;
  }
  std::vector<const char*> missing;
  for (size_t i = 0; i < sig.required; ++i) {
    if (slots[i] == nullptr) missing.push_back(sig.params[i]);
  }
  if (!missing.empty()) {
    PyErr_Format(PyExc_TypeError, "%s() missing %zu required positional argument%s: %s",
                 sig.name, missing.size(), missing.size() == 1 ? "" : "s",
                 name_list(missing).c_str());
    return false;
  }
  return true;
}

bool bind_arguments(const Signature& sig, PyObject* args, PyObject* kwargs, PyObject** slots) {
  PyObject** items = PySequence_Fast_ITEMS(args);
  std::vector<PyObject*> flat(items, items + PyTuple_GET_SIZE(args));
  PyObject* kwnames = nullptr;
  if (kwargs != nullptr && PyDict_GET_SIZE(kwargs) != 0) {
    kwnames = PyTuple_New(PyDict_GET_SIZE(kwargs));
    if (kwnames == nullptr) return false;
    Py_ssize_t pos = 0, k = 0;
    PyObject *key, *value;
    while (PyDict_Next(kwargs, &pos, &key, &value)) {
      Py_INCREF(key);
      PyTuple_SET_ITEM(kwnames, k++, key);
      flat.push_back(value);
    }
  }
  const bool bound = bind_arguments(sig, flat.data(), PyTuple_GET_SIZE(args), kwnames, slots);
  Py_XDECREF(kwnames);
  return bound;
}

const char* type_name(PyObject* object) { return _PyType_Name(Py_TYPE(object)); }

bool double_argument(PyObject* object, const char* name, double& out) {
  if (item_to_double(object, out)) return true;
  add_processing_note(name);
  return false;
}

bool float_call_argument(PyObject* object, const char* name, double& out) {
  PyObject* number = PyNumber_Float(object);
  if (number != nullptr) {
    out = PyFloat_AS_DOUBLE(number);
    Py_DECREF(number);
    return true;
  }
  add_processing_note(name);
  return false;
}

bool int64_argument(PyObject* object, const char* name, int64_t& out) {
  if (item_to_int64(object, out)) return true;
  add_processing_note(name);
  return false;
}

bool text_argument(PyObject* object, const char* name, std::string_view& out) {
  if (!PyUnicode_Check(object)) {
    PyErr_Format(PyExc_TypeError, "'%s' object is not an instance of 'str'", type_name(object));
  } else {
    Py_ssize_t size = 0;
    const char* text = PyUnicode_AsUTF8AndSize(object, &size);
    if (text != nullptr) {
      out = std::string_view(text, static_cast<size_t>(size));
      return true;
    }
  }
  add_processing_note(name);
  return false;
}

}  // namespace ostrel::host
