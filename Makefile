# Two commands for a fresh machine: `make demo` and `make test`. Each installs what is missing
# (as root, through apt-get), configures, builds and runs.
SHELL := /bin/bash

# The Python package and its tests use the system's interpreter, which sees Debian's packages
# (a python3 earlier on PATH may not).
PYTHON := /usr/bin/python3
PYTHON_PKGS := python3-dev python3-numpy python3-pytest pybind11-dev python3-pybind11
BUILD_PKGS := cmake ninja-build g++ libgtest-dev pkg-config libedit-dev $(PYTHON_PKGS)
BENCH_PKGS := $(BUILD_PKGS) python3-numexpr libbenchmark-dev libmuparser-dev libginac-dev libboost-math-dev \
              libgsl-dev pkg-config libocct-foundation-dev libocct-modeling-algorithms-dev \
              libocct-data-exchange-dev
FUZZ_PKGS := $(BUILD_PKGS) clang libclang-rt-14-dev
FUZZ_SECONDS ?= 60
# A fixed seed and a number of runs make a fuzzing run repeatable (-1: until the time is up).
# The parser fuzzer's memory grows with its runs under ASan (1.4 to 2.2 GB in two minutes, not
# yet explained), past libFuzzer's default limit of 2 GB: it runs with a limit of 8 GB.
FUZZ_SEED ?= 1
FUZZ_RUNS ?= -1
# The C++ API's fuzzer runs after the parser's, with a time share and runs of its own (its runs
# build, fit and search laws, so each costs far more than a parse).
FUZZ_API_SECONDS ?= $(FUZZ_SECONDS)
FUZZ_API_RUNS ?= -1

# install-missing PACKAGES: installs the packages that dpkg does not know, or names them.
define install-missing
	@missing=""; for p in $(1); do dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    echo "Installing:$$missing"; \
	    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	  else \
	    echo "Missing packages:$$missing -- install them with: sudo apt-get install$$missing" >&2; \
	    exit 1; \
	  fi; \
	fi
endef

.PHONY: demo test bench fuzz deps release clean

deps:
	$(call install-missing,$(BUILD_PKGS))

release: deps
	cmake --preset release >/dev/null
	cmake --build --preset release

demo: release
	build/release/examples/law_demo
	LAW=build/release/tools/law/law OUT=build/release/tour.svg sh examples/tour.sh
	PYTHONPATH=build/release/python $(PYTHON) examples/helix_tube.py build/release

test: release
	ctest --preset release -j2

bench:
	$(call install-missing,$(BENCH_PKGS))
	cmake --preset bench >/dev/null
	cmake --build --preset bench
	OMP_NUM_THREADS=1 ./build/bench/bench/law_bench_report --readme bench/README.md
	PYTHONPATH=build/bench/python $(PYTHON) bench/python/eval_bench.py --readme bench/README.md

fuzz:
	$(call install-missing,$(FUZZ_PKGS))
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz
	@work=$$(mktemp -d); trap 'rm -rf "$$work"' EXIT; \
	build/fuzz/fuzz/parse_fuzz -seed=$(FUZZ_SEED) -runs=$(FUZZ_RUNS) -max_total_time=$(FUZZ_SECONDS) \
	  -max_len=4096 -rss_limit_mb=8192 -timeout=60 -print_final_stats=1 -artifact_prefix="$$work/" "$$work" fuzz/corpus
	build/fuzz/fuzz/api_fuzz fuzz/api_regressions/*
	@work=$$(mktemp -d); trap 'rm -rf "$$work"' EXIT; \
	build/fuzz/fuzz/api_fuzz -seed=$(FUZZ_SEED) -runs=$(FUZZ_API_RUNS) \
	  -max_total_time=$(FUZZ_API_SECONDS) -max_len=512 -timeout=30 -print_final_stats=1 \
	  -artifact_prefix="$$work/" "$$work" fuzz/api_corpus

clean:
	rm -rf build
