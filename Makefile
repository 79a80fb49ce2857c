# The one entry point: `make run` and `make test` set up everything on a fresh Debian machine.

BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
# `make install` puts everything under PREFIX, below DESTDIR when that is set.
PREFIX ?= /usr/local
DESTDIR ?=
# CMake's own messages are kept to warnings and errors; those always show.
CMAKE_QUIET = --log-level=WARNING
# The sanitizer build of the test suite, and the libFuzzer build of the fuzz targets.
ASAN_DIR ?= build-asan
FUZZ_DIR ?= build-fuzz
FUZZ_CC ?= clang-14
FUZZ_CXX ?= clang++-14
# Seconds per fuzz target: `make fuzz`, and the short run of `make test`.
FUZZ_SECONDS ?= 60
FUZZ_SMOKE_SECONDS ?= 10
# Qt Designer, from qt6-tools-dev-tools, for `make designer`.
DESIGNER ?= /usr/lib/qt6/bin/designer

LSAN_SUPPRESSIONS = $(CURDIR)/tests/sanitizer/lsan.supp
SANITIZER_ENV = ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1 \
	LSAN_OPTIONS=suppressions=$(LSAN_SUPPRESSIONS):print_suppressions=0 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
FUZZ_ENV = LSAN_OPTIONS=suppressions=$(LSAN_SUPPRESSIONS):print_suppressions=0 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# Every stage of `make test`, in order; each is a target of its own.
TEST_STAGES = test-unit test-consumer test-asan fuzz-smoke memcheck lint

.PHONY: all deps configure build run install package test bench format clean designer
.PHONY: test-unit test-consumer test-asan fuzz-build fuzz fuzz-smoke memcheck lint

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_QUIET) $(CMAKE_FLAGS)

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

# The host program with the calculator inside it; without a display it runs offscreen, presses
# Calculate, prints the report and saves a picture of the window.
run: build
	@$(BUILD_DIR)/bin/jointrix-host

# Programs, module, libraries, header, CMake package, jointrix.pc, Designer plugin, sample
# skin, docs, man pages, desktop entry and icon, in the GNUInstallDirs layout.
install: build
	@DESTDIR="$(DESTDIR)" cmake --install $(BUILD_DIR) --prefix $(PREFIX)

# The Debian package $(BUILD_DIR)/jointrix_<version>_amd64.deb, of the same files under /usr.
package: build
	@cd $(BUILD_DIR) && cpack -G DEB

# The form description in Qt Designer, with the build's plugin for the form's own classes on
# Designer's plugin path (docs/window.md says how to edit the form and what to check).
designer: configure
	@scripts/install-deps designer
	@cmake --build $(BUILD_DIR) --target jointrix_designer -j $(JOBS)
	@QT_PLUGIN_PATH=$(CURDIR)/$(BUILD_DIR)/lib$${QT_PLUGIN_PATH:+:$$QT_PLUGIN_PATH} \
	  $(DESIGNER) $(CURDIR)/src/ui/TFRM_JOINTRIX.ui

test:
	@set -e; for stage in $(TEST_STAGES); do \
	  start=$$(date +%s); \
	  $(MAKE) --no-print-directory $$stage; \
	  echo "make test: $$stage passed in $$(( $$(date +%s) - start )) s"; \
	done

test-unit: build
	@cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

# Installed into a staging folder: a host built with find_package and one built with
# pkg-config run from there, and the Debian package holds every installed file.
test-consumer: build
	@scripts/test-consumer $(BUILD_DIR)

