# The two commands of the README:
#   make run    build everything (installing missing Debian packages) and start Lexivane
#   make test   build everything and run every test, then again under ASan+UBSan
#   make install [PREFIX=/usr/local]   the program folder, launcher, desktop entry and icon
#   make format-check   every C and C++ source laid out as .clang-format says (part of make test)
#   make tidy           clang-tidy over the engine, compiler and program (.clang-tidy, .clang-tidy-gui)
BUILD      ?= build
ASAN_BUILD ?= build-asan
GENERATOR  := $(shell command -v ninja >/dev/null 2>&1 && echo "-G Ninja")
JOBS       ?= $(shell nproc)
PREFIX     ?= /usr/local

.PHONY: all deps configure run test format-check test-main test-asan tidy-deps tidy bench install clean

all: deps configure
	cmake --build $(BUILD) -j $(JOBS)

deps:
	@bash scripts/install-deps.sh

configure:
	@test -f $(BUILD)/CMakeCache.txt || cmake -S . -B $(BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo

run: all
	@bash scripts/run.sh $(BUILD)/dist

test: format-check test-main test-asan

format-check: deps
	@bash scripts/format-check.sh

test-main: all
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

test-asan: deps
	@test -f $(ASAN_BUILD)/CMakeCache.txt || cmake -S . -B $(ASAN_BUILD) $(GENERATOR) \
	  -DCMAKE_BUILD_TYPE=Debug -DLEXIVANE_SANITIZE=ON -DLEXIVANE_BUILD_DICTIONARIES=OFF -DLEXIVANE_BUILD_BENCH=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

tidy-deps:
	@bash scripts/install-deps.sh --tidy

tidy: tidy-deps configure
	@bash scripts/tidy.sh $(BUILD) $(JOBS)

bench: all
	cmake --build $(BUILD) --target bench -j $(JOBS)

install: all
	cmake --install $(BUILD) --prefix $(PREFIX)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
