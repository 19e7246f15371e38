"""The command line:

    python -m ostrel_backtest run REQUEST.json [-o FILE] [--summary]
    python -m ostrel_backtest demo [--bars N | --csv FILE] [-o FILE]

Exit status 0 on success, 1 when the input cannot be read or is refused by the engine,
2 for usage errors.
"""

import argparse
import json
import sys
import time

from . import demo
from ._ostrel_backtest import __version__, run, run_json

LAST_TRADES = 10

METRICS = [
    ("pnl", "PnL"),
    ("return_pct", "Return %"),
    ("sharpe", "Sharpe"),
    ("sortino", "Sortino"),
    ("calmar", "Calmar"),
    ("max_drawdown", "Max drawdown"),
    ("win_rate", "Win rate %"),
    ("profit_factor", "Profit factor"),
    ("num_trades", "Trades"),
]

TRADE_COLUMNS = ["entry_time", "exit_time", "entry_price", "exit_price", "qty", "pnl",
                 "return_pct", "reason"]


def _parser():
    parser = argparse.ArgumentParser(prog="python -m ostrel_backtest",
                                     description="Strategy backtests from JSON run requests.")
    parser.add_argument("--version", action="version", version=__version__)
    commands = parser.add_subparsers(dest="command", required=True, metavar="COMMAND")
    run = commands.add_parser("run", help="run a backtest from a run request document",
                              description="Run a backtest from a run request document "
                                          "(candles, spec and optional feeds).")
    run.add_argument("request", metavar="REQUEST.json", help="the run request; - reads stdin")
    run.add_argument("-o", "--output", metavar="FILE", help="write the report to FILE")
    run.add_argument("--summary", action="store_true",
                     help="print a table of the metrics and the last trades instead of the report")
    sample = commands.add_parser(
        "demo", help="run the sample strategy on built-in data or a CSV of candles",
        description="Run a moving-average crossover with a stop-loss, fees and slippage over "
                    "a built-in seeded market of hourly bars, or over the candles of a CSV "
                    "file, and print a summary.")
    source = sample.add_mutually_exclusive_group()
    source.add_argument("--bars", type=_positive, default=demo.DEFAULT_BARS, metavar="N",
                        help=f"bars of the built-in market (default {demo.DEFAULT_BARS:,})")
    source.add_argument("--csv", metavar="FILE",
                        help="candles from FILE: a header row naming time (ms), open, high, "
                             "low, close, volume, then one candle per line")
    sample.add_argument("-o", "--output", metavar="FILE", default="report.json",
                        help="where the report is written (default report.json)")
    return parser


def _positive(text):
    try:
        value = int(text)
    except ValueError:
        value = 0
    if value < 1:
        raise argparse.ArgumentTypeError(f"expected a positive integer, got {text!r}")
    return value


def _cell(value):
    if value is None:
        return "-"
    if isinstance(value, float):
        return f"{value:.6g}"
    return str(value)


def _table(rows, label_column=False):
    """Columns right-aligned, or a first column of labels left-aligned."""
    widths = [max(len(row[i]) for row in rows) for i in range(len(rows[0]))]

    def line(row):
        cells = [cell.ljust(width) if label_column and i == 0 else cell.rjust(width)
                 for i, (cell, width) in enumerate(zip(row, widths))]
        return "  ".join(cells).rstrip()

    return "\n".join(line(row) for row in rows)


def summary(report):
    """A readable table of a report's metrics and its last trades."""
    metrics = report["metrics"]
    lines = [f"{report['symbol']} {report['timeframe']}: {len(report['equity'])} bars, "
             f"initial capital {_cell(report['initial_capital'])}, "
             f"fees paid {_cell(report['fees_paid'])}", ""]
    lines.append(_table([[label, _cell(metrics[key])] for key, label in METRICS], label_column=True))
    trades = report["trades"][-LAST_TRADES:]
    lines.append("")
    if not trades:
        lines.append("No closed trades.")
    else:
        lines.append(f"Last {len(trades)} of {len(report['trades'])} trades:")
        lines.append(_table([TRADE_COLUMNS] +
                            [[_cell(trade[key]) for key in TRADE_COLUMNS] for trade in trades]))
    return "\n".join(lines) + "\n"


def _read(path):
    if path == "-":
        return sys.stdin.read()
    with open(path, encoding="utf-8") as f:
        return f.read()


def _write(path, text):
    try:
        with open(path, "w", encoding="utf-8") as f:
            f.write(text)
    except OSError as e:
        print(f"error: cannot write {path}: {e}", file=sys.stderr)
        return False
    return True


def _demo(args):
    try:
        market = demo.read_csv(args.csv) if args.csv else demo.builtin_market(args.bars)
    except demo.CsvError as e:
        print(f"error: {e}", file=sys.stderr)
        return 1
    spec = json.dumps(demo.SPEC)
    start = time.perf_counter()
    try:
        text = run(*market.columns, spec, capital=demo.CAPITAL)
    except ValueError as e:
        print(f"error: {e}", file=sys.stderr)
        return 1
    seconds = time.perf_counter() - start
    if not _write(args.output, text):
        return 1
    report = json.loads(text)
    times = market.time
    out = sys.stdout
    out.write(f"Data:     {market.source}: {len(market):,} bars, "
              f"{demo.time_text(int(times[0]))} to {demo.time_text(int(times[-1]))} UTC\n")
    out.write(f"Strategy: {demo.describe()}\n\n")
    out.write(summary(report))
    out.write(f"\nBacktest: {len(market):,} bars in {seconds * 1e3:.1f} ms, "
              f"{len(market) / seconds:,.0f} bars per second (report text included)\n")
    out.write(f"Report:   {args.output} ({len(text):,} bytes)\n")
    return 0


def main(argv=None):
    args = _parser().parse_args(argv)
    if args.command == "demo":
        return _demo(args)
    try:
        request = _read(args.request)
    except (OSError, UnicodeDecodeError) as e:
        print(f"error: cannot read {args.request}: {e}", file=sys.stderr)
        return 1
    try:
        report = run_json(request)
    except ValueError as e:
        print(f"error: {e}", file=sys.stderr)
        return 1
    if args.output is not None and not _write(args.output, report):
        return 1
    if args.summary:
        sys.stdout.write(summary(json.loads(report)))
    elif args.output is None:
        sys.stdout.write(report + "\n")
    return 0
