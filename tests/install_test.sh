#!/usr/bin/env bash
# `cmake --install` of a build tree into a temporary prefix, checked as a user and a desktop would
# see it: the installed ornexa-report finds its threshold files in share/ornexa from any working
# folder and clusters as the build tree's program does; the desktop entry, the AppStream metainfo,
# the MIME types, the manual pages and the bash completion pass their own tools.
#
#   tests/install_test.sh BUILD_DIR SOURCE_DIR GUI(ON|OFF)
set -euo pipefail

build=$(cd "$1" && pwd)
src=$(cd "$2" && pwd)
gui=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
status=0
fail() {
    echo "FAIL: $*"
    status=1
}

cmake --install "$build" --prefix "$prefix" >"$work/install.log"

# Exactly these files: the two programs and their data, nothing of the tests, tools or benchmarks.
expected=(
    bin/ornexa-report
    lib/systemd/user/ornexa-watch@.service
    share/bash-completion/completions/ornexa-report
    share/man/man1/ornexa-report.1
    share/mime/packages/org.example.ornexa.xml
    share/ornexa/Rand.acc
    share/ornexa/Seq.acc
    share/ornexa/ratings.toml
)
if [ "$gui" = ON ]; then
    expected+=(
        bin/ornexa
        share/applications/org.example.ornexa.desktop
        share/icons/hicolor/scalable/apps/org.example.ornexa.svg
        share/man/man1/ornexa.1
        share/metainfo/org.example.ornexa.metainfo.xml
    )
fi
diff <(printf '%s\n' "${expected[@]}" | sort) <(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | sort) ||
    fail "the installed files are not the expected ones"
