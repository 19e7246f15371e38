import inspect
import json

import pytest

from conftest import BARS, columns, spec_json
from ostrel_backtest import StreamingBacktest, run, run_json

SPEC = spec_json()
FINISHED = "this backtest is finished"


def stepped(bars=BARS, spec=SPEC):
    bt = StreamingBacktest(spec)
    for t, o, h, l, c, v in bars:
        bt.step(o, h, l, c, v, t)
    return bt


def test_new_instance():
    bt = StreamingBacktest(SPEC)
    assert (bt.is_finished, bt.num_trades, bt.equity_json(), bt.latest_equity_json()) == (
        False, 0, "[]", "null")
    assert repr(bt) == "StreamingBacktest(bars=0, trades=0)"


def test_after_three_steps():
    bt = stepped()
    assert repr(bt) == "StreamingBacktest(bars=3, trades=0)"
    assert json.loads(bt.latest_equity_json())["time"] == 3
    assert [p["time"] for p in json.loads(bt.equity_json())] == [1, 2, 3]


def test_repr_counts_closed_trades():
    flip = spec_json(entry={"gt": [{"price": "close"}, 105]}, exit={"lt": [{"price": "close"}, 105]})
    bars = [(t, 100.0, 101.0, 99.0, c, 1.0) for t, c in enumerate([100, 110, 110, 100, 100, 110])]
    bt = stepped(bars, flip)
    assert (bt.num_trades, repr(bt)) == (1, "StreamingBacktest(bars=6, trades=1)")


def test_one_code_path_gives_identical_reports():
    bars = [(1000 + 60 * i, 100.0 + i % 5, 102.0 + i % 5, 98.0 + i % 3, 100.5 + (i * 7) % 11,
             float(i)) for i in range(300)]
    spec = spec_json(entry={"rising": [{"price": "close"}, 3]},
                     exit={"falling": [{"price": "close"}, 2]},
                     sizing={"type": "fixed_fraction", "fraction": 0.9}, costs={"taker_bps": 4},
                     risk={"stop_loss_pct": 1.5})
    by_run = run(*columns(bars), spec, 2500.0)
    request = {"spec": json.loads(spec), "candles": [list(b[:5]) + [b[5]] for b in bars],
               "capital": 2500.0}
    by_request = run_json(json.dumps(request))
    bt = StreamingBacktest(spec, 2500.0)
    for t, o, h, l, c, v in bars:
        bt.step(o, h, l, c, v, t)
    by_steps = bt.finish_json()
    bt_json = StreamingBacktest(spec, capital=2500.0)
    for t, o, h, l, c, v in bars:
        bt_json.step_json(json.dumps({"candle": [t, o, h, l, c, v]}))
    assert json.loads(by_run)["metrics"]["num_trades"] > 5
    assert by_run == by_request == by_steps == bt_json.finish_json()


@pytest.mark.parametrize("end", ["finish_json", "close"])
def test_finished_state(end):
    bt = stepped()
    getattr(bt, end)()
    calls = [lambda: bt.finish_json(), lambda: bt.step(1, 1, 1, 1, 1, 4),
             lambda: bt.step_json('{"candle": [4, 1, 1, 1, 1]}'), lambda: bt.equity_json(),
             lambda: bt.latest_equity_json(), lambda: bt.num_trades]
    for call in calls:
        with pytest.raises(ValueError) as info:
            call()
        assert str(info.value) == FINISHED
    assert bt.close() is None and bt.close() is None
    assert bt.is_finished is True
    assert repr(bt) == "StreamingBacktest(finished)"


def test_finish_json_consumes_the_run_even_if_called_with_bad_arguments_first():
    bt = stepped()
    with pytest.raises(TypeError):
        bt.finish_json(1)
    assert json.loads(bt.finish_json())["trades"][0]["reason"] == "end"
    with pytest.raises(ValueError, match=FINISHED):
        bt.finish_json()


