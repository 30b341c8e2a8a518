#!/usr/bin/env bash
# CI: build the Debian package, unpack it into a temporary folder and check
# what it holds: the file list, the control fields, the unpacked program
# (--help, --generate on a worked example), the desktop entry, the file type,
# the AppStream metadata and the manual page; then lintian on the package.
set -euo pipefail
cd "$(dirname "$0")/.."

make package

version=$(sed -n 's/^#define LINKFOLD_VERSION "\(.*\)"$/\1/p' build/generated/linkfold_version.h)
deb="build/linkfold_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || { echo "no package $deb" >&2; exit 1; }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
root="$tmp/root"
dpkg-deb -x "$deb" "$root"
fail() { echo "check-package: $*" >&2; exit 1; }
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)

# Every file the package holds, and nothing else.
expected="./usr/bin/linkfold
./usr/lib/$multiarch/linkfold/linkfold-bookmarks.so
./usr/lib/$multiarch/linkfold/linkfold-editor.so
./usr/share/applications/linkfold.desktop
./usr/share/doc/linkfold/changelog.gz
./usr/share/doc/linkfold/copyright
./usr/share/icons/hicolor/scalable/apps/linkfold.svg
./usr/share/icons/hicolor/scalable/mimetypes/application-x-linkfold-document.svg
./usr/share/linkfold/examples/example.lfp
./usr/share/lintian/overrides/linkfold
./usr/share/man/man1/linkfold.1.gz
./usr/share/metainfo/io.github.linkfold.Linkfold.metainfo.xml
./usr/share/mime/packages/linkfold.xml"
for page in resources/help/*.html resources/help/*.css; do expected+=$'\n'"./usr/share/linkfold/help/${page##*/}"; done
for ts in translations/*.ts; do
  base=${ts##*/}
  expected+=$'\n'"./usr/share/linkfold/translations/${base%.ts}.qm"
done
actual=$(cd "$root" && find . ! -type d | LC_ALL=C sort)
diff <(LC_ALL=C sort <<<"$expected") <(echo "$actual") || fail "unexpected file list"

# Control fields: dependencies found from the program's libraries.
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "wrong Version"
[ "$(dpkg-deb -f "$deb" Section)" = "web" ] || fail "wrong Section"
depends=$(dpkg-deb -f "$deb" Depends)
grep -q "libqt6widgets6" <<<"$depends" || fail "Depends lacks the Qt libraries"
grep -q "libqt6svg6" <<<"$depends" || fail "Depends lacks the SVG plugins"
dpkg-deb -f "$deb" Maintainer | grep -q '<.*@.*>' || fail "no Maintainer"
dpkg-deb -f "$deb" Recommends | grep -q "ca-certificates" || fail "Recommends lacks ca-certificates"
dpkg-deb -f "$deb" Recommends | grep -q "qt6-translations-l10n" ||
  fail "Recommends lacks Qt's translations"
private=usr/lib/$multiarch/linkfold
for elf in usr/bin/linkfold $private/linkfold-editor.so $private/linkfold-bookmarks.so; do
  ! readelf -S "$root/$elf" | grep -q '\.comment' || fail "$elf keeps its .comment section"
done
# The program itself links the C and C++ runtimes alone; the editor
# library, loaded only for the editor, the link check and the modern page's
# icons, and the bookmark library, loaded only for the bookmark verbs and the
# duplicate list, export one symbol each.
needed=$(readelf -d "$root/usr/bin/linkfold" | sed -n 's/.*NEEDED.*\[\(.*\)\]/\1/p' |
  grep -v -E '^(libc|libm|libgcc_s|libstdc\+\+|ld-linux.*)\.so' || true)
[ -z "$needed" ] || fail "the program links $needed"
readelf -d "$root/$private/linkfold-editor.so" | grep -q 'NEEDED.*libQt6Widgets' ||
  fail "the editor library lacks Qt Widgets"
readelf -d "$root/$private/linkfold-bookmarks.so" | grep -q 'NEEDED.*libxml2' ||
  fail "the bookmark library lacks libxml2"
! readelf -d "$root/$private/linkfold-bookmarks.so" | grep -q 'NEEDED.*libQt' ||
  fail "the bookmark library links Qt"
for library in Editor:linkfold-editor Bookmark:linkfold-bookmarks; do
  exported=$(nm -D --defined-only "$root/$private/${library#*:}.so" | awk '$2 == "T" { print $3 }')
  [ "$exported" = "linkfold${library%%:*}Entry" ] || fail "${library#*:}.so exports more than its entry point"
done

