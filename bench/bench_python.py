"""Speed of the Python module: run() over 1,000,000 bars from numpy arrays, end to end
including the report text (first call and steady state of repeated calls), and the
cost of one StreamingBacktest.step call.

Run with the build's package on the path: make bench.
"""

import json
import time

import numpy as np

from ostrel_backtest import StreamingBacktest, run

BARS = 1_000_000
RUNS = 5
STEPS = 200_000

# The strategy of the whole-series figures. Rules on prices alone, so that the figures
# need no indicator type; switch to a two-indicator spec (e.g. an Sma/Ema crossover) once
# the registry provides them.
BENCH_SPEC = {
    "symbol": "BENCH",
    "timeframe": "1m",
    "indicators": {"fast": {"type": "Ema", "params": [10]},
                   "slow": {"type": "Sma", "params": [30]}},
    "entry": {"cross_above": ["fast", "slow"]},
    "exit": {"cross_below": ["fast", "slow"]},
    "sizing": {"type": "fixed_fraction", "fraction": 1.0},
    "costs": {"taker_bps": 5},
}


def random_walk(n):
    """A deterministic random walk around 100, as float64 arrays and int64 times."""
    rng = np.random.default_rng(7)
    close = 100.0 * np.cumprod(1.0 + (rng.random(n) - 0.5) * 0.02)
    open_ = np.concatenate(([100.0], close[:-1]))
    high = np.maximum(open_, close) * (1.0 + rng.random(n) * 0.005)
    low = np.minimum(open_, close) * (1.0 - rng.random(n) * 0.005)
    volume = 1000.0 + rng.random(n) * 100.0
    times = np.arange(n, dtype=np.int64) * 60_000
    return open_, high, low, close, volume, times


def bench_run(spec_json):
    arrays = random_walk(BARS)
    print(f"run(): {BARS:,} bars from numpy arrays, report text included")
    walls = []
    for k in range(RUNS):
        report = None  # the previous report is freed before the clock starts
        start, cpu = time.perf_counter(), time.process_time()
        report = run(*arrays, spec_json)
        wall, cpu = time.perf_counter() - start, time.process_time() - cpu
        walls.append(wall)
        label = "first call" if k == 0 else f"call {k + 1}"
        print(f"  {label:>10}: {wall * 1e3:7.1f} ms ({cpu * 1e3:6.1f} ms CPU), "
              f"{BARS / wall / 1e6:5.1f} M bars/s")
    print(f"  report: {len(report):,} chars, "
          f"{json.loads(report)['metrics']['num_trades']} trades")
    steady = sorted(walls[1:])[len(walls[1:]) // 2]
    print(f"  first call {BARS / walls[0] / 1e6:.1f} M bars/s; "
          f"steady state (median of calls 2-{RUNS}) {BARS / steady / 1e6:.1f} M bars/s")


def bench_step(spec_json):
    bt = StreamingBacktest(spec_json)
    step = bt.step
    bars = [(100.0 + (i % 7), 101.0 + (i % 7), 99.0 + (i % 7), 100.5 + (i % 5), 10.0, i)
            for i in range(STEPS)]
    start = time.perf_counter()
    for o, h, l, c, v, t in bars:
        step(o, h, l, c, v, t)
    seconds = time.perf_counter() - start
    print(f"StreamingBacktest.step: {STEPS:,} calls, {seconds / STEPS * 1e9:.0f} ns per call "
          f"(Python loop included)")


def main():
    spec_json = json.dumps(BENCH_SPEC)
    bench_run(spec_json)
    bench_step(spec_json)


if __name__ == "__main__":
    main()
