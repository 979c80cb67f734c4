#!/usr/bin/env bash
# RM Tool and mbpoll side by side against one relaymo-sim.
#
#   bench/side-by-side.sh [--seconds 60] [--build build] [--trend] [--interval 100]
#
# One simulator on 127.0.0.1 (a free port). At the same time:
#  - RM Tool's real main window, shown on the offscreen platform
#    (bench_monitor_live), monitors 64 registers of the extended area
#    (30321.., word address 0) as 32-bit unsigned values every 100 ms;
#  - mbpoll -m tcp -t 3 -r 321 -c 64 -l 100 polls the same registers.
# Each one's CPU time (user + system) comes from its own rusage: RM Tool's
# per tick (the window and the header words: two requests, two answers),
# mbpoll's per poll (one request, one answer). Prints both, the answers per
# second of each and the ratio RM Tool / mbpoll.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=60
build=build
interval=100
extra=()
while [ $# -gt 0 ]; do
  case "$1" in
    --seconds) seconds=$2; shift 2 ;;
    --build) build=$2; shift 2 ;;
    --interval) interval=$2; shift 2 ;;
    --trend) extra+=(--trend); shift ;;
    *) echo "usage: bench/side-by-side.sh [--seconds S] [--build DIR] [--interval MS] [--trend]" >&2; exit 2 ;;
  esac
done
for p in "$build/bench_monitor_live" "$build/relaymo-sim"; do
  [ -x "$p" ] || { echo "missing $p: cmake --build $build --target bench_monitor_live relaymo-sim" >&2; exit 1; }
done
command -v mbpoll > /dev/null || { echo "mbpoll is not installed (apt-get install mbpoll)" >&2; exit 1; }

work=$(mktemp -d)
sim_pid=
cleanup() {
  [ -z "$sim_pid" ] || kill "$sim_pid" 2> /dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

"$build/relaymo-sim" --port 0 > "$work/sim.out" 2>&1 &
sim_pid=$!
port=
for _ in $(seq 50); do
  port=$(sed -n 's/.*listening on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$work/sim.out" 2> /dev/null || true)
  [ -n "$port" ] && break
  sleep 0.1
done
[ -n "$port" ] || { echo "relaymo-sim did not report its port" >&2; exit 1; }

# mbpoll polls until its SIGINT; its rusage (microseconds) comes from wait4.
/usr/bin/python3 - "$seconds" "$work/mbpoll.out" "$work/mbpoll.time" \
    mbpoll -m tcp -t 3 -r 321 -c 64 -l "$interval" -p "$port" 127.0.0.1 <<'PY' &
import os, signal, sys, time
seconds, out, times, argv = float(sys.argv[1]), sys.argv[2], sys.argv[3], sys.argv[4:]
with open(out, "wb") as f:
    pid = os.fork()
    if pid == 0:
        os.dup2(f.fileno(), 1)
        os.dup2(f.fileno(), 2)
        os.execvp(argv[0], argv)
    time.sleep(seconds)
    os.kill(pid, signal.SIGINT)
    _, _, ru = os.wait4(pid, 0)
with open(times, "w") as t:
    t.write("%.6f %.6f\n" % (ru.ru_utime, ru.ru_stime))
PY
mb_pid=$!

QT_QPA_PLATFORM=offscreen "$build/bench_monitor_live" --port "$port" --seconds "$seconds" \
  --interval "$interval" --area 1 --address 0 --size 64 --datatype 1 --idle 0 "${extra[@]}" \
  > "$work/rm.out" 2>&1 || { cat "$work/rm.out" >&2; exit 1; }
wait "$mb_pid"

rm_answers=$(sed -n 's/^ticks [0-9]*, answers \([0-9]*\),.*/\1/p' "$work/rm.out")
rm_cpu=$(sed -n 's/^RM Tool CPU \([0-9.]*\) s in \([0-9.]*\) s wall.*/\1 \2/p' "$work/rm.out")
rm_split=$(sed -n 's/^of which user \([0-9.]*\) us, system \([0-9.]*\) us.*/\1 \2/p' "$work/rm.out")
# Each poll prints the 64 values, the first one as "[321]: ...".
mb_polls=$(grep -c '^\[321\]:' "$work/mbpoll.out" || true)
mb_cpu=$(awk '{ print $1 + $2 }' "$work/mbpoll.time" | tail -1)
[ -n "$rm_answers" ] && [ -n "$rm_cpu" ] && [ "${mb_polls:-0}" -gt 0 ] || {
  echo "a run did not complete" >&2; cat "$work/rm.out" "$work/mbpoll.out" >&2; exit 1; }

awk -v ra="$rm_answers" -v rc="${rm_cpu% *}" -v rw="${rm_cpu#* }" -v ma="$mb_polls" -v mc="$mb_cpu" \
    -v s="$seconds" -v extra="${extra[*]:-}" -v ru="${rm_split% *}" -v rs="${rm_split#* }" \
    -v mu="$(awk '{ print $1 }' "$work/mbpoll.time")" -v ms="$(awk '{ print $2 }' "$work/mbpoll.time")" 'BEGIN {
  rt = 1e6 * rc / ra; mt = 1e6 * mc / ma;
  printf "RM Tool%s: %d ticks answered in %.1f s (%.2f per s), CPU %.3f s, %.1f us per tick\n", \
         (extra == "" ? "" : " (" extra ")"), ra, rw, ra / rw, rc, rt;
  printf "mbpoll:  %d polls answered in %d s (%.2f per s), CPU %.3f s, %.1f us per poll\n", ma, s, ma / s, mc, mt;
  printf "  user / system per answer: RM Tool %.1f / %.1f us, mbpoll %.1f / %.1f us\n", \
         ru, rs, 1e6 * mu / ma, 1e6 * ms / ma;
  printf "ratio (RM Tool per tick / mbpoll per poll): %.2f\n", rt / mt;
}'