def test_checks_before_the_finished_check():
    bt = StreamingBacktest(SPEC)
    bt.close()
    with pytest.raises(TypeError) as info:
        bt.step("1", 1, 1, 1, 1, 1)
    assert info.value.__notes__ == ["while processing 'open'"]
    with pytest.raises(ValueError) as info:
        bt.step_json("{")
    assert str(info.value) == "EOF while parsing an object at line 1 column 1"


@pytest.mark.parametrize("args, error, note", [
    (("x", 1, 1, 1, 1, 1), TypeError, "open"),
    ((1, 1, 1, 1, None, 1), TypeError, "volume"),
    ((1, 1, 1, 1, 1, 1.5), TypeError, "time"),
    ((1, 1, 1, 1, 1, 2**63), OverflowError, "time"),
])
def test_step_conversion_errors(args, error, note):
    bt = StreamingBacktest(SPEC)
    with pytest.raises(error) as info:
        bt.step(*args)
    assert info.value.__notes__ == [f"while processing '{note}'"]
    assert repr(bt) == "StreamingBacktest(bars=0, trades=0)"


def test_step_json_reading_error_has_no_kind_prefix():
    with pytest.raises(ValueError) as info:
        StreamingBacktest(SPEC).step_json('{"feeds": {}}')
    assert str(info.value) == "missing field `candle` at line 1 column 13"


def test_funding_needs_step_json_with_a_derivatives_tick():
    bt = StreamingBacktest(spec_json(costs={"funding": True}))
    for _ in range(2):
        with pytest.raises(ValueError) as info:
            bt.step(1, 1, 1, 1, 1, 1)
        assert str(info.value) == (
            "invalid strategy spec: costs.funding needs a derivatives feed; without one no "
            "funding would be              charged at all")
    tick = {"funding_rate": 0.0001, "mark_price": 100, "index_price": 100, "futures_price": 100,
            "open_interest": 1, "long_size": 1, "short_size": 1, "taker_buy_volume": 1,
            "taker_sell_volume": 1, "long_liquidation": 0, "short_liquidation": 0, "timestamp": 1}
    bt.step_json(json.dumps({"candle": [1, 100, 100, 100, 100], "feeds": {"deriv": tick}}))
    assert repr(bt) == "StreamingBacktest(bars=1, trades=0)"


@pytest.mark.parametrize("args, kwargs, error, message", [
    ((spec_json(indicators={"a": {"type": "NoSuchType", "params": [3]}}),), {}, ValueError,
     "unknown indicator type: NoSuchType"),
    ((spec_json(exit={"lt": ["b", 0]}),), {}, ValueError,
     "rule references undeclared indicator: b"),
    (("{",), {}, ValueError, "invalid strategy spec: EOF while parsing an object at line 1 column 1"),
    ((SPEC, float("inf")), {}, ValueError, "invalid input data: capital must be finite"),
    ((), {}, TypeError, "StreamingBacktest() missing 1 required positional argument: 'spec_json'"),
    ((SPEC, 1.0, 2), {}, TypeError,
     "StreamingBacktest() takes from 1 to 2 positional arguments but 3 were given"),
    ((SPEC,), {"spec_json": SPEC}, TypeError,
     "StreamingBacktest() got multiple values for argument 'spec_json'"),
    ((SPEC,), {"cash": 1}, TypeError, "StreamingBacktest() got an unexpected keyword argument 'cash'"),
    ((3,), {}, TypeError, "'int' object is not an instance of 'str'"),
])
def test_constructor_errors(args, kwargs, error, message):
    with pytest.raises(error) as info:
        StreamingBacktest(*args, **kwargs)
    assert str(info.value) == message


def test_constructor_by_keyword():
    bt = StreamingBacktest(capital=50, spec_json=SPEC)
    assert json.loads(bt.finish_json())["initial_capital"] == 50.0


