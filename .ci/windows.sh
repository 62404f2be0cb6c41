#!/usr/bin/env bash
# Windows leg: cross-builds qndl.exe with mingw-w64, runs the whole test suite
# under wine and makes the .zip package. Usage: .ci/windows.sh [LINUX_QNDL]
# With the Linux binary given, the packaged qndl.exe must write the same
# qndl.out bytes as it for the example.
set -euo pipefail
cd "$(dirname "$0")/.."
linux_qndl=${1:+$(realpath "$1")}

# Install what a fresh machine lacks, and only that.
need=()
command -v cmake >/dev/null || need+=(cmake)
command -v x86_64-w64-mingw32-g++-posix >/dev/null || need+=(g++-mingw-w64-x86-64-posix)
command -v wine >/dev/null || need+=(wine)
[ -x /usr/lib/wine/wine64 ] || need+=(wine64)
[ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest)
command -v groff >/dev/null || need+=(groff-base)  # the package's text manual
[ -d /usr/share/i18n/locales ] && command -v localedef >/dev/null || need+=(locales)
if [ ${#need[@]} -gt 0 ]; then
  apt-get update
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${need[@]}"
fi
# Wine takes the ANSI code page from LANG: C.UTF-8 gives 1252, and a
# Japanese locale gives the double-byte code page 932, once the system has it.
japanese=ja_JP.UTF-8
locale -a | grep -qix 'ja_JP\.utf-\?8' || localedef -i ja_JP -f UTF-8 "$japanese"

rm -rf build-win
cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
cmake --build build-win -j2

# A wine prefix of this run's own. Its server and background helpers are
# started first with no terminal or pipe attached: they keep the standard
# error of the wine process that starts them, and a pipe reader (ctest, a CI
# log) would wait for them to go.
export WINEPREFIX
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/qndl-wine.XXXXXX")
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no .NET or browser engine to set up
stop_wine() {
  wineserver -k </dev/null >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX"
}
trap stop_wine EXIT
wineserver -p </dev/null >/dev/null 2>&1
wine wineboot </dev/null >/dev/null 2>&1

# The whole suite under code page 1252, then the end-to-end tests once more
# under 932. Each wine process reads LANG when it starts, so the prefix and
# its server serve both.
LANG=C.UTF-8 LC_ALL= ctest --test-dir build-win --output-on-failure -j2
LANG=$japanese LC_ALL= ctest --test-dir build-win --output-on-failure -j2 -L e2e
(cd build-win && cpack)

# The package holds what a user unpacks, and its qndl.exe runs the example.
root=$PWD
zip=$(echo build-win/qndl-*-win64.zip)
try=$(mktemp -d)
trap 'rm -rf "$try"; stop_wine' EXIT
(cd "$try" && cmake -E tar xf "$root/$zip")
dir=$(echo "$try"/qndl-*-win64)
for f in qndl.exe README.txt MANUAL.txt LICENSE.txt; do
  [ -f "$dir/$f" ] || { echo "$zip lacks $f"; exit 1; }
done
# The README is the one for Windows users and the manual is the rendered
# manual page, both with CR LF line ends.
grep -q '^qndl .* for Windows'$'\r''$' "$dir/README.txt" || { echo "$zip: README.txt is not the Windows README"; exit 1; }
grep -q '^QUOTING'$'\r''$' "$dir/MANUAL.txt" || { echo "$zip: MANUAL.txt is not the rendered manual page"; exit 1; }
run_example() {  # run_example DIR QNDL...: the usage example on people.txt in DIR
  local d=$1
  shift
  mkdir -p "$d" && cp examples/people.txt "$d/"
  (cd "$d" && "$@" people.txt -delim ";" -out 'zorvat -set $4 $5' </dev/null >/dev/null)
}
run_example "$try/windows" wine "$dir/qndl.exe"
if [ -n "$linux_qndl" ]; then
  run_example "$try/linux" "$linux_qndl"
  cmp "$try/windows/qndl.out" "$try/linux/qndl.out"
fi
echo "Windows leg passed: $zip"
