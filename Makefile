# make        install what is missing, build (the program is build/linkfold)
# make run    install what is missing, build, start the editor
# make test   install what is missing, build, run every test
# make asan   build and test under AddressSanitizer and UBSan (build-asan/)
# make bench  build and run the benchmarks (Release, build-bench/)
# make fuzz   build the libFuzzer targets with clang (build-fuzz/fuzz/): project,
#             its page-style block, settings, link data, link text, each
#             bookmark format and the favicon stores
# make fuzz-run  make fuzz, then run every fuzzer FUZZ_TIME seconds (300) and merge
#             what it found into its corpus in tests/data (FUZZ_TARGETS=fuzz_x
#             for some only); prints the executions of each
# make clang  build everything with clang (build-clang/) and run the
#             window-free tests with it
# make tidy   clang-tidy with the checks in .clang-tidy over the program's
#             sources (needs make clang first for compile_commands.json)
# make package  build the Debian package build/linkfold_<version>_<arch>.deb (prefix /usr)
# make format        format every C++ file (installs clang-format when missing)
# make format-check  fail when a C++ file is not formatted (CI)
#
# CMAKE_FLAGS adds options to every configure step, for example
#   make test CMAKE_FLAGS=-DLINKFOLD_WERROR=ON

BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all build deps run test asan bench fuzz fuzz-run clang tidy package format format-check clean

all: deps
	$(MAKE) build

# Configured every time, so that CMAKE_FLAGS given now take effect.
build:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

deps:
	@./scripts/install-deps.sh

run: deps
	$(MAKE) build
	./$(BUILD)/linkfold

test: deps
	$(MAKE) build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

asan: deps
	cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLINKFOLD_SANITIZE=ON -DLINKFOLD_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build build-asan -j $(JOBS)
	cd build-asan && ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$(CURDIR)/.ci/lsan.supp UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

bench: deps
	cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DLINKFOLD_TESTS=OFF $(CMAKE_FLAGS)
	cmake --build build-bench -j $(JOBS)
	./build-bench/bench/core_bench

fuzz: deps
	CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLINKFOLD_FUZZ=ON -DLINKFOLD_GUI=OFF -DLINKFOLD_TESTS=OFF -DLINKFOLD_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build build-fuzz -j $(JOBS)

FUZZ_TIME ?= 300
FUZZ_TARGETS ?=
fuzz-run: fuzz
	./fuzz/run-all.sh $(FUZZ_TIME) $(FUZZ_TARGETS)

# The GUI and its tests are only compiled here: the GCC build runs them.
clang: deps
	CXX=clang++ cmake -S . -B build-clang -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)
	cmake --build build-clang -j $(JOBS)
	cd build-clang && ctest --output-on-failure --no-tests=error -j $(JOBS) -L '^(core|bookmarks|pageicons)_tests$$'

# The program's own sources, not the generated ones; headers through them.
TIDY_SOURCES = '^$(CURDIR)/(core|gui|dialogs|editor|app|bookmarks|linkcheck|pageicons)/.*\.cpp$$'
tidy: deps
	@test -f build-clang/compile_commands.json || { echo "make clang first" >&2; exit 1; }
	@if command -v run-clang-tidy >/dev/null; then \
	  run-clang-tidy -quiet -p build-clang -j $(JOBS) $(TIDY_SOURCES); \
	else \
	  sed -n 's/^ *"file": "\(.*\)",*$$/\1/p' build-clang/compile_commands.json | grep -E $(TIDY_SOURCES) | \
	    xargs -P $(JOBS) -n 4 clang-tidy --quiet -p build-clang; \
	fi

package: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr
	cmake --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && cpack

format:
	@./scripts/install-deps.sh clang-format
	clang-format -i $$(git ls-files '*.cpp' '*.h')

format-check:
	@./scripts/install-deps.sh clang-format
	clang-format --dry-run --Werror $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build build-asan build-bench build-fuzz build-clang
