#!/usr/bin/env bash
# Runs the state fuzzer for a bounded time on a copy of the seed corpus.
# Usage: run_fuzzer.sh FUZZER CORPUS SECONDS
set -euo pipefail
fuzzer=$1 corpus=$2 seconds=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
mkdir found
# JUCE prints a line for each of its debug assertions about malformed text; only the
# fuzzer's own verdict matters here.
"$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 -print_final_stats=1 \
    found "$corpus" 2>&1 | grep -v '^JUCE Assertion failure'
