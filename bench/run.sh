#!/usr/bin/env bash
# Throughput of qndl against awk, on generated data in the page cache.
#
# Usage: bench/run.sh [--smoke] [--runs N] [--only REGEX] [--no-callgrind] [QNDL_BINARY]
#
# Workloads (generated deterministically, cached in $BENCH_DIR, default
# ${TMPDIR:-/tmp}/qndl-bench):
#   crlf-256M, crlf-1G  ~80-byte records of 8-12 ';'-fields, CR LF line ends
#                       (the 1G file is the 256M file four times over)
#   lf-256M             the same records with LF line ends
#   long-256M           2-10 KiB lines of 8-12 fields, CR LF line ends
# Jobs: "zorvat -set $4 $5" on every workload, "$1 $2 ... $9" on crlf-*.
#
# Each job runs qndl, the floor, mawk and gawk (when installed) in turns,
# --runs times (default 5). The floor (bench/floor.cpp, built beside qndl as
# bench/qndl_floor) reads the same input in qndl's 256 KiB blocks and writes
# as many bytes as qndl.out holds in qndl's 1 MiB writes, doing nothing in
# between: the time of the I/O alone, which no one-core program that reads
# with read calls can beat. The awk program below applies qndl's record rules, so every
# tool's output must be byte-identical to qndl.out; the script stops if not.
# "mawk-plain" is mawk with the bare job ({ print "zorvat -set " $4 " " $5 })
# and no record rules: it is listed only where its output happens to be
# identical too (it keeps a CR in a last field), as the speed a user of awk
# would see on such data.
# The table gives the median wall time, MiB/s, the ratio of the tool's median
# to the floor's ("x floor", lower is better) and of mawk's median to the
# tool's ("x mawk", higher is better), the median user and system CPU times
# (less disturbed than the wall time by other work on the machine) and the
# peak resident set size over the runs.
# --only REGEX keeps the jobs ("workload job", e.g. "crlf-256M zorvat") that
# match REGEX.
# Then, with valgrind installed, qndl's instructions per input byte on the
# first 8 MiB of each workload (a figure that does not depend on the load of
# the machine).
#
# --smoke: every workload at 2 MiB, one run, callgrind on 1 MiB; checks that
# the script and the outputs still agree, measures nothing worth quoting.
#
# Needs bash, awk, coreutils. Optional: mawk and gawk (compared when
# present), GNU time at /usr/bin/time (Debian package "time") for the peak
# RSS and CPU columns, valgrind (Debian package "valgrind") for instructions per byte.
set -euo pipefail

runs=5
smoke=false
callgrind=true
qndl=""
only=""
while [ $# -gt 0 ]; do
  case $1 in
    --smoke) smoke=true; runs=1 ;;
    --runs) runs=$2; shift ;;
    --no-callgrind) callgrind=false ;;
    --only) only=$2; shift ;;
    -h|--help) sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
    -*) echo "unknown option: $1 (try --help)" >&2; exit 2 ;;
    *) qndl=$1 ;;
  esac
  shift
done

here=$(cd "$(dirname "$0")" && pwd)
qndl=${qndl:-$here/../build/app/qndl}
if [ ! -x "$qndl" ]; then
  echo "qndl binary not found at $qndl: build it first (see README) or pass its path" >&2
  exit 2
fi
qndl=$(cd "$(dirname "$qndl")" && pwd)/$(basename "$qndl")
floor=${QNDL_FLOOR:-$(dirname "$qndl")/../bench/qndl_floor}
if [ ! -x "$floor" ]; then
  echo "floor program not found at $floor: build it (it is built with qndl) or set QNDL_FLOOR" >&2
  exit 2
fi
work=${BENCH_DIR:-${TMPDIR:-/tmp}/qndl-bench}
mkdir -p "$work/qndl" "$work/floor"
export LC_ALL=C