# The unpacked program runs with the system's libraries alone.
bin="$root/usr/bin/linkfold"
export QT_QPA_PLATFORM=offscreen HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/home/config" \
  XDG_DATA_HOME="$tmp/home/data"
mkdir -p "$HOME"
"$bin" --help | grep -q '^Usage: linkfold' || fail "--help"
[ "$("$bin" --version)" = "Linkfold $version" ] || fail "--version"
"$bin" --generate tests/data/corpus/example.lfp "$tmp/page.htm" 2>"$tmp/err" || fail "--generate"
[ ! -s "$tmp/err" ] || fail "--generate wrote to standard error"
[ -s "$tmp/page.htm" ] || fail "--generate wrote an empty page"
grep -q '<title>My Links</title>' "$tmp/page.htm" || fail "generated page lacks the title"
grep -q '<a href="index.htm">' "$tmp/page.htm" || fail "generated page lacks the link"
build/linkfold --generate tests/data/corpus/example.lfp "$tmp/built.htm"
cmp "$tmp/page.htm" "$tmp/built.htm" || fail "packaged and built programs write different pages"
(cd "$tmp" && env -u QT_QPA_PLATFORM -u DISPLAY -u WAYLAND_DISPLAY "$bin" /dde) || fail "/dde"
[ -z "$(ls -A "$HOME")" ] || fail "--help, --generate or /dde wrote into the home folder"
# Started as from the menu (from the home folder, found in PATH), the
# installed program registers nothing per user: the package does that.
example="$PWD/tests/data/corpus/example.lfp"
(cd "$HOME" && PATH="$root/usr/bin:$PATH" XDG_DATA_DIRS="$root/usr/share:/usr/share" \
  timeout 60 linkfold /p "$example") || fail "/p from the home folder"
[ ! -e "$XDG_DATA_HOME" ] || fail "the installed program wrote $(find "$XDG_DATA_HOME" -type f)"
# --version and --generate start with the C++ runtime alone; the link check
# finds the editor library, and the bookmark verbs the bookmark library, in
# the package's private folder.
large='libQt\|libxml2\|libicu\|libsqlite3\|libplist\|linkfold-'
loaded=$(LD_DEBUG=libs "$bin" --version 2>&1 >/dev/null)
! grep 'calling init:' <<<"$loaded" | grep -q "$large" || fail "--version loads large libraries"
loaded=$(LD_DEBUG=libs "$bin" --generate tests/data/corpus/example.lfp "$tmp/page2.htm" 2>&1)
! grep 'calling init:' <<<"$loaded" | grep -q "$large" || fail "--generate loads large libraries"
"$bin" --check-links tests/data/corpus/new.lfp >/dev/null || fail "--check-links (the editor library)"
"$bin" --export-bookmarks tests/data/corpus/example.lfp "$tmp/example.xbel" ||
  fail "--export-bookmarks (the bookmark library)"
grep -q '<xbel' "$tmp/example.xbel" || fail "--export-bookmarks wrote no XBEL"

# Desktop entry, file type and AppStream metadata.
desktop-file-validate "$root/usr/share/applications/linkfold.desktop"
! grep -q '^Actions=' "$root/usr/share/applications/linkfold.desktop" || fail "desktop entry has actions"
cp -r "$root/usr/share/mime" "$tmp/mime"
XDG_DATA_HOME="$tmp" update-mime-database "$tmp/mime"
grep -q ':application/x-linkfold-document:\*\.lfp$' "$tmp/mime/globs2" || fail "no *.lfp glob"
metainfo="$root/usr/share/metainfo/io.github.linkfold.Linkfold.metainfo.xml"
appstreamcli validate --no-net "$metainfo"
grep -q '<launchable type="desktop-id">linkfold.desktop</launchable>' "$metainfo" ||
  fail "AppStream launchable does not name the desktop entry"
grep -q "<release version=\"$version\"" "$metainfo" || fail "no AppStream release $version"

# Manual page: no warnings from groff, none above style level from mandoc.
man="$root/usr/share/man/man1/linkfold.1.gz"
warnings=$(zcat "$man" | groff -ww -z -man 2>&1)
[ -z "$warnings" ] || fail "groff: $warnings"
mandoc -Tlint -Wwarning "$man"
zcat "$man" | grep -q "^\.TH LINKFOLD 1 .* \"Linkfold $version\"" || fail "manual page version"

[ -z "$(dpkg-deb --ctrl-tarfile "$deb" | tar -t | grep -E 'post(inst|rm)')" ] ||
  fail "the package has maintainer scripts (the private library needs no ldconfig)"
lintian --fail-on error,warning "$deb"
echo "check-package: $deb is fine ($(stat -c %s "$deb") bytes)"
