#pragma once
// What the module adds: the two whole-series functions and the streaming
// class.

#include <Python.h>

namespace ostrel::host {

extern PyMethodDef run_method;
extern PyMethodDef run_json_method;

// A new reference to the StreamingBacktest type, or nullptr.
PyObject* create_streaming_type();

}  // namespace ostrel::host
