#!/usr/bin/env bash
# check_install.sh BUILD_DIR READ_ME_PROBE
set -euo pipefail
build=$1
probe=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null

for file in \
    bin/sievewright \
    share/doc/sievewright/README.html \
    share/doc/sievewright/copyright \
    share/doc/sievewright/changelog.gz \
    share/man/man1/sievewright.1.gz \
    share/metainfo/invalid.brackwen.Sievewright.metainfo.xml \
    share/applications/sievewright.desktop \
    share/mime/packages/sievewright-regexp.xml \
    share/icons/hicolor/scalable/apps/sievewright.svg \
    share/icons/hicolor/scalable/mimetypes/application-x-sievewright-regexp.svg; do
    [ -f "$prefix/$file" ] || fail "missing $file"
done
for size in 16 24 32 48 64 128 256; do
    for icon in apps/sievewright mimetypes/application-x-sievewright-regexp; do
        png="$prefix/share/icons/hicolor/${size}x${size}/$icon.png"
        [ -f "$png" ] || fail "missing ${size}x${size}/$icon.png"
        file "$png" | grep -q "$size x $size" || fail "$png is not $size x $size"
    done
done

desktop-file-validate "$prefix/share/applications/sievewright.desktop" || fail "desktop entry invalid"
# One main category, so that menus list the program once.
grep -q '^Categories=Development;$' "$prefix/share/applications/sievewright.desktop" \
    || fail "desktop entry does not name exactly one main category"
appstreamcli validate --no-net "$prefix/share/metainfo/invalid.brackwen.Sievewright.metainfo.xml" \
    >/dev/null || fail "AppStream metadata invalid"
grep -q '<launchable type="desktop-id">sievewright.desktop</launchable>' \
    "$prefix/share/metainfo/invalid.brackwen.Sievewright.metainfo.xml" \
    || fail "AppStream metadata does not launch the desktop entry"
grep -q '^MimeType=application/x-sievewright-regexp;$' "$prefix/share/applications/sievewright.desktop" \
    || fail "desktop entry does not name the MIME type"
xmllint --noout "$prefix/share/mime/packages/sievewright-regexp.xml" || fail "MIME XML malformed"
grep -q '<glob pattern="\*.regexp"/>' "$prefix/share/mime/packages/sievewright-regexp.xml" \
    || fail "MIME type has no *.regexp glob"

# The MIME database built from it types a pattern file whatever the case of its extension.
mkdir -p "$prefix/mime-db/packages"
cp "$prefix/share/mime/packages/sievewright-regexp.xml" "$prefix/mime-db/packages/"
update-mime-database "$prefix/mime-db" >/dev/null 2>&1 || fail "update-mime-database failed"
grep -qi 'application/x-sievewright-regexp:\*\.regexp' "$prefix/mime-db/globs2" || fail "glob not in MIME database"

# A program started from the installed bin/ finds the installed read-me.
cp "$probe" "$prefix/bin/"
found=$("$prefix/bin/$(basename "$probe")")
[ "$found" = "$prefix/share/doc/sievewright/README.html" ] || fail "read-me found at '$found'"
echo "install into $prefix: ok"
