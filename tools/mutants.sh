#!/usr/bin/env bash
# One-line faults in the core, each of which some native test must catch (see tools/mutants.py).
#   bash tools/mutants.sh                  every fault of the whole core (about an hour on 2 cores)
#   bash tools/mutants.sh FILE...          the faults of these core files
#   bash tools/mutants.sh --sample N       N faults chosen at random (--seed S to choose others)
#   bash tools/mutants.sh --list [FILE...] only list the faults
# Scratch copies and their builds live in build/mutants; the report in build/mutants/report.txt.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
exec python3 tools/mutants.py "$@"
