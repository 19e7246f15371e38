"""bench/run_all.py on canned program outputs (the benchmarks themselves are not run)."""

import importlib.util
from pathlib import Path

import pytest

SCRIPT = Path(__file__).resolve().parents[2] / "bench" / "run_all.py"
spec = importlib.util.spec_from_file_location("run_all", SCRIPT)
run_all = importlib.util.module_from_spec(spec)
spec.loader.exec_module(run_all)

OUTPUTS = {
    "bench_engine": """Sma crossover (10/30), 1000000 bars
run 1: step 64.0 ns/bar, create+steps+finish 70.1 ns/bar, candles to report text 215.0 ns/bar
RESULT engine.step.first 64.00 ns/bar
RESULT engine.step.steady 35.20 ns/bar
RESULT engine.candles_to_report.first 215.00 ns/bar
RESULT engine.candles_to_report.steady 98.10 ns/bar
""",
    "bench_json_write": """first call:   90.0 ns per equity point (90.00 ms)
RESULT json_write.first 90.00 ns/point
RESULT json_write.steady 48.50 ns/point
""",
    "bench_json_read": """request: 1000000 candles, 54.0 MB
RESULT json_read.first 201.3 MB/s
RESULT json_read.steady 450.7 MB/s
""",
    "bench_python.py": """run(): 1,000,000 bars from numpy arrays, report text included
RESULT run.first 3.9e+06 bars/s
RESULT run.steady 8.81234e+06 bars/s
RESULT run_json.first 120.5 MB/s
RESULT run_json.steady 160.25 MB/s
RESULT streaming.step 142.3 ns/step
""",
    "bench_indicators": """type                       parameters          ns/update
Sma                        20                       2.10
(checksum 1e+08)
RESULT indicator.Sma 2.10 ns/update 20
RESULT indicator.Alligator 9.87 ns/update 13,8,5
""",
}


def outcomes(**changes):
    result = {}
    for name, text in OUTPUTS.items():
        status, text = changes.get(name, (0, text))
        outcome = run_all.Outcome(status=status, output=text)
        outcome.results, outcome.failures = run_all.parse(text)
        if status:
            outcome.error = f"exit status {status}: boom"
        result[name] = outcome
    return result


def test_parse_reads_result_and_failed_lines_only():
    results, failures = run_all.parse(
        "run 1: step 64.0 ns/bar\n"
        "RESULT a.b 1.5 ns/bar\n"
        "RESULT indicator.Alma 3.25 ns/update 9,0.85,6\n"
        "RESULT bad nan-ish MB/s\n"
        "RESULT short 1\n"
        "FAILED indicator.Jma build failed\n")
    assert results == {"a.b": (1.5, "ns/bar", ""),
                       "indicator.Alma": (3.25, "ns/update", "9,0.85,6")}
    assert failures == {"bad": "unreadable value 'nan-ish'", "indicator.Jma": "build failed"}


def test_table_of_a_full_run():
    text, ok = run_all.tables(outcomes())
    assert ok
    lines = text.splitlines()
    assert lines[0].split() == ["measure", "steady", "(median)", "first", "call", "unit"]
    # label -> the rest of its line, single-spaced
    row = {line.split("  ")[0]: " ".join(line.split("  ", 1)[1].split())
           for line in lines[1:8]}
    assert row["engine: bar step (Sma 10/30 crossover)"] == "35.2 64.0 ns/bar"
    assert row["run() from numpy arrays"] == "8.81 3.9 M bars/s"
    assert row["run request reading"] == "450.7 201.3 MB/s"
    assert row["StreamingBacktest.step from Python"] == "142.3 ns/step"
    indicators = lines[lines.index("") + 1:]
    assert [line.split() for line in indicators] == [
        ["indicator", "parameters", "ns/update"], ["Sma", "20", "2.10"],
        ["Alligator", "13,8,5", "9.87"]]
    assert "FAILED" not in text


@pytest.mark.parametrize("changes, shown, note", [
    # A program that crashed after some of its figures.
    ({"bench_python.py": (1, "RESULT run.first 3.9e+06 bars/s\n")}, "run() from numpy arrays",
     "run.steady: exit status 1: boom"),
    # A program that succeeded but left out a figure.
    ({"bench_json_write": (0, "RESULT json_write.first 90 ns/point\n")}, "report writing",
     "json_write.steady: not reported"),
    # A program that could not be started at all.
    ({"bench_engine": (-1, "")}, "engine: bar step", "engine.step.steady: exit status -1"),
])
def test_failed_figures_are_shown_and_fail_the_run(changes, shown, note):
    text, ok = run_all.tables(outcomes(**changes))
    assert not ok
    assert any(line.startswith(shown) and "FAILED" in line for line in text.splitlines())
    assert note in text


def test_failed_indicators_are_rows_of_their_own():
    text, ok = run_all.tables(outcomes(bench_indicators=(
        1, "RESULT indicator.Sma 2.10 ns/update 20\nFAILED indicator.Zlema build failed\n")))
    assert not ok
    assert [line.split() for line in text.splitlines() if line.startswith(("Sma", "Zlema"))] == [
        ["Sma", "20", "2.10"], ["Zlema", "FAILED"]]
    assert "indicator.Zlema: build failed" in text


def test_no_indicator_output_is_a_failure():
    text, ok = run_all.tables(outcomes(bench_indicators=(0, "")))
    assert not ok and "bench_indicators: no indicator reported" in text


def test_a_missing_program_is_an_outcome_not_an_exception(tmp_path):
    outcome = run_all.run_program(run_all.Bench("bench_engine"), str(tmp_path), None)
    assert outcome.status == -1 and outcome.error.startswith("cannot start")
    assert "engine.step.steady: cannot start" in run_all.tables(
        {**outcomes(), "bench_engine": outcome})[0]
