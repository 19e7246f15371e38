#pragma once
// Positional parameter decoding: a type's create() states the kind of each
// parameter by its C++ type, and build<Type> decodes the list into exactly
// those kinds, in position order, before running create().
//
//   uint64_t  positive integer (finite, > 0, integral; truncated; huge values
//             saturate at the largest 64-bit value)
//   double    real (finite)
//   int32_t   signed 32-bit integer
//   uint32_t  unsigned 32-bit integer

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <tuple>
#include <type_traits>

#include "indicator.hpp"
#include "indicator_error.hpp"
#include "result.hpp"

namespace ostrel {

// A built indicator, or the reason it could not be built.
using BuildResult = Result<std::unique_ptr<Indicator>, std::string>;
using BuildFn = BuildResult (*)(std::span<const double> params);

// Each decodes params[index] into out; false with the message in reason.
bool decode_param(std::span<const double> params, size_t index, uint64_t& out, std::string& reason);
bool decode_param(std::span<const double> params, size_t index, double& out, std::string& reason);
bool decode_param(std::span<const double> params, size_t index, int32_t& out, std::string& reason);
bool decode_param(std::span<const double> params, size_t index, uint32_t& out, std::string& reason);

template <class Type, class... Args>
BuildResult build_from(std::span<const double> params,
                       Result<Type, IndicatorError> (*create)(Args...)) {
  std::tuple<std::decay_t<Args>...> args;
  std::string reason;
  const bool decoded = std::apply(
      [&](auto&... arg) {
        size_t index = 0;
        return (decode_param(params, index++, arg, reason) && ...);
      },
      args);
  if (!decoded) return reason;
  Result<Type, IndicatorError> made = std::apply(create, args);
  if (!made) return made.error().display();
  return std::unique_ptr<Indicator>(std::make_unique<Type>(std::move(made).value()));
}

// The registry's entry for Type: decodes, constructs, boxes.
template <class Type>
BuildResult build(std::span<const double> params) {
  return build_from(params, &Type::create);
}

}  // namespace ostrel
