#pragma once
// Document texts as Python str objects.
//
// A fresh large str is costly to touch page by page, so its data region is
// advised for huge pages before it is written, and the report is written
// once, straight into the str that is returned.

#include <Python.h>

#include <string_view>

#include "report.hpp"

namespace ostrel::host {

PyObject* report_str(const Report& report);

PyObject* text_str(std::string_view text);

}  // namespace ostrel::host
