# Front door for players and developers: each target installs what is missing first.
# Build trees live under build/; CMake does the real work.

CMAKE_FLAGS := -DRAVELA_WERROR=$(if $(CI),ON,OFF)
JOBS := $(shell nproc)
PREFIX ?= /usr/local
SOAK_TICKS ?= 1000000
FUZZ_SECONDS ?= 60
DESTDIR ?=

.PHONY: run test bench deps release debug sanitize install soak fuzz fuzz-build screenshots clean

deps:
	@./scripts/install-deps

release: deps
	cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)
	cmake --build build/release -j $(JOBS)

debug: deps
	cmake -S . -B build/debug -DCMAKE_BUILD_TYPE=Debug $(CMAKE_FLAGS)
	cmake --build build/debug -j $(JOBS)

sanitize: deps
	cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=Debug -DRAVELA_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build build/sanitize -j $(JOBS)

run: release
	./build/release/ravela $(ARGS)

# Every test twice: a plain debug build, then AddressSanitizer with UndefinedBehaviorSanitizer;
# then a short, repeatable run of the board fuzz target.
test: debug sanitize fuzz-build
	cd build/debug && ctest --output-on-failure -j $(JOBS)
	cd build/sanitize && ctest --output-on-failure -j $(JOBS)
	mkdir -p build/fuzz/ci
	./build/fuzz/board_fuzz -seed=1 -runs=2000 -timeout=10 -max_len=1024 build/fuzz/ci fuzz/corpus

# The long soak: a million ticks of simulated play, the Board checked after every tick.
soak: release
	./build/release/ravela_soak --ticks $(SOAK_TICKS)

# The board fuzz target: libFuzzer with ASan and UBSan, built by clang in its own tree.
fuzz-build: deps
	CXX=clang++ cmake -S fuzz -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build build/fuzz -j $(JOBS) --target board_fuzz

# Fuzzes for FUZZ_SECONDS; new inputs go to build/fuzz/corpus, crashes to build/fuzz/crash-*.
fuzz: fuzz-build
	mkdir -p build/fuzz/corpus
	./build/fuzz/board_fuzz -max_total_time=$(FUZZ_SECONDS) -timeout=10 -max_len=1024 \
		-artifact_prefix=build/fuzz/ build/fuzz/corpus fuzz/corpus

bench: deps
	cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)
	cmake --build build/bench -j $(JOBS) --target ravela_bench
	./build/bench/bench/ravela_bench

# Builds the release tree, then installs it under $(PREFIX); DESTDIR stages it for a package.
install: release
	DESTDIR="$(DESTDIR)" cmake --install build/release --prefix "$(PREFIX)"

# A PNG of each screen for the README, taken from the release build in a private X server.
screenshots: release
	python3 tests/e2e/driver.py --ravela build/release/ravela --out docs/screenshots screenshots

clean:
	rm -rf build
