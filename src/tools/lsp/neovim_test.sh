#!/bin/sh
# Runs the Neovim client test: the README's Lua set-up, then neovim_test.lua,
# on the example and on a pair with mistakes written here in Windows-1252.
# Exits 77 (skipped) where Neovim is not installed.
program=$1
examples=$2
if ! command -v nvim >/dev/null 2>&1; then
  echo "SKIPPED: Neovim (nvim) is not installed"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The README's first Lua block is the set-up under test.
sed -n '/^```lua$/,/^```$/p' "$examples/../README.md" | sed '1d;$d' >"$work/setup.lua"
printf '[generale]\r\nlunghezza percorso, 6000\r\n[curve]\r\npendensa, 1200, 8\r\ncartello_indicatore, 900, (CITT\300), ALTRO\r\n[fine]\r\n' >"$work/Mia_linea.txt"
printf '[generale]\r\nvelocita, 0, 80\r\nsegnale, 900, 1, 3, 1, 1, 0, 0, 0, 0, 0, 0\r\nstazione, 2210, 23, 200, 0,0,0, 0,0,0, 4,1,1, 20, 8,20,0, CITT\300\r\n\r\n[fine]\r\n' >"$work/Mia_Treno-.txt"
PATH="$(cd "$(dirname "$program")" && pwd):$PATH" SC_WORK="$work" SC_EXAMPLES="$(cd "$examples" && pwd)" HOME="$work" \
  timeout 100 nvim --headless -u NONE -i NONE -n -c "luafile $work/setup.lua" -c "luafile $(dirname "$0")/neovim_test.lua"
