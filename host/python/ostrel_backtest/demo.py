"""The demo backtest: a moving-average crossover over a built-in market or a CSV of candles.

    python -m ostrel_backtest demo [--bars N] [--csv FILE] [-o report.json]

The built-in market is a seeded geometric random walk of hourly bars whose volatility
clusters and whose drift changes between trending regimes, so that the crossover has
something to trade. It is generated with `random.Random` alone, so the same seed gives the
same candles with or without numpy; numpy only holds the finished columns when available,
which `run` reads in place.
"""

import csv
import math
import random
from datetime import datetime, timezone

try:
    import numpy as np
except ImportError:  # numpy is optional: the columns stay lists
    np = None

DEFAULT_BARS = 100_000
SEED = 2020
START_MS = 1_577_836_800_000  # 2020-01-01T00:00:00Z
HOUR_MS = 3_600_000
CAPITAL = 10_000.0

CSV_COLUMNS = ("time", "open", "high", "low", "close", "volume")

SPEC = {
    "symbol": "DEMO",
    "timeframe": "1h",
    "indicators": {"fast": {"type": "Ema", "params": [20]},
                   "slow": {"type": "Sma", "params": [50]}},
    "entry": {"cross_above": ["fast", "slow"]},
    "exit": {"cross_below": ["fast", "slow"]},
    "sizing": {"type": "fixed_fraction", "fraction": 0.95},
    "costs": {"taker_bps": 5, "slippage": {"type": "fixed_bps", "bps": 2}},
    "risk": {"stop_loss_pct": 3},
}


class CsvError(ValueError):
    """A candle file that cannot be used; the text names the file and the line."""


class Market:
    """Candle columns in the order of run(): open, high, low, close, volume, time."""

    def __init__(self, source, open_, high, low, close, volume, time):
        self.source = source
        self.columns = (open_, high, low, close, volume, time)

    def __len__(self):
        return len(self.columns[5])

    @property
    def time(self):
        return self.columns[5]


def _finish(source, open_, high, low, close, volume, time):
    if np is not None:
        floats = [np.array(c, dtype=np.float64) for c in (open_, high, low, close, volume)]
        return Market(source, *floats, np.array(time, dtype=np.int64))
    return Market(source, open_, high, low, close, volume, time)


def builtin_market(bars=DEFAULT_BARS, seed=SEED):
    """`bars` hourly candles from 2020-01-01T00:00:00Z, the same for the same seed."""
    if bars < 1:
        raise ValueError("the built-in market needs at least one bar")
    rng = random.Random(seed)
    gauss, uniform = rng.gauss, rng.random
    open_, high, low, close, volume, time = [], [], [], [], [], []
    base_vol = 0.004            # typical hourly volatility of log returns
    log_vol = 0.0               # log of the volatility multiplier, mean-reverting
    drift = 0.0                 # per-bar drift of the current regime
    price = 100.0
    for i in range(bars):
        if uniform() < 1 / 400:  # a new regime, on average every 400 bars
            drift = gauss(0.0, 0.0003)
        log_vol = 0.97 * log_vol + gauss(0.0, 0.12)
        vol = base_vol * math.exp(log_vol)
        ret = drift + vol * gauss(0.0, 1.0)
        o, c = price, price * math.exp(ret)
        open_.append(o)
        close.append(c)
        high.append(max(o, c) * math.exp(abs(gauss(0.0, 0.5)) * vol))
        low.append(min(o, c) * math.exp(-abs(gauss(0.0, 0.5)) * vol))
        volume.append(1000.0 * math.exp(gauss(0.0, 0.3)) * (1.0 + abs(ret) / vol))
        time.append(START_MS + i * HOUR_MS)
        price = c
    return _finish(f"built-in market, seed {seed}, hourly bars", open_, high, low, close,
                   volume, time)


def _number(text, column, parse):
    try:
        value = parse(text)
    except ValueError:
        raise ValueError(f"{column} is not a number: {text!r}") from None
    if parse is float and not math.isfinite(value):
        raise ValueError(f"{column} is not finite: {text!r}")
    return value


def read_csv(path):
    """Candles from a CSV file with a header row naming time, open, high, low, close, volume
    (any order, further columns ignored). Times are increasing integers (milliseconds)."""
    try:
        f = open(path, newline="", encoding="utf-8")
    except OSError as e:
        raise CsvError(f"cannot read {path}: {e.strerror or e}") from None
    with f:
        try:
            rows = csv.reader(f)
            header = next(rows, None)
            if header is None:
                raise CsvError(f"{path} line 1: empty file, expected a header row "
                               f"{','.join(CSV_COLUMNS)}")
            names = [name.strip().lower() for name in header]
            missing = [name for name in CSV_COLUMNS if name not in names]
            if missing:
                raise CsvError(f"{path} line 1: the header lacks {', '.join(missing)}; "
                               f"expected the columns {','.join(CSV_COLUMNS)}")
            where = [names.index(name) for name in CSV_COLUMNS]
            width = max(where) + 1
            columns = [[] for _ in CSV_COLUMNS]
            for row in rows:
                if not row or all(not cell.strip() for cell in row):
                    continue
                try:
                    if len(row) < width:
                        raise ValueError(f"{len(row)} fields, expected at least {width}")
                    t = _number(row[where[0]].strip(), "time", int)
                    o, h, l, c, v = (_number(row[k].strip(), name, float)
                                     for k, name in zip(where[1:], CSV_COLUMNS[1:]))
                    if h < max(o, c) or l > min(o, c):
                        raise ValueError("high must be >= open and close, low <= open and close")
                    if v < 0:
                        raise ValueError("volume must be non-negative")
                    if columns[0] and t <= columns[0][-1]:
                        raise ValueError(f"time {t} does not follow {columns[0][-1]}; "
                                         "times must increase")
                except ValueError as e:
                    raise CsvError(f"{path} line {rows.line_num}: {e}") from None
                for column, value in zip(columns, (t, o, h, l, c, v)):
                    column.append(value)
        except (csv.Error, UnicodeDecodeError) as e:
            raise CsvError(f"{path} line {rows.line_num + 1}: {e}") from None
    if not columns[0]:
        raise CsvError(f"{path} line {rows.line_num + 1}: no candles after the header")
    t, o, h, l, c, v = columns
    return _finish(path, o, h, l, c, v, t)


def describe(spec=SPEC):
    """The demo strategy in one line."""
    def indicator(name):
        ind = spec["indicators"][name]
        return f"{ind['type']} {','.join(str(p) for p in ind['params'])}"

    fast, slow = spec["entry"]["cross_above"]
    costs = spec["costs"]
    return (f"long when {indicator(fast)} crosses above {indicator(slow)}, "
            f"flat when it crosses below; {spec['sizing']['fraction']:.0%} of equity per trade, "
            f"stop-loss {spec['risk']['stop_loss_pct']}%, taker fee {costs['taker_bps']} bps, "
            f"slippage {costs['slippage']['bps']} bps; next-open fills")


def time_text(ms):
    return datetime.fromtimestamp(ms / 1000, tz=timezone.utc).strftime("%Y-%m-%d %H:%M")
