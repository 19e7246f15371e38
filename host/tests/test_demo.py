import json
import random

import pytest

from ostrel_backtest import demo
from test_cli import cli


def run_demo(tmp_path, *args):
    out = tmp_path / "report.json"
    return cli("demo", *args, "-o", str(out)), out


def test_builtin_market_demo(tmp_path):
    done, out = run_demo(tmp_path, "--bars", "2000")
    assert done.returncode == 0, done.stderr
    report = json.loads(out.read_text())
    assert len(report["equity"]) == 2000
    assert report["metrics"]["num_trades"] > 0
    lines = done.stdout.splitlines()
    assert lines[0].startswith("Data:     built-in market") and "2,000 bars" in lines[0]
    assert "2020-01-01 00:00" in lines[0]
    assert lines[1] == "Strategy: " + demo.describe()
    assert "Sharpe" in done.stdout and "trades:" in done.stdout
    assert "bars per second" in done.stdout and str(out) in lines[-1]


def test_market_is_seeded_valid_and_hourly():
    a, b = demo.builtin_market(3000), demo.builtin_market(3000)
    assert all(list(x) == list(y) for x, y in zip(a.columns, b.columns))
    assert list(demo.builtin_market(3000, seed=1).columns[3]) != list(a.columns[3])
    o, h, l, c, v, t = (list(col) for col in a.columns)
    assert t[0] == 1_577_836_800_000 and all(y - x == 3_600_000 for x, y in zip(t, t[1:]))
    assert all(hi >= max(op, cl) and lo <= min(op, cl) and lo > 0 and vol >= 0
               for op, hi, lo, cl, vol in zip(o, h, l, c, v))
    assert all(cl == op for op, cl in zip(o[1:], c))  # each bar opens at the last close


def test_market_is_the_same_without_numpy(monkeypatch):
    with_numpy = demo.builtin_market(500)
    monkeypatch.setattr(demo, "np", None)
    plain = demo.builtin_market(500)
    assert isinstance(plain.columns[0], list)
    assert all(list(x) == list(y) for x, y in zip(with_numpy.columns, plain.columns))


def write_csv(path, rows, header="time,open,high,low,close,volume"):
    path.write_text("\n".join([header, *rows]) + "\n")
    return path


def test_csv_demo(tmp_path):
    rng = random.Random(3)
    rows, price = [], 100.0
    for i in range(120):  # a wave, so that the averages cross
        close = 100.0 + 10.0 * ((i // 30) % 2 * 2 - 1) * (i % 30) / 30 + rng.random()
        rows.append(f"{1000 + i * 60000},{price},{max(price, close) + 0.5},"
                    f"{min(price, close) - 0.5},{close},{rng.random() * 10}")
        price = close
    path = write_csv(tmp_path / "candles.csv", rows)
    done, out = run_demo(tmp_path, "--csv", str(path))
    assert done.returncode == 0, done.stderr
    assert len(json.loads(out.read_text())["equity"]) == 120
    assert done.stdout.startswith(f"Data:     {path}: 120 bars")


def test_csv_columns_by_header_name(tmp_path):
    path = write_csv(tmp_path / "c.csv", ["2, 9, 11 ,8,10,1,x"],
                     header="volume,close,high,low,open,time,note")
    market = demo.read_csv(str(path))
    assert [list(c) for c in market.columns] == [[10.0], [11.0], [8.0], [9.0], [2.0], [1]]


@pytest.mark.parametrize("header, rows, text", [
    ("time,open,high,low,close,volume", ["1,10,11,9,10,5", "2,10,11,9,ten,5"],
     "line 3: close is not a number: 'ten'"),
    ("time,open,high,low,close,volume", ["1,10,11,9,10,5", "", "2.5,10,11,9,10,5"],
     "line 4: time is not a number: '2.5'"),
    ("time,open,high,low,close,volume", ["1,10,11,9"], "line 2: 4 fields, expected at least 6"),
    ("time,open,high,low,close,volume", ["1,10,9.5,9,10,5"], "line 2: high must be >="),
    ("time,open,high,low,close,volume", ["1,10,11,9,10,-1"], "line 2: volume must be"),
    ("time,open,high,low,close,volume", ["1,10,inf,9,10,1"], "line 2: high is not finite"),
    ("1,10,11,9,10,5", ["2,10,11,9,10,5"], "line 1: the header lacks time, open"),
    ("time,open,high,low,close,volume", ["5,10,11,9,10,1", "5,10,11,9,10,1"],
     "line 3: time 5 does not follow 5; times must increase"),
    ("time,open,high,low,close,volume", [], "line 2: no candles after the header"),
])
def test_csv_errors_name_the_line(tmp_path, header, rows, text):
    path = write_csv(tmp_path / "bad.csv", rows, header=header)
    done, out = run_demo(tmp_path, "--csv", str(path))
    assert done.returncode == 1
    assert done.stdout == "" and not out.exists()
    assert done.stderr.startswith(f"error: {path} {text}")


@pytest.mark.parametrize("args, status, text", [
    (["--csv", "no/such.csv"], 1, "error: cannot read no/such.csv"),
    (["--bars", "0"], 2, "expected a positive integer"),
    (["--bars", "10", "--csv", "x.csv"], 2, "not allowed with"),
])
def test_demo_usage_and_missing_file(tmp_path, args, status, text):
    done, _ = run_demo(tmp_path, *args)
    assert done.returncode == status and text in done.stderr