# The awk that generates data and serves as the reference: mawk, or any awk.
mawk_bin=$(command -v mawk || true)
gawk_bin=$(command -v gawk || true)
ref_awk=${mawk_bin:-$(command -v awk || true)}
if [ -z "$ref_awk" ]; then
  echo "no awk found: install mawk (Debian package \"mawk\")" >&2
  exit 2
fi
[ -n "$mawk_bin" ] || echo "note: mawk not found; ratios are to $ref_awk" >&2
time_bin=""
if [ -x /usr/bin/time ] && /usr/bin/time -f %M -o /dev/null true 2>/dev/null; then
  time_bin=/usr/bin/time
else
  echo "note: GNU time (/usr/bin/time, Debian package \"time\") not found; no CPU and peak RSS columns" >&2
fi

mib=$((1024 * 1024))

# generate KIND EOL BYTES FILE: deterministic records (own LCG, so every awk
# writes the same bytes) until at least BYTES bytes; a smaller BYTES gives a
# prefix of a larger one.
generate() {
  "$ref_awk" -v kind="$1" -v eol="$2" -v target="$3" '
    function rnd(n) { seed = (seed * 1664525 + 1013904223) % 4294967296; return int(seed / 4294967296 * n) }
    BEGIN {
      seed = 42
      nw = split("alpha beta gamma delta epsilon zeta eta theta iota kappa", w, " ")
      pool = ""
      while (length(pool) < 12000) pool = pool w[rnd(nw) + 1] "_" rnd(100000) "-"
      n = 0; bytes = 0
      while (bytes < target) {
        n++
        nf = 8 + rnd(5)
        line = n ";" w[rnd(nw) + 1] ";" w[rnd(nw) + 1] "-" rnd(1000) ";user" sprintf("%05d", rnd(100000)) ";/home/u" rnd(5000)
        if (kind == "long") {
          rest = 2048 + rnd(8193) - length(line)   # the line is 2-10 KiB long
          per = int(rest / (nf - 5))
          for (i = 6; i <= nf; i++) {
            len = (i < nf) ? per - 1 : rest - (nf - 6) * per - 1
            line = line ";" substr(pool, 1 + rnd(1000), len)
          }
        } else {
          for (i = 6; i <= nf; i++) line = line ";" (rnd(2) ? w[rnd(nw) + 1] : rnd(10000000))
        }
        printf "%s%s", line, eol
        bytes += length(line) + length(eol)
      }
    }' > "$4.tmp"
  mv "$4.tmp" "$4"
}

# data NAME: the path of workload NAME, generated on first use.
data() {
  local name=$1 size kind eol file
  case $name in
    crlf-*) kind=short eol='\r\n' ;;
    lf-*) kind=short eol='\n' ;;
    long-*) kind=long eol='\r\n' ;;
  esac
  case $name in
    *-1G) size=1024 ;;
    *-256M) size=256 ;;
    *-8M) size=8 ;;
    *-2M) size=2 ;;
    *-1M) size=1 ;;
  esac
  file=$work/v1-$name.txt  # v1: change it with the generator
  if [ ! -s "$file" ]; then
    echo "generating $file" >&2
    if [ "$name" = crlf-1G ]; then
      local quarter
      quarter=$(data crlf-256M)
      cat "$quarter" "$quarter" "$quarter" "$quarter" > "$file.tmp" && mv "$file.tmp" "$file"
    else
      generate "$kind" "$eol" $((size * mib)) "$file"
    fi
  fi
  echo "$file"
}

# The same job in awk, by qndl's record rules: a record ends at the first CR,
# LF or Ctrl-Z of its line; after a CR the rest of the line is dropped; a
# Ctrl-Z ends the input (and adds no record at the start of a line).
awk_program() {
  echo 'BEGIN { FS = ";"; ORS = "\r\n" }
{
  last = 0
  z = index($0, "\032")
  if (z) { $0 = substr($0, 1, z - 1); last = 1 }
  c = index($0, "\r")
  if (c) $0 = substr($0, 1, c - 1)
  else if (last && $0 == "") exit
  print '"$1"'
  if (last) exit
}'
}

