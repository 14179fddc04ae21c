#!/bin/sh
# --help names every key the game reads, and the man page's key table names the same keys.
# usage: help_keys.sh FARWAKE MAN_PAGE
game=$1 man=$2
help=$("$game" --help | sed -n '/^keys/,$p' | sed -n 's/^  \(.*[^ ]\)  .*/\1/p' | sort)
table=$(sed -n '/^\.SH KEYS/,/^\.SH CONTROLLER/p' "$man" | sed -n 's/^\.B //p' | sort)
for key in Escape "Left, Right" Up Tab "Left Ctrl" "Left Alt" Enter "P or Pause" F1 F11 R F5 D F10; do
    printf '%s\n' "$help" | grep -qxF "$key" || { echo "FAIL: --help does not name $key"; exit 1; }
done
[ "$help" = "$table" ] || {
    echo "FAIL: --help and the man page name different keys:"
    printf "%s\n" "$help" >"${TMPDIR:-/tmp}/farwake_help_keys.txt"
    printf "%s\n" "$table" | diff "${TMPDIR:-/tmp}/farwake_help_keys.txt" -
    exit 1
}
echo "--help and the man page name the same $(printf '%s\n' "$help" | wc -l) keys"
