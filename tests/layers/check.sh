#!/bin/bash
# tests/layers/check.sh SRC_DIR [--picture]
#
# The layers of src/ point one way. From top to bottom:
#
#   app -> print, exchange, help -> view -> menu -> store, graphics -> platform
#
# A file may include headers of its own layer and of any layer below it; a
# lower layer reaches a higher one only through a slot the higher one fills
# at start-up, never through an #include. Between layers of the same rank
# only the edges named in SIBLINGS are allowed, so that they cannot run in
# a circle. ALLOWED names single includes that may run upwards (none today).
#
# Exits 1 and names every include that runs back up. With --picture it
# prints the layer-to-layer edges and their include counts as a dot graph.
set -u
src=${1:?usage: check.sh SRC_DIR [--picture]}
picture=${2:-}

declare -A rank=([app]=5 [print]=4 [exchange]=4 [help]=4 [view]=3 [menu]=2
                 [store]=1 [graphics]=1 [platform]=0)
SIBLINGS=" print>exchange store>graphics "
ALLOWED=" "

declare -A edges=()
bad=0
while IFS= read -r file; do
  rel=${file#"$src"/}
  from=${rel%%/*}
  [[ -n ${rank[$from]:-} ]] || { echo "unknown layer of $rel"; bad=1; continue; }
  while IFS= read -r header; do
    to=${header%%/*}
    [[ -n ${rank[$to]:-} && $to != "$from" ]] || continue
    edges[$from>$to]=$(( ${edges[$from>$to]:-0} + 1 ))
    ok=0
    if (( rank[$to] < rank[$from] )); then ok=1
    elif (( rank[$to] == rank[$from] )) && [[ $SIBLINGS == *" $from>$to "* ]]; then ok=1
    elif [[ $ALLOWED == *" $rel:$header "* ]]; then ok=1
    fi
    if (( !ok )); then
      echo "$rel includes $header: $from is below $to or beside it"
      bad=1
    fi
  done < <(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file")
done < <(find "$src" -name '*.cpp' -o -name '*.h' | sort)

if [[ $picture == --picture ]]; then
  echo "digraph layers {"
  echo "  rankdir=TB;"
  for e in $(printf '%s\n' "${!edges[@]}" | sort); do
    echo "  ${e%%>*} -> ${e#*>} [label=${edges[$e]}];"
  done
  echo "}"
fi
exit $bad
