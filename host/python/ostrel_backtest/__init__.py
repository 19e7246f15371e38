"""Strategy backtests from Python: a JSON strategy spec over OHLCV candles.

`run` takes the series as arrays, `run_json` one JSON request bundling candles, spec and
feeds, and `StreamingBacktest` drives the same engine one bar at a time. Each returns the
report as JSON text.
"""

from ._ostrel_backtest import StreamingBacktest, __version__, run, run_json

__all__ = ["__version__", "run", "run_json", "StreamingBacktest"]
