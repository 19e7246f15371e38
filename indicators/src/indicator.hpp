#pragma once
// The contract every indicator type fulfils, and the per-bar input it reads.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "records.hpp"

namespace ostrel {

// One bar as the indicators see it. Optional records are present only when
// supplied and valid; the candle is passed exactly as supplied.
struct UpdateContext {
  std::optional<double> reference_close;
  const ValidDerivativesTick* derivatives = nullptr;
  Candle candle;
  std::span<const ValidTradePrint> trades;
  const ValidOrderBook* order_book = nullptr;
  const ValidCrossSection* cross_section = nullptr;
};

// A named component of a multi-valued indicator; the name is a fixed text of
// the type.
struct NamedOutput {
  std::string_view name;
  double value = 0.0;
};

class Indicator {
 public:
  virtual ~Indicator() = default;

  // Consumes one bar; no value while warming up or when the bar's input is
  // missing or bad (the state is then left untouched).
  virtual std::optional<double> update(const UpdateContext& ctx) = 0;

  // The components belonging to the last value update produced; empty for
  // single-valued types. The view stays valid until the next update.
  virtual std::span<const NamedOutput> outputs() const { return {}; }

  // Bars of history the type needs before it produces values.
  virtual uint64_t warmup_period() const = 0;
};

}  // namespace ostrel
