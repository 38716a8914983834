# The commands people type. `make run` builds and starts the program; `make test`
# builds everything and runs every test. Both install missing tools first.
.PHONY: run test unit e2e windows native bench fuzz deps clean

FILE ?=
# Handed to the run script through the environment, so that a path with blanks,
# quotes or other characters the shell would split or expand arrives as one argument.
export FILE
JOBS ?= 2

deps:
	@bash scripts/install-deps.sh

native: deps
	@cmake --preset native >/dev/null
	@cmake --build build/native -j$(JOBS)

windows: deps
	@cmake --preset windows >/dev/null
	@cmake --build build/windows -j$(JOBS)

run: windows
	@bash scripts/run.sh $${FILE:+"$$FILE"}

unit: native
	@cd build/native && ctest -L unit --output-on-failure -j$(JOBS)

e2e: native windows
	@cd build/native && ctest -L e2e --output-on-failure

test: native windows
	@cd build/native && ctest --output-on-failure -j1

# Benchmarks build in their own folder: -O2, no sanitizers.
bench: deps
	@cmake --preset bench >/dev/null
	@cmake --build build/bench --target vantorel_bench -j$(JOBS)
	@build/bench/bench/vantorel_bench

# The fuzzers run for FUZZ_SECONDS each (clang with libFuzzer).
FUZZ_SECONDS ?= 60
fuzz: deps
	@cmake -S fuzz -B build/fuzz -DCMAKE_CXX_COMPILER=clang++ >/dev/null
	@cmake --build build/fuzz -j$(JOBS)
	@mkdir -p build/fuzz/corpus
	@build/fuzz/editor_strings_fuzz -max_total_time=$(FUZZ_SECONDS) -max_len=512 build/fuzz/corpus

clean:
	@rm -rf build
