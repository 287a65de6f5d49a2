#!/usr/bin/env bash
# The whole program beside a floor program (bench/app_floor.cpp: the least a wx program does to
# show the same live display on the same timers), under one Xvfb server with the simulated
# controller at 1000 reports/s and the throttle page showing. The two run alternately, one
# after the other, so that the ratio holds on a busy machine; each run is a fresh start in a
# fresh folder, with a runtime folder (XDG_RUNTIME_DIR) of its own.
# Cases: moving and still pedal, without and with three keyboard hot keys assigned.
# Prints per case the CPU share of one core of each and their ratio, then the proportional (PSS),
# private (USS, and its dirty part) and resident (RSS) memory of each, the time to the shown
# window, and the machine's load.
#   bench/app_bench.sh [BUILD_DIR] [SECONDS] [ROUNDS]
#     BUILD_DIR defaults to build/release; SECONDS (default 20) is one measurement; ROUNDS
#     (default 2) is the number of program/floor pairs per case.
# Targets: CPU at most 1.1 x the floor with a moving pedal, PSS under 50 MB, the window shown
# under 1 s after the start.
# RSS counts every shared library page the process touches: on Debian 12 each GTK 3 program
# maps Mesa's libLLVM (some 43 MB), so PSS, which shares those pages out among the processes
# that map them, is the figure for what the program itself costs. PSS still moves with what
# else maps the same libraries, so USS (Private_Clean + Private_Dirty: the pages that no other
# process maps, which ending the program would free) is printed beside it. USS too holds the
# library pages (libLLVM's 26 MB among them) while no other process maps them; its dirty part
# (heap, stacks, written data) depends on the program alone, and is the figure to compare runs
# by. All come from /proc/PID/smaps_rollup.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$top/build/release}" && pwd)
seconds=${2:-20}
rounds=${3:-2}
program=
for name in orvo-pedals-calibration orvo-pedals-calibrationd; do
  [ -x "$build/app/$name" ] && { program=$build/app/$name; break; }
done
[ -n "$program" ] || { echo "app_bench: no program in $build/app" >&2; exit 2; }
floor=$build/bench/app_floor
[ -x "$floor" ] || { echo "app_bench: no floor program $floor" >&2; exit 2; }

workdir=$(mktemp -d /tmp/orvo-app-bench-XXXXXX)
running_pid=
xvfb_pid=
cleanup() {
  [ -n "$running_pid" ] && kill "$running_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$workdir"
}
trap cleanup EXIT
# Other runs pick display numbers too: the server is ours only once its lock holds our pid.
for _ in $(seq 20); do
  display_num=$(( 500 + RANDOM % 400 ))
  [ -e "/tmp/.X${display_num}-lock" ] && continue
  Xvfb ":${display_num}" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 200); do
    [ "$(tr -d ' ' 2>/dev/null <"/tmp/.X${display_num}-lock")" = "$xvfb_pid" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.05
  done
  [ "$(tr -d ' ' 2>/dev/null <"/tmp/.X${display_num}-lock")" = "$xvfb_pid" ] && break
  kill "$xvfb_pid" 2>/dev/null || true
  xvfb_pid=
done
[ -n "$xvfb_pid" ] || { echo "app_bench: no X server could be started" >&2; exit 2; }
export DISPLAY=":${display_num}"
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done

ticks=$(getconf CLK_TCK)
now_ms() { date +%s%3N; }
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
results=$workdir/results

# run WHO VALUES KEYS: starts WHO (program, floor or floor-gl) in a fresh folder, waits for its
# shown window, settles 2 s, measures for $seconds and appends one line to $results:
#   who values keys shown_ms cpu_percent pss_kB rss_kB uss_kB dirty_kB
run() {
  local who=$1 values=$2 keys=$3 dir pattern
  dir=$(mktemp -d "$workdir/run-XXXXXX")
  cp "$top/res/beep.mp3" "$dir/"
  # A runtime folder of its own: what a session has there (a sound server, a settings daemon)
  # would otherwise change what is measured, from one caller to the next.
  mkdir -m 700 "$dir/runtime"
  if [ "$keys" -gt 0 ]; then
    # Keyboard keys A, B and C on the three throttle presets.
    printf '[JOY]\nthrottle_A_joy=-1\nthrottle_A_but=65\nthrottle_B_joy=-1\nthrottle_B_but=66\nthrottle_C_joy=-1\nthrottle_C_but=67\n' \
      >"$dir/presets.ini"
  fi
  local start
  start=$(now_ms)
  case $who in
    program)
      pattern='^Orvo Zantor Pedals - '
      (cd "$dir" && XDG_RUNTIME_DIR="$dir/runtime" LD_LIBRARY_PATH="$build/hid/sim" \
        ORVO_SIM_RATE=1000 ORVO_SIM_CONTROLLER=0 ORVO_SIM_VALUES="$values" ORVO_SIM_STATE= \
        exec "$program" >/dev/null 2>"$dir/stderr") &
      ;;
    floor|floor-gl)
      pattern='^Orvo floor$'
      (cd "$dir" && XDG_RUNTIME_DIR="$dir/runtime" ORVO_SIM_VALUES="$values" \
        ORVO_FLOOR_HOT_KEYS="$keys" ORVO_FLOOR_GL=$([ "$who" = floor-gl ] && echo 1 || echo 0) \
        exec "$floor" >/dev/null 2>"$dir/stderr") &
      ;;
  esac
  running_pid=$!
  until xdotool search --all --onlyvisible --pid "$running_pid" --name "$pattern" >/dev/null 2>&1; do
    if ! kill -0 "$running_pid" 2>/dev/null; then
      echo "app_bench: $who ended before its window showed:" >&2
      cat "$dir/stderr" >&2
      exit 1
    fi
    [ $(( $(now_ms) - start )) -gt 20000 ] && { echo "app_bench: no $who window after 20 s" >&2; exit 1; }
    sleep 0.005
  done
  local shown=$(( $(now_ms) - start ))
  if [ "$who" = floor-gl ]; then
    echo "$who $values $keys $shown 0 0 0 0 0" >>"$results"
  else
    sleep 2  # the connection and its live apply
    local ticks0 t0 ticks1 t1 pss rss uss dirty
    ticks0=$(cpu_ticks "$running_pid"); t0=$(now_ms)
    sleep "$seconds"
    ticks1=$(cpu_ticks "$running_pid"); t1=$(now_ms)
    read -r pss rss uss dirty < <(awk '/^Pss:/ {pss = $2} /^Rss:/ {rss = $2}
      /^Private_Clean:/ {clean = $2} /^Private_Dirty:/ {dirty = $2}
      END {print pss, rss, clean + dirty, dirty}' \
      "/proc/$running_pid/smaps_rollup")
    local cpu
    cpu=$(awk -v dt=$(( ticks1 - ticks0 )) -v ticks="$ticks" -v ms=$(( t1 - t0 )) \
      'BEGIN {printf "%.3f", 100 * dt / ticks / (ms / 1000)}')
    echo "$who $values $keys $shown $cpu $pss $rss $uss $dirty" >>"$results"
  fi
  kill "$running_pid" 2>/dev/null || true
  wait "$running_pid" 2>/dev/null || true
  running_pid=
}

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
moving=sweep:4
still=still:32768,16384,0
for values in "$moving" "$still"; do
  for keys in 0 3; do
    for round in $(seq "$rounds"); do
      # Alternate which goes first, so that a drift in the load falls on both.
      if [ $((round % 2)) -eq 1 ]; then
        run program "$values" "$keys"; run floor "$values" "$keys"
      else
        run floor "$values" "$keys"; run program "$values" "$keys"
      fi
    done
  done
