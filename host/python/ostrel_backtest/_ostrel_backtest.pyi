from typing import Final, Sequence, SupportsFloat, SupportsIndex, Union

_Number = Union[SupportsFloat, SupportsIndex]

__version__: Final[str]
__all__: list[str]

def run(
    open: Sequence[_Number],
    high: Sequence[_Number],
    low: Sequence[_Number],
    close: Sequence[_Number],
    volume: Sequence[_Number],
    time: Sequence[SupportsIndex],
    spec_json: str,
    capital: _Number = 10000.0,
) -> str:
    """Run a backtest. Returns the report as a JSON string."""

def run_json(request_json: str) -> str:
    """Run a backtest from a single JSON request bundling candles, spec and optional
    feeds. Returns the report as a JSON string."""

class StreamingBacktest:
    """A backtest driven one bar at a time."""

    def __new__(cls, spec_json: str, capital: _Number = 10000.0) -> "StreamingBacktest": ...
    def step(
        self,
        open: _Number,
        high: _Number,
        low: _Number,
        close: _Number,
        volume: _Number,
        time: SupportsIndex,
    ) -> None:
        """Advance by one OHLCV bar."""
    def step_json(self, step_json: str) -> None:
        """Advance by one bar described as a `StepRequest` document."""
    def equity_json(self) -> str:
        """The equity curve so far, as a JSON array."""
    def latest_equity_json(self) -> str:
        """The most recent equity point as JSON, or `null` before the first bar."""
    @property
    def num_trades(self) -> int:
        """The number of closed trades so far."""
    def finish_json(self) -> str:
        """Close any open position and return the report JSON. Consumes the run."""
    def close(self) -> None:
        """Drop the run without producing a report. Idempotent."""
    @property
    def is_finished(self) -> bool: ...
