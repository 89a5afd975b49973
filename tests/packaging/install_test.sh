#!/bin/sh
# The Debian package of this build, unpacked with dpkg -x into a temporary
# root: lintian finds no error or warning in it, its dependencies cover the
# skin's fonts, its files lie in their places (gallery and tests left out),
# the copyright file names the licences of Vaskur and of the sample data, the
# programs bind immediately (full RELRO), no shipped file holds a path of the
# build, the menu entry, the AppStream metadata and the manual pages are
# valid, and every program answers --version and --help. The installed
# `vaskur` command under Xvfb with a temporary HOME makes the run folder,
# opens the window there (with the X class the menu entry names) and loads a
# sample map, and ends with status 0 after Esc; a later start keeps the
# user's edits, brings a newer install's changes and follows a moved tree; a
# read-only home or missing data give a clear message and status 2.
T=$(mktemp -d)
E2E_SHOT_DIR=$T/shots
. "$VASKUR_SOURCE_DIR/tests/app/e2e_lib.sh"
WORK=$T
trap xvfb_cleanup EXIT

# ---- the package -------------------------------------------------------------
if ! (cd "$VASKUR_BINARY_DIR" && cpack --config CPackConfig.cmake -G DEB -B "$WORK/pkg") >"$WORK/cpack.log" 2>&1; then
    cat "$WORK/cpack.log"
    fail "cpack -G DEB"
    finish
