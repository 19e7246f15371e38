#include "params.hpp"

#include <cmath>
#include <limits>

#include "number_text.hpp"
#include "numeric.hpp"

namespace ostrel {
namespace {

bool refuse(std::string& reason, std::string_view before, size_t index, std::string_view after) {
  reason = before;
  reason += std::to_string(index);
  reason += after;
  return false;
}

bool refuse_value(std::string& reason, size_t index, std::string_view kind, double value) {
  refuse(reason, "parameter #", index, kind);
  append_plain_number(reason, value);
  return false;
}

// The finite value at index, or false with the missing / finiteness message.
bool finite_at(std::span<const double> params, size_t index, double& x, std::string& reason) {
  if (index >= params.size()) return refuse(reason, "missing parameter #", index, "");
  x = params[index];
  if (!std::isfinite(x)) return refuse(reason, "parameter #", index, " must be finite");
  return true;
}

bool integral(double x) { return std::fabs(x - std::trunc(x)) <= kEpsilon; }

}  // namespace

bool decode_param(std::span<const double> params, size_t index, double& out, std::string& reason) {
  return finite_at(params, index, out, reason);
}

bool decode_param(std::span<const double> params, size_t index, uint64_t& out,
                  std::string& reason) {
  double x;
  if (!finite_at(params, index, x, reason)) return false;
  const double t = std::trunc(x);
  // A value within epsilon above 0 is integral but truncates to 0: refused.
  if (!integral(x) || !(t >= 1.0)) {
    return refuse_value(reason, index, " must be a positive integer, got ", x);
  }
  constexpr double kTwoTo64 = 18446744073709551616.0;
  out = t >= kTwoTo64 ? std::numeric_limits<uint64_t>::max() : static_cast<uint64_t>(t);
  return true;
}

bool decode_param(std::span<const double> params, size_t index, int32_t& out,
                  std::string& reason) {
  double x;
  if (!finite_at(params, index, x, reason)) return false;
  const double t = std::trunc(x);
  if (!integral(x) || t < -2147483648.0 || t > 2147483647.0) {
    return refuse_value(reason, index, " must be an i32, got ", x);
  }
  out = static_cast<int32_t>(t);
  return true;
}

bool decode_param(std::span<const double> params, size_t index, uint32_t& out,
                  std::string& reason) {
  double x;
  if (!finite_at(params, index, x, reason)) return false;
  const double t = std::trunc(x);
  if (!integral(x) || t < 0.0 || t > 4294967295.0) {
    return refuse_value(reason, index, " must be a u32, got ", x);
  }
  out = static_cast<uint32_t>(t);
  return true;
}

}  // namespace ostrel