for program in "$prefix"/bin/*; do
    file -b "$program" | grep -q '^ELF' || fail "$program is not a program"
done

# The installed program, run from another folder, finds both threshold files and says nothing.
sta=$src/samples/statistics-usa.sta
sim=$src/samples/simulation-bp1.sim
mkdir "$work/elsewhere"
cd "$work/elsewhere"
"$prefix/bin/ornexa-report" "$sta" --sim "$sim" >"$work/installed.txt" 2>"$work/installed.err" ||
    fail "the installed ornexa-report exits $?"
[ -s "$work/installed.err" ] && fail "the installed ornexa-report warns: $(cat "$work/installed.err")"
grep -q 'was not found' "$work/installed.txt" && fail "the installed text report tells of a missing file"
"$build/src/cli/ornexa-report" "$sta" --sim "$sim" >"$work/built.txt" 2>/dev/null
diff "$work/built.txt" "$work/installed.txt" >/dev/null || fail "the installed program's report differs from the build tree's"
"$prefix/bin/ornexa-report" --json "$sta" --sim "$sim" >"$work/installed.json"
"$build/src/cli/ornexa-report" --json "$sta" --sim "$sim" >"$work/built.json"
found=$(jq -r '.thresholds[] | "\(.file) \(.path) \(.message)"' "$work/installed.json")
[ "$found" = "Rand.acc $prefix/share/ornexa/Rand.acc null
Seq.acc $prefix/share/ornexa/Seq.acc null" ] || fail "threshold files: $found"
clusters='[.analysis[].simulation | select(. != null) | .clusters[] | {usage, size, threshold, result, members}]'
[ "$(jq -c "$clusters" "$work/installed.json")" = "$(jq -c "$clusters" "$work/built.json")" ] ||
    fail "the installed program's cluster runs differ from the build tree's"
[ "$(jq '[.analysis[].simulation | select(. != null) | .clusters[] | select(.result > 0)] | length' \
    "$work/installed.json")" -gt 0 ] || fail "no cluster run found clusters"

# Without share/ornexa the warning names the file and both folders searched, and the run succeeds.
mkdir -p "$work/bare/bin"
cp "$prefix/bin/ornexa-report" "$work/bare/bin/"
"$work/bare/bin/ornexa-report" "$sta" --sim "$sim" >/dev/null 2>"$work/bare.err" || fail "a missing threshold file fails the run"
grep -qx "ornexa-report: Seq.acc was not found in $work/bare/bin, $work/bare/share/ornexa: every object with getpages takes part in the clustering" \
    "$work/bare.err" || fail "no warning of the missing Seq.acc: $(cat "$work/bare.err")"

# The MIME types: well formed, accepted by update-mime-database, and recognised by name and by
# their first lines (a Statistics report holds "*BPP" lines too, and must still be one).
mime=$prefix/share/mime/packages/org.example.ornexa.xml
xmllint --noout "$mime" || fail "xmllint rejects $mime"
# No schema of the format is shipped; its elements are these (a misspelt one is silently ignored).
known="mime-info mime-type comment sub-class-of generic-icon glob magic match"
others=$(xmllint --xpath "//*[not($(printf "local-name()='%s' or " $known)false())]" "$mime" 2>/dev/null || true)
[ -z "$others" ] || fail "elements $mime may not hold: $others"
mkdir -p "$work/xdg/mime/packages"
cp /usr/share/mime/packages/freedesktop.org.xml "$mime" "$work/xdg/mime/packages/"
update-mime-database "$work/xdg/mime" >"$work/mime.log" 2>&1 || fail "update-mime-database: $(cat "$work/mime.log")"
grep -qiE 'error|warning|unknown' "$work/mime.log" && fail "update-mime-database: $(cat "$work/mime.log")"
cp "$sta" "$work/stat-no-suffix"
cp "$sim" "$work/sim-no-suffix"
cp "$src/samples/statistics-deu.sta" "$work/german.sta"
printf 'A letter\nHDR is here\n' >"$work/letter"
mime_of() {
    XDG_DATA_HOME=$work/xdg XDG_DATA_DIRS=$work/xdg gio info -a standard::content-type "$1" 2>/dev/null |
        sed -n 's/^ *standard::content-type: //p'
}
for pair in "stat-no-suffix text/x-ornexa-statistics" "german.sta text/x-ornexa-statistics" \
    "sim-no-suffix text/x-ornexa-simulation" "letter text/plain"; do
    read -r name type <<<"$pair"
    [ "$(mime_of "$work/$name")" = "$type" ] || fail "$name is $(mime_of "$work/$name"), not $type"
done

# The desktop entry and the metainfo.
if [ "$gui" = ON ]; then
    desktop=$prefix/share/applications/org.example.ornexa.desktop
    desktop-file-validate "$desktop" || fail "desktop-file-validate rejects $desktop"
    for type in $(sed -n 's/^MimeType=//p' "$desktop" | tr ';' ' '); do
        grep -q "<mime-type type=\"$type\">" "$mime" || fail "the desktop entry's $type is not defined"
    done
    appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/org.example.ornexa.metainfo.xml" >"$work/as.log" ||
        fail "appstreamcli: $(cat "$work/as.log")"
    for shot in "$src"/docs/screenshots/*.png; do
        grep -q "/$(basename "$shot")</image>" "$prefix/share/metainfo/org.example.ornexa.metainfo.xml" ||
            fail "the metainfo lacks $(basename "$shot")"
    done
    xmllint --noout "$prefix/share/icons/hicolor/scalable/apps/org.example.ornexa.svg" || fail "the icon is no SVG"
fi

# The manual pages render without a warning, and ornexa-report's page names every option of --help.
for page in "$prefix"/share/man/man1/*.1; do
    warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
    [ "$(MANWIDTH=80 man -l "$page" 2>/dev/null | wc -l)" -gt 40 ] || fail "$(basename "$page") renders almost nothing"
done
page=$prefix/share/man/man1/ornexa-report.1
for option in $("$prefix/bin/ornexa-report" --help | grep -oE -- '--[a-z][a-z-]*' | sort -u); do
    grep -qF -- "${option//-/\\-}" "$page" || fail "ornexa-report.1 does not document $option"
done

# The completion loads and offers every option of --help.
completion=$prefix/share/bash-completion/completions/ornexa-report
offered=$(bash -c "source '$completion'; COMP_WORDS=(ornexa-report --); COMP_CWORD=1; _ornexa_report; printf '%s\n' \"\${COMPREPLY[@]}\"")
for option in $("$prefix/bin/ornexa-report" --help | grep -oE -- '--[a-z][a-z-]*' | sort -u); do
    grep -qx -- "$option" <<<"$offered" || fail "the completion does not offer $option"
done

[ $status -eq 0 ] && echo "installed under $prefix: every check passed"
exit $status
