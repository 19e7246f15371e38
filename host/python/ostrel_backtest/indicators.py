"""The registry's indicators from Python, without writing a strategy.

Every registered type is available through the same registry and the same
update code as the engine:

    >>> from ostrel_backtest.indicators import Indicator, compute, types
    >>> sma = Indicator("Sma", [3])
    >>> [sma.update(c, c, c, c) for c in (1.0, 2.0, 3.0, 4.0)]
    [None, None, 2.0, 3.0]
    >>> compute("Sma", [3], close=[1.0, 2.0, 3.0, 4.0])["value"].tolist()
    [nan, nan, 2.0, 3.0]

Errors are the engine's texts, as ValueError: "unknown indicator type: ...",
"invalid parameters for indicator ...".
"""

from typing import Dict, List, NamedTuple, Optional, Sequence, Tuple

from ._indicators import Indicator
from ._indicators import compute as _compute
from ._indicators import types as _types

try:
    import numpy as _numpy
except ImportError:  # numpy is optional
    _numpy = None

__all__ = ["Indicator", "IndicatorType", "compute", "types"]


class IndicatorType(NamedTuple):
    """A registered type: its feed, the kinds of its positional parameters
    ("positive integer", "real", "i32", "u32") and its output names."""

    name: str
    feed: str
    params: Tuple[str, ...]
    outputs: Tuple[str, ...]

    @property
    def param_count(self) -> int:
        return len(self.params)


def types() -> List[IndicatorType]:
    """Every registered indicator type, in byte order of the names."""
    return [IndicatorType(*entry) for entry in _types()]


def _float64_array(buffer):
    if _numpy is not None:
        return _numpy.frombuffer(buffer, dtype=_numpy.float64)
    import array

    column = array.array("d")
    column.frombytes(buffer)
    return column


def compute(type: str, params: Sequence[float] = (), *, open=None, high=None, low=None,
            close=None, volume=None, time=None, reference=None) -> Dict[str, object]:
    """The indicator over whole columns (lists, tuples or numpy arrays).

    Returns {"value": ..., component: ...} of float64 arrays (numpy arrays when
    numpy is importable, else array.array('d')), NaN where the indicator had no
    value. `close` is required; a missing open, high or low is the close, a
    missing volume 0, a missing time 0; `reference` holds the reference
    instrument's closes (NaN: none that bar). Each value equals what
    Indicator.update gives bar by bar.
    """
    columns = _compute(type, params, open=open, high=high, low=low, close=close,
                       volume=volume, time=time, reference=reference)
    return {name: _float64_array(buffer) for name, buffer in columns.items()}
