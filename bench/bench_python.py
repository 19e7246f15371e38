"""Speed of the Python module: run() over 1,000,000 bars from numpy arrays and run_json()
over a run request text of 1,000,000 candles, end to end including the report text
(first call and steady state of repeated calls), and the cost of one
StreamingBacktest.step call. Each figure is also printed as a line
"RESULT key value unit" for bench/run_all.py.

Run with the build's package on the path: make bench.
"""

import json
import time

import numpy as np

from ostrel_backtest import StreamingBacktest, run, run_json

BARS = 1_000_000
RUNS = 5
STEPS = 200_000

# The strategy of the whole-series figures: an Ema/Sma crossover.
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


def result(key, value, unit):
    print(f"RESULT {key} {value:.6g} {unit}")


def timed_calls(call, amount, unit):
    """Calls `call` RUNS times, printing each rate; returns the report and the first and
    steady-state (median of the other calls) seconds."""
    walls = []
    report = None
    for k in range(RUNS):
        report = None  # the previous report is freed before the clock starts
        start, cpu = time.perf_counter(), time.process_time()
        report = call()
        wall, cpu = time.perf_counter() - start, time.process_time() - cpu
        walls.append(wall)
        label = "first call" if k == 0 else f"call {k + 1}"
        print(f"  {label:>10}: {wall * 1e3:7.1f} ms ({cpu * 1e3:6.1f} ms CPU), "
              f"{amount / wall:7.1f} {unit}")
    print(f"  report: {len(report):,} chars, "
          f"{json.loads(report)['metrics']['num_trades']} trades")
    steady = sorted(walls[1:])[len(walls[1:]) // 2]
    print(f"  first call {amount / walls[0]:.1f} {unit}; "
          f"steady state (median of calls 2-{RUNS}) {amount / steady:.1f} {unit}")
    return walls[0], steady


def bench_run(spec_json):
    arrays = random_walk(BARS)
    print(f"run(): {BARS:,} bars from numpy arrays, report text included")
    first, steady = timed_calls(lambda: run(*arrays, spec_json), BARS / 1e6, "M bars/s")
    result("run.first", BARS / first, "bars/s")
    result("run.steady", BARS / steady, "bars/s")


def request_text(spec_json):
    """A run request of BARS candles in array form, prices with two decimals."""
    open_, high, low, close, volume, times = random_walk(BARS)
    columns = [times.tolist()] + [np.round(c, 2).tolist() for c in (open_, high, low, close)]
    columns.append(np.round(volume, 1).tolist())
    # Rounding may pull high below the rounded open or close by a cent; widen it back.
    o, h, l, c = columns[1:5]
    for i in range(BARS):
        h[i] = max(h[i], o[i], c[i])
        l[i] = min(l[i], o[i], c[i])
    candles = json.dumps([list(bar) for bar in zip(*columns)], separators=(",", ":"))
    return f'{{"spec":{spec_json},"candles":{candles}}}'


def bench_run_json(spec_json):
    text = request_text(spec_json)
    mb = len(text) / 1e6  # ASCII: one byte per char
    print(f"run_json(): a request of {BARS:,} candles, {mb:.1f} MB, report text included")
    first, steady = timed_calls(lambda: run_json(text), mb, "MB/s")
    result("run_json.first", mb / first, "MB/s")
    result("run_json.steady", mb / steady, "MB/s")


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
    result("streaming.step", seconds / STEPS * 1e9, "ns/step")


def main():
    spec_json = json.dumps(BENCH_SPEC)
    bench_run(spec_json)
    bench_run_json(spec_json)
    bench_step(spec_json)


if __name__ == "__main__":
    main()
