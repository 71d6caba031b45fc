#!/usr/bin/env bash
# Runs taskmeld and the standard tool that shows the same data side by side,
# under the same load, and prints one line per pair: the median wall-time
# ratio, the CPU-time ratio and the peak memory of both.
#
#   bench/compare.sh [build-dir]      (default: build-bench)
#
# Needs hyperfine (Debian's package) and a build with -DTASKMELD_BENCHMARKS=ON.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}
if [ ! -x "$build/taskmeld_load" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DTASKMELD_BENCHMARKS=ON -DTASKMELD_TESTS=OFF >/dev/null
  cmake --build "$build" -j2 >/dev/null
fi
command -v hyperfine >/dev/null || { echo "compare.sh: hyperfine is missing (apt-get install hyperfine)"; exit 1; }
tm="$build/taskmeld"
json=$(mktemp)
trap 'rm -f "$json"' EXIT

# Starts the load in the background and waits until it is ready; the load
# ends when its standard input closes.
start_load() {
  exec {load_in}> >("$build/taskmeld_load" "$@" > "$json.ready")
  until grep -q ready "$json.ready" 2>/dev/null; do sleep 0.2; done
}
stop_load() { exec {load_in}>&-; sleep 1; }

# median wall seconds and mean CPU seconds (user + system) of one command
measure() {
  hyperfine --style none --warmup 2 --runs "${RUNS:-15}" --export-json "$json" "$1" >/dev/null 2>&1
  python3 -c 'import json,sys; r=json.load(open(sys.argv[1]))["results"][0]; print(r["median"], r["user"]+r["system"])' "$json"
}

pair() {
  local label=$1 ours=$2 peer=$3
  read -r ours_wall ours_cpu < <(measure "$ours")
  read -r peer_wall peer_cpu < <(measure "$peer")
  local ours_rss peer_rss
  ours_rss=$("$build/taskmeld_peak_rss" sh -c "$ours")
  peer_rss=$("$build/taskmeld_peak_rss" sh -c "$peer")
  python3 -c 'import sys; l,ow,oc,pw,pc,om,pm=sys.argv[1:]; print(f"{l:<34} wall {float(ow)/float(pw):5.2f}  cpu {float(oc)/float(pc):5.2f}  peak KB {om:>6} vs {pm:>6}")' \
    "$label" "$ours_wall" "$ours_cpu" "$peer_wall" "$peer_cpu" "$ours_rss" "$peer_rss"
}

start_load spread 2000 1
pair "default list / ps" "$tm > /dev/null" "ps -e -o pid,ppid,pri,nlwp,vsz,rss,maj_flt,min_flt,time,etime,comm > /dev/null"
pair "-m / ps" "$tm -m > /dev/null" "ps -e -o pid,vsz,rss,min_flt,maj_flt,comm > /dev/null"
pair "-t / pstree" "$tm -t > /dev/null" "pstree -pTl > /dev/null"
pair "default list / stat floor" "$tm > /dev/null" "$build/taskmeld_stat_floor"
# Ten refreshes of each live view: the CPU ratio is the cost per refresh.
RUNS=3 pair "-s 10 / top -b -d 1 -n 10" "$tm -s 10 > /dev/null" "top -b -d 1 -n 10 > /dev/null"
stop_load

start_load spread 2000 5
pair "-d / ps -eL" "$tm -d > /dev/null" "ps -eL -o pid,lwp,pri,stat,wchan:20,time,etime > /dev/null"
stop_load

start_load chain 1000
pair "-t chain / pstree" "$tm -t > /dev/null" "pstree -pTl > /dev/null"
stop_load
