#pragma once
// Turning a bar's raw side feeds into the validated records indicators and
// fills may read. A record that fails validation is absent for the bar.

#include "bar_feeds.hpp"
#include "engine_state.hpp"
#include "indicator.hpp"

namespace ostrel {

// Fills `admitted` in place, reusing its storage from the previous bar.
void admit_feeds(const BarFeeds& raw, AdmittedFeeds& admitted);

// The indicators' view of the bar: its candle as supplied and its admitted
// feeds.
UpdateContext update_context(const AdmittedFeeds& admitted, const Candle& candle);

}  // namespace ostrel
