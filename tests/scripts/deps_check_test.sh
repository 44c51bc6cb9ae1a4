#!/usr/bin/env bash
# scripts/deps fails, naming the command, when a command the scripts or the
# tests run is not on PATH, and passes when every one is. PATH is narrowed to
# a folder of links to this machine's commands, one left out at a time.
set -uo pipefail
deps=${1:?usage: deps_check_test.sh PATH/TO/scripts/deps}
bash=$(command -v bash)
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

mapfile -t commands < <("$bash" "$deps" --list)
[ ${#commands[@]} -gt 10 ] || fail "deps --list gave ${#commands[@]} commands"
for name in wine wineserver wineboot tmux clang opencc_dict x86_64-w64-mingw32-g++-posix i686-w64-mingw32-g++-posix; do
  printf '%s\n' "${commands[@]}" | grep -qx -- "$name" || fail "deps does not check $name"
done

# A folder holding a link to each command but the one left out.
narrow() {
  rm -rf "$dir/bin"
  mkdir -p "$dir/bin"
  local c
  for c in "${commands[@]}"; do
    [ "$c" = "${1:-}" ] && continue
    local real
    real=$(command -v "$c") || { fail "this machine lacks $c (run scripts/deps)"; continue; }
    ln -s "$real" "$dir/bin/$c"
  done
}

narrow
PATH=$dir/bin "$bash" "$deps" --check 2>"$dir/err" || fail "every command present, yet: $(cat "$dir/err")"

for left in wine tmux opencc_dict i686-w64-mingw32-g++-posix; do
  narrow "$left"
  if PATH=$dir/bin "$bash" "$deps" --check 2>"$dir/err"; then
    fail "$left missing, yet the check passed"
  elif ! grep -q -- " $left\( \|$\)" "$dir/err"; then
    fail "$left missing, but the message does not name it: $(cat "$dir/err")"
  fi
done

[ $failures -eq 0 ] && echo "deps check: ok"
exit $((failures > 0))
