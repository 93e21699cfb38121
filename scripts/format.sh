#!/usr/bin/env bash
# Formats every tracked C++ file (*.cpp, *.h) with clang-format and the
# project's .clang-format, in place. With --check it changes nothing, lists
# the files that are not formatted and exits 1 when there are any.
# Exits 77 (skipped) with a message when clang-format 14, the version the tree
# is formatted with, is missing (other major versions format differently),
# or when this is not a git checkout.
set -euo pipefail
cd "$(dirname "$0")/.."
readonly kMajor=14

check=0
case "${1:-}" in
  --check) check=1 ;;
  "") ;;
  *) echo "usage: scripts/format.sh [--check]" >&2; exit 2 ;;
esac

tool=""
found=""
for candidate in "clang-format-$kMajor" clang-format; do
  command -v "$candidate" > /dev/null || continue
  version=$("$candidate" --version | sed -n 's/.*version \([0-9]*\)\..*/\1/p')
  if [ "$version" = "$kMajor" ]; then
    tool=$candidate
    break
  fi
  found=" (found version ${version:-unknown}, which formats differently)"
done
if [ -z "$tool" ]; then
  echo "format: skipped: clang-format $kMajor is not installed$found; on Debian 12: apt-get install clang-format-$kMajor" >&2
  exit 77
fi
if ! files=$(git ls-files -- '*.cpp' '*.h' 2> /dev/null); then
  echo "format: skipped: not a git checkout, so there is no list of tracked files" >&2
  exit 77
fi

if [ "$check" -eq 0 ]; then
  printf '%s\n' "$files" | xargs -r "$tool" -i --style=file
  exit 0
fi
unformatted=0
while IFS= read -r f; do
  if ! "$tool" --style=file --dry-run -Werror "$f" > /dev/null 2>&1; then
    echo "$f"
    unformatted=$((unformatted + 1))
  fi
done <<< "$files"
if [ "$unformatted" -gt 0 ]; then
  echo "format: $unformatted file(s) not formatted; bash scripts/format.sh formats them" >&2
  exit 1
fi
