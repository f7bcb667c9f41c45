#!/usr/bin/env bash
# Installs i386 packages while the mirror's i386 security list cannot be used (mid-sync, its size
# disagrees with the Release file, and apt drops it). An i386 library must have the version of
# its amd64 twin, and twins installed from the security archive are then not installable. The
# list as the mirror serves it still names them: their .debs are fetched from the pool into a
# local repository, and apt installs from the main archive and that repository alone.
# Usage: scripts/i386-twins.sh PACKAGE:i386...
set -euo pipefail
mirror=http://deb.debian.org
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# apt fetches as its own user, which must reach the local repository.
chmod 755 "$work"
mkdir -p "$work/repo" "$work/lists/partial" "$work/parts"

codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
curl -sf "$mirror/debian-security/dists/$codename-security/main/binary-i386/Packages.xz" | xz -dc >"$work/security"

# Multi-Arch: same entries whose version is the one installed for amd64: the twins to fetch.
awk 'BEGIN { RS = ""; FS = "\n" } /\nMulti-Arch: same/ {
  for (i = 1; i <= NF; i++) {
    if ($i ~ /^Package: /) name = substr($i, 10)
    if ($i ~ /^Version: /) version = substr($i, 10)
    if ($i ~ /^Filename: /) file = substr($i, 11)
  }
  print name, version, file
}' "$work/security" | while read -r name version file; do
  [ "$(dpkg-query -W -f='${Version}' "$name:amd64" 2>/dev/null)" = "$version" ] || continue
  curl -sf -o "$work/repo/${file##*/}" "$mirror/debian-security/$file"
  echo "$name"
done >"$work/twins"

# Their entries, pointing into the local repository.
awk -v twins="$(tr '\n' ' ' <"$work/twins")" 'BEGIN {
  RS = ""; FS = "\n"; n = split(twins, t, " "); for (i = 1; i <= n; i++) wanted[t[i]] = 1
} {
  name = ""; for (i = 1; i <= NF; i++) if ($i ~ /^Package: /) name = substr($i, 10)
  if (!(name in wanted)) next
  for (i = 1; i <= NF; i++) { line = $i; if (line ~ /^Filename: /) sub(/Filename: .*\//, "Filename: ./", line); print line }
  print ""
}' "$work/security" >"$work/repo/Packages"

cat >"$work/parts/main.sources" <<EOF
Types: deb
URIs: $mirror/debian
Suites: $codename $codename-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
echo "deb [trusted=yes] file:$work/repo ./" >"$work/local.list"
sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
apt=($sudo apt-get -o DPkg::Lock::Timeout=600 -o "Dir::Etc::SourceList=$work/local.list"
  -o "Dir::Etc::SourceParts=$work/parts" -o "Dir::State::Lists=$work/lists")
"${apt[@]}" update -qq
DEBIAN_FRONTEND=noninteractive "${apt[@]}" install -y -qq --no-install-recommends "$@" >/dev/null
