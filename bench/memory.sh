#!/usr/bin/env bash
# Peak resident memory of qndl: the same for any input size, and for a very
# long line in proportion to that line only.
#
#   qndl DATA -delim ";" -out "zorvat -set $4 $5"
#
# on 10 MB, 100 MB and 1 GB of ~40-byte CR LF records, streamed from a
# generator through a named pipe (nothing that size is written to disk;
# qndl.out is a link to /dev/null), then on a file holding one line of 50 MB.
# Fails when a streamed run peaks at 16 MB or more, or when the long line
# costs more than kLineFactor times its length above the streamed runs.
#
# Usage: bench/memory.sh [qndl-binary]     (needs GNU time: apt-get install time)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
qndl=${1:-$here/../build/app/qndl}
qndl=$(cd "$(dirname "$qndl")" && pwd)/$(basename "$qndl")
limit_kb=$((16 * 1024))
line_mb=50
line_factor=3
gnu_time=/usr/bin/time
if ! "$gnu_time" -f '%M' true >/dev/null 2>&1; then
  echo "memory: needs GNU time at $gnu_time (apt-get install time)"
  exit 1
fi

# Scratch space in memory where there is some: the 50 MB line is a real file.
scratch=${TMPDIR:-/tmp}
[ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && scratch=/dev/shm
work=$(mktemp -d "$scratch/qndl-memory.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"
ln -s /dev/null qndl.out

# One megabyte of records, repeated as often as a size needs.
awk 'BEGIN {
  bytes = 0
  for (n = 1; bytes < 1000000; n++) {
    line = sprintf("%d;alpha;beta-%d;user%05d;/home/u%d;%d", n, n % 1000, n % 100000, n % 5000, n * 7)
    printf "%s\r\n", line
    bytes += length(line) + 2
  }
}' > chunk.txt

# Peak RSS in KB of one qndl run on DATA.
peak_kb() {
  "$gnu_time" -f '%M' -o rss.txt "$qndl" data.txt -delim ";" -out 'zorvat -set $4 $5' > console.txt
  cat rss.txt
}

status=0
worst_kb=0
for mb in 10 100 1000; do
  rm -f data.txt
  mkfifo data.txt
  (for ((i = 0; i < mb; i++)); do cat chunk.txt; done > data.txt) &
  kb=$(peak_kb)
  wait
  [ "$kb" -gt "$worst_kb" ] && worst_kb=$kb
  verdict=ok
  if [ "$kb" -ge "$limit_kb" ]; then verdict="OVER the $((limit_kb / 1024)) MB limit"; status=1; fi
  echo "memory: ${mb} MB input: peak RSS ${kb} KB ($verdict)"
done

rm -f data.txt
{ printf '1;2;3;'; head -c $((line_mb * 1000 * 1000)) /dev/zero | tr '\0' 'w'; printf ';5\r\n6;7;8;9;10\r\n'; } > data.txt
kb=$(peak_kb)
extra_kb=$((kb - worst_kb))
line_kb=$((line_mb * 1000 * 1000 / 1024))
verdict=ok
if [ "$extra_kb" -gt $((line_factor * line_kb)) ]; then verdict="MORE than ${line_factor} times the line"; status=1; fi
echo "memory: one line of ${line_mb} MB: peak RSS ${kb} KB, ${extra_kb} KB above the streamed runs," \
  "$(awk -v e="$extra_kb" -v l="$line_kb" 'BEGIN { printf "%.2f", e / l }') times the line ($verdict)"
exit $status
