# Thin shortcuts over the CMake presets; see README.md.
.PHONY: setup build run test package bench robustness-long clean

setup:
	@scripts/setup.sh

build: setup
	cmake --preset default
	cmake --build --preset default

run: build
	./build/default/app/gps-quillet

# The whole suite, then again under AddressSanitizer + UndefinedBehaviorSanitizer
# (with a short random walk through the window), then a short run of each
# fuzz target.
test: setup
	cmake --preset default
	cmake --build --preset default
	ctest --preset default
	cmake --preset asan
	cmake --build --preset asan
	ctest --preset asan
	cmake --preset fuzz
	cmake --build --preset fuzz
	ctest --preset fuzz

# Half an hour of fuzzing and 100,000 walk steps; see README.md.
robustness-long: setup
	scripts/robustness-long.sh

# The .deb, from the default build.
package: build
	cpack --config build/default/CPackConfig.cmake -B build/package

# Benchmarks against a bare Qt window, GeographicLib and PROJ; see BENCHMARKS.md.
bench:
	@scripts/bench.sh

clean:
	rm -rf build
