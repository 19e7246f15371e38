import json

import pytest

import ostrel_backtest


def spec_json(**extra):
    """A spec without indicators: long while the close is positive, fixed quantity 1."""
    spec = {
        "symbol": "X",
        "timeframe": "1d",
        "indicators": {},
        "entry": {"gt": [{"price": "close"}, 0]},
        "exit": {"lt": [{"price": "close"}, 0]},
        "sizing": {"type": "fixed_qty", "qty": 1},
    }
    spec.update(extra)
    return json.dumps(spec)


# Three bars as (time, open, high, low, close, volume).
BARS = [(1, 100.0, 101.0, 99.0, 100.0, 5.0), (2, 100.0, 111.0, 99.0, 110.0, 6.0),
        (3, 110.0, 121.0, 109.0, 120.0, 7.0)]


def columns(bars=BARS):
    """The arrays of run() in parameter order: open, high, low, close, volume, time."""
    t, o, h, l, c, v = (list(x) for x in zip(*bars))
    return [o, h, l, c, v, t]


@pytest.fixture
def spec():
    return spec_json()


@pytest.fixture
def module():
    return ostrel_backtest._ostrel_backtest
