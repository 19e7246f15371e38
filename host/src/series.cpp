#include "series.hpp"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "args.hpp"
#include "errors.hpp"

namespace ostrel::host {
namespace {

// A sequence's claimed length sizes no allocation beyond this: the list
// grows as items actually arrive.
constexpr Py_ssize_t kMaxUntrustedReserve = Py_ssize_t{1} << 16;

// Buffer formats of one 8-byte item in native (little-endian) order.
bool native_format(const char* format, const char* codes) {
  if (format == nullptr) return false;
  if (*format == '@' || *format == '=' || *format == '<') ++format;
  return format[0] != '\0' && format[1] == '\0' && std::strchr(codes, format[0]) != nullptr;
}

template <class T>
constexpr const char* kFormatCodes = "d";
template <>
constexpr const char* kFormatCodes<int64_t> = "ql";

// Exact floats and ints convert inline, without a Python call; other objects
// through their own conversion.
bool convert_item(PyObject* item, double& out) { return item_to_double(item, out); }
bool convert_item(PyObject* item, int64_t& out) { return item_to_int64(item, out); }

}  // namespace

template <class T>
Column<T>::~Column() {
  if (has_view_) PyBuffer_Release(&view_);
}

template <class T>
bool Column<T>::read(PyObject* object, const char* name) {
  if (read_buffer(object) || read_items(object)) return true;
  add_processing_note(name);
  return false;
}

template <class T>
bool Column<T>::read_buffer(PyObject* object) {
  if (!PyObject_CheckBuffer(object)) return false;
  if (PyObject_GetBuffer(object, &view_, PyBUF_ND | PyBUF_FORMAT) != 0) {
    PyErr_Clear();  // not contiguous, or refused: the sequence protocol decides
    return false;
  }
  // An unaligned buffer (a view at an odd offset) is read item by item.
  if (view_.ndim != 1 || view_.itemsize != sizeof(T) ||
      !native_format(view_.format, kFormatCodes<T>) ||
      reinterpret_cast<uintptr_t>(view_.buf) % alignof(T) != 0) {
    PyBuffer_Release(&view_);
    return false;
  }
  has_view_ = true;
  values_ = std::span<const T>(static_cast<const T*>(view_.buf),
                               static_cast<size_t>(view_.len) / sizeof(T));
  return true;
}

template <class T>
bool Column<T>::read_items(PyObject* object) {
  if (PyUnicode_Check(object)) {
    PyErr_SetString(PyExc_TypeError, "a str is not accepted as a sequence of numbers");
    return false;
  }
  if (PyList_CheckExact(object) || PyTuple_CheckExact(object)) {
    const bool list = PyList_CheckExact(object);
    items_.reserve(static_cast<size_t>(Py_SIZE(object)));
    // A list may shrink while an item's conversion runs Python code: the
    // size is read anew for every item, and the item is held meanwhile.
    for (Py_ssize_t i = 0; i < Py_SIZE(object); ++i) {
      PyObject* item = list ? PyList_GET_ITEM(object, i) : PyTuple_GET_ITEM(object, i);
      T value;
      Py_INCREF(item);
      const bool converted = convert_item(item, value);
      Py_DECREF(item);
      if (!converted) return false;
      items_.push_back(value);
    }
  } else {
    if (!PySequence_Check(object)) {
      PyErr_Format(PyExc_TypeError, "'%s' object is not an instance of 'Sequence'",
                   type_name(object));
      return false;
    }
    const Py_ssize_t hint = PyObject_LengthHint(object, 0);
    if (hint < 0) return false;
    items_.reserve(static_cast<size_t>(std::min(hint, kMaxUntrustedReserve)));
    PyObject* iterator = PyObject_GetIter(object);
    if (iterator == nullptr) return false;
    while (PyObject* item = PyIter_Next(iterator)) {
      T value;
      const bool converted = convert_item(item, value);
      Py_DECREF(item);
      if (!converted) {
        Py_DECREF(iterator);
        return false;
      }
      items_.push_back(value);
    }
    Py_DECREF(iterator);
    if (PyErr_Occurred()) return false;
  }
  values_ = items_;
  return true;
}

template class Column<double>;
template class Column<int64_t>;

}  // namespace ostrel::host
