# Front door for players and developers: each target installs what is missing first.
# Build trees live under build/; CMake does the real work.

CMAKE_FLAGS := -DRAVELA_WERROR=$(if $(CI),ON,OFF)
JOBS := $(shell nproc)
PREFIX ?= /usr/local
DESTDIR ?=

.PHONY: run test bench deps release debug sanitize install clean

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

# Every test twice: a plain debug build, then AddressSanitizer with UndefinedBehaviorSanitizer.
test: debug sanitize
	cd build/debug && ctest --output-on-failure -j $(JOBS)
	cd build/sanitize && ctest --output-on-failure -j $(JOBS)

bench: deps
	cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)
	cmake --build build/bench -j $(JOBS) --target ravela_bench
	./build/bench/bench/ravela_bench

# Builds the release tree, then installs it under $(PREFIX); DESTDIR stages it for a package.
install: release
	DESTDIR="$(DESTDIR)" cmake --install build/release --prefix "$(PREFIX)"

clean:
	rm -rf build
