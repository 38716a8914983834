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

# The fuzzers (fuzz/, clang with libFuzzer), each run for FUZZ_SECONDS on a working copy
# of its seed corpus: fuzz/corpus/<name>/ is copied into build/fuzz/corpus/<name>/, which
# keeps what the runs add. Every target runs; a finding (crash, failed check, sanitizer
# report, an input running over 60 s) is saved in build/fuzz/findings/<name>/ and fails
# the make at the end. A target is its name here and its line in fuzz/CMakeLists.txt;
# FUZZ_OPTIONS_<name> gives it libFuzzer options of its own; FUZZ_SEEDS_<name> names
# shared seed folders of fuzz/corpus/ it starts from as well (the source texts).
FUZZ_TARGETS = editor_strings_fuzz file_round_trip_fuzz message_fuzz command_fuzz declarations_fuzz
FUZZ_SECONDS ?= 60
FUZZ_OPTIONS_editor_strings_fuzz = -max_len=512
FUZZ_OPTIONS_command_fuzz = -max_len=800
FUZZ_SEEDS_file_round_trip_fuzz = texts
FUZZ_SEEDS_message_fuzz = texts
FUZZ_SEEDS_declarations_fuzz = texts
fuzz-one = mkdir -p build/fuzz/corpus/$(1) build/fuzz/findings/$(1); \
	for seeds in $(1) $(FUZZ_SEEDS_$(1)); do \
	  if [ -d fuzz/corpus/$$seeds ]; then cp -R fuzz/corpus/$$seeds/. build/fuzz/corpus/$(1)/; fi; \
	done; \
	echo "fuzz: $(1), $(FUZZ_SECONDS) s"; \
	build/fuzz/$(1) -max_total_time=$(FUZZ_SECONDS) -timeout=60 -print_final_stats=1 \
	  -artifact_prefix=build/fuzz/findings/$(1)/ $(FUZZ_OPTIONS_$(1)) build/fuzz/corpus/$(1) || failed="$$failed $(1)";
fuzz: deps
	@command -v clang++ >/dev/null 2>&1 || { $$([ "$$(id -u)" -ne 0 ] && echo sudo) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $$([ "$$(id -u)" -ne 0 ] && echo sudo) apt-get install -y -qq --no-install-recommends clang >/dev/null; }
	@cmake -S fuzz -B build/fuzz -DCMAKE_CXX_COMPILER=clang++ >/dev/null
	@cmake --build build/fuzz -j$(JOBS)
	@failed=; $(foreach t,$(FUZZ_TARGETS),$(call fuzz-one,$(t))) \
	if [ -n "$$failed" ]; then echo "fuzz: findings in$$failed (inputs in build/fuzz/findings/)"; exit 1; fi

clean:
	@rm -rf build
