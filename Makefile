# make run   : install what is missing, build, and show the bundled sample report
# make test  : install what is missing, build, run every test (also under ASan/UBSan)
# make bench : optimised build, run the benchmarks
# make lint  : clang-tidy over the sources
.PHONY: all deps build run test bench lint clean

SAMPLE := samples/statistics-usa.sta
SIM_SAMPLE := samples/simulation-bp1.sim

all: build

deps:
	@bash scripts/install-deps

build: deps
	cmake --preset default
	cmake --build --preset default

run: build
	./build/default/src/cli/ornexa-report $(SAMPLE) --sim $(SIM_SAMPLE)

test: build
	ctest --preset default
	cmake --preset asan
	cmake --build --preset asan
	ctest --preset asan

bench: deps
	cmake --preset release
	cmake --build --preset release
	./build/release/bench/ornexa-bench

clean:
	rm -rf build

lint: build
	clang-tidy -p build/default --quiet $$(git ls-files 'src/*.cpp' 'tools/*.cpp' 'tests/*.cpp')
