#!/usr/bin/env bash
# Builds everything and runs every test. Tests that open windows run under Xvfb.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

configure
cmake --build "$build"
xvfb-run -a -s "-screen 0 1024x768x24" \
    ctest --test-dir "$build" --output-on-failure --timeout 600
