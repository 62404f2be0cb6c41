#!/usr/bin/env bash
# Throughput of qndl against awk on the same job and the same generated file:
#   qndl DATA -delim ";" -out "zorvat -set $4 $5"
# Both outputs must be byte-identical. Prints MB/s for each and the ratio.
#
# Usage: bench/run.sh [size-in-MB] [qndl-binary]
set -euo pipefail

size_mb=${1:-300}
here=$(cd "$(dirname "$0")" && pwd)
qndl=${2:-$here/../build/app/qndl}
qndl=$(cd "$(dirname "$qndl")" && pwd)/$(basename "$qndl")
awk_bin=$(command -v mawk || command -v awk)
work=${BENCH_DIR:-${TMPDIR:-/tmp}/qndl-bench}
mkdir -p "$work"
data=$work/data-${size_mb}mb.txt

# Deterministic ~80-byte records of 10 fields with CR LF line ends.
if [ ! -s "$data" ]; then
  "$awk_bin" -v target=$((size_mb * 1000 * 1000)) 'BEGIN {
    srand(42); n = 0; bytes = 0
    split("alpha beta gamma delta epsilon zeta eta theta iota kappa", w, " ")
    while (bytes < target) {
      n++
      line = sprintf("%d;%s;%s-%d;user%05d;/home/u%d;%s;%d;%.2f;%s;x%d",
        n, w[int(rand()*10)+1], w[int(rand()*10)+1], int(rand()*1000), int(rand()*100000),
        int(rand()*5000), w[int(rand()*10)+1], int(rand()*1000000), rand()*1000, w[int(rand()*10)+1], n % 97)
      printf "%s\r\n", line
      bytes += length(line) + 2
    }
  }' > "$data"
fi
bytes=$(wc -c < "$data")

seconds() { # run a command 3 times, print the best wall time in seconds
  local best="" t
  for _ in 1 2 3; do
    local start end
    start=$(date +%s.%N)
    "$@" > /dev/null
    end=$(date +%s.%N)
    t=$(echo "$end - $start" | bc -l)
    if [ -z "$best" ] || [ "$(echo "$t < $best" | bc -l)" = 1 ]; then best=$t; fi
  done
  echo "$best"
}

# The same job in awk: a record ends at its first CR; the line end is CR LF.
awk_job() {
  LC_ALL=C "$awk_bin" -F';' 'BEGIN { ORS = "\r\n" } { sub(/\r.*/, ""); print "zorvat -set " $4 " " $5 }' \
    "$data" > "$work/awk.out"
}
qndl_job() {
  (cd "$work" && "$qndl" "$data" -delim ";" -out 'zorvat -set $4 $5')
}

cat "$data" > /dev/null  # into the page cache
t_awk=$(seconds awk_job)
t_qndl=$(seconds qndl_job)
if ! cmp -s "$work/awk.out" "$work/qndl.out"; then
  echo "outputs differ: $work/awk.out $work/qndl.out" >&2
  exit 1
fi
mb=$(echo "$bytes / 1000000" | bc -l)
printf 'input: %s (%.0f MB, CR LF, ~80-byte records)\n' "$data" "$mb"
printf '%-6s %8.3f s %9.1f MB/s\n' "$(basename "$awk_bin")" "$t_awk" "$(echo "$mb / $t_awk" | bc -l)"
printf '%-6s %8.3f s %9.1f MB/s\n' qndl "$t_qndl" "$(echo "$mb / $t_qndl" | bc -l)"
printf 'ratio qndl/%s: %.2f\n' "$(basename "$awk_bin")" "$(echo "$t_awk / $t_qndl" | bc -l)"
