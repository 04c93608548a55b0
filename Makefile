# make run         : install what is missing, build, and open ORNEXA on the bundled samples
# make test        : install what is missing, build, run every test (core tests also under ASan/UBSan)
# make bench       : optimised build, run the benchmarks
# make screenshots : pictures of every window under Xvfb into docs/screenshots
# make fuzz        : both readers under libFuzzer for a minute each (clang, ASan, UBSan)
# make lint        : clang-tidy over the sources
.PHONY: all deps build run test bench screenshots fuzz lint clean

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

bench: deps
	cmake --preset release
	cmake --build --preset release
	./build/release/bench/ornexa-bench
	QT_QPA_PLATFORM=offscreen ./build/release/bench/ornexa-gui-bench

screenshots: build
	xvfb-run -a -s "-screen 0 1600x1000x24" ./build/default/tools/screenshots/ornexa-screenshots \
		$(SAMPLE) $(SIM_SAMPLE) docs/screenshots

FUZZ_SECONDS ?= 60

fuzz:
	@bash scripts/install-deps --fuzz
	cmake --preset fuzz
	cmake --build --preset fuzz
	mkdir -p build/fuzz/corpus-statistics build/fuzz/corpus-simulation
	cp -n samples/statistics-*.sta build/fuzz/corpus-statistics/
	cp -n samples/simulation-*.sim build/fuzz/corpus-simulation/
	cd build/fuzz && ./fuzz/stat_reader_fuzz -max_total_time=$(FUZZ_SECONDS) -max_len=140000 corpus-statistics
	cd build/fuzz && ORNEXA_FUZZ_STATISTICS=../../$(SAMPLE) ./fuzz/sim_reader_fuzz -max_total_time=$(FUZZ_SECONDS) \
		-max_len=20000 corpus-simulation

lint: build
	clang-tidy -p build/default --quiet $$(git ls-files 'src/*.cpp' 'tools/*.cpp' 'tests/*.cpp')

clean:
	rm -rf build
