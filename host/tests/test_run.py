import inspect
import json

import pytest

from conftest import BARS, columns, spec_json
from ostrel_backtest import run, run_json

SPEC = spec_json()
OPEN, HIGH, LOW, CLOSE, VOLUME, TIME = columns()


def test_module_attributes(module):
    assert module.__version__ == "0.2.0"
    assert module.__all__ == ["__version__", "run", "run_json", "StreamingBacktest"]
    assert module.StreamingBacktest.__module__ == "ostrel_backtest._ostrel_backtest"
    import ostrel_backtest
    assert ostrel_backtest.__all__ == module.__all__
    assert ostrel_backtest.run is module.run


def test_docstrings_and_signatures():
    assert run.__doc__ == "Run a backtest. Returns the report as a JSON string."
    assert str(inspect.signature(run)) == (
        "(open, high, low, close, volume, time, spec_json, capital=10000.0)")
    assert run_json.__doc__ == (
        "Run a backtest from a single JSON request bundling candles, spec and optional\n"
        "feeds. Returns the report as a JSON string.")
    assert str(inspect.signature(run_json)) == "(request_json)"


def test_report_of_three_bars():
    report = json.loads(run(OPEN, HIGH, LOW, CLOSE, VOLUME, TIME, SPEC))
    assert [p["time"] for p in report["equity"]] == [1, 2, 3]
    assert report["trades"][0]["reason"] == "end"
    assert report["initial_capital"] == 10000.0


@pytest.mark.parametrize("kwargs, initial", [({}, 10000.0), ({"capital": 5e3}, 5000.0),
                                             ({"capital": 7}, 7.0), ({"capital": "2.5e3"}, 2500.0)])
def test_capital(kwargs, initial):
    report = json.loads(run(OPEN, HIGH, LOW, CLOSE, VOLUME, TIME, SPEC, **kwargs))
    assert report["initial_capital"] == initial


def test_all_by_keyword_in_any_order():
    by_position = run(OPEN, HIGH, LOW, CLOSE, VOLUME, TIME, SPEC, 2000.0)
    by_keyword = run(capital=2000.0, spec_json=SPEC, time=TIME, volume=VOLUME, close=CLOSE,
                     low=LOW, high=HIGH, open=OPEN)
    assert by_keyword == by_position


A = [OPEN, HIGH, LOW, CLOSE, VOLUME, TIME]


@pytest.mark.parametrize("call, message", [
    (lambda: run(), "run() missing 7 required positional arguments: 'open', 'high', 'low', "
                    "'close', 'volume', 'time', and 'spec_json'"),
    (lambda: run(*A), "run() missing 1 required positional argument: 'spec_json'"),
    (lambda: run(*A[:5]), "run() missing 2 required positional arguments: 'time' and 'spec_json'"),
    (lambda: run(*A[:5], spec_json=SPEC), "run() missing 1 required positional argument: 'time'"),
    (lambda: run(*A, SPEC, 1.0, 2), "run() takes from 7 to 8 positional arguments but 9 were given"),
    (lambda: run(*A, SPEC, x=1), "run() got an unexpected keyword argument 'x'"),
    (lambda: run(*A, SPEC, open=OPEN), "run() got multiple values for argument 'open'"),
    (lambda: run(*A, SPEC, 1.0, capital=1.0), "run() got multiple values for argument 'capital'"),
    # Keywords are matched before the positional count is checked, as for Python functions.
    (lambda: run(*A, SPEC, 1.0, 2, x=1), "run() got an unexpected keyword argument 'x'"),
    (lambda: run_json(), "run_json() missing 1 required positional argument: 'request_json'"),
    (lambda: run_json("{}", "{}"), "run_json() takes 1 positional argument but 2 were given"),
    (lambda: run_json(request="{}"), "run_json() got an unexpected keyword argument 'request'"),
])
def test_call_shape_errors(call, message):
    with pytest.raises(TypeError) as info:
        call()
    assert str(info.value) == message


class Number:
    def __init__(self, value):
        self.value = value

    def __float__(self):
        return self.value


class Index:
    def __init__(self, value):
        self.value = value

    def __index__(self):
        return self.value


def replaced(position, value):
    args = [OPEN, HIGH, LOW, CLOSE, VOLUME, TIME, SPEC]
    args[position] = value
    return args


@pytest.mark.parametrize("position, value, error, message", [
    (0, "1,2,3", TypeError, None),
    (1, 5, TypeError, "'int' object is not an instance of 'Sequence'"),
    (2, {1: 1.0}, TypeError, "'dict' object is not an instance of 'Sequence'"),
    (3, (x for x in CLOSE), TypeError, "'generator' object is not an instance of 'Sequence'"),
    (4, [5.0, "6", 7.0], TypeError, "must be real number, not str"),
    (4, [5.0, None, 7.0], TypeError, "must be real number, not NoneType"),
    (0, [100.0, 10**400, 1.0], OverflowError, "int too large to convert to float"),
    (5, [1.0, 2.0, 3.0], TypeError, "'float' object cannot be interpreted as an integer"),
    (5, "123", TypeError, None),
    (5, [1, 2**63, 3], OverflowError, None),
    (5, [1, -2**63 - 1, 3], OverflowError, None),
    (6, b"{}", TypeError, "'bytes' object is not an instance of 'str'"),
    (6, None, TypeError, "'NoneType' object is not an instance of 'str'"),
])
def test_conversion_errors_carry_the_parameter_note(position, value, error, message):
    names = ["open", "high", "low", "close", "volume", "time", "spec_json"]
    with pytest.raises(error) as info:
        run(*replaced(position, value))
    if message is not None:
        assert str(info.value) == message
    assert info.value.__notes__ == [f"while processing '{names[position]}'"]