template_of() {
  case $1 in
    zorvat) echo 'zorvat -set $4 $5' ;;
    nine) echo '$1 $2 $3 $4 $5 $6 $7 $8 $9' ;;
  esac
}
awk_expr_of() {
  case $1 in
    zorvat) echo '"zorvat -set " $4 " " $5' ;;
    nine) echo '$1 " " $2 " " $3 " " $4 " " $5 " " $6 " " $7 " " $8 " " $9' ;;
  esac
}

# run_once TOOL FILE JOB: runs one tool once; prints "wall-nanoseconds
# user-seconds system-seconds rss-KiB output-file" ("-" for what GNU time
# would tell). The floor writes as many bytes as the last qndl.out holds.
run_once() {
  local tool=$1 file=$2 job=$3 start end usage="- - -" out
  local timer=()
  [ -n "$time_bin" ] && timer=("$time_bin" -f "%U %S %M" -o "$work/usage")
  start=$(date +%s%N)
  case $tool in
    qndl)
      (cd "$work/qndl" && "${timer[@]}" "$qndl" "$file" -delim ";" -out "$(template_of "$job")" > "$work/qndl.console")
      out=$work/qndl/qndl.out ;;
    floor)
      local size
      size=$(wc -c < "$work/qndl/qndl.out")
      (cd "$work/floor" && "${timer[@]}" "$floor" "$file" "$size")
      out=$work/floor/floor.out ;;
    mawk-plain)
      out=$work/$tool.out
      "${timer[@]}" "$mawk_bin" 'BEGIN { FS = ";"; ORS = "\r\n" } { print '"$(awk_expr_of "$job")"' }' "$file" > "$out" ;;
    *)
      out=$work/$tool.out
      "${timer[@]}" "$(command -v "$tool")" "$(awk_program "$(awk_expr_of "$job")")" "$file" > "$out" ;;
  esac
  end=$(date +%s%N)
  [ -n "$time_bin" ] && usage=$(tail -n 1 "$work/usage")
  echo "$((end - start)) $usage $out"
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

tools=(qndl floor)
[ -n "$mawk_bin" ] && tools+=(mawk)
[ -n "$gawk_bin" ] && tools+=(gawk)
[ -z "$mawk_bin" ] && tools+=("$(basename "$ref_awk")")
[ -n "$mawk_bin" ] && tools+=(mawk-plain)

if $smoke; then
  jobs=("crlf-2M zorvat" "crlf-2M nine" "lf-2M zorvat" "long-2M zorvat")
  ir_size=1M
else
  jobs=("crlf-256M zorvat" "crlf-1G zorvat" "crlf-256M nine" "crlf-1G nine" "lf-256M zorvat" "long-256M zorvat")
  ir_size=8M
fi
if [ -n "$only" ]; then
  kept=()
  for entry in "${jobs[@]}"; do [[ $entry =~ $only ]] && kept+=("$entry"); done
  jobs=("${kept[@]}")
fi

