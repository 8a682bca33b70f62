# The two everyday commands: `make run` and `make test`. Both install missing
# Debian packages first (scripts/install-deps), then configure and build.
MAKEFLAGS += --no-print-directory
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
JOBS  ?= $(shell nproc)

.PHONY: all deps configure build test test-sanitized check-names bench run screenshot package check-deb clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release > /dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# The tests on a real display need an X server, openbox and xdotool too;
# where they cannot be installed, those tests are skipped.
test: build
	@scripts/install-deps --x-server || echo "Without them those tests are skipped."
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# Every test again, built by clang with AddressSanitizer and
# UndefinedBehaviorSanitizer; any report fails the test that caused it.
test-sanitized:
	@scripts/install-deps --sanitizers
	@CXX=clang++-14 cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DFLINDER_SANITIZE=ON -DFLINDER_BENCH=OFF > /dev/null
	@cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	@cd $(SANITIZE_BUILD) && QT_QPA_PLATFORM=offscreen \
	  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS)

# The naming rule for data members (.clang-tidy), checked on every source
# file of the programs, their tests and benchmarks; any other name fails. The
# build comes first: the window tests include the files Qt's moc makes.
check-names: build
	@scripts/install-deps --tidy
	@cmake -S . -B $(BUILD) -DCMAKE_EXPORT_COMPILE_COMMANDS=ON > /dev/null
	@run-clang-tidy-14 -p $(BUILD) -j $(JOBS) -quiet '^(?!.*_autogen/).*\.cpp$$' \
	  > $(BUILD)/names.log 2>&1 || { grep -A3 "error:" $(BUILD)/names.log; exit 1; }
	@echo "Every data member follows the naming rule."

# The main job: the desktop program on the sample designs (an existing
# design file beside it is never overwritten). Without a display there is no
# window to open, so every sample design is exported into out/ instead.
run: build
	@test -e $(BUILD)/bin/flinder.ini || cp designs/flinder.ini $(BUILD)/bin/flinder.ini
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  $(BUILD)/bin/flinder; \
	else \
	  echo "No display to open the window on: exporting the sample designs into out/ instead."; \
	  mkdir -p out && $(BUILD)/bin/flinder-export --all out; \
	fi

# The pictures of the windows, made again under Xvfb, and of a transparent
# WebP on a coloured page, made by headless Chromium.
screenshot: build
	@scripts/screenshot $(BUILD)
	@scripts/transparent-webp $(BUILD)

# A Debian package of the programs, installable with apt-get install ./build/flinder_*.deb.
# Its files carry the time of the last commit, so the same tree packs the same.
DEB_TIME = $(or $(SOURCE_DATE_EPOCH),$(shell git log -1 --format=%ct 2>/dev/null))
package: build
	@cd $(BUILD) && rm -f flinder_*.deb && \
	  $(if $(DEB_TIME),SOURCE_DATE_EPOCH=$(DEB_TIME)) cpack > /dev/null && ls flinder_*.deb

# The package as Debian's own checker sees it: any lintian error fails. Where
# lintian cannot be installed (not root, no apt, no network) the check is
# skipped and says so.
check-deb: package
	@scripts/install-deps --deb > /dev/null 2>&1 || true
	@if ! command -v lintian > /dev/null; then \
	  echo "check-deb: skipped, lintian is not installed (scripts/install-deps --deb as root installs it)"; \
	else \
	  lintian --fail-on error $(BUILD)/flinder_*.deb > $(BUILD)/lintian.log 2>&1; status=$$?; \
	  grep -v 'running with root privileges' $(BUILD)/lintian.log; \
	  [ $$status -eq 0 ] || { echo "check-deb: lintian found errors in the package"; exit 1; }; \
	  echo "check-deb: lintian finds no error in the package."; \
	fi

bench: build
	@for b in $(BUILD)/bin/bench_*; do echo "== $$b"; $$b; done

clean:
	@rm -rf $(BUILD) $(SANITIZE_BUILD)