done
for _ in $(seq "$rounds"); do run floor-gl "$moving" 0; done
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

awk -v program="$(basename "$program")" -v cores="$(nproc)" -v seconds="$seconds" \
    -v rounds="$rounds" -v before="$load_before" -v after="$load_after" \
    -v moving="$moving" '
  { key = $2 " " $3
    n[$1, key]++; cpu[$1, key] += $5; pss[$1, key] += $6; rss[$1, key] += $7; uss[$1, key] += $8
    dirty[$1, key] += $9
    shown[$1] += $4; starts[$1]++
    if (!(key in seen)) { seen[key] = 1; order[++cases] = key } }
  END {
    printf "program %s, simulated controller at 1000 reports/s; floor bench/app_floor\n", program
    printf "%d x %d s per case and program, alternating; load average %s before, %s after (%d cores)\n\n",
      rounds, seconds, before, after, cores
    printf "%-22s %-5s %9s %9s %7s\n", "pedal", "keys", "CPU prog", "CPU floor", "ratio"
    for (i = 1; i <= cases; i++) {
      k = order[i]; split(k, f, " ")
      cp = cpu["program", k] / n["program", k]; cf = cpu["floor", k] / n["floor", k]
      printf "%-22s %-5s %8.2f%% %8.2f%% %7.2f\n",
        (f[1] == moving ? "moving (" f[1] ")" : "still"), f[2], cp, cf, (cf > 0 ? cp / cf : 0)
    }
    printf "\nmemory in MB, program / floor\n"
    printf "%-22s %-5s %15s %15s %15s %15s\n", "pedal", "keys", "PSS", "USS", "USS dirty", "RSS"
    for (i = 1; i <= cases; i++) {
      k = order[i]; split(k, f, " ")
      np = n["program", k]; nf = n["floor", k]
      printf "%-22s %-5s %6.1f / %6.1f %6.1f / %6.1f %6.1f / %6.1f %6.1f / %6.1f\n",
        (f[1] == moving ? "moving (" f[1] ")" : "still"), f[2],
        pss["program", k] / np / 1024, pss["floor", k] / nf / 1024,
        uss["program", k] / np / 1024, uss["floor", k] / nf / 1024,
        dirty["program", k] / np / 1024, dirty["floor", k] / nf / 1024,
        rss["program", k] / np / 1024, rss["floor", k] / nf / 1024
    }
    printf "\nstart to shown window (mean): program %d ms, floor %d ms, floor with the GL start-up %d ms\n",
      shown["program"] / starts["program"], shown["floor"] / starts["floor"],
      shown["floor-gl"] / starts["floor-gl"]
    printf "  so the GL start-up takes about %d ms of the program%s start\n",
      shown["floor-gl"] / starts["floor-gl"] - shown["floor"] / starts["floor"], "\047s"
    printf "targets: CPU ratio <= 1.1 with a moving pedal, PSS < 50 MB, shown < 1000 ms\n"
  }' "$results"
