#!/usr/bin/env bash
# CI hook: ten seconds of every fuzz target, two at a time (see fuzz/run). Fails when a target
# finds a fault.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
exec "$root/fuzz/run" "${ORVEX_FUZZ_SECONDS:-10}"
