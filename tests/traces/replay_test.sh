#!/usr/bin/env bash
# Types the key scripts of a recorded trace file again, on a default data
# folder made afresh by mkdata, and fails on any difference: the same
# candidates, order, pages, commits and modes on every key.
#
#   replay_test.sh MKDATA ZVTYPE RECORDED.trace.gz
#
# After a change of behaviour that is meant, record anew from a fresh folder:
#   make_scripts.sh 250 >scripts; mkdata --out data
#   record.sh zvtype data scripts | gzip -9 >default-data.trace.gz
set -uo pipefail
mkdata=${1:?usage: replay_test.sh MKDATA ZVTYPE RECORDED.trace.gz}
zvtype=${2:?}
recorded=${3:?}
here=$(cd "$(dirname "$0")" && pwd)
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

"$mkdata" --out "$dir/data" >"$dir/mkdata.log" 2>&1 || { cat "$dir/mkdata.log" >&2; exit 1; }
gzip -dc "$recorded" >"$dir/recorded" || exit 1
sed -n 's/^> //p' "$dir/recorded" >"$dir/scripts"
bash "$here/record.sh" "$zvtype" "$dir/data" "$dir/scripts" >"$dir/now"
if ! cmp -s "$dir/recorded" "$dir/now"; then
  echo "traces differ from $recorded (recorded, then now):" >&2
  diff "$dir/recorded" "$dir/now" | head -n 40 >&2
  exit 1
fi
echo "traces: $(wc -l <"$dir/scripts") scripts typed as recorded"
