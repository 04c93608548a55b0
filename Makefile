# make run         : install what is missing, build, and open ORNEXA on the bundled samples
# make test        : install what is missing, build, run every test (core tests also under ASan/UBSan),
#                    then every fuzz target for 20 seconds
# make bench       : optimised build, run the benchmarks
# make screenshots : pictures of every window under Xvfb into docs/screenshots
# make fuzz        : every fuzz target under libFuzzer for a minute each (clang, ASan, UBSan);
#                    FUZZ_SECONDS=3600 make fuzz for the long run
# make lint        : clang-tidy over the sources
# make package     : optimised build installed under /usr, as build/package/ornexa_<version>_<arch>.deb
.PHONY: all deps build run test bench screenshots fuzz fuzz-build lint package clean

SAMPLE := samples/statistics-usa.sta
SIM_SAMPLE := samples/simulation-bp1.sim

all: build

deps:
	@bash scripts/install-deps

build: deps
	cmake --preset default
	cmake --build --preset default

# Without a display the window cannot open: show the text report of the same files instead.
run: build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
		./build/default/src/app/ornexa $(SAMPLE) --simulation $(SIM_SAMPLE); \
	else \
		echo "No display: the text report of ornexa-report instead of the window."; \
		./build/default/src/cli/ornexa-report $(SAMPLE) --sim $(SIM_SAMPLE); \
	fi

test: build
	ctest --preset default
	cmake --preset asan
	cmake --build --preset asan
	ctest --preset asan
	@if command -v clang++ >/dev/null; then \
		$(MAKE) --no-print-directory fuzz-build && bash scripts/fuzz-run 20; \
	else \
		echo "clang++ is missing: scripts/install-deps installs it; no fuzz run"; \
	fi

bench: deps
	cmake --preset release
	cmake --build --preset release
	./build/release/bench/ornexa-bench
	QT_QPA_PLATFORM=offscreen ./build/release/bench/ornexa-gui-bench

screenshots: build
	xvfb-run -a -s "-screen 0 1600x1000x24" ./build/default/tools/screenshots/ornexa-screenshots \
		$(SAMPLE) $(SIM_SAMPLE) docs/screenshots
	xvfb-run -a -s "-screen 0 3200x2000x24" ./build/default/tools/screenshots/ornexa-screenshots \
		$(SAMPLE) $(SIM_SAMPLE) docs/screenshots --scale-2

FUZZ_SECONDS ?= 60

fuzz-build: deps
	cmake --preset fuzz
	cmake --build --preset fuzz

fuzz: fuzz-build
	bash scripts/fuzz-run $(FUZZ_SECONDS)

package: deps
	cmake --preset package
	cmake --build --preset package
	bash tests/package_test.sh build/package build/package/ornexa_$$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/package/CMakeCache.txt)_$$(dpkg --print-architecture).deb

lint: build
	clang-tidy -p build/default --quiet $$(git ls-files 'src/*.cpp' 'tools/*.cpp' 'tests/*.cpp')

clean:
	rm -rf build
