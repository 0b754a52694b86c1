#!/usr/bin/env bash
# PackageTest.sh CPACK CPACK_CONFIG README: makes the Debian package from a built tree, unpacks
# it into a temporary folder, starts the unpacked program under a Turkish locale, and checks
# that it runs on the translation from the unpacked tree and that lintian accepts the package
# with no warning the README does not explain.
set -euo pipefail
cpack=$1 config=$2 readme=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

"$cpack" --config "$config" -B "$work/out" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack"; }
deb=$(find "$work/out" -maxdepth 1 -name 'tavlen_*.deb')
[[ "$(basename "$deb")" == tavlen_1.6-1_amd64.deb ]] || fail "package file is '$deb'"

tree="$work/tree"
dpkg-deb -x "$deb" "$tree"
! find "$tree" -iname '*standin*' | grep -q . || fail "the SQL Server stand-in is in the package"

# The translation is mapped into the program's memory while it is loaded.
translation="$tree/usr/share/tavlen/translations/tavlen_tr.qm"
QT_QPA_PLATFORM=offscreen LC_ALL=tr_TR.UTF-8 LANGUAGE= "$tree/usr/bin/tavlen" 2>"$work/stderr" &
pid=$!
loaded=no
for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    if grep -qF "$translation" "/proc/$pid/maps" 2>/dev/null; then loaded=yes; break; fi
    sleep 0.1
done
sleep 1
kill -0 "$pid" 2>/dev/null || { cat "$work/stderr"; fail "the unpacked tavlen did not keep running"; }
kill "$pid"
wait "$pid" 2>/dev/null || true
[[ $loaded == yes ]] || fail "the unpacked tavlen did not load $translation"

appstreamcli validate --no-net "$tree"/usr/share/metainfo/*.metainfo.xml >"$work/appstream.log" ||
    { cat "$work/appstream.log"; fail "appstreamcli rejects the metainfo"; }

lintian --fail-on error "$deb" >"$work/lintian.log" 2>&1 || { cat "$work/lintian.log"; fail "lintian reports errors"; }
cat "$work/lintian.log"
# Every remaining warning must be one the README's packaging section explains.
for tag in $(awk '$1 == "W:" { print $3 }' "$work/lintian.log" | sort -u); do
    grep -qF "\`$tag\`" "$readme" || fail "lintian warning $tag is not explained in the README"
done
echo "package_test: passed"
