# Front door for players and developers: each target installs what is missing first,
# playing needs fewer packages than testing (scripts/install-deps). Build trees live under
# build/, one per preset of CMakePresets.json; CMake does the real work.

CMAKE_FLAGS := -DRAVELA_WERROR=$(if $(CI),ON,OFF)
JOBS := $(shell nproc)
PREFIX ?= /usr/local
SOAK_TICKS ?= 1000000
FUZZ_SECONDS ?= 60
DESTDIR ?=
SERVE_PORT ?= 8018
# emcc's JavaScript optimizer needs Debian's node modules, whichever node comes first.
WEB_ENV := NODE_PATH=/usr/share/nodejs
VERSION := $(shell sed -n '1s/^ravela (\(.*\)).*/\1/p' debian/changelog)
ARCH = $(shell dpkg --print-architecture)

.PHONY: run test bench deps deb-deps test-deps release debug sanitize install soak fuzz \
	fuzz-build screenshots deb clean web web-deps serve web-test

deps:
	@./scripts/install-deps play

deb-deps:
	@./scripts/install-deps deb

test-deps:
	@./scripts/install-deps test

# The game alone, without the tests, for make run and make install.
release: deps
	cmake --preset release $(CMAKE_FLAGS)
	cmake --build --preset release -j $(JOBS)

debug: test-deps
	cmake --preset debug $(CMAKE_FLAGS)
	cmake --build --preset debug -j $(JOBS)

sanitize: test-deps
	cmake --preset sanitize $(CMAKE_FLAGS)
	cmake --build --preset sanitize -j $(JOBS)

run: release
	./build/release/ravela $(ARGS)

# Every test twice: a plain debug build, then AddressSanitizer with UndefinedBehaviorSanitizer;
# then a short, repeatable run of the board fuzz target; then the Debian package is built
# (running the unit tests once more, as a distribution's build does), checked by lintian,
# installed into the machine, started through its launcher's command and removed; then
# the browser build's tests.
test: debug sanitize fuzz-build web
	ctest --preset debug -j $(JOBS)
	ctest --preset sanitize -j $(JOBS)
	mkdir -p build/fuzz/ci
	./build/fuzz/board_fuzz -seed=1 -runs=2000 -timeout=10 -max_len=1024 build/fuzz/ci fuzz/corpus
	$(MAKE) deb
	./tools/check-package build/deb/ravela_$(VERSION)_$(ARCH).deb
	$(MAKE) web-test

# The game for a browser: page, script, WebAssembly, manifest, icons and service worker in
# build/web, built by emscripten from the same sources, with libjpeg-turbo built for the
# web once under build/web-jpeg. The icon painter runs on this machine, so it is built
# natively first, under build/web-icon.
web-deps:
	@./scripts/install-deps web

web: web-deps
	$(WEB_ENV) ./scripts/build-web-jpeg
	cmake --preset web-icon $(CMAKE_FLAGS)
	cmake --build --preset web-icon -j $(JOBS)
	$(WEB_ENV) emcmake cmake -S . -B build/web-tree -DCMAKE_BUILD_TYPE=Release \
		-DRAVELA_WEB_OUTPUT=$(CURDIR)/build/web \
		-DRAVELA_WEB_ICON_TOOL=$(CURDIR)/build/web-icon/ravela_make_icon $(CMAKE_FLAGS)
	$(WEB_ENV) cmake --build build/web-tree -j $(JOBS)

# The same fixed-seed replay as the desktop's, under node (which must not fetch the
# WebAssembly as a URL), then the browser suite, one pytest scenario per engine: headless
# Chromium and Firefox, and WebKitGTK in a private X server (pick some with
# WEB_TESTS='-k firefox'). Debian's Python carries selenium and pytest.
web-test: web
	node --no-experimental-fetch build/web-tree/replay_test.js
	PYTHONDONTWRITEBYTECODE=1 /usr/bin/python3 -m pytest -p no:cacheprovider -v tests/web --site build/web $(WEB_TESTS)

serve: web
	@echo "Ravela: open http://127.0.0.1:$(SERVE_PORT)/ (Ctrl+C stops the server)"
	cd build/web && /usr/bin/python3 -m http.server --bind 127.0.0.1 $(SERVE_PORT)

# The long soak: a million ticks of simulated play, the Board checked after every tick.
soak: test-deps
	cmake --preset soak $(CMAKE_FLAGS)
	cmake --build --preset soak -j $(JOBS)
	RAVELA_SOAK_TICKS=$(SOAK_TICKS) ./build/soak/tests/soak_test --gtest_filter=Soak.*

# The board fuzz target: libFuzzer with ASan and UBSan, built by clang in its own tree.
fuzz-build: test-deps
	@# A tree configured from fuzz/ alone, as this target once did, cannot take the preset.
	@if grep -qs '^CMAKE_HOME_DIRECTORY.*/fuzz$$' build/fuzz/CMakeCache.txt; then rm -rf build/fuzz; fi
	cmake --preset fuzz
	cmake --build --preset fuzz -j $(JOBS)

# Fuzzes for FUZZ_SECONDS; new inputs go to build/fuzz/corpus, crashes to build/fuzz/crash-*.
fuzz: fuzz-build
	mkdir -p build/fuzz/corpus
	./build/fuzz/board_fuzz -max_total_time=$(FUZZ_SECONDS) -timeout=10 -max_len=1024 \
		-artifact_prefix=build/fuzz/ build/fuzz/corpus fuzz/corpus

bench: test-deps
	cmake --preset bench $(CMAKE_FLAGS)
	cmake --build --preset bench -j $(JOBS)
	./build/bench/bench/ravela_bench

# Builds the release tree, then installs it under $(PREFIX); DESTDIR stages it for a package.
install: release
	DESTDIR="$(DESTDIR)" cmake --install build/release --prefix "$(PREFIX)"

# The Debian package, built from a copy of the source files (those git tracks and new ones
# it does not ignore) so that the tree stays clean; the .deb and its build records land in
# build/deb.
deb: deb-deps
	rm -rf build/deb
	mkdir -p build/deb/ravela-$(VERSION)
	git ls-files -z --cached --others --exclude-standard \
		| tar --null -T - --ignore-failed-read -cf - | tar -xf - -C build/deb/ravela-$(VERSION)
	cd build/deb/ravela-$(VERSION) && DEB_BUILD_OPTIONS="parallel=$(JOBS) $(DEB_BUILD_OPTIONS)" \
		dpkg-buildpackage -us -uc -b
	@ls build/deb/*.deb

# A PNG of each screen for the README, taken from the release build in a private X server.
screenshots: test-deps release
	./tools/take-screenshots --program build/release/ravela --out docs/screenshots

clean:
	rm -rf build
