"""Runs every benchmark and prints one table of their figures.

    python3 bench/run_all.py --bin-dir build/bench --pythonpath build/python [-v]

Each program prints its own report and, for this script, lines
"RESULT key value unit [note]" (and "FAILED key reason" for a figure it could not
measure). -v shows each program's own output as well. A program that fails, or a figure
that is missing from its output, is shown as FAILED and the exit status is 1.
"""

import argparse
import os
import subprocess
import sys
from dataclasses import dataclass, field

HERE = os.path.dirname(os.path.abspath(__file__))


@dataclass
class Row:
    key: str        # RESULT key without the .steady / .first suffix
    label: str
    unit: str
    first: bool = True   # also a first-call figure
    scale: float = 1.0   # shown value = reported value * scale


@dataclass
class Bench:
    name: str
    python: bool = False
    rows: list = field(default_factory=list)


BENCHES = [
    Bench("bench_engine", rows=[
        Row("engine.step", "engine: bar step (Sma 10/30 crossover)", "ns/bar"),
        Row("engine.candles_to_report", "engine: candles to report text", "ns/bar")]),
    Bench("bench_json_write", rows=[
        Row("json_write", "report writing", "ns/point")]),
    Bench("bench_json_read", rows=[
        Row("json_read", "run request reading", "MB/s")]),
    Bench("bench_python.py", python=True, rows=[
        Row("run", "run() from numpy arrays", "M bars/s", scale=1e-6),
        Row("run_json", "run_json() of a request text", "MB/s"),
        Row("streaming.step", "StreamingBacktest.step from Python", "ns/step", first=False)]),
    # Its rows are the registered indicator types, whatever they are.
    Bench("bench_indicators"),
]


@dataclass
class Outcome:
    """What one program gave: its exit status, output and parsed figures."""
    status: int
    output: str
    results: dict = field(default_factory=dict)   # key -> (value, unit, note)
    failures: dict = field(default_factory=dict)  # key -> reason
    error: str = ""


def parse(output):
    """The RESULT and FAILED lines of a program's output, in order of appearance."""
    results, failures = {}, {}
    for line in output.splitlines():
        words = line.split(maxsplit=4)
        if len(words) >= 4 and words[0] == "RESULT":
            try:
                value = float(words[2])
            except ValueError:
                failures[words[1]] = f"unreadable value {words[2]!r}"
                continue
            results[words[1]] = (value, words[3], words[4] if len(words) > 4 else "")
        elif len(words) >= 2 and words[0] == "FAILED":
            failures[words[1]] = " ".join(line.split()[2:]) or "failed"
    return results, failures


def run_program(bench, bin_dir, pythonpath):
    if bench.python:
        command = [sys.executable, os.path.join(HERE, bench.name)]
    else:
        command = [os.path.join(bin_dir, bench.name)]
    env = dict(os.environ)
    if pythonpath:
        env["PYTHONPATH"] = os.pathsep.join(filter(None, [pythonpath, env.get("PYTHONPATH")]))
    try:
        done = subprocess.run(command, capture_output=True, text=True, env=env)
    except OSError as e:
        return Outcome(status=-1, output="", error=f"cannot start: {e.strerror or e}")
    outcome = Outcome(status=done.returncode, output=done.stdout + done.stderr)
    outcome.results, outcome.failures = parse(done.stdout)
    if done.returncode != 0:
        last = done.stderr.strip().splitlines()[-1:] or ["no error output"]
        outcome.error = f"exit status {done.returncode}: {last[0]}"
    return outcome


def _number(value):
    if value >= 1e5:
        return f"{value:,.0f}"
    return f"{value:.3g}" if value < 10 else f"{value:.1f}"


def _format(rows, left=1):
    """Columns aligned: the first `left` to the left, the others to the right."""
    widths = [max(len(row[i]) for row in rows) for i in range(len(rows[0]))]
    return "\n".join("  ".join(cell.ljust(w) if i < left else cell.rjust(w)
                               for i, (cell, w) in enumerate(zip(row, widths))).rstrip()
                     for row in rows)


def _figure(outcome, key, scale, notes):
    if key in outcome.results:
        return _number(outcome.results[key][0] * scale)
    notes.append(f"{key}: {outcome.failures.get(key) or outcome.error or 'not reported'}")
    return "FAILED"


def tables(outcomes):
    """The summary text and whether every figure was measured. `outcomes` maps a bench
    name to its Outcome."""
    notes = []
    rows = [["measure", "steady (median)", "first call", "unit"]]
    for bench in BENCHES:
        outcome = outcomes[bench.name]
        for row in bench.rows:
            if row.first:
                rows.append([row.label, _figure(outcome, row.key + ".steady", row.scale, notes),
                             _figure(outcome, row.key + ".first", row.scale, notes), row.unit])
            else:
                rows.append([row.label, _figure(outcome, row.key, row.scale, notes), "",
                             row.unit])
    text = [_format(rows)]

    indicators = outcomes["bench_indicators"]
    per_type = [["indicator", "parameters", "ns/update"]]
    names = [k for k in indicators.results if k.startswith("indicator.")]
    names += [k for k in indicators.failures if k.startswith("indicator.")]
    for key in names:
        if key in indicators.results:
            value, _, params = indicators.results[key]
            per_type.append([key[len("indicator."):], params, f"{value:.2f}"])
        else:
            per_type.append([key[len("indicator."):], "", "FAILED"])
            notes.append(f"{key}: {indicators.failures[key]}")
    if len(per_type) == 1:
        notes.append(f"bench_indicators: {indicators.error or 'no indicator reported'}")
        per_type.append(["(none)", "", "FAILED"])
    elif indicators.status != 0 and not indicators.failures:
        notes.append(f"bench_indicators: {indicators.error}")
    text += ["", _format(per_type, left=2)]
    if notes:
        text += ["", "Failures:"] + [f"  {note}" for note in notes]
    ok = not notes and all(o.status == 0 for o in outcomes.values())
    return "\n".join(text) + "\n", ok


def main(argv=None):
    parser = argparse.ArgumentParser(description="Runs every benchmark; prints one table.")
    parser.add_argument("--bin-dir", required=True, help="the built benchmark programs")
    parser.add_argument("--pythonpath", help="where the built package is importable from")
    parser.add_argument("-v", "--verbose", action="store_true",
                        help="print each program's own output too")
    args = parser.parse_args(argv)
    outcomes = {}
    for bench in BENCHES:
        print(f"running {bench.name} ...", file=sys.stderr, flush=True)
        outcome = run_program(bench, args.bin_dir, args.pythonpath)
        outcomes[bench.name] = outcome
        if args.verbose:
            print(f"==== {bench.name} ====\n{outcome.output.rstrip()}\n")
    text, ok = tables(outcomes)
    sys.stdout.write(text)
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
