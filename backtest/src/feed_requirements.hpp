#pragma once
// The side feeds a spec cannot run without: an order book for spread
// slippage, a derivatives tick for funding.

#include "error.hpp"
#include "spec.hpp"

namespace ostrel {

// Spread slippage is checked before funding. Only the presence of the raw
// record counts, not its validity.
Status check_feed_requirements(const StrategySpec& spec, bool has_order_book, bool has_derivatives);

}  // namespace ostrel
