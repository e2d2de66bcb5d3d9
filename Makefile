# Tamorix — top-level commands. `make run` and `make test` install what a
# fresh Debian machine lacks (when run as root), configure, build and go.

BUILD      ?= build
GENERATOR  ?= Ninja
DEMO_DIR   ?= $(BUILD)/demo
PACKAGES   := cmake ninja-build g++ qt6-base-dev libgtest-dev libgmock-dev \
              libbenchmark-dev xvfb xauth libgl-dev clang libclang-rt-14-dev \
              poppler-utils fonts-liberation strace

# The fuzz targets of the storage engine: their own build with clang and
# libFuzzer. `make fuzz` runs each for FUZZ_SECONDS, growing the corpus in
# FUZZ_CORPUS; `make test` runs each for FUZZ_TEST_SECONDS before the tests,
# from the seeds alone (a grown corpus would take longer than that just to
# be read), when clang with libFuzzer is there.
FUZZ_BUILD        ?= build-fuzz
FUZZ_CORPUS       ?= $(FUZZ_BUILD)/corpus
FUZZ_SECONDS      ?= 300
FUZZ_TEST_SECONDS ?= 10
FUZZ_CXX          ?= clang++
PEER_FIXTURES     ?= $(CURDIR)/../shared/fixtures/peer
FUZZ_SEED         ?=
FUZZ_OPTIONS       = -timeout=10 -print_final_stats=0 -artifact_prefix=$(FUZZ_BUILD)/artifacts/ \
                     $(if $(FUZZ_SEED),-seed=$(FUZZ_SEED))

.PHONY: all deps configure build test run bench bench-chain shop-soak crash-soak clean fuzz fuzz-build fuzz-available

all: build

# Installs only the packages that are missing; `apt-get update` runs once,
# and only when something has to be installed.
deps:
	@missing=""; for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = "0" ]; then \
	    echo "Installing:$$missing"; \
	    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing >/dev/null || exit 1; \
	  else \
	    echo "Missing packages:$$missing (run as root to install them)"; exit 1; \
	  fi; \
	fi

$(BUILD)/build.ninja: CMakeLists.txt
	cmake -S . -B $(BUILD) -G $(GENERATOR)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD)

# The fuzz targets run briefly first, so that CTest's summary closes the output.
test: build
	@if $(MAKE) -s fuzz-available; then \
	  rm -rf $(FUZZ_BUILD)/corpus-brief; \
	  $(MAKE) --no-print-directory fuzz FUZZ_SECONDS=$(FUZZ_TEST_SECONDS) FUZZ_SEED=1 \
	    FUZZ_CORPUS=$(FUZZ_BUILD)/corpus-brief; \
	else echo "Fuzz targets skipped: $(FUZZ_CXX) with libFuzzer is not available"; fi
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2

# Whether the compiler can build a libFuzzer target at all.
fuzz-available:
	@mkdir -p $(FUZZ_BUILD)
	@echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' | \
	  $(FUZZ_CXX) -x c++ -fsanitize=fuzzer,address,undefined - -o $(FUZZ_BUILD)/probe >/dev/null 2>&1

$(FUZZ_BUILD)/build.ninja: fuzz/CMakeLists.txt
	cmake -S fuzz -B $(FUZZ_BUILD) -G $(GENERATOR) -DCMAKE_CXX_COMPILER=$(FUZZ_CXX)

fuzz-build: deps $(FUZZ_BUILD)/build.ninja
	cmake --build $(FUZZ_BUILD)

# Seeds: index and table files the engine writes and the peer fixtures'
# small index and tables (linked, not copied); the expression seeds and
# dictionary, and inputs the table reader once failed on, are in fuzz/seeds.
# What a run finds stays in $(FUZZ_CORPUS); a failing input goes to
# $(FUZZ_BUILD)/artifacts and fails the run. Table inputs are held to 4 KB
# (larger ones add records, not shapes, and slow every run down); whatever a
# table header claims, no allocation of the reader may reach 64 MB.
fuzz: fuzz-build
	@mkdir -p $(FUZZ_BUILD)/artifacts $(FUZZ_CORPUS)/cdx_reader_fuzzer $(FUZZ_CORPUS)/expression_fuzzer \
	  $(FUZZ_CORPUS)/dbf_reader_fuzzer
	$(FUZZ_BUILD)/make_fuzz_seeds $(FUZZ_BUILD)/seeds $(PEER_FIXTURES)
	$(FUZZ_BUILD)/cdx_reader_fuzzer $(FUZZ_OPTIONS) -max_total_time=$(FUZZ_SECONDS) \
	  $(FUZZ_CORPUS)/cdx_reader_fuzzer $(FUZZ_BUILD)/seeds/cdx_reader_fuzzer 2>$(FUZZ_BUILD)/cdx_reader_fuzzer.log \
	  || { tail -60 $(FUZZ_BUILD)/cdx_reader_fuzzer.log; exit 1; }
	$(FUZZ_BUILD)/expression_fuzzer $(FUZZ_OPTIONS) -max_total_time=$(FUZZ_SECONDS) -dict=fuzz/expression.dict \
	  $(FUZZ_CORPUS)/expression_fuzzer fuzz/seeds/expression_fuzzer 2>$(FUZZ_BUILD)/expression_fuzzer.log \
	  || { tail -60 $(FUZZ_BUILD)/expression_fuzzer.log; exit 1; }
	$(FUZZ_BUILD)/dbf_reader_fuzzer $(FUZZ_OPTIONS) -max_len=4096 -malloc_limit_mb=64 -max_total_time=$(FUZZ_SECONDS) \
	  $(FUZZ_CORPUS)/dbf_reader_fuzzer $(FUZZ_BUILD)/seeds/dbf_reader_fuzzer fuzz/seeds/dbf_reader_fuzzer \
	  2>$(FUZZ_BUILD)/dbf_reader_fuzzer.log || { tail -60 $(FUZZ_BUILD)/dbf_reader_fuzzer.log; exit 1; }
	@echo "Fuzz targets ran $(FUZZ_SECONDS) s each without a finding"

