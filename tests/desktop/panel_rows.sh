#!/usr/bin/env bash
# The notations panel writes every row as the converter's --to does: each
# "# rows of: POSITION[; FLAGS][; NAME=FLAGS...]" table in the scenario is
# played through the converter, row by row, and must give the same text
# (or, for a grid row that shows a reason, refuse the position as outside
# the grid's area).
# Usage: panel_rows.sh CONVERTER SCENARIO
set -uo pipefail
converter=$1 scenario=$2 failures=0 tables=0 position= flags= extras=()
while IFS= read -r line; do
    if [[ $line == '# rows of: '* ]]; then
        IFS=';' read -ra parts <<<"${line#'# rows of: '}"
        position=${parts[0]} flags= extras=()
        for part in "${parts[@]:1}"; do
            part=${part# }
            if [[ $part == *=* ]]; then extras+=("$part"); else flags=$part; fi
        done
        ((tables++))
        continue
    fi
    [[ -z $line ]] && position=
    [[ -n $position && $line =~ ^expect\ txtNotation_([a-z-]+)\.(text|placeholder)\ \"(.*)\"$ ]] || continue
    name=${BASH_REMATCH[1]} what=${BASH_REMATCH[2]} wanted=${BASH_REMATCH[3]}
    wanted=${wanted//\\\"/\"}
    wanted=${wanted//\\\\/\\}
    # The window's own lengths where they differ from the converter's.
    case $name in bng | irish) own=(--grid-figures 8) ;; *) own=() ;; esac
    for extra in "${extras[@]}"; do
        [[ $extra == "$name="* ]] && read -ra own <<<"${extra#*=}"
    done
    # shellcheck disable=SC2086
    # The converter's note on the British grid's accuracy is said once per
    # run; the window says it beside the row instead.
    got=$(printf '%s\n' "$position" | "$converter" --to "$name" $flags "${own[@]}" 2>&1 | sed '/without OSTN15/d')
    # A row's grey reason is its own short words; the converter must refuse too.
    if [[ $what == text && $got != "$wanted" ]] || [[ $what == placeholder && $got != *": outside the area of the "* ]]; then
        echo "$position, $name $flags ${own[*]}: the window shows \"$wanted\", the converter writes \"$got\""
        ((failures++))
    fi
done <"$scenario"
# A scenario that lost its tables would pass without checking anything.
((tables >= 5)) || { echo "only $tables tables in $scenario"; exit 1; }
exit $((failures > 0))
