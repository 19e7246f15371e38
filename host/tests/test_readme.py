"""The examples of README.md, run as they stand: its Python blocks in order in one
namespace, and its strategy documents through run()."""

import json
import math
import pathlib
import re

import pytest

from ostrel_backtest import run

README = pathlib.Path(__file__).resolve().parents[2] / "README.md"


def blocks(language):
    return re.findall(r"```" + language + r"\n(.*?)```", README.read_text(), re.S)


def test_python_examples_run():
    namespace = {}
    python = blocks("python")
    assert python
    for block in python:
        exec(compile(block, str(README), "exec"), namespace)


@pytest.mark.parametrize("document", blocks("json"))
def test_strategy_documents_run(document):
    spec = json.loads(document)
    n = 3000
    closes = [100 + 10 * math.sin(i / 30) + i * 0.01 for i in range(n)]
    report = json.loads(run(closes, [c * 1.01 for c in closes], [c * 0.99 for c in closes],
                            closes, [1000.0] * n, list(range(n)), json.dumps(spec)))
    assert report["metrics"]["num_trades"] > 0
    assert len(report["equity"]) == n
