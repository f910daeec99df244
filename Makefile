# Front door of the project. Every target first makes sure the build tools
# and libraries are installed (scripts/bootstrap installs only what is missing).
.PHONY: all bootstrap build run test test-sanitize test-tsan fuzz bench format clean

CMAKE ?= cmake
JOBS ?= $(shell nproc)
# Seconds each fuzz target runs under `make fuzz`.
FUZZ_SECONDS ?= 300

all: build

bootstrap:
	@scripts/bootstrap

build: bootstrap
	@$(CMAKE) --preset default >/dev/null
	@$(CMAKE) --build --preset default -j $(JOBS)

run: build
	@build/bin/krelvo examples/problems/door_frames.json

test: build
	@ctest --preset default

test-sanitize: bootstrap
	@$(CMAKE) --preset sanitize >/dev/null
	@$(CMAKE) --build --preset sanitize -j $(JOBS)
	@ctest --preset sanitize

test-tsan: bootstrap
	@$(CMAKE) --preset tsan >/dev/null
	@$(CMAKE) --build --preset tsan -j $(JOBS)
	@ctest --preset tsan -L threads

# Every fuzz target for FUZZ_SECONDS, two at a time (build-fuzz/, clang);
# findings and new inputs land in build-fuzz/fuzz-runs/.
fuzz: bootstrap
	@$(CMAKE) --preset fuzz -DFUZZ_SECONDS=$(FUZZ_SECONDS) >/dev/null
	@$(CMAKE) --build --preset fuzz -j $(JOBS)
	@ctest --preset fuzz

bench: bootstrap
	@$(CMAKE) --preset release >/dev/null
	@$(CMAKE) --build --preset release -j $(JOBS)
	@scripts/run-benchmarks build-release

format:
	@git ls-files '*.cpp' '*.hpp' | xargs clang-format -i

clean:
	rm -rf build build-sanitize build-tsan build-release build-fuzz
