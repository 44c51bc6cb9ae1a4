#!/usr/bin/env bash
# Prints COUNT random key scripts, one a line, the same ones for the same
# SEED: mostly code letters with the keys that commit, page, edit and
# switch modes between them, as a typist's stream of keys would have them.
#
#   make_scripts.sh COUNT [SEED]
set -euo pipefail
count=${1:?usage: make_scripts.sh COUNT [SEED]}
RANDOM=${2:-20261209}

letters=(a b c d e f g h i j k l m n o p q r s t u v w x y)
commits=('{Space}' '{Space}' '{Space}' 1 2 3 ';' "'" '{Enter}')
others=(
  , . / '\' '{Backspace}' '{Esc}' '{Left}' '{Right}' '{Home}' '{End}' '{Up}' '{Down}'
  = - '[' ']' '{PageUp}' '{PageDown}' '{LShift}' '{RShift}' z zz A B W '`' 0 5 9 '{Num1}'
  '{Num.}' '{Delete}' '{Tab}' '{Wait 600}' '{CapsLock}' '{F5}' '"' '<' '>' '?' '!' '@' '$'
)

for ((n = 0; n < count; ++n)); do
  script=
  words=$((3 + RANDOM % 8))
  for ((w = 0; w < words; ++w)); do
    len=$((1 + RANDOM % 4))
    for ((k = 0; k < len; ++k)); do script+=${letters[RANDOM % ${#letters[@]}]}; done
    case $((RANDOM % 10)) in
      0|1|2|3|4) script+=${commits[RANDOM % ${#commits[@]}]} ;;
      5|6|7) script+=${others[RANDOM % ${#others[@]}]} ;;
      8) script+=${others[RANDOM % ${#others[@]}]}${commits[RANDOM % ${#commits[@]}]} ;;
      9) ;;
    esac
  done
  printf '%s\n' "$script"
done
