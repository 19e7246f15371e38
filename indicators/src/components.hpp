#pragma once
// The named components of a multi-valued type: fixed names, values replaced
// together each time the type produces a value. Nothing is allocated per bar.

#include <array>
#include <cstddef>
#include <span>
#include <string_view>

#include "indicator.hpp"

namespace ostrel {

template <size_t N>
class Components {
 public:
  explicit Components(const std::array<std::string_view, N>& names) {
    for (size_t i = 0; i < N; ++i) list_[i].name = names[i];
  }

  // Replaces every value; returns the first, which is the type's value.
  double set(const std::array<double, N>& values) {
    for (size_t i = 0; i < N; ++i) list_[i].value = values[i];
    set_ = true;
    return values[0];
  }

  // Empty until the first set: components appear only once they all exist.
  std::span<const NamedOutput> view() const {
    if (!set_) return {};
    return list_;
  }

 private:
  std::array<NamedOutput, N> list_{};
  bool set_ = false;
};

}  // namespace ostrel
