#pragma once
// The side feeds of Indicator.update, given as Python objects shaped like the
// JSON records (dicts or sequences), read by the document readers and then
// validated as the engine does: a record that fails validation is absent for
// the bar; one that cannot be read raises ValueError.

#include <Python.h>

#include "engine_state.hpp"

namespace ostrel::host {

// The five feed arguments, each borrowed and nullptr or None when not given.
struct FeedArguments {
  PyObject* reference = nullptr;  // a candle record, or the reference close as a number
  PyObject* derivatives = nullptr;
  PyObject* order_book = nullptr;
  PyObject* trades = nullptr;  // a sequence of trade prints
  PyObject* cross_section = nullptr;
};

// Fills `admitted`; false with the exception set and noted with the argument.
bool admit_feed_arguments(const FeedArguments& args, AdmittedFeeds& admitted);

}  // namespace ostrel::host
