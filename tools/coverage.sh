#!/usr/bin/env bash
# Line and branch coverage of the core (app, base, clock, icon, info, menu, procview) by the
# native unit and scenario tests: builds the coverage preset, runs the tests, prints a table per
# file and the totals, and fails when a line of the core is not run or fewer than 95% of its
# branches are taken. A line or branch that cannot honestly be reached is excluded where it
# stands, with a comment that says why (GCOVR_EXCL_LINE, GCOVR_EXCL_BR_LINE).
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.." || exit 1

min_branches=95
build=build/coverage

cmake --preset coverage >/dev/null || exit 1
# Counters of an earlier build would not match the rebuilt objects, which the build already runs
# to list their tests; they go before the build and again before the run.
find "$build" -name '*.gcda' -delete
cmake --build --preset coverage --target unit_tests scenario_tests || exit 1
find "$build" -name '*.gcda' -delete
# Notes of sources that were removed since the last build would count as lines never run.
while IFS= read -r notes; do
  source=${notes#"$build/CMakeFiles/zorvik_core.dir/"}
  [[ -f ${source%.gcno} ]] || rm -f "$notes"
done < <(find "$build/CMakeFiles/zorvik_core.dir" -name '*.gcno')
ctest --preset coverage --parallel 2 -R '^(unit|scenario)\.' >"$build/ctest.log" 2>&1 ||
  { cat "$build/ctest.log"; echo "coverage: the tests failed"; exit 1; }

gcovr --root . --object-directory "$build" "$build/CMakeFiles/zorvik_core.dir" \
  --filter '(app|base|clock|icon|info|menu|procview)/' \
  --exclude-throw-branches --exclude-unreachable-branches \
  --json-summary "$build/summary.json" >/dev/null || exit 1

python3 - "$build/summary.json" "$min_branches" <<'EOF'
import json, sys
summary = json.load(open(sys.argv[1]))
minimum = float(sys.argv[2])

def percent(covered, total):
    return 100.0 * covered / total if total else 100.0

rows = sorted(summary["files"], key=lambda f: f["filename"])
width = max(len(f["filename"]) for f in rows)
print(f"{'file':<{width}}  {'lines':>13}  {'branches':>13}")
for f in rows:
    lines = f"{f['line_covered']}/{f['line_total']}"
    branches = f"{f['branch_covered']}/{f['branch_total']}"
    print(f"{f['filename']:<{width}}  {lines:>8} {percent(f['line_covered'], f['line_total']):3.0f}%"
          f"  {branches:>8} {percent(f['branch_covered'], f['branch_total']):3.0f}%")
lines_pct = percent(summary["line_covered"], summary["line_total"])
branches_pct = percent(summary["branch_covered"], summary["branch_total"])
lines = f"{summary['line_covered']}/{summary['line_total']}"
branches = f"{summary['branch_covered']}/{summary['branch_total']}"
print(f"{'total':<{width}}  {lines:>8} {lines_pct:5.1f}%  {branches:>8} {branches_pct:5.1f}%")

failed = False
missed = [f["filename"] for f in rows if f["line_covered"] < f["line_total"]]
if missed:
    print("coverage: lines of the core that no test runs, in: " + ", ".join(missed))
    failed = True
if branches_pct < minimum:
    print(f"coverage: {branches_pct:.1f}% of the core's branches are taken, fewer than {minimum:.0f}%")
    failed = True
sys.exit(1 if failed else 0)
EOF
status=$?
((status == 0)) || echo "coverage: see the lines and branches with: gcovr --root . --object-directory $build --filter 'menu/' --exclude-throw-branches --exclude-unreachable-branches --txt -b"
exit "$status"
