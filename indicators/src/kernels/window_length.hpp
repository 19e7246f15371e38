#pragma once
// The window-length rule every windowed type applies to its lengths.

#include <cstdint>
#include <optional>

#include "indicator_error.hpp"

namespace ostrel {

// The longest window a type may allocate: 2 to the 24th.
inline constexpr uint64_t kMaxPeriod = 16777216;

// 0 is PeriodZero, above kMaxPeriod is InvalidPeriod; none for a valid length.
inline std::optional<IndicatorError> check_window_length(uint64_t n) {
  if (n == 0) return IndicatorError{IndicatorError::Kind::PeriodZero, {}};
  if (n > kMaxPeriod) {
    return IndicatorError{IndicatorError::Kind::InvalidPeriod,
                          "period exceeds the maximum supported window length (see MAX_PERIOD)"};
  }
  return std::nullopt;
}

// The first failing length of several, checked in the order given.
inline std::optional<IndicatorError> check_window_lengths(std::initializer_list<uint64_t> lengths) {
  for (uint64_t n : lengths) {
    if (auto error = check_window_length(n)) return error;
  }
  return std::nullopt;
}

// A type's own test: InvalidPeriod with its message when the condition fails.
inline std::optional<IndicatorError> require(bool condition, std::string_view message) {
  if (condition) return std::nullopt;
  return IndicatorError{IndicatorError::Kind::InvalidPeriod, message};
}

}  // namespace ostrel
