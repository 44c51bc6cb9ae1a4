#!/usr/bin/env bash
# Kills an import, a build and a stream of adds with SIGKILL at random
# points, ROUNDS times each, each time on a fresh copy of a default data
# folder. After every kill the folder must pass `zvconfig check` and hold
# every entry it held before the operation began (and every add that had
# reported success).
#
#   crash_test.sh MKDATA ZVCONFIG [ROUNDS]     (ROUNDS defaults to 5)
set -uo pipefail
mkdata=${1:?usage: crash_test.sh MKDATA ZVCONFIG [ROUNDS]}
zvconfig=${2:?}
rounds=${3:-5}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

"$mkdata" --out "$dir/base" >"$dir/mkdata.log" 2>&1 || { cat "$dir/mkdata.log" >&2; exit 1; }

# Code and word of every entry, sorted: what must survive.
entries() { "$zvconfig" --data "$1" list | cut -f2,3 | LC_ALL=C sort; }
entries "$dir/base" >"$dir/base.entries"

# New entries with made-up codes, for the import and the build.
python3 - "$dir" <<'PY'
import random, sys
random.seed(11)
d = sys.argv[1]
with open(d + "/extra.txt", "w", encoding="utf-8") as out:
    for _ in range(20000):
        w = "".join(chr(0x4E00 + random.randrange(20000)) for _ in range(3))
        c = "".join(random.choice("abcdefghijklmnopqrstuvwxy") for _ in range(4))
        out.write(f"{w}\t{c}\n")
with open(d + "/adds.txt", "w", encoding="utf-8") as out:
    for i in range(60):
        w = "".join(chr(0x4E00 + random.randrange(20000)) for _ in range(2))
        out.write(f"{w} zz{chr(97 + i % 25)}{chr(97 + i // 25 % 25)}\n")
PY
"$zvconfig" --data "$dir/base" list | awk -F'\t' '{print $3 "\t" $2}' >"$dir/full.txt"
cat "$dir/extra.txt" >>"$dir/full.txt"

run_import() { exec "$zvconfig" --yes --data "$1" import "$dir/extra.txt" >/dev/null 2>&1; }
run_build() { exec "$zvconfig" --yes --data "$1" build "$dir/full.txt" >/dev/null 2>&1; }
# Each add that reports success is logged after it returns.
run_adds() {
  while read -r word code; do
    "$zvconfig" --data "$1" add "$word" "$code" >/dev/null 2>&1 && printf '%s\t%s\n' "$code" "$word" >>"$1.added"
  done <"$dir/adds.txt"
}

# How long an operation takes uninterrupted, in milliseconds.
duration_ms() {
  rm -rf "$dir/probe" && cp -r "$dir/base" "$dir/probe"
  local t0 t1
  t0=$(date +%s%N)
  ( "run_$1" "$dir/probe" )
  t1=$(date +%s%N)
  echo $(((t1 - t0) / 1000000))
}

# The shell's own notes on killed jobs go nowhere; the test's go to fd 3.
exec 3>&2
failed=0
for op in import build adds; do
  ms=$(duration_ms "$op")
  [ "$ms" -lt 1 ] && ms=1
  for ((r = 1; r <= rounds; r++)); do
    work="$dir/work"
    rm -rf "$work" "$work.added" && cp -r "$dir/base" "$work" && : >"$work.added"
    ( "run_$op" "$work" ) &
    pid=$!
    # A random point within the operation's own time.
    sleep "$(awk -v ms="$ms" -v s="$RANDOM" 'BEGIN { printf "%.3f", ms * (s % 1000) / 1000 / 1000 }')"
    kill -9 -- "$pid" 2>/dev/null
    pkill -9 -f -- "--data $work " 2>/dev/null
    { wait "$pid"; } 2>/dev/null
    problems=$("$zvconfig" --data "$work" check 2>&1)
    if [ $? -ne 0 ] || [ -n "$problems" ]; then
      echo "crash: $op round $r: check failed:" >&3
      echo "$problems" | head -5 >&3
      failed=1
      continue
    fi
    entries "$work" >"$dir/now.entries"
    lost=$(LC_ALL=C comm -23 "$dir/base.entries" "$dir/now.entries" | wc -l)
    LC_ALL=C sort "$work.added" >"$dir/added.entries"
    lostAdds=$(LC_ALL=C comm -23 "$dir/added.entries" "$dir/now.entries" | wc -l)
    if [ "$lost" -ne 0 ] || [ "$lostAdds" -ne 0 ]; then
      echo "crash: $op round $r: $lost entries held before and $lostAdds reported adds are gone" >&3
      failed=1
    fi
  done
  echo "crash: $op killed $rounds times at random points of its ${ms} ms" >&3
done 2>/dev/null
[ $failed -eq 0 ] && echo "crash: every folder sound, nothing lost" >&3
exit $failed
