#!/usr/bin/env bash
# Builds the Debian package from a finished build, checks its contents and
# control fields, stages an install with DESTDIR, validates the desktop entry
# and the AppStream metadata, renders both man pages and runs the staged
# programs.  Usage: package_test.sh BUILD_DIR VERSION APP_ID
set -uo pipefail

build=$(cd "$1" && pwd)
version=$2
app_id=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok:   $*"; }
have() { command -v "$1" >/dev/null 2>&1; }

# --- the package --------------------------------------------------------
for tool in cpack dpkg-deb dpkg-shlibdeps; do
  have "$tool" || { echo "FAIL: $tool is missing (Debian package dpkg-dev)"; exit 1; }
done
if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/pkg" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"
  echo "FAIL: cpack -G DEB"
  exit 1
fi
deb=$(ls "$work"/pkg/*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || { cat "$work/cpack.log"; echo "FAIL: cpack made no .deb"; exit 1; }
pass "cpack made $(basename "$deb") ($(du -k "$deb" | cut -f1) kB)"

dpkg-deb --contents "$deb" | awk '{print $NF}' | sed 's|^\./|/|' >"$work/contents"
for f in /usr/bin/vokt /usr/bin/vokt-cli \
         "/usr/share/applications/$app_id.desktop" \
         "/usr/share/metainfo/$app_id.metainfo.xml" \
         "/usr/share/icons/hicolor/scalable/apps/$app_id.svg" \
         "/usr/share/icons/hicolor/48x48/apps/$app_id.png" \
         "/usr/share/icons/hicolor/256x256/apps/$app_id.png" \
         /usr/share/man/man1/vokt.1.gz /usr/share/man/man1/vokt-cli.1.gz \
         /usr/share/doc/vokt/README.md; do
  grep -qxF "$f" "$work/contents" && pass "package holds $f" || fail "package lacks $f"
done
outside=$(grep -vE '^/?$|^/usr(/|$)' "$work/contents" | tr '\n' ' ')
[ -z "$outside" ] || fail "package installs outside /usr: $outside"


field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = vokt ] && pass "Package: vokt" || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] && pass "Version: $version" || fail "Version is '$(field Version)', not $version"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] && pass "Architecture: $(field Architecture)" \
  || fail "Architecture is '$(field Architecture)'"
depends=$(field Depends)
# Computed by dpkg-shlibdeps: the C library and Qt's widgets with versions.
for lib in 'libc6 (>=' 'libqt6widgets6 (>=' 'libstdc++6 (>=' qt6-qpa-plugins; do
  case "$depends" in
    *"$lib"*) pass "Depends has $lib" ;;
    *) fail "Depends lacks '$lib': $depends" ;;
  esac
done
[ -n "$(field Maintainer)" ] && [ -n "$(field Description)" ] && pass "Maintainer and Description set" \
  || fail "Maintainer or Description missing"

# The binaries are stripped.
dpkg-deb -x "$deb" "$work/deb"
if have file; then
  file -L "$work/deb/usr/bin/vokt-cli" | grep -q 'not stripped' && fail "vokt-cli not stripped" \
    || pass "binaries stripped"
fi

# --- an install staged with DESTDIR -------------------------------------
stage=$work/stage
if DESTDIR="$stage" cmake --install "$build" --prefix /usr >"$work/install.log" 2>&1; then
  pass "DESTDIR staging"
else
  cat "$work/install.log"; fail "cmake --install with DESTDIR"
fi
(cd "$stage" && find . -type f | sed 's|^\.||' | sort) >"$work/staged"
(sed 's|/$||' "$work/contents" | while read -r f; do [ -f "$work/deb$f" ] && echo "$f"; done) | sort >"$work/packed"
diff -u "$work/packed" "$work/staged" >"$work/diff" && pass "the package holds exactly the staged files" \
  || { cat "$work/diff"; fail "package and staged install differ"; }

desktop=$stage/usr/share/applications/$app_id.desktop
if have desktop-file-validate; then
  if out=$(desktop-file-validate "$desktop" 2>&1) && ! grep -q 'error:' <<<"$out"; then
    [ -z "$out" ] || echo "$out"
    pass "desktop-file-validate"
  else
    echo "$out"; fail "desktop-file-validate"
  fi
else
  echo "SKIP: desktop-file-validate is not installed (Debian package desktop-file-utils)"
fi
grep -qx 'Categories=Education;Science;Math;' "$desktop" && pass "desktop categories" \
  || fail "desktop entry categories"

metainfo=$stage/usr/share/metainfo/$app_id.metainfo.xml
if have appstreamcli; then
  if out=$(appstreamcli validate --no-net "$metainfo" 2>&1); then
    pass "appstreamcli validate --no-net"
  else
    echo "$out"; fail "appstreamcli validate --no-net"
  fi
else
  echo "SKIP: appstreamcli is not installed (Debian package appstream)"
fi
grep -q "<release version=\"$version\"" "$metainfo" && pass "metainfo release $version" \
  || fail "metainfo has no release $version"

# --- man pages: rendered the way Debian's checks render them -------------
# The text of a page, without overstrikes or colours, whether or not col is there.
man_text() {
  LC_ALL=C.UTF-8 MANWIDTH=80 MAN_DISABLE_SECCOMP=1 man -l "$1" 2>/dev/null \
    | sed -e 's/.\x08//g' -e 's/\x1b\[[0-9;]*m//g'
}
if have man; then
  for page in vokt vokt-cli; do
    file=$stage/usr/share/man/man1/$page.1.gz
    LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 MAN_DISABLE_SECCOMP=1 \
      man --warnings -E UTF-8 -l -Tutf8 -Z "$file" >/dev/null 2>"$work/man.err"
    if [ -s "$work/man.err" ]; then
      cat "$work/man.err"; fail "man -l $page.1 warns"
    else
      pass "man -l $page.1 renders without warnings"
    fi
    if have lexgrog; then
      lexgrog "$file" >/dev/null 2>&1 && pass "$page.1 has a NAME line for whatis" \
        || fail "lexgrog cannot read the NAME line of $page.1"
    fi
    text=$(man_text "$file")
    grep -q 'EXIT STATUS' <<<"$text" && grep -q 'EXAMPLES' <<<"$text" \
      && pass "$page.1 has exit statuses and examples" || fail "$page.1 text"
  done
  # Every operation of vokt-cli is documented.
  text=$(man_text "$stage/usr/share/man/man1/vokt-cli.1.gz")
  missing=""
  for op in list cdf pdf probs sf quantile isf interval twosided critical sample info \
            --seed --tail --help --version; do
    grep -qE "^ +(-h, )?$op( |$)" <<<"$text" || missing+=" $op"
  done
  [ -z "$missing" ] && pass "vokt-cli.1 documents every operation and option" \
    || fail "vokt-cli.1 does not document:$missing"

else
  echo "SKIP: man is not installed (Debian package man-db)"
fi

# --- the staged programs ------------------------------------------------
bin=$stage/usr/bin
[ "$("$bin/vokt-cli" --version)" = "vokt-cli $version" ] && pass "vokt-cli --version" \
  || fail "vokt-cli --version printed '$("$bin/vokt-cli" --version 2>&1)'"
[ "$(env -u DISPLAY -u WAYLAND_DISPLAY "$bin/vokt" --version)" = "vokt $version" ] && pass "vokt --version" \
  || fail "vokt --version printed '$("$bin/vokt" --version 2>&1)'"
"$bin/vokt-cli" --help | grep -q '^usage: vokt-cli' && pass "vokt-cli --help" || fail "vokt-cli --help"
env -u DISPLAY -u WAYLAND_DISPLAY "$bin/vokt" --help | grep -q '^usage: vokt' && pass "vokt --help" \
  || fail "vokt --help"
# The packaging is checked here, not the digits: the numerical tests hold those.
p=$("$bin/vokt-cli" normal 0,1 cdf 1.96)
if awk -v p="$p" 'BEGIN { d = p - 0.97500210485177952; exit !(p != "" && d < 1e-9 && d > -1e-9) }'; then
  pass "staged vokt-cli normal 0,1 cdf 1.96 = $p"
else
  fail "staged vokt-cli normal 0,1 cdf 1.96 printed '$p'"
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all packaging checks passed"
