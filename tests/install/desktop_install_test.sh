#!/usr/bin/env bash
# make install / make uninstall for one user, in a made-up home that already
# holds another program's menu entry and icon: the install must give a valid
# desktop entry and every icon size, a program that writes its detail picture
# beside itself, and the uninstall must take away exactly what it put there.
#
#   desktop_install_test.sh PROGRAM SOURCE_DIR
set -euo pipefail

program=$1
source_dir=$2
script=$source_dir/scripts/desktop-install
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

command -v desktop-file-validate >/dev/null || fail "desktop-file-validate is missing (scripts/install-deps installs it)"

# The make targets pass the program, PREFIX (default ~/Tessellon) and the
# data folder through to the script.
plan=$(cd "$source_dir" && HOME=/home/someone make -s -n install uninstall BUILD=out)
grep -qF 'scripts/desktop-install install out/tessellon "/home/someone/Tessellon"' <<<"$plan" || fail "make install: $plan"
grep -qF 'scripts/desktop-install uninstall "/home/someone/Tessellon"' <<<"$plan" || fail "make uninstall: $plan"

# Width and height of a PNG file, from its header.
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{ printf "%dx%d", $3 * 256 + $4, $7 * 256 + $8 }'; }

listing() { (cd "$work" && find . | LC_ALL=C sort); }

# Once with the default data folder, once with XDG_DATA_HOME set; the folder
# name has a space in it, as "My Programs" does.
for data_case in default custom; do
  rm -rf "$work"/*
  export HOME=$work/home
  if [[ $data_case == default ]]; then
    unset XDG_DATA_HOME
    data=$HOME/.local/share
  else
    export XDG_DATA_HOME=$work/data
    data=$XDG_DATA_HOME
  fi
  mkdir -p "$HOME" "$data/applications" "$data/icons/hicolor/48x48/apps"
  echo "[Desktop Entry]" >"$data/applications/other.desktop"
  cp "$source_dir/assets/icons/tessellon-48.png" "$data/icons/hicolor/48x48/apps/other.png"
  before=$(listing)

  prefix="$HOME/My Programs/Tessellon"
  "$script" install "$program" "$prefix" >/dev/null
  "$script" install "$program" "$prefix" >/dev/null  # again: replaces, one manifest

  entry=$data/applications/tessellon.desktop
  [[ -x "$prefix/tessellon" ]] || fail "$data_case: no program in $prefix"
  desktop-file-validate "$entry" || fail "$data_case: the desktop entry does not validate"
  grep -qxF "Exec=\"$prefix/tessellon\"" "$entry" || fail "$data_case: Exec names another program: $(grep ^Exec "$entry")"
  grep -qx "Icon=tessellon" "$entry" || fail "$data_case: no themed icon"
  for size in 16 32 48 64 128 256; do
    icon=$data/icons/hicolor/${size}x${size}/apps/tessellon.png
    [[ -f "$icon" ]] || fail "$data_case: no ${size}x${size} icon"
    [[ $(head -c 8 "$icon" | od -An -tx1 | tr -d ' \n') == 89504e470d0a1a0a ]] || fail "$icon is no PNG"
    [[ $(png_size "$icon") == "${size}x${size}" ]] || fail "$icon is $(png_size "$icon")"
  done

  # The installed program composes, and its picture lands beside it.
  (cd "$work" && "$prefix/tessellon" --platform offscreen \
    --drop 115,163 "$source_dir/assets/samples/sample1.jpg") || fail "$data_case: the installed program failed"
  [[ -s "$prefix/细节.jpg" ]] || fail "$data_case: no 细节.jpg beside the installed program"

  "$script" uninstall "$prefix" >/dev/null 2>&1
  # Everything but the user's picture (and the folders holding it) is gone;
  # the other program's files are untouched.
  after=$(listing)
  expected=$(printf '%s\n' "$before" "./home/My Programs" "./home/My Programs/Tessellon" \
    "./home/My Programs/Tessellon/细节.jpg" | LC_ALL=C sort)
  [[ "$after" == "$expected" ]] || fail "$data_case: left behind or removed: $(diff <(echo "$expected") <(echo "$after"))"
done
echo "install and uninstall: ok"
