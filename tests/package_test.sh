#!/usr/bin/env bash
# The Debian package holds exactly what `cmake --install` installs, under the install prefix, and
# its dependencies were computed from the programs' libraries.
#
#   tests/package_test.sh BUILD_DIR [DEB]
#
# Without DEB the package is made from BUILD_DIR by cpack into a temporary folder first.
set -euo pipefail

build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if [ $# -ge 2 ]; then
    deb=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
else
    (cd "$work" && cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1) ||
        { cat "$work/cpack.log"; exit 1; }
    deb=$(ls "$work"/out/*.deb)
fi
prefix=$(sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p' "$build/CMakeCache.txt")
status=0
fail() {
    echo "FAIL: $*"
    status=1
}

DESTDIR=$work/root cmake --install "$build" >/dev/null
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\.||' | sort)
diff <(cd "$work/root" && find . ! -type d | sed 's|^\.||' | sort) <(echo "$files") ||
    fail "$(basename "$deb") does not hold exactly the installed files"
grep -v "^$prefix/" <<<"$files" && fail "files outside $prefix"
grep -E '\.(a|h|hpp)$|_tests?$|bench|samplegen|screenshots' <<<"$files" && fail "build-only files packaged"

depends=$(dpkg-deb -f "$deb" Depends)
grep -q 'libstdc++6' <<<"$depends" || fail "no computed dependencies: $depends"
if grep -q '/bin/ornexa$' <<<"$files"; then
    grep -q 'libqt6widgets6' <<<"$depends" || fail "the window program's Qt is not a dependency: $depends"
fi
for field in Maintainer Description Section; do
    [ -n "$(dpkg-deb -f "$deb" "$field")" ] || fail "no $field"
done

[ $status -eq 0 ] && echo "$(basename "$deb"): the installed files, depends on $depends"
exit $status
