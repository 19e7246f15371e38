#pragma once
// The documents read from JSON text: each text must be one value followed
// only by white space. Errors carry their position ("... at line L column C").

#include <string>
#include <string_view>

#include "error.hpp"
#include "json/reader.hpp"
#include "request/requests.hpp"
#include "spec.hpp"

namespace ostrel {

// Reads and validates a spec; a reading failure is InvalidSpec.
BacktestResult<StrategySpec> read_spec_document(std::string_view text);

// Reads a run request (the spec is validated later, by the run driver); a
// reading failure is InvalidSpec.
BacktestResult<RunRequest> read_run_request_document(std::string_view text);

// Reads a step request; a failure is the reader's message and position alone.
Result<StepRequest, std::string> read_step_request_document(std::string_view text);

// Any one value with its reader, e.g. read_document<Candle>(text, json::read_candle).
template <class T, class Read>
Result<T, std::string> read_document(std::string_view text, Read read) {
  json::Reader r(text);
  T value{};
  if (!read(r, value) || !r.finish()) return r.error_text();
  return value;
}

}  // namespace ostrel
