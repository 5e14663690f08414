#!/usr/bin/env bash
# The installer under Wine, as an administrator runs it: a silent install puts the program under
# Program Files with its Start-menu shortcut and Installed-apps entry, the installed program
# passes the short session, and a silent uninstall leaves nothing behind.
#   installer-session.sh XTOOL
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
fail() {
    echo "installer-session: $*" >&2
    exit 1
}
: "${WINEPREFIX:?}" "${GLIMMERBOX_WINDOWS_DIR:?}"
# shellcheck source=../../scripts/lib/common.sh
source "$here/../../scripts/lib/common.sh"
wine=${GLIMMERBOX_WINE64:-/usr/lib/wine/wine64}
setup=$(echo "$GLIMMERBOX_WINDOWS_DIR"/../glimmerbox-*-setup.exe)
dir="$WINEPREFIX/drive_c/Program Files/Glimmerbox"
link="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Glimmerbox.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Glimmerbox'
entry() { "$wine" reg query "$key" 2>/dev/null | tr -d '\r'; }

[[ -f $setup ]] || fail "no installer beside $GLIMMERBOX_WINDOWS_DIR"
timeout 120 "$wine" "$setup" /S || fail "the silent install failed"
# Wine may hand the last registry writes on a moment after the installer has ended.
finished() { entry | grep -q EstimatedSize; }
wait_for 30 "the installer's Installed-apps entry" finished
[[ -f $dir/glimmerbox.exe && -f $dir/uninstall.exe ]] || fail "nothing installed in $dir"
[[ -f $link ]] || fail "no Start-menu shortcut"
for value in "DisplayName +REG_SZ +Glimmerbox$" "DisplayVersion +REG_SZ +1\.0\.4$" \
    "Publisher +REG_SZ +Moonferry$" "DisplayIcon +REG_SZ .*glimmerbox\.exe,0$" \
    "EstimatedSize +REG_DWORD" "UninstallString +REG_SZ .*uninstall\.exe"; do
    entry | grep -Eq "$value" || fail "the Installed-apps entry has no $value"
done

GLIMMERBOX_WINDOWS_DIR=$dir "$here/wine-session.sh" "$1"

# The uninstaller runs a copy of itself and returns at once.
timeout 60 "$wine" "$dir/uninstall.exe" /S
gone() { [[ ! -e $dir && ! -e $link ]] && ! "$wine" reg query "$key" >/dev/null 2>&1; }
wait_for 60 "the uninstaller removing the folder, the shortcut and the Installed-apps entry" gone
echo "installer-session: installed, used and removed without a trace"
