# The commands of the README:
#   make run      set up, build and start そろべえ
#   make test     set up, build and run every test headlessly
#   make test-sanitize  as make test, in SANITIZE_DIR, with AddressSanitizer and
#                 UndefinedBehaviorSanitizer (no benchmarks); fails on any report
#   make install  build and install into PREFIX (default /usr/local), under DESTDIR if given
#   make package  build the Debian package sorobe_<version>_<arch>.deb in BUILD_DIR
#   make fuzz     build the fuzz binaries with clang and run each for FUZZ_SECONDS
BUILD_DIR ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
PREFIX ?= /usr/local
SANITIZE_DIR ?= build-sanitize
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 180
FUZZ_TARGETS = ledger itemhistory cp932 roll numeric generaldate
DESTDIR ?=

.PHONY: run test test-sanitize setup configure build bench clean install package fuzz

setup:
	bash scripts/setup.sh

configure: setup
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

# Only the program and its help file: the tests and benchmarks are built by `make test`.
run: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target sorobe
	bash scripts/run.sh $(BUILD_DIR)/src/app/sorobe

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# Everything but the benchmarks, built with AddressSanitizer and
# UndefinedBehaviorSanitizer (SOROBE_SANITIZE); ctest there sets the
# sanitizers' options (tests/CMakeLists.txt), and any report fails its test.
test-sanitize: setup
	cmake -S . -B $(SANITIZE_DIR) -DSOROBE_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(SANITIZE_DIR) -j $(JOBS)
	cd $(SANITIZE_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# Building the program also renders the icons: all that is installed is there then.
install: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target sorobe
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD_DIR) --prefix "$(PREFIX)"

package: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target sorobe
	cd $(BUILD_DIR) && cpack -G DEB

# Every benchmark at 2,000, 10,000 and 50,000 entries, as one table.
bench: build
	bash scripts/bench-table.sh $(BUILD_DIR)/bench/sorobe_bench $(BUILD_DIR)/bench/bench_*

# Needs clang (scripts/setup-dev.sh). New inputs go to a scratch folder in
# FUZZ_DIR, so the seed corpora in fuzz/corpus stay small; an input that
# breaks a target is left as crash-* in FUZZ_DIR, and belongs in that target's
# corpus folder once its fault is mended.
fuzz:
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_DIR) -DSOROBE_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target fuzz_binaries
	status=0; for t in $(FUZZ_TARGETS); do \
	  mkdir -p $(FUZZ_DIR)/found/$$t; \
	  dict=; if [ -f fuzz/dict/$$t.dict ]; then dict=-dict=$(CURDIR)/fuzz/dict/$$t.dict; fi; \
	  echo "== fuzz_$$t for $(FUZZ_SECONDS) s"; \
	  (cd $(FUZZ_DIR) && ./fuzz/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	    -artifact_prefix=$$t- $$dict found/$$t $(CURDIR)/fuzz/corpus/$$t) || status=1; \
	done; exit $$status

clean:
	rm -rf $(BUILD_DIR)
