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

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>

#include "indicator.hpp"
#include "indicator_error.hpp"
#include "result.hpp"

namespace ostrel {

enum class ParamKind : uint8_t { PositiveInteger, Real, I32, U32 };

// A built indicator, or the reason it could not be built.
using BuildResult = Result<std::unique_ptr<Indicator>, std::string>;

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

template <class Arg>
constexpr ParamKind kind_of() {
  using T = std::decay_t<Arg>;
  if constexpr (std::is_same_v<T, uint64_t>) return ParamKind::PositiveInteger;
  else if constexpr (std::is_same_v<T, double>) return ParamKind::Real;
  else if constexpr (std::is_same_v<T, int32_t>) return ParamKind::I32;
  else {
    static_assert(std::is_same_v<T, uint32_t>, "parameters are uint64_t, double, int32_t or uint32_t");
    return ParamKind::U32;
  }
}

template <class Type, class... Args>
constexpr auto param_kinds_of(Result<Type, IndicatorError> (*)(Args...)) {
  return std::array<ParamKind, sizeof...(Args)>{kind_of<Args>()...};
}

template <class Type>
inline constexpr auto kParamKinds = param_kinds_of(&Type::create);

// The fixed names of a multi-valued type's components (Type::kOutputs);
// none for single-valued types.
template <class Type>
constexpr std::span<const std::string_view> output_names() {
  if constexpr (requires { Type::kOutputs; }) return Type::kOutputs;
  else return {};
}

// What the registry knows of a built type: how to build it, the kinds of its
// parameters and the names of its components.
struct TypeBuilder {
  BuildResult (*make)(std::span<const double> params);
  std::span<const ParamKind> params;
  std::span<const std::string_view> outputs;
};

template <class Type>
BuildResult build_type(std::span<const double> params) {
  return build_from(params, &Type::create);
}

template <class Type>
inline constexpr TypeBuilder kTypeBuilder = {&build_type<Type>, kParamKinds<Type>,
                                             output_names<Type>()};

// The registry's entry for Type: decodes, constructs, boxes.
template <class Type>
inline constexpr const TypeBuilder* build = &kTypeBuilder<Type>;

}  // namespace ostrel
