#!/usr/bin/env bash
# Renders the window into PNG pictures with Qt's offscreen platform (no
# display needed).
#   scripts/screenshot.sh [build folder]
#       every picture of the README into docs/: the window as it opens (with
#       the hint of the variance row showing), and the pdf and cdf pages of
#       the normal, the binomial and the non-central chi-square distribution,
#       and the tail views of the pdf page (two-sided, critical values,
#       between a and b, the upper p-value of a rank test);
#   scripts/screenshot.sh BUILD OUTPUT [vokt options]
#       one picture, the window as it opens with the hint of the variance row,
#       changed by the options of "vokt --screenshot" (--page N, --type NAME,
#       --params "P1;P2", --x VALUE, --size WxH, --hint ROW, --view two|between,
#       --b VALUE, --alpha A).
# A picture that cannot be made (a type this build does not have, an error
# in its parameters) is reported, the others are still made, and the exit
# status is 1.
set -uo pipefail
build=${1:-build}
if [ ! -x "$build/vokt" ]; then
  echo "Build the window first: cmake --build $build --target vokt" >&2
  exit 1
fi

failed=0
# shot OUTPUT [vokt options]
shot() {
  local out=$1
  shift
  mkdir -p "$(dirname "$out")"
  if QT_QPA_PLATFORM=offscreen "$build/vokt" --screenshot "$out" "$@" </dev/null \
      2> >(grep -v -e XDG_RUNTIME_DIR -e propagateSizeHints -e "support raise" >&2); then
    echo "Wrote $out"
  else
    echo "Could not make $out" >&2
    failed=1
  fi
}

if [ $# -ge 2 ]; then
  shot "$2" --hint 1 "${@:3}"
  exit $failed
fi

shot docs/vokt-window.png --hint 1 --refuse 1.5

# The graph pages: a larger window, x away from the centre so both sides of
# the density and the guide of the distribution function show.
graph_size=900x560
# name | type | parameters | x
while IFS='|' read -r name type params x; do
  for page in pdf cdf; do
    n=0
    [ "$page" = cdf ] && n=1
    shot "docs/$name-$page.png" --type "$type" --params "$params" --x "$x" --page $n --size $graph_size
  done
done <<'EOF'
normal|normal|0;1;1|1.5
binomial|binomial|10;0.3|4
noncentral-chi2|non-central chi2|4;6|14
EOF

# The tail views: name | type | parameters | x | view options
while IFS='|' read -r name type params x opts; do
  # shellcheck disable=SC2086
  shot "docs/$name.png" --type "$type" --params "$params" --x "$x" --size $graph_size $opts
done <<'EOF'
view-two-sided|t|14|2.3|--view two
view-critical|binomial|20;0.4|10|--view two --alpha 0.05
view-between|normal|0;1;1|-1|--view between --b 1
view-upper|Kruskal-Wallis|3;3;3|5.6889|--view two
EOF
exit $failed
