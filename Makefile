# Thin shortcuts over the CMake presets; see README.md.
.PHONY: setup build run test package bench clean

setup:
	@scripts/setup.sh

build: setup
	cmake --preset default
	cmake --build --preset default

run: build
	./build/default/app/gps-quillet

# The whole suite, then again under AddressSanitizer + UndefinedBehaviorSanitizer.
test: setup
	cmake --preset default
	cmake --build --preset default
	ctest --preset default
	cmake --preset asan
	cmake --build --preset asan
	ctest --preset asan

# The .deb, from the default build.
package: build
	cpack --config build/default/CPackConfig.cmake -B build/package

# Benchmarks against a bare Qt window, GeographicLib and PROJ; see BENCHMARKS.md.
bench:
	@scripts/bench.sh

clean:
	rm -rf build
