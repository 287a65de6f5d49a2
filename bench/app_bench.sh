#!/usr/bin/env bash
# The whole program for 60 s under its own Xvfb server with the simulated controller at 1000
# reports/s and the throttle page showing; prints the time to a shown main window, the CPU
# share of one core and the resident memory.
#   bench/app_bench.sh [BUILD_DIR] [SECONDS]     BUILD_DIR defaults to build/release
# Targets: under 1 s to the shown window, under 5 % of one core, under 100 MB resident.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$top/build/release}" && pwd)
seconds=${2:-60}
program=
for name in orvo-pedals-calibration orvo-pedals-calibrationd; do
  [ -x "$build/app/$name" ] && { program=$build/app/$name; break; }
done
[ -n "$program" ] || { echo "app_bench: no program in $build/app" >&2; exit 2; }

display_num=$(( 500 + RANDOM % 400 ))
while [ -e "/tmp/.X${display_num}-lock" ]; do display_num=$((display_num + 1)); done
Xvfb ":${display_num}" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
workdir=$(mktemp -d /tmp/orvo-app-bench-XXXXXX)
program_pid=
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$workdir"
}
trap cleanup EXIT
export DISPLAY=":${display_num}"
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done
cp "$top/res/beep.mp3" "$workdir/"

cd "$workdir"
ticks=$(getconf CLK_TCK)
now_ms() { date +%s%3N; }
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

start=$(now_ms)
LD_LIBRARY_PATH="$build/hid/sim" ORVO_SIM_RATE=1000 ORVO_SIM_CONTROLLER=${ORVO_SIM_CONTROLLER:-0} ORVO_SIM_VALUES=${ORVO_SIM_VALUES:-sweep:4} \
  ORVO_SIM_STATE= "$program" >/dev/null 2>&1 &
program_pid=$!
until xdotool search --all --onlyvisible --pid "$program_pid" --name '^Orvo Zantor Pedals - ' \
      >/dev/null 2>&1; do
  kill -0 "$program_pid" 2>/dev/null || { echo "app_bench: the program ended" >&2; exit 1; }
  [ $(( $(now_ms) - start )) -gt 20000 ] && { echo "app_bench: no window after 20 s" >&2; exit 1; }
  sleep 0.005
done
shown=$(( $(now_ms) - start ))

# Settle for 2 s (the connection and its live apply), then measure the steady state.
sleep 2
ticks0=$(cpu_ticks "$program_pid")
t0=$(now_ms)
sleep "$seconds"
ticks1=$(cpu_ticks "$program_pid")
t1=$(now_ms)
rss=$(awk '/^VmRSS/ {print $2}' "/proc/$program_pid/status")
hwm=$(awk '/^VmHWM/ {print $2}' "/proc/$program_pid/status")
anon=$(awk '/^RssAnon/ {print $2}' "/proc/$program_pid/status")
# Shared library pages count in the resident figure; name the biggest mapping.
biggest=$(awk '/^[0-9a-f]+-[0-9a-f]+ / {name = $6} /^Rss:/ && name != "" {rss[name] += $2}
  END {for (n in rss) if (rss[n] > best) {best = rss[n]; which = n}; printf "%.1f MB %s", best / 1024, which}' \
  "/proc/$program_pid/smaps")

awk -v shown="$shown" -v dt=$(( ticks1 - ticks0 )) -v ticks="$ticks" -v ms=$(( t1 - t0 )) \
    -v rss="$rss" -v hwm="$hwm" -v anon="$anon" -v biggest="$biggest" -v program="$(basename "$program")" 'BEGIN {
  cpu = 100 * dt / ticks / (ms / 1000)
  printf "program                      %s, simulated controller at 1000 reports/s\n", program
  printf "start to shown main window   %d ms   (target < 1000 ms)\n", shown
  printf "CPU over %5.1f s             %.2f %% of one core   (target < 5 %%)\n", ms / 1000, cpu
  printf "resident memory              %.1f MB now, %.1f MB peak   (target < 100 MB)\n", rss / 1024, hwm / 1024
  printf "  of it private (anonymous)    %.1f MB; biggest file mapping %s\n", anon / 1024, biggest
}'
