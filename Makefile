# The commands of the README:
#   make run      set up, build and start そろべえ
#   make test     set up, build and run every test headlessly
#   make install  build and install into PREFIX (default /usr/local), under DESTDIR if given
#   make package  build the Debian package sorobe_<version>_<arch>.deb in BUILD_DIR
BUILD_DIR ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
PREFIX ?= /usr/local
DESTDIR ?=

.PHONY: run test setup configure build bench clean install package

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

clean:
	rm -rf $(BUILD_DIR)
