# Front door for players and developers: each target installs what is missing first.
# Build trees live under build/; CMake does the real work.

CMAKE_FLAGS := -DRAVELA_WERROR=$(if $(CI),ON,OFF)
JOBS := $(shell nproc)

.PHONY: run test bench deps release debug clean

deps:
	@./scripts/install-deps

release: deps
	cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)
	cmake --build build/release -j $(JOBS)

debug: deps
	cmake -S . -B build/debug -DCMAKE_BUILD_TYPE=Debug $(CMAKE_FLAGS)
	cmake --build build/debug -j $(JOBS)

run: release
	./build/release/ravela $(ARGS)

test: debug
	cd build/debug && ctest --output-on-failure -j $(JOBS)

bench: deps
	cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)
	cmake --build build/bench -j $(JOBS) --target ravela_bench
	./build/bench/bench/ravela_bench

clean:
	rm -rf build
