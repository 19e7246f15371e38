#pragma once
// The engine's error value. Only the host module turns it into an exception.

#include <optional>
#include <string>

#include "result.hpp"

namespace ostrel {

struct BacktestError {
  enum class Kind { InvalidSpec, UnknownIndicator, InvalidParams, UndeclaredIndicator, InvalidInput };

  Kind kind;
  std::string text;    // the message; the type name for the two registry kinds; the key
  std::string reason;  // InvalidParams only

  static BacktestError invalid_spec(std::string message);
  static BacktestError invalid_input(std::string message);
  static BacktestError unknown_indicator(std::string type);
  static BacktestError invalid_params(std::string type, std::string reason);
  static BacktestError undeclared_indicator(std::string key);

  // "invalid strategy spec: ...", "unknown indicator type: ...", ...
  std::string render() const;
};

// Nothing, or the error that stopped an operation.
using Status = std::optional<BacktestError>;

template <class T>
using BacktestResult = Result<T, BacktestError>;

}  // namespace ostrel
