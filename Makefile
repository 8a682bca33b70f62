# The two everyday commands: `make run` and `make test`. Both install missing
# Debian packages first (scripts/install-deps), then configure and build.
MAKEFLAGS += --no-print-directory
BUILD ?= build
JOBS  ?= $(shell nproc)

.PHONY: all deps configure build test bench run clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release > /dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# Until the desktop program arrives, the main job exports every sample design.
run: build
	@test -e $(BUILD)/bin/flinder.ini || cp designs/flinder.ini $(BUILD)/bin/flinder.ini
	@mkdir -p out
	@$(BUILD)/bin/flinder-export --all out

bench: build
	@for b in $(BUILD)/bin/bench_*; do echo "== $$b"; $$b; done

clean:
	@rm -rf $(BUILD)
