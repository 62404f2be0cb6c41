#!/usr/bin/env bash
# Other-CPU legs: cross-builds qndl for 64-bit ARM (aarch64) or for the
# big-endian s390x and runs the whole test suite under qemu-user.
# Usage: .ci/cpus.sh aarch64|s390x [NATIVE_QNDL]
# With the native binary given, the cross-built qndl must give the same
# qndl.out bytes, console text and exit status as it on the example and on
# generated inputs.
set -euo pipefail
cd "$(dirname "$0")/.."
cpu=${1:-}
case $cpu in
  aarch64 | s390x) ;;
  *) echo "usage: .ci/cpus.sh aarch64|s390x [NATIVE_QNDL]" >&2; exit 2 ;;
esac
native_qndl=${2:+$(realpath "$2")}
triplet=$cpu-linux-gnu
build=build-$cpu

# Install what a fresh machine lacks, and only that.
need=()
command -v cmake >/dev/null || need+=(cmake)
command -v "$triplet-g++" >/dev/null || need+=("g++-$triplet")
command -v "qemu-$cpu" >/dev/null || need+=(qemu-user)
[ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest)
if [ ${#need[@]} -gt 0 ]; then
  apt-get update
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${need[@]}"
fi

rm -rf "$build"
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="cmake/$triplet.cmake"
cmake --build "$build" -j2
ctest --test-dir "$build" --output-on-failure -j2
qndl=$PWD/$build/app/qndl

if [ -n "$native_qndl" ]; then
  try=$(mktemp -d)
  trap 'rm -rf "$try"' EXIT
  cp examples/people.txt "$try/"
  # Records of 0 to 120 bytes and now and then of up to 6000, fields of
  # letters, blanks and tabs, LF and CR LF line ends, a stray CR, lines of
  # more than the field limit, and a Ctrl-Z that ends the input before a
  # last line.
  awk 'BEGIN {
    srand(20261211)
    for (i = 0; i < 6000; i++) {
      n = int(rand() * (rand() < 0.03 ? 6000 : 120))
      line = ""
      for (j = 0; j < n; j++) {
        r = rand()
        line = line (r < 0.15 ? ";" : r < 0.16 ? "\r" : r < 0.18 ? "\t" : r < 0.2 ? " " : substr("abcdefghij", int(r * 50) % 10 + 1, 1))
      }
      printf "%s%s", line, (rand() < 0.3 ? "\r\n" : "\n")
    }
    printf "last;line\032;never;read\n"
  }' >"$try/mixed.txt"
  compare() {  # compare NAME ARGS...: both builds on the same command line
    local name=$1 status_native=0 status_cross=0
    shift
    mkdir "$try/native-$name" "$try/cross-$name"
    (cd "$try/native-$name" && "$native_qndl" "$@" >console </dev/null) || status_native=$?
    (cd "$try/cross-$name" && "qemu-$cpu" "$qndl" "$@" >console </dev/null) || status_cross=$?
    [ "$status_native" = "$status_cross" ] || { echo "$name: exit status $status_cross, native $status_native"; exit 1; }
    cmp "$try/native-$name/console" "$try/cross-$name/console"
    if [ -f "$try/native-$name/qndl.out" ] || [ -f "$try/cross-$name/qndl.out" ]; then
      cmp "$try/native-$name/qndl.out" "$try/cross-$name/qndl.out"
    fi
  }
  compare example ../people.txt -delim ";" -out 'zorvat -set $4 $5'
  compare zorvat ../mixed.txt -delim ";" -out 'zorvat -set $4 $5'
  compare nine ../mixed.txt -delim ";" -out '$1 $2 $3 $4 $5 $6 $7 $8 $9'
  compare tabs ../mixed.txt -delim "	" -out '<$9|$1>'
  compare try ../mixed.txt -try -delim ";" -out '$3$2$1'
  echo "$cpu leg: the same qndl.out, console and exit status as $native_qndl"
fi
echo "$cpu leg passed"
