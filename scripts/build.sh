#!/usr/bin/env bash
# Installs what is missing, builds everything and opens the dialog under Wine.
# With no display, the dialog is shown on a virtual one and a screenshot is
# saved as build/screenshots/dialog.png.
set -euo pipefail
. "$(dirname "$0")/common.sh"

"$root/scripts/install-deps.sh"
build_all
echo "Built: $root/dist/win32/PortSetup.exe and $root/dist/win64/PortSetup.exe"
"$root/scripts/show-dialog.sh"
