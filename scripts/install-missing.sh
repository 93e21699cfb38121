#!/usr/bin/env bash
# Installs those of the named Debian packages that are not installed yet,
# with apt-get (as root, or through sudo), and says which on stderr.
# Usage: scripts/install-missing.sh LABEL [--no-install-recommends] PACKAGE...
#   LABEL begins the line that names what is installed ("setup", "web").
set -euo pipefail
label=$1
shift
options=()
if [ "${1:-}" = "--no-install-recommends" ]; then
  options+=("$1")
  shift
fi
missing=()
for p in "$@"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -gt 0 ] || exit 0
echo "$label: installing ${missing[*]}" >&2
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${options[@]}" "${missing[@]}"
