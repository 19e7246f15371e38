#pragma once
// The internally tagged objects (sizing, slippage): {"type": "vol_target",
// "target_vol": 0.2, "lookback": 20} or ["vol_target", 0.2, 20]. They are
// read whole and then interpreted, so their errors of meaning carry no point
// until the enclosing reader closes.

#include <cstdint>
#include <span>
#include <string_view>

#include "json/reader.hpp"

namespace ostrel::json {

struct TaggedVariant {
  std::string_view tag;           // "vol_target"
  std::string_view length_what;   // "struct variant Sizing::VolTarget with 2 elements"
  std::span<const std::string_view> fields;  // a number, then (vol_target) a u32
};

struct TaggedFields {
  size_t variant = 0;
  double value = 0.0;
  uint32_t count = 0;
};

// what: "internally tagged enum Sizing".
bool read_tagged_object(Reader& r, std::string_view what, std::span<const TaggedVariant> variants,
                        TaggedFields& out);

}  // namespace ostrel::json
