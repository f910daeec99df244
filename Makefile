# Front door of the project. Every target first makes sure the build tools
# and libraries it needs are installed (scripts/bootstrap installs only what
# is missing).
.PHONY: all bootstrap bootstrap-test build run test test-sanitize test-tsan test-valgrind fuzz bench package test-package format clean

CMAKE ?= cmake
JOBS ?= $(shell nproc)
# Seconds each fuzz target runs under `make fuzz`.
FUZZ_SECONDS ?= 300

all: build

bootstrap:
	@scripts/bootstrap build

# The test suites also render the printable report in a browser.
bootstrap-test:
	@scripts/bootstrap test

build: bootstrap
	@$(CMAKE) --preset default >/dev/null
	@$(CMAKE) --build --preset default -j $(JOBS)

run: build
	@build/bin/krelvo examples/problems/door_frames.json

test: build bootstrap-test
	@ctest --preset default

test-sanitize: bootstrap-test
	@$(CMAKE) --preset sanitize >/dev/null
	@$(CMAKE) --build --preset sanitize -j $(JOBS)
	@ctest --preset sanitize

test-tsan: bootstrap
	@$(CMAKE) --preset tsan >/dev/null
	@$(CMAKE) --build --preset tsan -j $(JOBS)
	@ctest --preset tsan -L threads

# The suite under Valgrind's memcheck in the default build: any memory error
# or definitely lost block fails its test. The Python suites run under the
# leak check alone (the interpreter reads uninitialised memory of its own),
# with the interpreter itself rather than a launcher script; the end-to-end
# tests of krelvo are left out, their work happens in child processes that
# the unit tests of tools/krelvo cover (docs/RELIABILITY.md); so is the
# install test, which only copies and links what the suite checks.
# nouserintercepts: a test program that replaces operator new keeps its own.
VALGRIND_OPTIONS = --leak-check=full --show-leak-kinds=definite --errors-for-leak-kinds=definite --error-exitcode=1 \
                   --soname-synonyms=somalloc=nouserintercepts --suppressions=$(CURDIR)/tests/valgrind.supp
VALGRIND_PYTHON = $(shell python3 -c 'import sys; print(sys.executable)')
test-valgrind: build
	@scripts/bootstrap valgrind
	@ctest --test-dir build -T memcheck -LE 'python|end_to_end|install' -j $(JOBS) --output-on-failure \
	       --overwrite MemoryCheckCommandOptions="$(VALGRIND_OPTIONS)"
	@cd tests/python && for suite in test_*.py; do \
	  echo "valgrind: python $$suite"; \
	  PYTHONMALLOC=malloc PYTHONPATH=$(CURDIR)/build/python XDG_CONFIG_HOME=$(CURDIR)/build/tests/python/config \
	    valgrind -q $(VALGRIND_OPTIONS) --undef-value-errors=no $(VALGRIND_PYTHON) -m unittest -q $${suite%.py} \
	    || exit 1; \
	done

# Every fuzz target for FUZZ_SECONDS, two at a time (build-fuzz/, clang);
# findings and new inputs land in build-fuzz/fuzz-runs/.
fuzz:
	@scripts/bootstrap fuzz
	@$(CMAKE) --preset fuzz -DFUZZ_SECONDS=$(FUZZ_SECONDS) >/dev/null
	@$(CMAKE) --build --preset fuzz -j $(JOBS)
	@ctest --preset fuzz

bench:
	@scripts/bootstrap bench
	@$(CMAKE) --preset release -DKRELVO_BUILD_BENCHMARKS=ON >/dev/null
	@$(CMAKE) --build --preset release -j $(JOBS)
	@scripts/run-benchmarks build-release

# Debian packages of the release build in build-release/ (cmake/packaging.cmake).
package:
	@scripts/bootstrap package
	@$(CMAKE) --preset release >/dev/null
	@$(CMAKE) --build --preset release -j $(JOBS)
	@cd build-release && cpack -G DEB

# The packages' contents and lintian (scripts/check-packages).
test-package: package
	@scripts/check-packages build-release

format:
	@git ls-files '*.cpp' '*.hpp' | xargs clang-format -i

clean:
	rm -rf build build-sanitize build-tsan build-release build-fuzz
