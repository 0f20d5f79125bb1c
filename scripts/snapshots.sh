#!/usr/bin/env bash
# Regenerates the pictures in docs/ from a built tree (run scripts/build.sh first).
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

cmake --build "$build" --target flintwick-editor-snapshot flintwick-demo
xvfb-run -a "$build/tests/flintwick-editor-snapshot" "$root/docs/editor.png"
"$build/tools/flintwick-demo" "$build/demo" "$build/Flintwick_artefacts/Release/VST3/FLINTWICK.vst3" >/dev/null
cp "$build/demo/demo-waveforms.png" "$root/docs/waveforms.png"
