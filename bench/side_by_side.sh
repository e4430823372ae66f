#!/bin/bash
# The benchmarks of two builds side by side, in one run on one machine:
# today's build and a baseline commit built with today's bench/ sources.
#
#   bench/side_by_side.sh BUILD BASELINE_COMMIT FILTER REPETITIONS [BENCH_COMMIT]
#
# BENCH_COMMIT: take the baseline's bench/ sources from this commit instead
# of today's, for a baseline older than a rename of the entry points the
# benchmarks call (the same benchmarks, spelt in the baseline's names).
#
# The baseline's sources (git archive of the commit) go to
# build-baseline/src with bench/ replaced by the current one, and build in
# build-baseline/build. Each repetition runs the baseline's and today's
# program one after the other, so that drifting load falls on both alike;
# the table shows the median CPU time of each benchmark and its heap
# allocations per iteration ("allocs", where the benchmark counts them).
set -eu
build=$1 baseline=$2 filter=$3 repetitions=$4 benchCommit=${5:-}
root=$(cd "$(dirname "$0")/.." && pwd)
base=$root/build-baseline
jobs=${JOBS:-2}

commit=$(git -C "$root" rev-parse --verify "$baseline^{commit}")
if [ "$(cat "$base/commit" 2>/dev/null)" != "$commit" ]; then
  rm -rf "$base/src"
  mkdir -p "$base/src"
  # Extracted with today's times (-m): with the commit's own times, make
  # would take the objects of the previous baseline for up to date.
  git -C "$root" archive "$commit" | tar -x -m -C "$base/src"
  echo "$commit" > "$base/commit"
fi
rm -rf "$base/src/bench"
if [ -n "$benchCommit" ]; then
  mkdir -p "$base/src/bench"
  git -C "$root" archive "$benchCommit" bench | tar -x -m -C "$base/src"
else
  cp -r "$root/bench" "$base/src/bench"
fi
# A header the benchmarks include that has moved since the baseline (a
# rename) is given a forwarding header at its new place, when the baseline
# holds exactly one header of that name.
for header in $(grep -ho '^#include "[a-z_]*/[a-z_./]*"' "$root"/bench/*.cpp | sed 's/.*"\(.*\)"/\1/' | sort -u); do
  [ -e "$base/src/src/$header" ] && continue
  found=$(cd "$base/src/src" && find . -name "$(basename "$header")" | sed 's|^\./||')
  [ "$(echo "$found" | grep -c .)" = 1 ] || continue
  mkdir -p "$(dirname "$base/src/src/$header")"
  echo "#include \"$found\"  // moved since the baseline" > "$base/src/src/$header"
done
[ -f "$base/build/CMakeCache.txt" ] ||
  cmake -S "$base/src" -B "$base/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
programs=$(cd "$root/$build" && ls bench_* | tr '\n' ' ')
# A program that no longer builds against the baseline (an entry point it
# lacks) is left out on the baseline's side, and said so.
for p in $programs; do
  cmake --build "$base/build" -j "$jobs" --target "$p" > "$base/$p.log" 2>&1 ||
    echo "$p: does not build against $baseline (see $base/$p.log); its baseline column stays empty"
done

rows=$(mktemp)
trap 'rm -f "$rows"' EXIT
# Each CSV row as: side name cpu unit allocs (allocs "-" when not counted).
collect() {
  local side=$1
  awk -F, -v side="$side" '
    /^name,/ { for (i = 1; i <= NF; ++i) { h = $i; gsub(/"/, "", h); col[h] = i } ; next }
    col["name"] && /^"/ {
      name = $col["name"]; gsub(/"/, "", name)
      a = ("allocs" in col) && $col["allocs"] != "" ? $col["allocs"] : "-"
      print side, name, $col["cpu_time"], $col["time_unit"], a
    }'
}
for ((r = 1; r <= repetitions; ++r)); do
  for p in $programs; do
    [ -x "$base/build/$p" ] &&
      "$base/build/$p" --benchmark_filter="$filter" --benchmark_format=csv 2> /dev/null | collect before >> "$rows"
    "$root/$build/$p" --benchmark_filter="$filter" --benchmark_format=csv 2> /dev/null | collect after >> "$rows"
  done
done

echo "baseline $baseline (${commit:0:7}) against $(git -C "$root" rev-parse --short HEAD)$(git -C "$root" diff --quiet HEAD || echo +changes);" \
     "median CPU time of $repetitions runs each"
printf '%-40s %12s %12s %7s %12s %12s\n' benchmark before after ratio allocs-before allocs-after
# Medians per side and name, then one line per name.
sort -k2,2 -k1,1 -k3,3g "$rows" | awk '
  function flush() {
    if (n == 0) return
    m = int((n + 1) / 2)
    cpu[key] = v[m]; unit[name] = u; al[key] = av[m]; names[name] = 1
    n = 0
  }
  { k = $1 " " $2; if (k != key) { flush(); key = k; name = $2; u = $4 } ++n; v[n] = $3; av[n] = $5 }
  END {
    flush()
    for (nm in names) {
      b = cpu["before " nm]; a = cpu["after " nm]
      ratio = (a > 0 && b != "") ? sprintf("%.2fx", b / a) : "-"
      printf "%-40s %9.3f %-2s %9.3f %-2s %7s %12s %12s\n", nm, b, unit[nm], a, unit[nm], ratio,
             (al["before " nm] == "" ? "-" : al["before " nm]), (al["after " nm] == "" ? "-" : al["after " nm])
    }
  }' | sort