table=$work/table.txt
: > "$table"
plain_differs=""
for entry in "${jobs[@]}"; do
  read -r name job <<< "$entry"
  file=$(data "$name")
  bytes=$(wc -c < "$file")
  cat "$file" > /dev/null  # into the page cache
  declare -A times=() users=() syss=() peak=() differs=()
  for ((r = 1; r <= runs; r++)); do
    for tool in "${tools[@]}"; do
      read -r ns user sys rss out <<< "$(run_once "$tool" "$file" "$job")"
      times[$tool]+="$ns "
      users[$tool]+="$user "
      syss[$tool]+="$sys "
      if [ "$rss" != - ] && { [ -z "${peak[$tool]:-}" ] || [ "$rss" -gt "${peak[$tool]}" ]; }; then peak[$tool]=$rss; fi
      if [ "$tool" = mawk-plain ]; then
        cmp -s "$out" "$work/qndl/qndl.out" || differs[$tool]=1
      elif [ "$tool" = floor ]; then
        [ "$(wc -c < "$out")" = "$(wc -c < "$work/qndl/qndl.out")" ] || { echo "FAIL: floor wrote the wrong size" >&2; exit 1; }
      elif [ "$tool" != qndl ] && ! cmp -s "$out" "$work/qndl/qndl.out"; then
        echo "FAIL: $tool and qndl differ on $name $job: $out $work/qndl/qndl.out" >&2
        exit 1
      fi
    done
  done
  ref_tool=${tools[2]}
  ref_ns=$(tr ' ' '\n' <<< "${times[$ref_tool]}" | grep . | median)
  floor_ns=$(tr ' ' '\n' <<< "${times[floor]}" | grep . | median)
  for tool in "${tools[@]}"; do
    if [ -n "${differs[$tool]:-}" ]; then
      plain_differs+=" $name/$job"
      continue
    fi
    ns=$(tr ' ' '\n' <<< "${times[$tool]}" | grep . | median)
    user=- sys=-
    if [ -n "$time_bin" ]; then
      user=$(tr ' ' '\n' <<< "${users[$tool]}" | grep . | median)
      sys=$(tr ' ' '\n' <<< "${syss[$tool]}" | grep . | median)
    fi
    echo "$name $job $tool $ns $bytes $ref_ns ${peak[$tool]:--} $user $sys $floor_ns" >> "$table"
  done
  unset times users syss peak differs
done

echo
echo "qndl $(date +%Y-%m-%d), $(nproc) cores, median of $runs run(s), outputs byte-identical"
echo
awk -v ref="$(basename "${tools[2]}")" '
  BEGIN {
    printf "| workload | job | tool | median s | MiB/s | x floor | x %s | user s | sys s | peak RSS MiB |\n", ref
    print "|---|---|---|---:|---:|---:|---:|---:|---:|---:|"
  }
  {
    s = $4 / 1e9
    rss = ($7 == "-") ? "-" : sprintf("%.1f", $7 / 1024)
    user = ($8 == "-") ? "-" : sprintf("%.2f", $8)
    sys = ($9 == "-") ? "-" : sprintf("%.2f", $9)
    printf "| %s | %s | %s | %.3f | %.0f | %.2f | %.2f | %s | %s | %s |\n", $1, $2, $3, s, $5 / 1048576 / s, $4 / $10, $6 / $4, user, sys, rss
  }' "$table"

[ -n "$plain_differs" ] && echo "(mawk-plain output differs from qndl.out on:$plain_differs; not listed there)"

if $callgrind && ! command -v valgrind > /dev/null; then
  echo
  echo "valgrind not found (Debian package \"valgrind\"): no instructions per byte"
  callgrind=false
fi
if $callgrind; then
  echo
  echo "qndl instructions per input byte (valgrind --tool=callgrind, $ir_size of each workload)"
  echo
  echo "| workload | job | instructions | bytes | per byte |"
  echo "|---|---|---:|---:|---:|"
  for entry in "crlf-$ir_size zorvat" "crlf-$ir_size nine" "lf-$ir_size zorvat" "long-$ir_size zorvat"; do
    read -r name job <<< "$entry"
    file=$(data "$name")
    bytes=$(wc -c < "$file")
    (cd "$work/qndl" && valgrind --tool=callgrind --callgrind-out-file="$work/callgrind.out" \
      "$qndl" "$file" -delim ";" -out "$(template_of "$job")" > /dev/null 2> "$work/callgrind.log")
    ir=$(awk '/^summary:/ { print $2 }' "$work/callgrind.out")
    awk -v n="$name" -v j="$job" -v ir="$ir" -v b="$bytes" \
      'BEGIN { printf "| %s | %s | %d | %d | %.2f |\n", n, j, ir, b, ir / b }'
  done
fi
