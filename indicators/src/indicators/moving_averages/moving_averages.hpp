#pragma once
// The moving-average family: plain, weighted, cascaded, adaptive and
// volume-weighted averages.

#include "indicators/moving_averages/ema.hpp"
#include "indicators/moving_averages/evwma.hpp"
#include "indicators/moving_averages/fama.hpp"
#include "indicators/moving_averages/frama.hpp"
#include "indicators/moving_averages/geometric_ma.hpp"
#include "indicators/moving_averages/holt_winters.hpp"
#include "indicators/moving_averages/jma.hpp"
#include "indicators/moving_averages/kama.hpp"
#include "indicators/moving_averages/mama.hpp"
#include "indicators/moving_averages/mcginley_dynamic.hpp"
#include "indicators/moving_averages/median_ma.hpp"
#include "indicators/moving_averages/sma.hpp"
#include "indicators/moving_averages/smma.hpp"
#include "indicators/moving_averages/vidya.hpp"
#include "indicators/moving_averages/vwma.hpp"
#include "indicators/moving_averages/wma.hpp"
