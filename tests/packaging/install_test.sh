#!/usr/bin/env bash
# install_test.sh BUILD_DIR SOURCE_DIR VERSION WORK_DIR HARDENING
# Installs the built programs into a temporary prefix and checks every file and what the
# desktop's own tools make of them, then builds the Debian package and reads it back.
# HARDENING lists what the build hardens the programs with (none,stack-protector,bind-now,fortify).
set -euo pipefail
build=$1 source=$2 version=$3 work=$4 hardening=$5
rm -rf "$work"
mkdir -p "$work"
prefix="$work/prefix"
fail() { echo "FAILED: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >"$work/install.log"

share="$prefix/share"
expected=(bin/quizloom bin/quizdesk
  share/applications/org.quizloom.Quizloom.desktop share/applications/org.quizloom.Quizdesk.desktop
  share/metainfo/org.quizloom.Quizloom.metainfo.xml share/metainfo/org.quizloom.Quizdesk.metainfo.xml
  share/mime/packages/quizloom.xml
  share/man/man1/quizloom.1.gz share/man/man1/quizdesk.1.gz
  share/quizloom/samples/sample.tst share/quizloom/samples/cell.bmp
  share/doc/quizloom/copyright share/doc/quizloom/changelog.gz
  share/quizloom/sql/001_gradebook.sql share/quizloom/sql/002_server_access.sql
  share/quizloom/sql/003_teacher_rights.sql share/quizloom/sql/004_collect_in_one_call.sql
  share/quizloom/sql/005_accepted_answers.sql share/quizloom/sql/006_hand_in.sql)
# The sample text file comes with importing; when the sources have it, it is installed too.
[ -e "$source/samples/lesson.txt" ] && expected+=(share/quizloom/samples/lesson.txt)
for program in quizloom quizdesk; do
  for size in 16 32 48 64 128 256; do
    expected+=("share/icons/hicolor/${size}x$size/apps/$program.png")
  done
done
for file in "${expected[@]}"; do
  [ -s "$prefix/$file" ] || fail "not installed: $file"
done
for program in quizloom quizdesk; do [ -x "$prefix/bin/$program" ] || fail "$program is not executable"; done
# Nothing else: no generator sources, no results file, no stray build output.
extra=$(cd "$prefix" && find . -type f | sed 's|^\./||' | sort | comm -23 - <(printf '%s\n' "${expected[@]}" | sort))
[ -z "$extra" ] || fail "installed but not expected: $extra"
cmp "$source/samples/sample.tst" "$share/quizloom/samples/sample.tst" || fail "sample test differs"

# Each icon is a PNG of its own size.
for program in quizloom quizdesk; do
  for size in 16 32 48 64 128 256; do
    description=$(file -b "$share/icons/hicolor/${size}x$size/apps/$program.png")
    [[ $description == "PNG image data, $size x $size, 8-bit/color RGBA"* ]] ||
      fail "$program icon at $size: $description"
  done
done

# The licence: Debian's own text at the top of the sources; the package's changelog is new.
cmp "$source/COPYING" /usr/share/common-licenses/GPL-3 || fail "COPYING is not the GPL 3"
[ "$(zcat "$share/doc/quizloom/changelog.gz" | head -1)" = "quizloom ($version) unstable; urgency=medium" ] ||
  fail "the changelog's first entry is not $version"

for entry in "$share"/applications/*.desktop; do desktop-file-validate "$entry" || fail "desktop entry $entry"; done
grep -qx 'Exec=quizloom %f' "$share/applications/org.quizloom.Quizloom.desktop" || fail "Quizloom's Exec"
grep -qx 'MimeType=application/x-quizloom-test;' "$share/applications/org.quizloom.Quizloom.desktop" ||
  fail "Quizloom's MimeType"
for metainfo in "$share"/metainfo/*.xml; do
  appstreamcli validate --no-net "$metainfo" >"$work/appstream.log" 2>&1 ||
    { cat "$work/appstream.log" >&2; fail "AppStream data $metainfo"; }
  # The newest release listed is the version the programs report.
  grep -m1 '<release ' "$metainfo" | grep -q "version=\"$version\"" || fail "release in $metainfo is not $version"
  grep -qx '  <project_license>GPL-3.0-or-later</project_license>' "$metainfo" || fail "licence in $metainfo"
done

# The test-file type, by its extension and, renamed without one, by its first bytes.
update-mime-database "$share/mime" >"$work/mime.log" 2>&1
cp "$source/samples/sample.tst" "$work/renamed"
printf 'Quizloom9 is not a test\n' >"$work/almost"  # the magic is all ten bytes
content_type() {
  XDG_DATA_DIRS="$share" XDG_DATA_HOME="$work/no-user-data" \
    gio info -a standard::content-type "$1" | sed -n 's/^ *standard::content-type: //p'
}
for file in "$share/quizloom/samples/sample.tst" "$work/renamed"; do
  [ "$(content_type "$file")" = application/x-quizloom-test ] || fail "type of $file: $(content_type "$file")"
done
[ "$(content_type "$work/almost")" = text/plain ] || fail "a text file is taken for a test"
# A double-click on a test file runs Quizloom's entry, as the package's triggers set it up.
update-desktop-database "$share/applications"
handler=$(PATH="$prefix/bin:$PATH" XDG_DATA_DIRS="$share" XDG_DATA_HOME="$work/no-user-data" \
  XDG_CONFIG_HOME="$work/no-user-config" XDG_CONFIG_DIRS="$work/no-user-config" \
  gio mime application/x-quizloom-test | sed -n 1p)
[ "$handler" = "Default application for “application/x-quizloom-test”: org.quizloom.Quizloom.desktop" ] ||
  fail "test files open with: $handler"

# The manual pages render without a warning and tell of the drives.
for program in quizloom quizdesk; do
  page="$share/man/man1/$program.1.gz"
  warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$program manual page: $warnings"
  text=$(LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$page" 2>/dev/null)
  grep -q "^QUIZ.*(1)" <<<"$text" || fail "$program manual page has no header"
  grep -q "$program - " <<<"$text" || fail "$program manual page has no name line"
  # `man PROGRAM` finds the page where it was installed.
  [ "$(MANPATH="$share/man" man -w "$program")" = "$page" ] || fail "man $program does not find $page"
done
grep -q QUIZDESK_DRIVE_A <<<"$(man -l "$share/man/man1/quizdesk.1.gz" 2>/dev/null)" || fail "drive A: in the manual"

# The command line answers without a display.
(
  unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
  [ "$("$prefix/bin/quizloom" --version)" = "quizloom $version" ] || fail "quizloom --version"
  [ "$("$prefix/bin/quizdesk" --version)" = "quizdesk $version" ] || fail "quizdesk --version"
  help=$("$prefix/bin/quizdesk" --help) || fail "quizdesk --help exit status"
  [[ $help == "Usage: quizdesk [options]"$'\n'* ]] || fail "quizdesk --help: $help"
  status=0
  "$prefix/bin/quizloom" a b >"$work/two.out" 2>"$work/two.err" || status=$?
  [ $status -eq 2 ] || fail "quizloom a b exited with $status"
  [ ! -s "$work/two.out" ] || fail "quizloom a b wrote to standard output"
  grep -q '^Usage: quizloom \[options\] \[FILE\]$' "$work/two.err" || fail "quizloom a b printed no usage"
  status=0
  "$prefix/bin/quizloom" --no-such-option 2>/dev/null || status=$?
  [ $status -eq 2 ] || fail "an unknown option exited with $status"
)

# A dock groups a window with its menu entry by the window's class: what xprop reads off the
# running program is what the entry says.
source "$source/tests/e2e/x_server.sh"
start_x_server "$work"
for program in quizloom quizdesk; do
  "$prefix/bin/$program" >"$work/$program.log" 2>&1 &
  # Polled rather than `search --sync`: a window Qt creates and destroys while xdotool walks
  # the tree makes that walk fail with BadWindow instead of trying again.
  window="" deadline=$((SECONDS + 30))
  while [ -z "$window" ] && [ $SECONDS -lt $deadline ]; do
    window=$(xdotool search --onlyvisible --pid $! 2>/dev/null | head -1 || true)
    [ -n "$window" ] || sleep 0.2
  done
  [ -n "$window" ] || { cat "$work/$program.log" >&2; fail "$program shows no window"; }
  class=$(xprop -id "$window" WM_CLASS)
  kill $!
  entry="$share/applications/org.quizloom.${program^}.desktop"
  [ "$class" = "WM_CLASS(STRING) = \"$program\", \"$program\"" ] || fail "$program's window class: $class"
  grep -qx "StartupWMClass=$program" "$entry" || fail "$entry does not name the class $program"
done

# The hardening the build gives the programs: full RELRO, stack protector, fortified functions.
checks=(bind-now '(FLAGS) *BIND_NOW' stack-protector ' __stack_chk_fail@' fortify ' __[a-z]*_chk@')
for program in quizloom quizdesk; do
  elf=$(readelf -d --dyn-syms -W "$prefix/bin/$program")
  for ((i = 0; i < ${#checks[@]}; i += 2)); do
    [[ ,$hardening, != *,${checks[i]},* ]] || grep -q "${checks[i + 1]}" <<<"$elf" || fail "$program: no ${checks[i]}"
  done
done

# The Debian package, from the same rules.
(cd "$build" && cpack -G DEB -B "$work/package" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log" >&2; fail "cpack"; }
deb=$(ls "$work"/package/quizloom_"$version"_*.deb)
info=$(dpkg-deb --info "$deb")
for field in "Package: quizloom" "Version: $version" "Section: education" \
             "Maintainer: Quizloom maintainers <maintainers@quizloom.invalid>"; do
  grep -qx " $field" <<<"$info" || fail "package field '$field'"
done
depends=$(sed -n 's/^ Depends: //p' <<<"$info")
# Every Qt library the programs link (libQt6Widgets.so.6 comes in libqt6widgets6), the C and
# C++ runtimes, and the fonts they draw with.
qt_packages=$(readelf -d "$prefix/bin/quizloom" "$prefix/bin/quizdesk" |
  sed -n 's/.*Shared library: \[libQt6\([A-Za-z]*\)\.so\.6\]/libqt6\L\16/p' | sort -u)
[ -n "$qt_packages" ] || fail "the programs link no Qt library"
for dependency in libc6 libstdc++6 $qt_packages fonts-liberation2 fonts-dejavu-core \
    libqt6sql6-psql; do
  [[ ", $depends," == *", $dependency "* || ", $depends," == *", $dependency,"* ]] ||
    fail "package does not depend on $dependency: $depends"
done
contents=$(dpkg-deb --contents "$deb" | awk '{print $6}' | sed 's|^\./||')
for file in "${expected[@]}"; do
  grep -qx "usr/$file" <<<"$contents" || fail "package lacks usr/$file"
done
# lintian finds no error and no warning; none of its tags has to be let through.
lintian --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1 || { cat "$work/lintian.log" >&2; fail "lintian"; }
! grep -E '^[EW]: ' "$work/lintian.log" || fail "lintian reported the tags above"
echo "install and package: passed"
