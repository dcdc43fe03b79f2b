# The commands of the README. Each first runs the idempotent set-up step.
BUILD_DIR ?= $(CURDIR)/build
export BUILD_DIR

.PHONY: run test bench dist lint setup fuzz

setup:
	@bash scripts/setup.sh

test: setup
	@bash scripts/test.sh "$(BUILD_DIR)"

run: setup
	@bash scripts/run.sh "$(BUILD_DIR)"

bench: setup
	@bash scripts/bench.sh "$(BUILD_DIR)"

dist: setup
	@bash scripts/dist.sh "$(BUILD_DIR)"

# Every parser of outside data fed 10,000 seeded cases (a short run is part of make test).
fuzz: setup
	@bash scripts/fuzz.sh "$(BUILD_DIR)"

# Shape of the source tree: file and function lengths, layering, process-wide state.
lint: setup
	@python3 scripts/lint.py
