#!/usr/bin/env bash
# Runs every fuzz target for a while and fails on any finding:
#   tests/fuzz/run-fuzzers.sh FUZZ-BUILD-DIR SECONDS
# The targets are the directories of tests/fuzz/corpus, each the seed corpus of the target of
# that name (built in FUZZ-BUILD-DIR/tests/fuzz). A target fuzzes a working copy of its seeds,
# FUZZ-BUILD-DIR/corpus/NAME, which keeps what earlier runs found; the repository's seeds stay
# as they are. An input that crashes a target or breaks one of its properties is saved as
# FUZZ-BUILD-DIR/findings/NAME-crash-*, its log is FUZZ-BUILD-DIR/NAME.log.
set -uo pipefail

if [ $# -ne 2 ] || ! [[ "$2" =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: $0 FUZZ-BUILD-DIR SECONDS" >&2
  exit 2
fi
build=$(realpath -m "$1")
seconds=$2
seeds=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/corpus
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

mkdir -p "$build/findings"
status=0
summary=()
for seedDir in "$seeds"/*/; do
  name=$(basename "$seedDir")
  fuzzer=$build/tests/fuzz/$name
  log=$build/$name.log
  if [ ! -x "$fuzzer" ]; then
    echo "run-fuzzers: $fuzzer is missing; build the target 'fuzzers' first" >&2
    status=1
    summary+=("$(printf '%-20s MISSING' "$name")")
    continue
  fi
  corpus=$build/corpus/$name
  mkdir -p "$corpus"
  cp "$seedDir"* "$corpus"/

  echo "== $name: $seconds s, corpus $corpus"
  # Each input gets 10 s at most (a hang is a finding too); the whole run is bounded as well.
  timeout --kill-after=10 $((seconds + 60)) "$fuzzer" -max_total_time="$seconds" -timeout=10 \
    -print_final_stats=1 -artifact_prefix="$build/findings/$name-" "$corpus" >"$log" 2>&1
  code=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
  inputs=$(find "$corpus" -type f | wc -l)
  if [ $code -eq 0 ] && [ -n "$runs" ] && [ "$runs" -gt 0 ]; then
    grep -E '^(INFO: seed corpus|#[0-9]+[[:space:]]+(INITED|DONE))' "$log"
    grep -E '^Done [0-9]+ runs' "$log"
    summary+=("$(printf '%-20s OK      %10s runs, %7s exec/s, corpus %s inputs' \
      "$name" "$runs" "$speed" "$inputs")")
  else
    echo "run-fuzzers: $name FAILED (exit code $code); the end of $log:" >&2
    tail -n 60 "$log" >&2
    for finding in "$build/findings/$name-"*; do
      [ -e "$finding" ] && echo "  finding: $finding" >&2
    done
    status=1
    summary+=("$(printf '%-20s FAILED  exit code %s, see %s' "$name" "$code" "$log")")
  fi
  echo
done

echo "== Fuzzing summary"
printf '%s\n' "${summary[@]}"
[ ${#summary[@]} -gt 0 ] || { echo "run-fuzzers: no seed corpus in $seeds" >&2; status=1; }
exit $status
