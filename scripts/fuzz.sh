#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ (or $KORVANE_FUZZ_DIR) and runs each of them.
#
#   bash scripts/fuzz.sh                                    every target, 100000 runs each (what CI runs)
#   bash scripts/fuzz.sh -max_total_time=600                every target, ten minutes each
#   bash scripts/fuzz.sh fuzz_html_layout -runs=5000000     one target, longer
#
# Arguments that start with "-" go to libFuzzer, the others name targets; options without -runs or
# -max_total_time run each target until it fails or is stopped (Ctrl-C). Each target starts from its
# seed corpus in tests/fuzz/corpus/<target> and keeps the inputs that reach new code in
# build-fuzz/corpus/<target>, so longer runs build on earlier ones. An input that fails is kept in
# build-fuzz/artifacts/<target>/ and named, with the command that replays it.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${KORVANE_FUZZ_DIR:-build-fuzz}
all=(fuzz_note_reading fuzz_html_layout)

targets=()
options=()
for arg in "$@"; do
  case $arg in
    -*) options+=("$arg") ;;
    *)
      [[ " ${all[*]} " == *" $arg "* ]] || { echo "fuzz.sh: no fuzz target $arg (there are: ${all[*]})" >&2; exit 2; }
      targets+=("$arg") ;;
  esac
done
[ ${#targets[@]} -gt 0 ] || targets=("${all[@]}")
[ ${#options[@]} -gt 0 ] || options=(-runs=100000)

CC=clang CXX=clang++ cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVANE_FUZZ=ON >/dev/null
cmake --build "$dir" --target "${targets[@]}" -j"$(nproc)"

# The sanitizers stop at the first error, so that libFuzzer keeps the input; leaks count as errors,
# apart from the one-time allocations of Qt and the system libraries.
export ASAN_OPTIONS=${ASAN_OPTIONS:-halt_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/tests/sanitizers/lsan.supp:print_suppressions=0}

failed=()
for target in "${targets[@]}"; do
  corpus="$dir/corpus/$target"
  artifacts="$dir/artifacts/$target/"
  log="$dir/$target.log"
  mkdir -p "$corpus" "$artifacts"
  # An input that takes longer than 10 s counts as a hang; later options may change that.
  if "$dir/tests/fuzz/$target" -timeout=10 -print_final_stats=1 "${options[@]}" \
       -artifact_prefix="$artifacts" "$corpus" "tests/fuzz/corpus/$target" >"$log" 2>&1; then
    seed=$(sed -n 's/^INFO: Seed: \([0-9]*\).*/\1/p' "$log" | head -n 1)
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    secs=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log")
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)
    inputs=$(find "$corpus" -type f | wc -l)
    echo "$target: passed, ${runs:-?} runs in ${secs:-?} s, seed ${seed:-?}, ${cov:-?} edges, ${inputs} inputs in $corpus"
  else
    failed+=("$target")
    echo "---- $target: last lines of $log"
    tail -n 60 "$log"
    input=$(sed -n 's/.*Test unit written to \(.*\)$/\1/p' "$log" | tail -n 1)
    seed=$(sed -n 's/^INFO: Seed: \([0-9]*\).*/\1/p' "$log" | head -n 1)
    echo "$target: FAILED (seed ${seed:-?}) on input ${input:-(none written; see $log)}"
    [ -z "$input" ] || echo "  replay: $dir/tests/fuzz/$target $input"
  fi
done
[ ${#failed[@]} -eq 0 ] || { echo "fuzz.sh: failed: ${failed[*]}" >&2; exit 1; }
