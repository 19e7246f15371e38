#include "feed_requirements.hpp"

namespace ostrel {

Status check_feed_requirements(const StrategySpec& spec, bool has_order_book,
                               bool has_derivatives) {
  if (spec.costs.slippage.kind == SlippageKind::Spread && !has_order_book) {
    return BacktestError::invalid_spec(
        "costs.slippage spread needs an order-book feed; without one every fill"
        "              would be priced at zero slippage");
  }
  if (spec.costs.funding && !has_derivatives) {
    return BacktestError::invalid_spec(
        "costs.funding needs a derivatives feed; without one no funding would be"
        "              charged at all");
  }
  return std::nullopt;
}

}  // namespace ostrel
