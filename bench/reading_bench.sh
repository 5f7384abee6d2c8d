#!/bin/bash
# Adding 1,000 photos: the reading run's per-file work, header-only against a full decode.
# usage: bench/reading_bench.sh <build-folder>   (built with -DLUMENFOLD_BENCH=ON)
set -euo pipefail
build=${1:?build folder}
tool="$build/bin/bench_reading"
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
# 20 distinct 12-megapixel JPEGs, 50 names each.
"$tool" make "$corpus" 20 50 4000 3000
du -shL "$corpus"/photo0.jpg | awk '{print "one photo:", $1}'
"$tool" read "$corpus" header
"$tool" read "$corpus" full
