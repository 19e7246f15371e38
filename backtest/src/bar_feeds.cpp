#include "bar_feeds.hpp"

namespace ostrel {

BarFeeds bar_feeds(const RunRequest& request, size_t k) {
  BarFeeds feeds;
  if (request.reference) feeds.reference_close = (*request.reference)[k].close;
  if (request.derivs) feeds.derivatives = &(*request.derivs)[k];
  if (request.books) feeds.order_book = &(*request.books)[k];
  if (request.trades) feeds.trades = (*request.trades)[k];
  if (request.sections) feeds.cross_section = &(*request.sections)[k];
  return feeds;
}

BarFeeds bar_feeds(const StepFeeds& step) {
  BarFeeds feeds;
  feeds.reference_close = step.reference;
  if (step.deriv) feeds.derivatives = &*step.deriv;
  if (step.orderbook) feeds.order_book = &*step.orderbook;
  if (step.trades) feeds.trades = *step.trades;
  if (step.cross_section) feeds.cross_section = &*step.cross_section;
  return feeds;
}

}  // namespace ostrel
