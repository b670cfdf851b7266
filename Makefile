# Quick start: `make run` and `make test`. Everything else builds on them.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test install sanitize bench fuzz clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# The desktop program on the bundled sample; the CLI analysis where no display exists.
run: build
	@scripts/run-sample $(BUILD)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# Both programs, the desktop entry and the icon.
PREFIX ?= /usr/local
install: build
	@cmake --install $(BUILD) --prefix $(PREFIX)

# The tests under AddressSanitizer and UndefinedBehaviorSanitizer, in a build of their own.
SANITIZE_FLAGS = -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer
sanitize: deps
	@cmake -S . -B $(BUILD)-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS) \
		-DCMAKE_CXX_FLAGS="$(SANITIZE_FLAGS)" -DCMAKE_EXE_LINKER_FLAGS="$(SANITIZE_FLAGS)" >/dev/null
	@cmake --build $(BUILD)-asan -j $(JOBS)
	@cd $(BUILD)-asan && ctest --output-on-failure -j $(JOBS)

bench: deps
	@cmake -S . -B $(BUILD)-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DKELVANE_BENCH=ON -DKELVANE_TESTS=OFF >/dev/null
	@cmake --build $(BUILD)-bench -j $(JOBS) --target kelvane_bench
	@$(BUILD)-bench/bench/kelvane_bench $(BENCH_ARGS)

# Coverage-guided fuzzing of the text data reader, then of the workbook reader (.xls, .xlsx,
# .ods, CSV); FUZZ_SECONDS for each.
FUZZ_SECONDS ?= 300
PYTHON ?= $(firstword $(wildcard /usr/bin/python3) python3)
fuzz: deps
	@CXX=clang++ cmake -S . -B $(BUILD)-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELVANE_FUZZ=ON -DKELVANE_TESTS=OFF >/dev/null
	@cmake --build $(BUILD)-fuzz -j $(JOBS) --target ts_reader_fuzz workbook_fuzz
	@mkdir -p fuzz-corpus && cp -n data/*.dat fuzz-corpus/
	@$(BUILD)-fuzz/fuzz/ts_reader_fuzz -max_total_time=$(FUZZ_SECONDS) -max_len=4096 fuzz-corpus
	@$(PYTHON) tests/data/make_workbooks.py $(BUILD)-fuzz/workbooks --fuzz-seeds fuzz-corpus-workbook
	@LSAN_OPTIONS=suppressions=fuzz/workbook_fuzz.supp $(BUILD)-fuzz/fuzz/workbook_fuzz \
		-max_total_time=$(FUZZ_SECONDS) -max_len=16384 fuzz-corpus-workbook

clean:
	rm -rf $(BUILD) $(BUILD)-bench $(BUILD)-fuzz $(BUILD)-asan
