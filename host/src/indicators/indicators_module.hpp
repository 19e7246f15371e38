#pragma once
// The module _indicators: the registry's indicators from Python, beside the
// backtest module.

#include <Python.h>

#include <span>

#include "feed_kind.hpp"
#include "indicator.hpp"

namespace ostrel::host {

// A new reference to the Indicator type, or nullptr.
PyObject* create_indicator_type();

// New references, or nullptr with the exception set.
PyObject* float_tuple(std::span<const double> values);
PyObject* feed_name(FeedKind feed);
// {name: value} of the indicator's components after its last value.
PyObject* outputs_dict(const Indicator& indicator);

}  // namespace ostrel::host
