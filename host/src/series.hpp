#pragma once
// One column of a whole-series call (`open` ... `volume` as doubles, `time`
// as signed 64-bit integers) taken from a Python argument.
//
// An object exporting a C-contiguous one-dimensional buffer of exactly the
// column's type (float64, or int64 for `time`), such as a numpy array, is
// read in place. Lists and tuples are read directly, with a Python call only
// for items that are not exact floats or ints. Anything else goes through
// the sequence protocol. Every road yields the same values and the same
// errors as converting the items one by one.

#include <Python.h>

#include <cstdint>
#include <span>
#include <vector>

namespace ostrel::host {

template <class T>
class Column {
 public:
  Column() = default;
  Column(const Column&) = delete;
  Column& operator=(const Column&) = delete;
  ~Column();

  // Reads the argument; false with the exception set and noted with `name`.
  bool read(PyObject* object, const char* name);

  std::span<const T> values() const { return values_; }
  size_t size() const { return values_.size(); }

 private:
  bool read_buffer(PyObject* object);
  bool read_items(PyObject* object);

  Py_buffer view_{};
  bool has_view_ = false;
  std::vector<T> items_;
  std::span<const T> values_;
};

using PriceColumn = Column<double>;
using TimeColumn = Column<int64_t>;

extern template class Column<double>;
extern template class Column<int64_t>;

}  // namespace ostrel::host
