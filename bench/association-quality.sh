#!/bin/bash
# How well a running association service answers: for each cue of a list "cue TAB a,b,c" it asks
# for 200 words and prints recall@200, recall@50 and the mean reciprocal rank of the first
# expected associate; for a list "inflected TAB base" it prints the recall@200 of each inflected
# keyword against the associates of its base form, beside the base form's own recall.
#
#   bench/association-quality.sh [URL] [CUES] [INFLECTED]
#
# URL defaults to http://127.0.0.1:27431 (start it with build/lexigrove-assocd). Words are
# compared with ASCII letters folded to lower case, so "Tor" matches "tor".
set -euo pipefail

# The development lists lie in ../shared/eval beside the repository.
eval_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/shared/eval
url=${1:-http://127.0.0.1:27431}
cues=${2:-$eval_dir/dev-cues.tsv}
inflected=${3:-$eval_dir/dev-inflected.tsv}
path=/cgi-bin/meta/meta.ger1-asso

# The words of the reply page, one a line, in rank order: the desktop program's pattern.
words_for() {
    curl -sf --max-time 10 --data-urlencode "eingabe=$1" --data "anzahl=200" "$url$path" |
        grep -o '<center>[^<]*ueber <a [^>]*>[^<]*</a></center>' |
        sed -e 's/.*">//' -e 's#</a></center>##'
}

# stdin: the answer; $1: the expected associates, comma-separated. Prints "found@200 found@50
# expected reciprocal-rank".
score() {
    awk -v expected="$1" '
        BEGIN { n = split(tolower(expected), want, ","); for (i = 1; i <= n; i++) wanted[want[i]] = 1 }
        { w = tolower($0); if ((w in wanted) && !(w in seen)) { seen[w] = NR; if (!first) first = NR } }
        END {
            for (w in seen) { all++; if (seen[w] <= 50) top++ }
            printf "%d %d %d %f\n", all, top, n, first ? 1 / first : 0
        }'
}

declare -A expected_of
total=0 hits=0 top=0 rr=0 cuecount=0
while IFS=$'\t' read -r cue list; do
    [[ -z "$cue" || "$cue" == \#* ]] && continue
    expected_of[$cue]=$list
    read -r all top50 n recip < <(words_for "$cue" | score "$list")
    total=$((total + n)) hits=$((hits + all)) top=$((top + top50))
    rr=$(awk -v a="$rr" -v b="$recip" 'BEGIN { print a + b }')
    cuecount=$((cuecount + 1))
    printf '%-14s %d/%d in 200, %d in 50, first at %s\n' "$cue" "$all" "$n" "$top50" \
        "$(awk -v r="$recip" 'BEGIN { print (r > 0 ? int(1 / r + 0.5) : "-") }')"
done <"$cues"
awk -v h="$hits" -v t="$top" -v n="$total" -v rr="$rr" -v c="$cuecount" 'BEGIN {
    printf "cues %d: recall@200 %.3f  recall@50 %.3f  MRR %.3f\n", c, h / n, t / n, rr / c }'

ih=0 bh=0 in=0
while IFS=$'\t' read -r form base; do
    [[ -z "$form" || "$form" == \#* ]] && continue
    list=${expected_of[$base]:-}
    [ -z "$list" ] && { echo "$form: base form $base is not a cue, skipped"; continue; }
    read -r a _ n _ < <(words_for "$form" | score "$list")
    read -r b _ _ _ < <(words_for "$base" | score "$list")
    ih=$((ih + a)) bh=$((bh + b)) in=$((in + n))
    printf '%-14s %d/%d   (%s: %d/%d)\n' "$form" "$a" "$n" "$base" "$b" "$n"
done <"$inflected"
awk -v a="$ih" -v b="$bh" -v n="$in" 'BEGIN {
    printf "inflected: recall@200 %.3f, their base forms %.3f, ratio %.2f\n", a / n, b / n, b ? a / b : 0 }'
