# Thin wrapper around CMake: `make run` and `make test` install what is missing, build and go.
BUILD ?= build
JOBS ?= $(shell nproc)
# Extra CMake settings, e.g. CMAKE_ARGS=-DPLOTWRIGHT_WERROR=ON (as CI builds).
CMAKE_ARGS ?=

.PHONY: all deps configure build run test sanitize bench fuzz lint format format-check clean

all: build

deps:
	@bash tools/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_EXPORT_COMPILE_COMMANDS=ON $(CMAKE_ARGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/Plotwright $(ARGS)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# Every test again, built with AddressSanitizer and UndefinedBehaviorSanitizer in a tree of its own.
# Leak checking is off: Qt's platform plugin and font caches are never freed at exit.
SANITIZE_BUILD ?= build-sanitize
sanitize: deps
	@cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPLOTWRIGHT_SANITIZE=ON >/dev/null
	@cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	cd $(SANITIZE_BUILD) && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 \
		UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

# Benchmarks are built with everything else and run only on demand.
bench: build
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] && QT_QPA_PLATFORM=offscreen "$$b"; done; true

# libFuzzer runs of every fuzz target, FUZZ_SECONDS each, in a build of their own with clang
# (optional: `apt-get install clang`; `make test` never needs it). Findings land in FUZZ_BUILD.
# Clang's own warnings do not stop a fuzzing run; the GCC build of CI keeps them as errors. Leaks are
# not hunted: fontconfig and the property tables live as long as the process.
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
fuzz:
	@command -v clang++ >/dev/null || { echo "make fuzz needs clang (apt-get install clang)"; exit 1; }
	@cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
		-DPLOTWRIGHT_FUZZERS=ON -DPLOTWRIGHT_WERROR=OFF >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_document fuzz_palette fuzz_pointlist fuzz_ini
	@for t in document palette pointlist ini; do \
		mkdir -p $(FUZZ_BUILD)/findings/$$t $(FUZZ_BUILD)/corpus/$$t; \
		(cd $(FUZZ_BUILD)/findings/$$t && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 ../../tests/fuzz/fuzz_$$t \
			-max_total_time=$(FUZZ_SECONDS) -timeout=10 -rss_limit_mb=4096 -detect_leaks=0 ../../corpus/$$t \
			$(CURDIR)/tests/fuzz/corpus/$$t) || exit 1; \
	done

# Our own sources and tests, as git knows them (generated files stay out).
SOURCES = $(shell git ls-files '*.cpp' '*.h')

# clang-tidy with the checks of .clang-tidy over the editor's own translation units.
lint: build
	@command -v run-clang-tidy >/dev/null || { echo "make lint needs clang-tidy (apt-get install clang-tidy)"; exit 1; }
	run-clang-tidy -quiet -j $(JOBS) -p $(BUILD) '/(app|dialogs|document|scene|platform/[a-z]+|propertybrowser)/[^/]*\.cpp$$'

# The house style of .clang-format, applied in place; CI runs format-check.
format: deps
	clang-format -i $(SOURCES)

format-check: deps
	@echo "clang-format --dry-run --Werror on $(words $(SOURCES)) files"
	@clang-format --dry-run --Werror $(SOURCES)

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(FUZZ_BUILD)