@pytest.mark.parametrize("capital, error", [("ten", ValueError), ([10], TypeError)])
def test_capital_conversion_error_is_noted(capital, error):
    # capital takes anything float() takes, text included, and fails as float() fails.
    with pytest.raises(error) as info:
        run(*A, SPEC, capital=capital)
    assert info.value.__notes__ == ["while processing 'capital'"]


def test_first_failing_conversion_wins():
    with pytest.raises(TypeError) as info:
        run(OPEN, 7, LOW, CLOSE, VOLUME, [1.0], 5)
    assert info.value.__notes__ == ["while processing 'high'"]


@pytest.mark.parametrize("value", [
    [Number(100.0), Number(100.0), Number(110.0)],  # __float__
    [Index(100), 100, 110.0],                        # __index__ and int
    (100.0, 100.0, 110.0),                           # tuple
    range(100, 130, 10),                             # a sequence that is neither list nor tuple
])
def test_price_items_convert_as_float_does(value):
    expected = run(*replaced(0, [float(x) for x in value]))
    assert run(*replaced(0, value)) == expected


def test_time_items_accept_index_objects():
    assert run(*replaced(5, [Index(1), 2, True + 2])) == run(*A, SPEC)


def test_list_that_shrinks_during_conversion_is_read_safely():
    values = [100.0, None, 110.0, 120.0]

    class Shrinking:
        def __float__(self):
            del values[2:]
            return 100.0

    values[1] = Shrinking()
    with pytest.raises(ValueError, match="high length 3 does not match open length 2"):
        run(values, HIGH, LOW, CLOSE, VOLUME, TIME, SPEC)


@pytest.mark.parametrize("short, message", [
    ("high", "high length 2 does not match open length 3"),
    ("time", "time length 2 does not match open length 3"),
    ("high time", "high length 2 does not match open length 3"),
])
def test_length_checked_in_parameter_order(short, message):
    arrays = dict(zip(["open", "high", "low", "close", "volume", "time"], A))
    for name in short.split():
        arrays[name] = arrays[name][:2]
    with pytest.raises(ValueError) as info:
        run(**arrays, spec_json=SPEC)
    assert str(info.value) == message


@pytest.mark.parametrize("args, message", [
    ([[]] * 6 + [SPEC], "invalid input data: no candles"),
    ([[]] * 6 + [spec_json(spec_version=2)], None),  # the spec is checked before the candles
    (A + [SPEC, float("nan")], "invalid input data: capital must be finite"),
    (A + [SPEC, float("inf")], "invalid input data: capital must be finite"),
    (A + [spec_json(indicators={"a": {"type": "NoSuchType", "params": []}})],
     "unknown indicator type: NoSuchType"),
    (A + [spec_json(entry={"gt": ["nope", 0]})], "rule references undeclared indicator: nope"),
    (A + [spec_json(costs={"funding": True})],
     "invalid strategy spec: costs.funding needs a derivatives feed; without one no funding "
     "would be              charged at all"),
])
def test_engine_errors_are_value_errors(args, message):
    with pytest.raises(ValueError) as info:
        run(*args)
    if message is None:
        assert str(info.value).startswith("invalid strategy spec: ")
    else:
        assert str(info.value) == message


def test_spec_that_is_not_json_reports_its_position():
    with pytest.raises(ValueError) as info:
        run(*A, '{"symbol": "X",\n  oops}')
    assert str(info.value) == "invalid strategy spec: key must be a string at line 2 column 3"


@pytest.mark.parametrize("text, message", [
    ("", "invalid strategy spec: EOF while parsing a value at line 1 column 0"),
    ('{"candles": []}', "invalid strategy spec: missing field `spec` at line 1 column 15"),
])
def test_run_json_errors(text, message):
    with pytest.raises(ValueError) as info:
        run_json(text)
    assert str(info.value) == message


def test_run_json_refuses_non_str():
    with pytest.raises(TypeError) as info:
        run_json(b"{}")
    assert str(info.value) == "'bytes' object is not an instance of 'str'"
    assert info.value.__notes__ == ["while processing 'request_json'"]


def test_non_ascii_labels_round_trip():
    report = run(*A, spec_json(symbol="BTC€", timeframe="1ч"))
    assert json.loads(report)["symbol"] == "BTC€"
    assert json.loads(report)["timeframe"] == "1ч"


def test_capital_finite_check_with_no_candles_reports_no_candles():
    # The driver's checks before the first bar come before the engine's capital check.
    with pytest.raises(ValueError, match="^invalid input data: no candles$"):
        run([], [], [], [], [], [], SPEC, float("nan"))
