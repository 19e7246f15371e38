#pragma once
// The moving-average family: plain, weighted, cascaded, adaptive and
// volume-weighted averages.

#include "indicators/moving_averages/ema.hpp"
#include "indicators/moving_averages/kama.hpp"
#include "indicators/moving_averages/sma.hpp"
#include "indicators/moving_averages/smma.hpp"
#include "indicators/moving_averages/wma.hpp"