# The whole test suite again, built with AddressSanitizer (LeakSanitizer on) and
# UndefinedBehaviorSanitizer, and the command-line calculator run under them.
test-asan: deps
	@cmake -S . -B $(ASAN_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DJOINTRIX_SANITIZE=ON \
	  -DJOINTRIX_BUILD_BENCH=OFF $(CMAKE_QUIET) $(CMAKE_FLAGS)
	@cmake --build $(ASAN_DIR) -j $(JOBS)
	@cd $(ASAN_DIR) && $(SANITIZER_ENV) ctest --output-on-failure -j $(JOBS)
	@$(SANITIZER_ENV) QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$(CURDIR)/$(ASAN_DIR)/runtime \
	  $(ASAN_DIR)/bin/jointrix-calc --format html >/dev/null

fuzz-build: deps
	@CC=$(FUZZ_CC) CXX=$(FUZZ_CXX) cmake -S . -B $(FUZZ_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DJOINTRIX_BUILD_FUZZ=ON -DJOINTRIX_BUILD_TESTS=OFF -DJOINTRIX_BUILD_BENCH=OFF $(CMAKE_QUIET)
	@cmake --build $(FUZZ_DIR) -j $(JOBS) --target fuzzers

fuzz: fuzz-build
	@$(FUZZ_ENV) scripts/run-fuzzers $(FUZZ_DIR) $(FUZZ_SECONDS)

fuzz-smoke: fuzz-build
	@$(FUZZ_ENV) scripts/run-fuzzers $(FUZZ_DIR) $(FUZZ_SMOKE_SECONDS)

# The calculation under valgrind, once complete and once failing (exit 1, the error line):
# any memory error or definite leak fails (valgrind's own exit code 99).
MEMCHECK = valgrind --tool=memcheck --quiet --error-exitcode=99 --leak-check=full \
	--show-leak-kinds=definite --errors-for-leak-kinds=definite \
	--suppressions=$(CURDIR)/tests/sanitizer/valgrind.supp
MEMCHECK_CALC_RUNS = "--form double --grade 2" "--format html --form lap --unchecked --hf 1e20"
# The module's show and free cycle in jointrix-host, once shown and freed at once and once
# through the run without a display (show, Calculate, picture, free). The host and the module
# bring their own operator new and delete, both over the shared memory manager and so over
# malloc: valgrind is told to leave them in place (nouserintercepts) and checks the malloc and
# free underneath, instead of swapping its own operator new into the host only and then
# taking every block that crosses between host, Qt and module for a mismatched free.
MEMCHECK_HOST = $(MEMCHECK) --soname-synonyms=somalloc=nouserintercepts
MEMCHECK_HOST_RUNS = "--quit-after-show" "--screenshot $(CURDIR)/$(BUILD_DIR)/memcheck/jointrix.png"
memcheck: build
	@for args in $(MEMCHECK_CALC_RUNS); do \
	  rc=0; \
	  QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$(CURDIR)/$(BUILD_DIR)/runtime \
	    $(MEMCHECK) $(BUILD_DIR)/bin/jointrix-calc $$args >/dev/null || rc=$$?; \
	  if [ $$rc -gt 1 ]; then echo "memcheck: jointrix-calc $$args: exit $$rc"; exit 1; fi; \
	done
	@mkdir -p $(BUILD_DIR)/memcheck
	@for args in $(MEMCHECK_HOST_RUNS); do \
	  env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen \
	    XDG_RUNTIME_DIR=$(CURDIR)/$(BUILD_DIR)/runtime \
	    $(MEMCHECK_HOST) $(BUILD_DIR)/bin/jointrix-host $$args >/dev/null \
	    || { echo "memcheck: jointrix-host $$args: exit $$?"; exit 1; }; \
	done

# The include check (every include in src/ points down the layers, scripts/check-includes);
# clang-format over every committed source; clang-tidy (.clang-tidy) over the product's code
# (src, apps, tools), with the compile commands of the normal build. Tests and benchmarks are
# held to the compiler's warnings: clang-tidy's parse of the test framework would be most of
# the cost of the whole lint. Headers count from the source tree only: the code that moc
# writes into the build folder (a test's .moc, included by its .cpp) is not ours to fix.
lint: build
	@scripts/check-includes
	@git ls-files '*.h' '*.cpp' | xargs clang-format --dry-run --Werror
	@git ls-files 'src/*.cpp' 'apps/*.cpp' 'tools/*.cpp' | sed 's|^|$(CURDIR)/|' \
	  | xargs run-clang-tidy -quiet -p $(BUILD_DIR) -j $(JOBS) \
	    -header-filter='^$(CURDIR)/(src|apps|tools)/' >$(BUILD_DIR)/clang-tidy.log 2>&1 \
	  || { grep -E -A3 'warning:|error:' $(BUILD_DIR)/clang-tidy.log; exit 1; }

# Benchmarks are built when Google Benchmark is installed; `make bench` asks for them.
bench: deps
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DJOINTRIX_BUILD_BENCH=ON \
	  $(CMAKE_QUIET) $(CMAKE_FLAGS)
	@cmake --build $(BUILD_DIR) -j $(JOBS)
	@$(BUILD_DIR)/bin/jointrix-bench
	@tools/bench-module.py --build $(BUILD_DIR)

format:
	@git ls-files '*.h' '*.cpp' | xargs clang-format -i

clean:
	@rm -rf $(BUILD_DIR) $(ASAN_DIR) $(FUZZ_DIR)
