#!/usr/bin/env bash
# Installs a built tree into temporary prefixes and uses it from outside the
# source tree, as a new user would:
#   install_test.sh BUILD_DIR SOURCE_DIR PYTHON
# - cmake --install into a prefix; every installed file free of build paths,
#   every library with its SONAME, every RUNPATH relative to $ORIGIN;
# - a consumer built with find_package and one built with pkg-config, both run;
# - only the runtime packages' files (versioned names, no development links):
#   creation by name and the Python module with nothing but sys.path set;
# - under /usr no file carries a RUNPATH.
set -euo pipefail
[ $# -eq 3 ] || { echo "usage: install_test.sh BUILD_DIR SOURCE_DIR PYTHON" >&2; exit 2; }
build=$1 source=$2 python=$3
# Outside the build folder, so a build path found in a file is a real leak.
work=$(mktemp -d "${TMPDIR:-/tmp}/krelvo-install-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
expect_output() {  # name, output, expected lines
  local name=$1 output=$2 expected=$3
  [ "$output" = "$expected" ] || fail "$name printed:"$'\n'"$output"$'\n'"expected:"$'\n'"$expected"
}
elf_files() { find "$1" -type f -exec sh -c 'head -c 4 "$1" | grep -q ELF' _ {} \; -print; }
unset PYTHONPATH LD_LIBRARY_PATH

cmake --install "$build" --prefix "$prefix" --strip >/dev/null
libdir=$(dirname "$(find "$prefix" -name 'libautomation_runtime.so.1' -print -quit)")
[ -d "$libdir" ] || { echo "FAIL: libautomation_runtime.so.1 not installed" >&2; exit 1; }

# Files that mention the build or source folder would break on another machine.
if leaks=$(grep -rlF -e "$build" -e "$source" "$prefix"); then fail "build paths in: $leaks"; fi

for library in automation_runtime Krelvo Drumel; do
  file=$libdir/lib$library.so.1.0.0
  [ -f "$file" ] || { fail "$file missing"; continue; }
  soname=$(readelf -d "$file" | sed -n 's/.*(SONAME).*\[\(.*\)\]/\1/p')
  [ "$soname" = "lib$library.so.1" ] || fail "$file has SONAME '$soname'"
  [ "$(readlink "$libdir/lib$library.so.1")" = "lib$library.so.1.0.0" ] || fail "lib$library.so.1 link"
done
while read -r file; do
  runpath=$(readelf -d "$file" | sed -n 's/.*R\(UN\)\?PATH.*\[\(.*\)\]/\2/p')
  case $runpath in ''|'$ORIGIN'|'$ORIGIN/'*) ;; *) fail "$file has RUNPATH '$runpath'" ;; esac
done < <(elf_files "$prefix")

expected=$'bars 1 waste 0\nmd5 900150983cd24fb0d6963f7d28e17f72\ncreated Drumel.clsFile'

# A consumer with find_package: the exported targets carry include folder,
# C++20 and the runtime.
cmake -S "$source/tests/install/consumer" -B "$work/cmake-consumer" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/cmake-consumer" >/dev/null
expect_output "find_package consumer" "$("$work/cmake-consumer/consumer" 2>&1)" "$expected"

# A consumer with pkg-config alone.
export PKG_CONFIG_PATH=$libdir/pkgconfig
c++ -o "$work/pkg-config-consumer" "$source/tests/install/consumer/consumer.cpp" \
    $(pkg-config --cflags --libs krelvo drumel) -Wl,-rpath,"$(pkg-config --variable=libdir krelvo)"
expect_output "pkg-config consumer" "$("$work/pkg-config-consumer" 2>&1)" "$expected"

# The runtime packages alone: versioned files only, found by name.
runtime_prefix=$work/runtime-only
for component in runtime_library krelvo_library drumel_library python; do
  cmake --install "$build" --prefix "$runtime_prefix" --component "$component" --strip >/dev/null
done
if find "$runtime_prefix" -name '*.so' -name 'lib*' | grep -q .; then fail "development links in runtime packages"; fi
site=$(dirname "$(find "$runtime_prefix" -name py.typed -print -quit)")
[ -f "$site/__init__.pyi" ] || fail "no type stub beside the module in $site"
output=$("$python" -c '
import sys
sys.path.insert(0, sys.argv[1])
import automation
optimizer = automation.Dispatch("Krelvo.clsOptimizacija")
optimizer.nitem = 2
optimizer.litem = [0.0, 3.0, 7.0]
optimizer.mitem = [0, 1, 1]
optimizer.lsource = [0.0, 10.0]
optimizer.msource = [0, 0]
optimizer.razina = 1
optimizer.pokreni()
print("bars", optimizer.brsipka, "waste", optimizer.otpad)
print("md5", automation.Dispatch("Drumel.clsEncript").MD5("abc"))
print("from", automation.__file__.startswith(sys.argv[1]))
' "$(dirname "$site")" 2>&1) || true
expect_output "installed Python module" "$output" $'bars 1 waste 0.0\nmd5 900150983cd24fb0d6963f7d28e17f72\nfrom True'

# A standard prefix: the loader finds the libraries, so no RUNPATH at all.
DESTDIR=$work/staged cmake --install "$build" --prefix /usr >/dev/null
while read -r file; do
  if readelf -d "$file" | grep -qE 'R(UN)?PATH'; then fail "$file has a RUNPATH under /usr"; fi
done < <(elf_files "$work/staged")

[ "$failures" -eq 0 ] && echo "install test passed"
exit "$((failures > 0))"
