#pragma once
// The moving-average family: plain, weighted, cascaded, adaptive and
// volume-weighted averages.

#include "indicators/moving_averages/alligator.hpp"
#include "indicators/moving_averages/alma.hpp"
#include "indicators/moving_averages/dema.hpp"
#include "indicators/moving_averages/ehma.hpp"
#include "indicators/moving_averages/ema.hpp"
#include "indicators/moving_averages/generalized_dema.hpp"
#include "indicators/moving_averages/hma.hpp"
#include "indicators/moving_averages/kama.hpp"
#include "indicators/moving_averages/ma_envelope.hpp"
#include "indicators/moving_averages/sine_weighted_ma.hpp"
#include "indicators/moving_averages/sma.hpp"
#include "indicators/moving_averages/smma.hpp"
#include "indicators/moving_averages/t3.hpp"
#include "indicators/moving_averages/tema.hpp"
#include "indicators/moving_averages/trima.hpp"
#include "indicators/moving_averages/wma.hpp"
#include "indicators/moving_averages/zlema.hpp"