run: build
	@if [ ! -f $(DEMO_DIR)/DataSor.ini ]; then $(BUILD)/bin/tamorix-demo $(DEMO_DIR); fi
	@cp $(DEMO_DIR)/DataSor.ini $(BUILD)/bin/DataSor.ini
	cd $(BUILD)/bin && ./tamorix

# The engine's benchmarks, then the whole transfer over a chain of the
# shops' shape (BENCH_CARDS cards x BENCH_STORES stores; with the full shape
# the chain takes about 1 GB in BENCH_DIR and the three timed runs take
# minutes each).
# The store list holds a store directory in 40 characters: the chain lies
# under a short path.
BENCH_DIR    ?= /tmp/tamorix-chain
BENCH_CARDS  ?= 49501
BENCH_STORES ?= 15

bench: build
	$(BUILD)/bin/tamorix-bench
	$(MAKE) --no-print-directory bench-chain

# First run, a run with nothing changed, the system calls of such a run
# (strace -c, when strace is there), and a run after every tenth master card
# got a new price 1.
bench-chain: build
	rm -rf $(BENCH_DIR)
	$(BUILD)/bin/tamorix-chain-bench $(BENCH_DIR) --make --cards $(BENCH_CARDS) --stores $(BENCH_STORES)
	$(BUILD)/bin/tamorix-chain-bench $(BENCH_DIR) --run first
	$(BUILD)/bin/tamorix-chain-bench $(BENCH_DIR) --run unchanged
	@if command -v strace >/dev/null; then \
	  strace -c -f -o $(BENCH_DIR)/strace-unchanged.txt $(BUILD)/bin/tamorix-chain-bench $(BENCH_DIR) --run unchanged; \
	  head -12 $(BENCH_DIR)/strace-unchanged.txt; fi
	$(BUILD)/bin/tamorix-chain-bench $(BENCH_DIR) --run reprice

# Shops at work beside the transfer, the long form of the test of the same
# name: SOAK_DAYS days on a chain of SOAK_CARDS cards and SOAK_STORES stores,
# one shop simulator per store (SOAK_PAUSE_MS between its steps), records
# held for SOAK_HOLD_MS (longer than the transfer's lock retries, so that its
# messages for a lock held too long show up), the checks after the last day. What each run did stays in
# SOAK_DIR (the shops' logs, the transfer's output per run).
SOAK_DIR      ?= /tmp/tamorix-shop-soak
SOAK_CARDS    ?= 5000
SOAK_STORES   ?= 3
SOAK_DAYS     ?= 4
SOAK_HOLD_MS  ?= 700
SOAK_PAUSE_MS ?= 2
SOAK_SEED     ?= 1

shop-soak: build
	sh tools/shopsim/beside_transfer.sh $(BUILD)/bin $(SOAK_DIR) $(SOAK_CARDS) $(SOAK_STORES) $(SOAK_HOLD_MS) \
	  $(SOAK_PAUSE_MS) $(SOAK_SEED) $(SOAK_DAYS)

# The long form of the kill test that `make test` runs: more kills over a
# bigger chain (CRASH_SEED repeats the delays of an earlier run).
CRASH_KILLS ?= 200
CRASH_CARDS ?= 3000
CRASH_SEED  ?=

crash-soak: build
	bash tests/crash/kill_transfer.sh $(BUILD)/bin $(CRASH_KILLS) $(CRASH_CARDS) $(CRASH_SEED)

clean:
	rm -rf $(BUILD) $(FUZZ_BUILD)
