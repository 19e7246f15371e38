#pragma once
// How failures reach Python: engine errors as ValueError, notes naming the
// parameter being converted, and internal failures as the module's own
// BaseException subclass. No C++ exception may leave an entry point.

#include <Python.h>

#include <exception>
#include <new>
#include <optional>
#include <string_view>

#include "error.hpp"

namespace ostrel::host {

// Sets ValueError(text).
void set_value_error(std::string_view text);

// Sets ValueError with the engine error's rendered text.
void set_backtest_error(const BacktestError& error);

// The value of an engine result, or nothing with its error set.
template <class T>
std::optional<T> value_or_raise(BacktestResult<T>&& result) {
  if (result) return std::move(result).value();
  set_backtest_error(result.error());
  return std::nullopt;
}

// Adds the note "while processing '{name}'" to the pending exception, on
// interpreters whose exceptions take notes.
void add_processing_note(const char* name);

// Sets the exception of the internal-failure class (created on first use).
void set_internal_failure(const char* what);

// Runs an entry point's body. A C++ exception becomes MemoryError (for a
// failed allocation) or the internal failure; `failed` is returned then.
template <class R, class Body>
R guarded(R failed, Body&& body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    PyErr_NoMemory();
  } catch (const std::exception& e) {
    set_internal_failure(e.what());
  } catch (...) {
    set_internal_failure("unidentified internal failure");
  }
  return failed;
}

template <class Body>
PyObject* guarded(Body&& body) noexcept {
  return guarded<PyObject*>(nullptr, static_cast<Body&&>(body));
}

}  // namespace ostrel::host
