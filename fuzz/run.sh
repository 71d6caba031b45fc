#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs one of them.
#   fuzz/run.sh TARGET SECONDS     (TARGET: table_build_fuzz, titles_fuzz,
#                                   command_line_fuzz, procfs_parse_fuzz)
# New inputs go to build-fuzz/corpus/TARGET; the seeds in fuzz/corpus/TARGET
# are read, never written. A crash leaves its input in build-fuzz/.
set -euo pipefail
cd "$(dirname "$0")/.."
target=$1
seconds=${2:-60}
CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -DTASKMELD_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j2 --target "$target" >/dev/null
mkdir -p "build-fuzz/corpus/$target"
cd build-fuzz
"./$target" -max_total_time="$seconds" -jobs=1 -print_final_stats=1 \
  "corpus/$target" "../fuzz/corpus/$target"
