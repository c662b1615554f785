#!/usr/bin/env bash
# The release as a user gets it. script/release runs with a throwaway update key
# and Authenticode certificate (and once more as the next version); then, under
# Wine with the services of script/lib/services.sh running (script/test starts
# them): the msi installs, upgrades and uninstalls, the zip's program runs from an
# odd folder, and the signatures, digests and manifests hold.
# Prints a line per test and "release: N passed, N failed"; exit status 1 on a failure.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root" || exit 1
t=$(mktemp -d /tmp/marvolt-release.XXXXXX)
[ -n "${MARVOLT_KEEP:-}" ] || trap 'rm -rf "$t"' EXIT
export MARVOLT_DIST=$t/dist MARVOLT_TIMESTAMP_URL="" LC_ALL=C.UTF-8
passed=0 failed=0 problems=()

expect() {  # expect <what> <command...>: the command succeeds
    local what=$1
    shift
    "$@" >>"$t/log" 2>&1 || problems+=("$what")
}
verdict() {
    if [ ${#problems[@]} -eq 0 ]; then
        passed=$((passed + 1))
        echo "release $1: ok"
    else
        failed=$((failed + 1))
        printf 'release %s: FAILED: %s\n' "$1" "$(IFS=';'; echo "${problems[*]}")"
    fi
    problems=()
}
win() { winepath -w "$1" 2>/dev/null; }
reg_has() { test "$(wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_SZ *//p")" = "$3"; }
# The program's version resource, read back: "<key>=<value>" lines.
version_info() { strings -el "$1" | awk 'prev { print prev "=" $0 } { prev = /^[A-Z][A-Za-z]+$/ ? $0 : "" }'; }
# The real program, started from <exe>, shows its window ("Marvolt Vers. 1.01"),
# its tray icon and a menu that switches (the end-to-end tier's first-start journey).
runs() {
    MARVOLT_EXE=$(win "$1") MARVOLT_E2E_HOOK=$(win "build/$flavour/marvolt_e2e_hook.dll") \
        MARVOLT_E2E_ARTEFACTS=$t wine "build/$flavour/marvolt_e2e_tests.exe" \
        --gtest_filter=Marvolt.FirstStartTrayMenuAndExit
}
flavour=i686 bits=win32
[ "${MARVOLT_32BIT:-none}" != none ] || flavour=x86_64 bits=win64

openssl ecparam -name prime256v1 -genkey -noout -out "$t/update.pem"
openssl req -x509 -newkey rsa:2048 -nodes -subj "/CN=Marvolt release test" -days 1 \
    -keyout "$t/cert.key" -out "$t/cert.pem" 2>/dev/null
openssl pkcs12 -export -passout pass: -inkey "$t/cert.key" -in "$t/cert.pem" -out "$t/cert.pfx"
script/release --key "$t/update.pem" --authenticode "$t/cert.pfx" >"$t/release.log" 2>&1 ||
    { cat "$t/release.log"; echo "release: 0 passed, 1 failed"; exit 1; }
source build/release/i686/release.env
v=$MARVOLT_VERSION next=$MARVOLT_NEXT_VERSION
d=$t/dist/$v
script/release --version "$next" >"$t/release-next.log" 2>&1 || { echo "release: 0 passed, 1 failed ($next)"; exit 1; }

# --- The msi ----------------------------------------------------------------------
local_app=$(wine cmd /c echo %LOCALAPPDATA% 2>/dev/null | tr -d '\r')
app=$(winepath -u "$local_app" 2>/dev/null)
installed="$app/Programs/Marvolt"
menu=$(winepath -u "$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')")/Microsoft/Windows/Start\ Menu/Programs
run='HKCU\Software\Microsoft\Windows\CurrentVersion\Run' settings='HKCU\Software\VB and VBA Program Settings\Marvolt\Settings'
mapper='HKCU\Software\Microsoft\Multimedia\Sound Mapper'
entries() {  # installed-programs entries named Marvolt, and whether $1's uninstall command is one
    local all
    all=$(for hive in HKCU HKLM; do wine reg query "$hive\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall" /s; done 2>/dev/null | tr -d '\r')
    echo "$(grep -c 'DisplayName *REG_SZ *Marvolt$' <<<"$all") $(grep -c "UninstallString.*/X$(msiinfo export "$1" Property | awk '/^ProductCode/ { print $2 }' | tr -d '\r')" <<<"$all")"
}
msiexec() { wine msiexec "$1" "$(win "$2")" /qn; }
expect "installs" msiexec /i "$d/Marvolt-$v-win32.msi"
four_files() { test "$(ls "$installed" | tr '\n' ' ')" = "LICENSE.txt Marvolt.exe README.txt Update.exe "; }
expect "four files in %LOCALAPPDATA%\\Programs\\Marvolt" four_files
expect "a Start-menu shortcut" test -f "$menu/Marvolt.lnk"
expect "one installed-programs entry" test "$(entries "$d/Marvolt-$v-win32.msi")" = "1 1"
# Stamped with the version the release was made as.
expect "VERSIONINFO FileVersion=$v" grep -qx "FileVersion=$v" <(version_info "$installed/Marvolt.exe")
if [ "$flavour" = i686 ]; then
    expect "the installed program starts and shows its tray icon" runs "$installed/Marvolt.exe"
else
    echo "release: this machine runs no 32-bit programs: the installed program is not started"
fi
# As the program writes it where the path has a blank: quoted.
ours="\"$local_app\\Programs\\Marvolt\\Marvolt.exe\""
wine reg add "$run" /v Marvolt /d "$ours" /f >/dev/null 2>&1
wine reg add "$settings" /v PlaybackCheck /d 1 /f >/dev/null 2>&1
wine reg add "$mapper" /v Playback /d Headset /f >/dev/null 2>&1
mkdir -p "$app/Marvolt" && cp "$installed/Update.exe" "$app/Marvolt/Update.exe"
expect "$next installs over $v" msiexec /i "$d/../$next/Marvolt-$next-win32.msi"
expect "one entry, $next's" test "$(entries "$d/../$next/Marvolt-$next-win32.msi")" = "1 1"
expect "one copy, $next" grep -qx "ProductVersion=$next" <(version_info "$installed/Marvolt.exe")
expect "four files still" four_files
expect "the upgrade keeps the autostart" reg_has "$run" Marvolt "$ours"
expect "uninstalls" msiexec /x "$d/../$next/Marvolt-$next-win32.msi"
expect "the program folder goes" test ! -e "$installed"
expect "the shortcut goes" test ! -e "$menu/Marvolt.lnk"
expect "the entry goes" test "$(entries "$d/../$next/Marvolt-$next-win32.msi")" = "0 0"
expect "the autostart value goes" bash -c "! wine reg query '$run' /v Marvolt"
expect "the downloaded updater goes" test ! -e "$app/Marvolt/Update.exe"
expect "the settings stay" reg_has "$settings" PlaybackCheck 1
expect "the Sound Mapper values stay" reg_has "$mapper" Playback Headset
# Another copy's autostart value is not the installer's to remove.
wine reg add "$run" /v Marvolt /d 'C:\Tools\Marvolt\Marvolt.exe' /f >/dev/null 2>&1
expect "installs again" msiexec /i "$d/Marvolt-$v-win32.msi"
expect "uninstalls again" msiexec /x "$d/Marvolt-$v-win32.msi"
expect "another copy's autostart stays" reg_has "$run" Marvolt 'C:\Tools\Marvolt\Marvolt.exe'
wine reg delete "$run" /v Marvolt /f >/dev/null 2>&1
verdict msi

# --- The zip ----------------------------------------------------------------------
for zip in win32 win64; do
    expect "$zip.zip holds exactly its files" test "$(unzip -Z1 "$d/Marvolt-$v-$zip.zip" | sort | tr '\n' ' ')" = \
        "LICENSE.txt Marvolt.exe README.txt Update.exe "
done
odd="$t/Marvolt Prüfung Ёжик"
expect "unpacks" unzip -q "$d/Marvolt-$v-$bits.zip" -d "$odd"
expect "README.txt has Windows line ends" test "$(grep -c $'\r$' "$odd/README.txt")" = "$(wc -l <"$odd/README.txt")"
expect "the program runs from '$odd'" runs "$odd/Marvolt.exe"
verdict zip

# --- Signatures, digests, manifests -------------------------------------------------
for file in "$odd/Marvolt.exe" "$odd/Update.exe" "$d/Marvolt-$v-win32.msi"; do
    expect "Authenticode of $(basename "$file")" osslsigncode verify -CAfile "$t/cert.pem" -in "$file"
done
openssl ec -in "$t/update.pem" -pubout -out "$t/update-public.pem" 2>/dev/null
for file in Tools/Marvolt/eng/Marvolt.exe Zarnik-Updater.exe; do  # r and s as the program reads them, in DER
    python3 -c 'import sys
def i(b): b = b.lstrip(b"\0"); b = b"\0" + b if b[0] & 0x80 else b; return bytes([2, len(b)]) + b
s = open(sys.argv[1], "rb").read(); body = i(s[:32]) + i(s[32:]); sys.stdout.buffer.write(bytes([0x30, len(body)]) + body)' \
        "$d/update-server/Downloads/$file.sig" >"$t/sig.der"
    expect "update signature of $file" openssl dgst -sha256 -verify "$t/update-public.pem" -signature "$t/sig.der" \
        "$d/update-server/Downloads/$file"
done
expect "SHA256SUMS matches" bash -c "cd '$d' && sha256sum --quiet -c SHA256SUMS"
expect "SHA256SUMS covers the zips and the msi" test "$(grep -c "Marvolt-$v-win[36][24]\.\(zip\|msi\)$" "$d/SHA256SUMS")" = 3
expect "the manifests hold the version, addresses and digests" python3 - "$d" "$v" "$MARVOLT_UPDATE_SERVER" <<'EOF'
import hashlib, json, os, re, sys
d, v, server = sys.argv[1:]
sha = lambda name: hashlib.sha256(open(os.path.join(d, name), "rb").read()).hexdigest()
url = lambda name: f"{server}/Downloads/Releases/{v}/{name}"
scoop = json.load(open(f"{d}/scoop/marvolt.json"))
assert scoop["version"] == v
for arch, bits in (("32bit", "win32"), ("64bit", "win64")):
    name = f"Marvolt-{v}-{bits}.zip"
    assert scoop["architecture"][arch] == {"url": url(name), "hash": sha(name)}, arch
folder = f"{d}/winget/manifests/m/Marvolt/Marvolt/{v}"
texts = [open(f"{folder}/{name}").read() for name in sorted(os.listdir(folder))]
assert len(texts) == 3 and all(f'PackageVersion: "{v}"' in text for text in texts)
pairs = re.findall(r"InstallerUrl: (\S+)\n  InstallerSha256: (\w+)", texts[0])
names = [f"Marvolt-{v}-win32.zip", f"Marvolt-{v}-win64.zip", f"Marvolt-{v}-win32.msi"]
assert pairs == [(url(n), sha(n).upper()) for n in names], pairs
EOF
verdict signatures

echo "release: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
