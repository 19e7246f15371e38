#include "text.hpp"

#include <algorithm>
#include <cstring>
#include <string>

#include "huge_pages.hpp"
#include "report_writer.hpp"

namespace ostrel::host {
namespace {

bool is_ascii(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// An ASCII str of `chars` characters, its data advised; nullptr on failure.
PyObject* new_ascii_str(size_t chars, char*& data) {
  PyObject* str = PyUnicode_New(static_cast<Py_ssize_t>(chars), 127);
  if (str == nullptr) return nullptr;
  data = static_cast<char*>(PyUnicode_DATA(str));
  advise_huge_pages(data, chars);
  return str;
}

PyObject* utf8_str(std::string_view text) {
  return PyUnicode_DecodeUTF8(text.data(), static_cast<Py_ssize_t>(text.size()), nullptr);
}

}  // namespace

PyObject* report_str(const Report& report) {
  // The labels are the only text of the caller's in a report; the rest is ASCII.
  if (!is_ascii(report.symbol) || !is_ascii(report.timeframe)) return utf8_str(write_report(report));
  // The str is made at the text's bound and trimmed to what was written:
  // pages beyond the text are never touched, and the trim shrinks in place.
  char* data = nullptr;
  PyObject* str = new_ascii_str(max_report_chars(report), data);
  if (str == nullptr) return nullptr;
  const char* end = write_report_to(data, report);
  if (PyUnicode_Resize(&str, end - data) != 0) {
    Py_DECREF(str);
    return nullptr;
  }
  return str;
}

PyObject* text_str(std::string_view text) {
  if (!is_ascii(text)) return utf8_str(text);
  char* data = nullptr;
  PyObject* str = new_ascii_str(text.size(), data);
  if (str != nullptr) std::memcpy(data, text.data(), text.size());
  return str;
}

}  // namespace ostrel::host
