BUILD ?= build
JOBS ?= 2
# The interpreter the module is built for and tested under.
PYTHON ?= /usr/bin/python3

.PHONY: deps build test demo run bench asan

deps:
	@bash tools/install-deps.sh

build: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DPython3_EXECUTABLE=$(PYTHON) >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

# Every test of the project: the GoogleTest suites and the Python module's pytest
# suites (registered with ctest as python-tests).
test: build
	@ctest --test-dir $(BUILD) -j $(JOBS) --output-on-failure

# The demo backtest on a built-in market of 100,000 hourly bars: prints a summary and
# writes report.json. DEMO_ARGS passes options, e.g. make demo DEMO_ARGS="--csv candles.csv".
demo: build
	@PYTHONPATH=$(BUILD)/python $(PYTHON) -m ostrel_backtest demo $(DEMO_ARGS)

run: demo

# Every benchmark of bench/, then one table of their figures; BENCH_ARGS=-v shows each
# program's own output.
bench: build
	@$(PYTHON) bench/run_all.py --bin-dir $(BUILD)/bench --pythonpath $(BUILD)/python $(BENCH_ARGS)

# The tests under AddressSanitizer and UndefinedBehaviorSanitizer.
asan: deps
	@cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DOSTREL_SANITIZE=ON -DPython3_EXECUTABLE=$(PYTHON) >/dev/null
	@cmake --build build-asan -j $(JOBS)
	@ctest --test-dir build-asan -j $(JOBS) --output-on-failure
