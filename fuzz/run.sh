#!/usr/bin/env bash
# Builds the libFuzzer targets of the console into build/fuzz and runs each
# for a bounded time on a copy of its corpus under fuzz/corpus (the tree is
# left untouched). Exits non-zero on any finding: a crash, a sanitizer
# report, a broken invariant, a hang or a leak. Inputs that fail are kept in
# build/fuzz/findings/<target>/; rerun one with build/fuzz/<target> <file>.
#
#   FUZZ_SECONDS  time per target (default 20)
#   JOBS          parallel build jobs (default 2)
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$repo/build/fuzz"
seconds=${FUZZ_SECONDS:-20}
jobs=${JOBS:-2}
targets=(free_form_number menu_selection dialogue_loop)

missing=""
for package in clang-14 libclang-rt-14-dev cmake make; do
  dpkg -s "$package" >/dev/null 2>&1 || missing="$missing $package"
done
if [ -n "$missing" ]; then
  echo "Installing$missing"
  apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing
fi

CC=clang-14 CXX=clang++-14 cmake -S "$repo/fuzz" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$jobs" --target "${targets[@]}"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
for target in "${targets[@]}"; do
  run="$work/$target"
  mkdir -p "$run/corpus" "$run/tmp"
  cp -R "$repo/fuzz/corpus/$target/." "$run/corpus/"
  options=(-max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048
           -print_final_stats=1 -artifact_prefix="$run/")
  [ -f "$repo/fuzz/$target.dict" ] && options+=(-dict="$repo/fuzz/$target.dict")
  echo "fuzzing $target for ${seconds}s"
  if TMPDIR="$run/tmp" "$build/$target" "${options[@]}" "$run/corpus" >"$run/output" 2>&1; then
    grep -E '^#[0-9]+[[:space:]]+DONE' "$run/output" | tail -n 1 | sed 's/^/  /' || true
  else
    failed=1
    findings="$build/findings/$target"
    rm -rf "$findings"
    mkdir -p "$findings"
    cp "$run"/crash-* "$run"/timeout-* "$run"/leak-* "$run"/oom-* "$findings/" 2>/dev/null || true
    echo "FINDING in $target:"
    # The report from its first line (sanitizer, libFuzzer or invariant) on.
    first=$(grep -n -m1 -E 'invariant broken|runtime error|==ERROR|ERROR: libFuzzer' "$run/output" | cut -d: -f1)
    tail -n +"${first:-1}" "$run/output" | head -n 60
    for input in "$findings"/*; do
      [ -e "$input" ] || continue
      echo "reproduce: $build/$target $input"
    done
  fi
done
exit "$failed"