fi
DEB=$(ls "$WORK"/pkg/*.deb)
# lintian warns about running as root (CI does): only its tags count.
lintian --fail-on error,warning "$DEB" >"$WORK/lintian.log" 2>&1
status=$?
tags=$(grep -E '^[EW]: ' "$WORK/lintian.log")
[ $status -eq 0 ] && [ -z "$tags" ] && pass "lintian: no errors or warnings" \
    || fail "lintian (status $status): $(cat "$WORK/lintian.log")"
DEPENDS=$(dpkg-deb -f "$DEB" Depends | tr ',' '\n' | sed 's/^ *//; s/ .*//')
for pkg in liballegro4.4 libfreetype6; do
    echo "$DEPENDS" | grep -qx "$pkg" && pass "depends on $pkg (shlibdeps)" || fail "no dependency on $pkg: $DEPENDS"
done
dpkg -x "$DEB" "$WORK/root" || { fail "dpkg -x"; finish; }
U=$WORK/root/usr

DESKTOP=$U/share/applications/io.github.vaskur.Vaskur.desktop
for f in bin/vaskur bin/vaskur-route bin/vaskur-mapgen libexec/vaskur/vaskur share/vaskur/gui.cfg \
    share/vaskur/kujundus.ini share/vaskur/maps/hills-257-8.raw share/icons/hicolor/scalable/apps/vaskur.svg \
    share/doc/vaskur/changelog.gz; do
    [ -f "$U/$f" ] || fail "the package lacks usr/$f"
done
extra=$(find "$WORK/root" -name '*gallery*' -o -name '*_test*' -o -name '*.a')
[ -z "$extra" ] && pass "no gallery, tests or libraries installed" || fail "installed: $extra"

# The skin names its fonts by absolute path: each must be a file of this
# system that belongs to a package the package depends on.
for font in $(sed -n 's/^[[:space:]]*file[[:space:]]*=[[:space:]]*//p' "$U/share/vaskur/kujundus.ini" | sort -u); do
    owner=$(dpkg -S "$font" 2>/dev/null | cut -d: -f1)
    if [ -f "$font" ] && [ -n "$owner" ] && echo "$DEPENDS" | grep -qx "$owner"; then
        pass "font $font comes with the dependency $owner"
    else
        fail "font $font: not installed or its package '$owner' is not a dependency"
    fi
done

# The copyright file's paragraphs as "Files|License" lines: Vaskur's own
# files under the MIT licence (Expat), the Jacksboro sample under
# Matplotlib's, its origin told; each licence with its text.
stanzas=$(awk 'BEGIN { RS = ""; FS = "\n" }
    { files = ""; license = ""; text = 0
      for (i = 1; i <= NF; i++) {
          if ($i ~ /^Files:/) { files = $i; while ($(i + 1) ~ /^ /) files = files $(++i) }
          else if ($i ~ /^License:/) { license = substr($i, 10); while ($(i + 1) ~ /^ /) { i++; text++ } }
      }
      gsub(/  +/, " ", files)
      if (files != "") print files "|" license
      else if (license != "" && text > 5) print "text|" license }' "$U/share/doc/vaskur/copyright")
expected="Files: *|Expat
Files: */maps/jacksboro-257.raw */maps/jacksboro-257.raw.json */maps/jacksboro-257.raw.heights.tif|Matplotlib
text|Expat
text|Matplotlib"
[ "$stanzas" = "$expected" ] && grep -q "USGS data, taken from Matplotlib's sample data" "$U/share/doc/vaskur/copyright" \
    && pass "copyright: Vaskur under Expat (MIT), the Jacksboro sample (USGS via Matplotlib) under Matplotlib's licence" \
    || fail "copyright paragraphs: $stanzas"

lazy=""
for elf in "$U"/bin/vaskur-* "$U"/libexec/vaskur/vaskur; do
    readelf -d "$elf" | grep -q 'FLAGS.*BIND_NOW' || lazy="$lazy ${elf#"$U"/}"
done
[ -z "$lazy" ] && pass "every program binds immediately (BIND_NOW)" || fail "no BIND_NOW in:$lazy"

built=$(grep -rl -e "$VASKUR_BINARY_DIR" -e "$VASKUR_SOURCE_DIR" "$U/share")
[ -z "$built" ] && pass "no build paths in shipped data (sidecar: $(grep -ho '"source":"[^"]*"' "$U"/share/vaskur/maps/*.json))" \
    || fail "build paths in: $built"

desktop-file-validate "$DESKTOP" >"$WORK/desktop.log" 2>&1 && [ ! -s "$WORK/desktop.log" ] \
    && pass "menu entry valid" || fail "menu entry: $(cat "$WORK/desktop.log")"
# The metadata with the menu entry it names; pedantic hints are allowed.
appstreamcli validate-tree --no-net --strict "$WORK/root" >"$WORK/appstream.log" 2>&1 \
    && pass "AppStream metadata valid" || fail "appstreamcli: $(cat "$WORK/appstream.log")"
exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$DESKTOP")
icon_name=$(sed -n 's/^Icon=//p' "$DESKTOP")
[ -x "$U/bin/$exec_name" ] && [ -n "$(find "$U/share/icons/hicolor" -name "$icon_name.*")" ] \
    && pass "menu entry starts bin/$exec_name with icon $icon_name" || fail "menu entry: Exec=$exec_name Icon=$icon_name"

# Every program of bin: --version, --help and a manual page of the same
# version that renders without warnings.
for prog in "$U"/bin/*; do
    name=${prog##*/}
    v=$(env -u DISPLAY "$prog" --version 2>&1)
    echo "$v" | grep -Eqx "$name [0-9]+\.[0-9]+\.[0-9]+" && pass "$name --version: $v" || fail "$name --version: $v"
    page=$U/share/man/man1/$name.1.gz
    if [ -f "$page" ] && MANWIDTH=80 man --warnings -l "$page" >"$WORK/man.txt" 2>"$WORK/man.err" \
        && [ ! -s "$WORK/man.err" ] && grep -Eq "^ *$name +- " "$WORK/man.txt" \
        && tail -n 1 "$WORK/man.txt" | grep -q "Vaskur ${v##* } "; then
        pass "manual page of $name"
    else
        fail "manual page of $name: $(cat "$WORK/man.err" 2>/dev/null) $(tail -n 1 "$WORK/man.txt")"
    fi
    env -u DISPLAY "$prog" --help >"$WORK/help.txt" 2>&1 && grep -q "usage: $name" "$WORK/help.txt" \
        && pass "$name --help" || fail "$name --help: $(cat "$WORK/help.txt")"
done

# ---- bad cases -----------------------------------------------------------------
# launch HOME LAUNCHER: runs the launcher without a display (as $AS_USER when
# set), its stderr in $WORK/err, its status in STATUS.
AS_USER=""
launch() {
    $AS_USER env -u DISPLAY -u XDG_DATA_HOME HOME="$1" "$2" >/dev/null 2>"$WORK/err"
    STATUS=$?
}

mv "$U/share/vaskur" "$U/share/vaskur.away"
launch "$WORK/h0" "$U/bin/vaskur"
[ "$STATUS" = 2 ] && grep -q "share/vaskur.*missing" "$WORK/err" && [ ! -e "$WORK/h0" ] \
    && pass "missing share/vaskur: status 2, $(cat "$WORK/err")" || fail "missing share/vaskur: status $STATUS, $(cat "$WORK/err")"
mv "$U/share/vaskur.away" "$U/share/vaskur"

# A home nobody may write in (root may write anywhere: run as nobody then).
mkdir "$WORK/ro"
chmod 555 "$WORK/ro"
chmod 755 "$WORK"
[ "$(id -u)" = 0 ] && AS_USER="runuser -u nobody --"
launch "$WORK/ro" "$U/bin/vaskur"
AS_USER=""
[ "$STATUS" = 2 ] && grep -q "cannot make the run folder $WORK/ro/.local/share/vaskur.*: Permission denied" "$WORK/err" \
    && pass "read-only home: status 2, $(cat "$WORK/err")" || fail "read-only home: status $STATUS, $(cat "$WORK/err")"

# ---- the first start under Xvfb ------------------------------------------------
start_x
export HOME="$WORK/home"
unset XDG_DATA_HOME
mkdir "$HOME"
RUN_DIR=$U/bin      # start_app starts ./vaskur there: the launcher
start_app
R=$HOME/.local/share/vaskur
cmp -s "$R/gui.cfg" "$U/share/vaskur/gui.cfg" && cmp -s "$R/kujundus.ini" "$U/share/vaskur/kujundus.ini" \
    && pass "run folder made with the settings and the skin" || fail "run folder $R: $(ls -A "$R")"
[ "$(readlink -f "$R/maps/hills-257-8.raw")" = "$(readlink -f "$U/share/vaskur/maps/hills-257-8.raw")" ] \
    && pass "sample maps linked" || fail "maps: $(ls -l "$R/maps")"
for sidecar in "$U"/share/vaskur/maps/*.json; do
    [ -e "$sidecar" ] || continue
    [ -e "$R/maps/${sidecar##*/}" ] && pass "sidecar ${sidecar##*/} linked" || fail "sidecar ${sidecar##*/} not linked"
done
wm_class=$(xprop -id "$WID" WM_CLASS)
startup_class=$(sed -n 's/^StartupWMClass=//p' "$DESKTOP")
[ -n "$startup_class" ] && echo "$wm_class" | grep -q ", \"$startup_class\"$" \
    && pass "window class matches the menu entry: $wm_class" || fail "$wm_class, StartupWMClass=$startup_class"
load_map maps/hills-257-8.raw
shot loaded
expect_message loaded 40 140 "a sample map of the run folder loads (\"Fail laetud.\")"
key Escape
app_status
[ "$STATUS" = 0 ] && pass "Esc: the vaskur command ends with status 0" || fail "exit status $STATUS"

# ---- a later start ---------------------------------------------------------------
# The user edits gui.cfg and deletes a sample; a newer install changes the
# skin and adds a sample, and the tree moves elsewhere.
echo "# the user's own line" >>"$R/gui.cfg"
rm "$R/maps/crags-513-16.raw"
echo "# a newer skin" >>"$U/share/vaskur/kujundus.ini"
cp "$U/share/vaskur/maps/hills-257-8.raw" "$U/share/vaskur/maps/newer-sample.raw"
mv "$U" "$WORK/moved"
U=$WORK/moved
launch "$HOME" "$U/bin/vaskur"
[ "$STATUS" = 2 ] && grep -q "initializing Allegro" "$WORK/err" && pass "the program started without a display ends with 2" \
    || fail "start without display: status $STATUS, $(cat "$WORK/err")"
grep -q "the user's own line" "$R/gui.cfg" && pass "an edited gui.cfg is kept" || fail "the user's gui.cfg was overwritten"
cmp -s "$R/kujundus.ini" "$U/share/vaskur/kujundus.ini" && pass "an unedited skin follows the newer install" \
    || fail "kujundus.ini not renewed"
[ -e "$R/maps/newer-sample.raw" ] && pass "a newer install's sample appears" || fail "no newer-sample.raw: $(ls "$R/maps")"
[ ! -e "$R/maps/crags-513-16.raw" ] && pass "a deleted sample stays deleted" || fail "crags-513-16.raw came back"
[ "$(readlink -f "$R/maps/hills-257-8.raw")" = "$(readlink -f "$U/share/vaskur/maps/hills-257-8.raw")" ] \
    && pass "links renewed after the tree moved" || fail "hills-257-8.raw -> $(readlink "$R/maps/hills-257-8.raw")"

env -u DISPLAY XDG_DATA_HOME="$WORK/xdg" "$U/bin/vaskur" >/dev/null 2>&1
[ -f "$WORK/xdg/vaskur/gui.cfg" ] && pass "run folder under XDG_DATA_HOME" || fail "nothing in $WORK/xdg/vaskur"
finish
