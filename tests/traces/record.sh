#!/usr/bin/env bash
# Types each key script of SCRIPTS (one a line) with `zvtype --trace` on the
# data folder DATA, one process a script, in order, and prints for each the
# script ("> " line), the trace, the typed text and "<" with zvtype's exit
# status. The folder learns from every script as a user's would, so a run
# is the same only from the same folder: start from a fresh one.
#
#   record.sh ZVTYPE DATA SCRIPTS
set -uo pipefail
zvtype=${1:?usage: record.sh ZVTYPE DATA SCRIPTS}
data=${2:?usage: record.sh ZVTYPE DATA SCRIPTS}
scripts=${3:?usage: record.sh ZVTYPE DATA SCRIPTS}
while IFS= read -r script; do
  printf '> %s\n' "$script"
  "$zvtype" --data "$data" --now 2026-05-07T12:40:00 --clipboard '剪贴板里的字' --trace --keys "$script" 2>&1
  printf '< %d\n' $?
done < "$scripts"
