BUILD ?= build
JOBS ?= 2
# The interpreter the module is built for and tested under.
PYTHON ?= /usr/bin/python3

.PHONY: deps build test run bench asan

deps:
	@bash tools/install-deps.sh

build: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DPython3_EXECUTABLE=$(PYTHON) >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

# Every test of the project: the GoogleTest suites and the Python module's pytest
# suites (registered with ctest as python-tests).
test: build
	@ctest --test-dir $(BUILD) -j $(JOBS) --output-on-failure

# The demo backtest on built-in data; prints the report.
run: build
	@$(BUILD)/bench/ostrel_demo

bench: build
	@$(BUILD)/bench/bench_json_read
	@$(BUILD)/bench/bench_json_write
	@$(BUILD)/bench/bench_engine
	@$(BUILD)/bench/bench_indicators
	@PYTHONPATH=$(BUILD)/python $(PYTHON) bench/bench_python.py

# The tests under AddressSanitizer and UndefinedBehaviorSanitizer.
asan: deps
	@cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DOSTREL_SANITIZE=ON -DPython3_EXECUTABLE=$(PYTHON) >/dev/null
	@cmake --build build-asan -j $(JOBS)
	@ctest --test-dir build-asan -j $(JOBS) --output-on-failure
