#!/bin/sh
# The accuracy report: builds the evaluator, runs it over the reference
# tables and draws the plots, writing docs/ACCURACY.md and docs/accuracy_*.png.
#
#   accuracy/run.sh            evaluate the committed tables
#   accuracy/run.sh --tables   first regenerate tests/data/accuracy/ with mpmath
#                              (a few minutes; extra arguments go to the
#                              generator, e.g. --only betaf --jobs 2)
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/accuracy"
jobs=${JOBS:-2}

missing=""
for package in cmake g++ make r-mathlib libboost-math-dev gnuplot-nox python3-mpmath; do
  dpkg -s "$package" >/dev/null 2>&1 || missing="$missing $package"
done
if [ -n "$missing" ]; then
  echo "Installing$missing"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing
fi

if [ "${1:-}" = "--tables" ]; then
  shift
  /usr/bin/python3 "$root/tools/gen_accuracy_tables.py" "$@"
fi

cmake -S "$root/accuracy" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j "$jobs"

mkdir -p "$build/plots" "$root/docs"
r_version=$(dpkg-query -W -f='r-mathlib ${Version}' r-mathlib)
# R's math library prints its warnings (e.g. "full precision may not have been
# achieved") on standard output; they are kept in the build directory.
"$build/accuracy_report" --tables "$root/tests/data/accuracy" --docs "$root/docs" \
  --plots "$build/plots" --r-version "$r_version" >"$build/peer_messages.txt"
if [ -s "$build/peer_messages.txt" ]; then
  echo "peer messages: $(wc -l <"$build/peer_messages.txt") lines in $build/peer_messages.txt"
fi
gnuplot "$build/plots/plots.gp"
echo "wrote $root/docs/ACCURACY.md and $(cd "$root" && ls docs/accuracy_*.png | tr '\n' ' ')"
