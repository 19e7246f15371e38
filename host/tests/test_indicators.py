"""ostrel_backtest.indicators: streaming and batch over the engine's registry."""

import math
import random

import numpy
import pytest

from ostrel_backtest.indicators import Indicator, compute, types

# Types with the parameters they are checked at: close-only, candle-based,
# multi-valued and adaptive members.
CASES = [
    ("Sma", [5]), ("Ema", [4]), ("Kama", [6, 2, 30]), ("Hma", [9]), ("T3", [3, 0.7]),
    ("MaEnvelope", [5, 0.05]), ("Alligator", [8, 5, 3]), ("Mama", [0.5, 0.05]),
    ("Vwma", [4]), ("Evwma", [4]), ("MedianMa", [4]), ("Jma", [7, 10, 2]),
]


def market(n=300, seed=3):
    rng = random.Random(seed)
    bars, close = [], 100.0
    for i in range(n):
        open_ = close
        close = max(1.0, close + rng.gauss(0, 1))
        high = max(open_, close) + rng.random()
        low = min(open_, close) - rng.random()
        bars.append((open_, high, low, close, rng.random() * 100, i * 3_600_000))
    # A bar the candle-class types refuse (high below low) and a NaN close.
    bars[50] = (100.0, 90.0, 110.0, 100.0, 1.0, 50 * 3_600_000)
    bars[80] = (100.0, 101.0, 99.0, math.nan, 1.0, 80 * 3_600_000)
    return bars


def stream(type_, params, bars):
    ind = Indicator(type_, params)
    values, outputs = [], []
    for o, h, l, c, v, t in bars:
        value = ind.update(o, h, l, c, v, t)
        values.append(math.nan if value is None else value)
        outputs.append(ind.outputs if value is not None else {})
    return values, outputs


def same(a, b):
    return len(a) == len(b) and all((math.isnan(x) and math.isnan(y)) or x == y
                                    for x, y in zip(a, b))


@pytest.mark.parametrize("type_, params", CASES)
def test_batch_equals_update_by_update(type_, params):
    bars = market()
    values, outputs = stream(type_, params, bars)
    o, h, l, c, v, t = (list(col) for col in zip(*bars))
    batch = compute(type_, params, open=o, high=h, low=l, close=c, volume=v, time=t)
    assert same(list(batch["value"]), values)
    assert any(not math.isnan(x) for x in values)
    names = next(entry.outputs for entry in types() if entry.name == type_)
    assert sorted(batch) == sorted(("value",) + names)
    for name in names:
        assert same(list(batch[name]), [out.get(name, math.nan) for out in outputs])
    # numpy columns give the same arrays as lists.
    arrays = {k: numpy.array(col) for k, col in zip(("open", "high", "low", "close", "volume"),
                                                      (o, h, l, c, v))}
    from_numpy = compute(type_, params, time=numpy.array(t, dtype=numpy.int64), **arrays)
    assert all(same(list(from_numpy[k]), list(batch[k])) for k in batch)


def test_multi_valued_components_and_primary_value():
    env = Indicator("MaEnvelope", [2, 0.1])
    assert env.outputs == {}
    for c in (1.0, 2.0, 3.0):
        value = env.update(c, c, c, c)
    assert env.outputs == {"upper": 2.5 * 1.1, "middle": 2.5, "lower": 2.5 * (1 - 0.1)}
    assert value == env.outputs["upper"]


def test_missing_prices_default_to_the_close():
    close = [1.0, 2.0, 3.0, 4.0]
    assert same(list(compute("Alligator", [2, 2, 2], close=close)["value"]),
                list(compute("Alligator", [2, 2, 2], open=close, high=close, low=close,
                             close=close)["value"]))


def test_attributes_and_repr():
    ind = Indicator("Kama", (10, 2, 30))
    assert (ind.type, ind.params, ind.warmup_period, ind.feed) == ("Kama", (10.0, 2.0, 30.0),
                                                                   11, "kline")
    assert repr(ind) == "Indicator('Kama', [10.0, 2.0, 30.0])"


def test_types_lists_every_registered_type():
    listed = {entry.name: entry for entry in types()}
    assert listed["Sma"].params == ("positive integer",) and listed["Sma"].param_count == 1
    assert listed["Alma"].params == ("positive integer", "real", "real")
    assert listed["Mama"].outputs == ("mama", "fama")
    assert all(entry.feed == "kline" for entry in listed.values())
    assert list(listed) == sorted(listed)


@pytest.mark.parametrize("call, error, message", [
    (lambda: Indicator("sma", [3]), ValueError, "unknown indicator type: sma"),
    (lambda: Indicator("Sma", [0]), ValueError,
     "invalid parameters for indicator Sma: parameter #0 must be a positive integer, got 0"),
    (lambda: Indicator("Sma"), ValueError, "invalid parameters for indicator Sma: missing parameter #0"),
    (lambda: compute("Kama", [10, 30, 2], close=[1.0]), ValueError,
     "invalid parameters for indicator Kama: invalid period: KAMA fast period must be strictly "
     "less than slow"),
    (lambda: compute("Sma", [3], close=[1.0, 2.0], high=[1.0]), ValueError,
     "high length 1 does not match close length 2"),
    (lambda: compute("Sma", [3], open=[1.0]), TypeError,
     "compute() missing required keyword argument: 'close'"),
    (lambda: compute("Sma", [3], close="123"), TypeError, None),
    (lambda: Indicator("Sma", [3]).update(1, 2, 3), TypeError,
     "Indicator.update() missing 1 required positional argument: 'close'"),
    (lambda: Indicator("Sma", [3]).update(1, 2, 3, 4, 0, 0, None), TypeError,
     "Indicator.update() takes from 5 to 7 positional arguments but 8 were given"),
])
def test_errors(call, error, message):
    with pytest.raises(error) as info:
        call()
    if message is not None:
        assert str(info.value) == message


def test_feed_arguments_are_read_as_records():
    ind = Indicator("Sma", [2])
    # Well-formed records, in object and array form.
    assert ind.update(1, 1, 1, 1, reference={"time": 1, "open": 1, "high": 1, "low": 1,
                                             "close": 1, "volume": 0},
                      order_book={"bids": [[99, 1]], "asks": [[101, 1]]},
                      trades=[{"price": 100, "size": 1, "side": "buy", "timestamp": 5}, [101, 2, "sell", 6]]) is None
    assert ind.update(2, 2, 2, 2, reference=1.5) == 1.5
    # A record that cannot be read is an error naming the argument.
    with pytest.raises(ValueError) as info:
        ind.update(3, 3, 3, 3, order_book={"bids": [[99, 1]]})
    assert str(info.value) == "missing field `asks`"
    assert info.value.__notes__ == ["while processing 'order_book'"]
