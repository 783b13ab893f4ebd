#!/usr/bin/env bash
# What `make bench` runs once the programs are built:
#   bench/run-bench.sh BUILD-DIR [RUNS]
# BUILD-DIR is the build of the benchmark programs; BRINDLE names the product's brindle.exe to
# time and BUILD_NAME the build it is, which the table's heading names (make bench sets both). Makes stripped copies of brindle.exe and of the floor programs, as a
# release ships them (the benchmark runs these, and their sizes go into the table), runs
# brindle_bench in one Wine session with a fresh prefix BUILD-DIR/wine-bench, then lists
# brindle.exe's imports. The
# figures are printed, never checked; the exit code is non-zero only when a run failed or the
# benchmark did not finish within its deadline.
set -uo pipefail

if [ $# -lt 1 ]; then
  echo "usage: $0 BUILD-DIR [RUNS]" >&2
  exit 2
fi
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(realpath -m "$1")
runs=${2:-21}
strip=${STRIP:-x86_64-w64-mingw32-strip}
objdump=${OBJDUMP:-x86_64-w64-mingw32-objdump}
# The whole Wine part, 2 minutes and 15 s a run (7 minutes at 21 runs); a stuck benchmark is
# ended at this deadline (and wine-session.sh then ends every program of the session).
limit_seconds=${BENCH_TIMEOUT:-$((120 + 15 * runs))}

[ -n "${BRINDLE:-}" ] || { echo "run-bench: set BRINDLE to the brindle.exe to time" >&2; exit 2; }
brindle=$(realpath -m "$BRINDLE")
bench=$build/bench/brindle_bench.exe
programs=("$brindle" "$build/bench/bench_floor_forwarder.exe" "$build/bench/bench_floor_resident.exe"
  "$build/bench/bench_trivial_user32.exe" "$build/bench/bench_viewer.exe")
for file in "$bench" "${programs[@]}"; do
  [ -f "$file" ] || { echo "run-bench: $file is missing; build the bench_programs target" >&2; exit 1; }
done

stripped=$build/bench/stripped
rm -rf "$stripped"
mkdir -p "$stripped"
for file in "${programs[@]}"; do
  "$strip" -o "$stripped/$(basename "$file")" "$file" || exit 1
done

# Other work on the machine widens the spread; the load average says how much there was.
echo "== Benchmarks of ${BUILD_NAME:-brindle.exe} ($brindle):" \
  "$(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, $(wine --version 2>/dev/null)," \
  "load average $(cut -d ' ' -f 1-3 /proc/loadavg)"
status=0
"$root/tools/wine-session.sh" "$build/wine-bench" \
  timeout --kill-after=10 "$limit_seconds" wine "$bench" --runs "$runs" --programs "$stripped" ||
  status=$?
case $status in
  0) ;;
  124 | 137) echo "run-bench: the benchmark did not finish within ${limit_seconds} s" >&2 ;;
  *) echo "run-bench: the benchmark ended with status $status" >&2 ;;
esac

echo
echo "brindle.exe: $(stat -c %s "$brindle") bytes, stripped $(stat -c %s "$stripped/brindle.exe") bytes"
echo "imports (objdump -p, DLL Name):"
LC_ALL=C "$objdump" -p "$brindle" | sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*/  /p'
exit $status
