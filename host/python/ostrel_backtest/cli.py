"""The command line: python -m ostrel_backtest run REQUEST.json [-o FILE] [--summary].

Exit status 0 on success, 1 when the request cannot be read or is refused by the engine,
2 for usage errors.
"""

import argparse
import json
import sys

from ._ostrel_backtest import __version__, run_json

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
    return parser


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


def main(argv=None):
    args = _parser().parse_args(argv)
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
    if args.output is not None:
        try:
            with open(args.output, "w", encoding="utf-8") as f:
                f.write(report)
        except OSError as e:
            print(f"error: cannot write {args.output}: {e}", file=sys.stderr)
            return 1
    if args.summary:
        sys.stdout.write(summary(json.loads(report)))
    elif args.output is None:
        sys.stdout.write(report + "\n")
    return 0
