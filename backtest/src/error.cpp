#include "error.hpp"

namespace ostrel {

BacktestError BacktestError::invalid_spec(std::string message) {
  return {Kind::InvalidSpec, std::move(message), {}};
}
BacktestError BacktestError::invalid_input(std::string message) {
  return {Kind::InvalidInput, std::move(message), {}};
}
BacktestError BacktestError::unknown_indicator(std::string type) {
  return {Kind::UnknownIndicator, std::move(type), {}};
}
BacktestError BacktestError::invalid_params(std::string type, std::string reason) {
  return {Kind::InvalidParams, std::move(type), std::move(reason)};
}
BacktestError BacktestError::undeclared_indicator(std::string key) {
  return {Kind::UndeclaredIndicator, std::move(key), {}};
}

std::string BacktestError::render() const {
  switch (kind) {
    case Kind::InvalidSpec: return "invalid strategy spec: " + text;
    case Kind::UnknownIndicator: return "unknown indicator type: " + text;
    case Kind::InvalidParams: return "invalid parameters for indicator " + text + ": " + reason;
    case Kind::UndeclaredIndicator: return "rule references undeclared indicator: " + text;
    case Kind::InvalidInput: return "invalid input data: " + text;
  }
  return text;
}

}  // namespace ostrel
