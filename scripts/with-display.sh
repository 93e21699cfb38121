#!/usr/bin/env bash
# Runs a command with an X display: the current one when DISPLAY is set,
# otherwise a private Xvfb (Mesa's llvmpipe renders the GL in software).
set -euo pipefail
if [ -n "${DISPLAY:-}" ]; then
  exec "$@"
fi
exec xvfb-run -a -s "-screen 0 800x600x24 +extension GLX +render -noreset" "$@"
