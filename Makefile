# Front door of the project. Every target first makes sure the build tools
# and libraries are installed (scripts/bootstrap installs only what is missing).
.PHONY: all bootstrap build run test test-sanitize test-tsan bench format clean

CMAKE ?= cmake
JOBS ?= $(shell nproc)

all: build

bootstrap:
	@scripts/bootstrap

build: bootstrap
	@$(CMAKE) --preset default >/dev/null
	@$(CMAKE) --build --preset default -j $(JOBS)

run: build
	@build/bin/example_host

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

bench: bootstrap
	@$(CMAKE) --preset release >/dev/null
	@$(CMAKE) --build --preset release -j $(JOBS)
	@scripts/run-benchmarks build-release

format:
	@git ls-files '*.cpp' '*.hpp' | xargs clang-format -i

clean:
	rm -rf build build-sanitize build-tsan build-release
