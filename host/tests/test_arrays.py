"""Buffers are read in place; the result and the errors equal those of plain lists."""

import array

import numpy as np
import pytest

from conftest import columns, spec_json
from ostrel_backtest import run

SPEC = spec_json(sizing={"type": "fixed_fraction", "fraction": 0.5},
                 entry={"rising": [{"price": "close"}, 2]},
                 exit={"falling": [{"price": "close"}, 2]}, costs={"taker_bps": 7})


def walk(n=2000):
    rng = np.random.default_rng(3)
    close = 100.0 * np.cumprod(1.0 + (rng.random(n) - 0.5) * 0.03)
    open_ = np.concatenate(([100.0], close[:-1]))
    high = np.maximum(open_, close) * (1.0 + rng.random(n) * 0.01)
    low = np.minimum(open_, close) * (1.0 - rng.random(n) * 0.01)
    volume = rng.random(n) * 1000.0
    times = np.arange(n, dtype=np.int64) * 60_000 - 2**40
    return [open_, high, low, close, volume, times]


@pytest.fixture(scope="module")
def arrays():
    return walk()


@pytest.fixture(scope="module")
def list_report(arrays):
    return run(*[a.tolist() for a in arrays], SPEC)


@pytest.mark.parametrize("convert", [
    lambda a: a,                                           # float64 and int64 buffers
    lambda a: a.astype(a.dtype.newbyteorder(">")),         # foreign byte order: items
    lambda a: np.repeat(a, 2)[::2],                        # strided: items
    lambda a: array.array("d" if a.dtype.kind == "f" else "q", a.tolist()),
    lambda a: memoryview(a),
    lambda a: np.frombuffer(b"\0" + a.tobytes(), dtype=a.dtype, offset=1),  # unaligned
])
def test_buffers_give_the_report_of_lists(arrays, list_report, convert):
    assert run(*[convert(a) for a in arrays], SPEC) == list_report


def test_int_price_arrays_and_int32_time(arrays, list_report):
    o, h, l, c, v, t = arrays
    ints = [np.round(x).astype(np.int64) for x in (o, h, l, c, v)]
    small_times = np.arange(len(t), dtype=np.int32)
    assert run(*ints, small_times, SPEC) == run(
        *[x.astype(np.float64).tolist() for x in ints], small_times.tolist(), SPEC)


@pytest.mark.parametrize("time, error, message", [
    (np.array([1.0, 2.0, 3.0]), TypeError, "cannot be interpreted as an integer"),
    (np.array([1, 2, 2**63], dtype=np.uint64), OverflowError, None),
    (np.array([[1, 2, 3]], dtype=np.int64), TypeError, None),
    (np.array(5, dtype=np.int64), TypeError, None),
])
def test_time_arrays_of_the_wrong_kind_fail_as_their_items_do(time, error, message):
    o, h, l, c, v, _ = columns()
    with pytest.raises(error, match=message) as info:
        run(np.array(o), h, l, c, v, time, SPEC)
    assert info.value.__notes__ == ["while processing 'time'"]


def test_two_dimensional_price_array_is_refused():
    o, h, l, c, v, t = columns()
    with pytest.raises(TypeError) as info:
        run(o, np.array([h, h]).T.copy(), l, c, v, t, SPEC)
    assert info.value.__notes__ == ["while processing 'high'"]


def test_empty_arrays(arrays):
    empty = [np.array([], dtype=a.dtype) for a in arrays]
    with pytest.raises(ValueError, match="^invalid input data: no candles$"):
        run(*empty, SPEC)


def test_array_length_mismatch(arrays):
    o, h, l, c, v, t = arrays
    with pytest.raises(ValueError, match="^volume length 1999 does not match open length 2000$"):
        run(o, h, l, c, v[1:], t, SPEC)