@pytest.mark.parametrize("call, message", [
    (lambda bt: bt.step(1, 2, 3, 4, 5),
     "StreamingBacktest.step() missing 1 required positional argument: 'time'"),
    (lambda bt: bt.step(1, 2, 3, 4, 5, 6, 7),
     "StreamingBacktest.step() takes 7 positional arguments but 8 were given"),
    (lambda bt: bt.step_json(),
     "StreamingBacktest.step_json() missing 1 required positional argument: 'step_json'"),
    (lambda bt: bt.equity_json(1),
     "StreamingBacktest.equity_json() takes 1 positional argument but 2 were given"),
    (lambda bt: bt.close(now=True), "StreamingBacktest.close() got an unexpected keyword argument 'now'"),
])
def test_method_call_shapes(call, message):
    with pytest.raises(TypeError) as info:
        call(StreamingBacktest(SPEC))
    assert str(info.value) == message


class Reentrant:
    """A number whose conversion calls back into the instance."""

    def __init__(self, callback):
        self.callback = callback
        self.error = None

    def __float__(self):
        try:
            self.callback()
        except RuntimeError as e:
            self.error = str(e)
        return 100.0


@pytest.mark.parametrize("callback, message", [
    (lambda bt: bt.step(1, 1, 1, 1, 1, 9), "Already borrowed"),
    (lambda bt: bt.step_json('{"candle": [9, 1, 1, 1, 1]}'), "Already borrowed"),
    (lambda bt: bt.finish_json(), "Already borrowed"),
    (lambda bt: bt.close(), "Already borrowed"),
    (lambda bt: bt.equity_json(), "Already mutably borrowed"),
    (lambda bt: bt.latest_equity_json(), "Already mutably borrowed"),
    (lambda bt: bt.num_trades, "Already mutably borrowed"),
    (lambda bt: bt.is_finished, "Already mutably borrowed"),
    (lambda bt: repr(bt), "Already mutably borrowed"),
])
def test_reentrant_call_from_a_conversion_is_refused(callback, message):
    bt = StreamingBacktest(SPEC)
    number = Reentrant(lambda: callback(bt))
    bt.step(number, 101, 99, 100, 1, 1)
    assert number.error == message
    assert repr(bt) == "StreamingBacktest(bars=1, trades=0)"
    assert json.loads(bt.finish_json())["equity"] == [{"time": 1, "equity": 10000.0}]


def test_shared_access_nests():
    bt = StreamingBacktest(SPEC)

    class Probe:
        def __repr__(self):
            return bt.equity_json()

    # A shared call inside a shared call is allowed; the guard is released afterwards.
    assert bt.latest_equity_json() == "null"
    assert repr(Probe()) == "[]"
    bt.step(1, 1, 1, 1, 1, 1)


def test_docstrings():
    assert StreamingBacktest.__doc__.startswith("A backtest driven one bar at a time.\n")
    assert "instead of resurrecting a half-finished run" in StreamingBacktest.__doc__
    assert str(inspect.signature(StreamingBacktest)) == "(spec_json, capital=10000.0)"
    bt = StreamingBacktest(SPEC)
    assert str(inspect.signature(bt.step)) == "(open, high, low, close, volume, time)"
    assert str(inspect.signature(bt.finish_json)) == "()"
    docs = {name: getattr(StreamingBacktest, name).__doc__ for name in
            ["step", "step_json", "equity_json", "latest_equity_json", "num_trades",
             "finish_json", "close", "is_finished"]}
    assert docs == {
        "step": "Advance by one OHLCV bar.",
        "step_json": "Advance by one bar described as a `StepRequest` document, which is the\n"
                     "only form that can also carry the bar's reference / derivatives /\n"
                     "order-book / trade / cross-section feeds.",
        "equity_json": "The equity curve so far, as a JSON array.",
        "latest_equity_json": "The most recent equity point as JSON, or `null` before the first bar.",
        "num_trades": "The number of closed trades so far.",
        "finish_json": "Close any open position and return the report JSON. Consumes the run.",
        "close": "Drop the run without producing a report. Idempotent.",
        "is_finished": None,
    }


def test_no_other_public_members():
    public = {name for name in dir(StreamingBacktest) if not name.startswith("_")}
    assert public == {"step", "step_json", "equity_json", "latest_equity_json", "num_trades",
                      "finish_json", "close", "is_finished"}
