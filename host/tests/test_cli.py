import json
import os
import subprocess
import sys

import pytest

from conftest import BARS, spec_json


def cli(*args, stdin=None):
    return subprocess.run([sys.executable, "-m", "ostrel_backtest", *args], input=stdin,
                          capture_output=True, text=True, env=os.environ)


@pytest.fixture
def request_file(tmp_path):
    path = tmp_path / "request.json"
    path.write_text(json.dumps({"spec": json.loads(spec_json()),
                                "candles": [list(b) for b in BARS]}))
    return path


def test_run_prints_the_report(request_file):
    done = cli("run", str(request_file))
    assert done.returncode == 0, done.stderr
    from ostrel_backtest import run_json
    assert done.stdout == run_json(request_file.read_text()) + "\n"


def test_output_file_and_summary(request_file, tmp_path):
    out = tmp_path / "report.json"
    done = cli("run", str(request_file), "-o", str(out), "--summary")
    assert done.returncode == 0, done.stderr
    report = json.loads(out.read_text())
    assert report["metrics"]["num_trades"] == 1
    assert "Sharpe" in done.stdout and "Last 1 of 1 trades:" in done.stdout
    assert "end" in done.stdout.splitlines()[-1]


def test_stdin(request_file):
    done = cli("run", "-", stdin=request_file.read_text())
    assert done.returncode == 0 and json.loads(done.stdout)["schema_version"] == 1


@pytest.mark.parametrize("args, stdin, status, text", [
    (["run", "no/such/file.json"], None, 1, "error: cannot read no/such/file.json"),
    (["run", "-"], "{", 1, "error: invalid strategy spec: EOF while parsing an object at line 1 column 1"),
    (["run"], None, 2, "usage:"),
    (["walk", "x.json"], None, 2, "usage:"),
    ([], None, 2, "usage:"),
])
def test_failures_go_to_stderr(args, stdin, status, text):
    done = cli(*args, stdin=stdin)
    assert done.returncode == status
    assert done.stdout == ""
    assert text in done.stderr
