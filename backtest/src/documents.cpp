#include "documents.hpp"

#include "json/spec_reading.hpp"
#include "request/request_reading.hpp"
#include "spec_validation.hpp"

namespace ostrel {

BacktestResult<StrategySpec> read_spec_document(std::string_view text) {
  auto spec = read_document<StrategySpec>(text, json::read_strategy_spec);
  if (!spec) return BacktestError::invalid_spec(spec.error());
  if (Status invalid = validate_spec(spec.value())) return std::move(*invalid);
  return std::move(spec).value();
}

BacktestResult<RunRequest> read_run_request_document(std::string_view text) {
  auto request = read_document<RunRequest>(text, json::read_run_request);
  if (!request) return BacktestError::invalid_spec(request.error());
  return std::move(request).value();
}

Result<StepRequest, std::string> read_step_request_document(std::string_view text) {
  return read_document<StepRequest>(text, json::read_step_request);
}

}  // namespace ostrel
