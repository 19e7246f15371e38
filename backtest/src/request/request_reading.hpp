#pragma once
// Reading of the run request and the step request.

#include "json/reader.hpp"
#include "request/requests.hpp"

namespace ostrel::json {

bool read_run_request(Reader& r, RunRequest& out);
bool read_step_request(Reader& r, StepRequest& out);

}  // namespace ostrel::json
