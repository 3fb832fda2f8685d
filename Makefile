# Thin shortcuts over the CMake presets; see README.md.
.PHONY: setup build run test clean

setup:
	@scripts/setup.sh

build: setup
	cmake --preset default
	cmake --build --preset default

run: build
	./build/default/app/gps-quillet

# The whole suite, then again under AddressSanitizer + UndefinedBehaviorSanitizer,
# then a short run of each fuzz target.
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

clean:
	rm -rf build
