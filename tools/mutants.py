#!/usr/bin/env python3
"""One-line faults in the core, each of which some native test must catch.

Makes the faults a developer makes in one line: a comparison flipped or loosened, a condition
negated, `&&` and `||` swapped, an integer constant or table entry moved by one, a call or an
assignment removed, two arguments swapped. Applies each alone to a scratch copy of the tree,
rebuilds only what changed, and runs the unit and scenario tests with a time limit. Prints the
score and every survivor as file:line with its diff.

Faults that change nothing the program does are listed in tools/mutants-skip.txt, one entry per
paragraph: the file and the reason, then as much context as makes the place unique (`in:` the
function whose body holds the line, `after:` or `before:` the nearest non-blank line above or
below, as it stands), then the line as it is and as the fault makes it:

    app/example.cpp: why the fault changes nothing the program does
    in: CountThings
    -const int count = 1;
    +const int count = 0;

Lines compare without their indentation, wherever the line has moved. Each entry must name
exactly one fault of its file, and that fault is run like every other: one the tests catch (or
that does not build) is a stale entry. An entry that matches nothing or more than one place, a
stale entry and a survivor each make the run fail. Lines that coverage excludes as unreachable
(GCOVR_EXCL_LINE, GCOVR_EXCL_START..STOP) get no fault.
"""
import argparse
import os
import random
import re
import shutil
import subprocess
import sys
import threading
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
CORE = ("app", "base", "clock", "icon", "info", "menu", "procview")
SKIP_FILE = os.path.join(ROOT, "tools", "mutants-skip.txt")
OUT = os.path.join(ROOT, "build", "mutants")
TESTS = ("tests/unit_tests", "tests/scenario_tests")


# ---------------------------------------------------------------- making the faults

def mask_literals(line):
    """The line with string and character literals and the trailing comment blanked, so that
    no fault is made inside text; same length as the line."""
    out = list(line)
    i, n = 0, len(line)
    while i < n:
        c = line[i]
        if line.startswith("//", i):
            for j in range(i, n):
                out[j] = " "
            break
        if c in "\"'":
            j = i + 1
            while j < n and line[j] != c:
                j += 2 if line[j] == "\\" else 1
            for k in range(i + 1, min(j, n)):
                out[k] = "_"
            i = j + 1
            continue
        i += 1
    return "".join(out)


def balanced_end(text, start):
    """Index just past the parenthesis that closes the one at `start`, or -1."""
    depth = 0
    for i in range(start, len(text)):
        if text[i] == "(":
            depth += 1
        elif text[i] == ")":
            depth -= 1
            if depth == 0:
                return i + 1
    return -1


def top_level_commas(text, start, end):
    depth, commas = 0, []
    for i in range(start, end):
        c = text[i]
        if c in "([{":
            depth += 1
        elif c in ")]}":
            depth -= 1
        elif c == "," and depth == 0:
            commas.append(i)
    return commas


RELATIONAL = {" == ": " != ", " != ": " == ", " < ": " <= ", " <= ": " < ", " > ": " >= ",
              " >= ": " > "}
LOGICAL = {" && ": " || ", " || ": " && "}
NUMBER = re.compile(r"(?<![\w.])(0[xX][0-9a-fA-F]+|\d+)([uU]?[lL]{0,2})(?![\w.])")
CALL_STATEMENT = re.compile(r"^\s*(?:[A-Za-z_][\w]*(?:::|\.|->))*[A-Za-z_]\w*\s*\(.*\);\s*$")
ASSIGNMENT = re.compile(r"^\s*[A-Za-z_][\w.\[\]>:-]*\s*(?:=|\+=|-=|\|=|&=|\^=|<<=|>>=)\s[^=].*;\s*$")
INCREMENT = re.compile(r"^\s*(?:\+\+|--)?[A-Za-z_][\w.\[\]>:-]*(?:\+\+|--)?;\s*$")
STATEMENT_ENDS = (";", "{", "}", ":")
CALL = re.compile(r"([A-Za-z_]\w*)\s*\(")
NOT_CALLS = {"if", "while", "for", "switch", "return", "sizeof", "static_cast", "reinterpret_cast"}


def faults_of_line(line, previous):
    """Every one-line fault of `line` as (description, faulty line)."""
    code = mask_literals(line)
    stripped = code.strip()
    if not stripped or stripped.startswith(("#", "//", "static_assert", "*", "/*")):
        return []
    faults = []

    def put(at, old, new, what):
        faults.append((what, line[:at] + new + line[at + len(old):]))

    for table, what in ((RELATIONAL, "comparison"), (LOGICAL, "logic")):
        for old, new in table.items():
            for m in re.finditer(re.escape(old), code):
                put(m.start(), old, new, f"{what} {old.strip()} -> {new.strip()}")

    for keyword in ("if (", "while ("):
        at = code.find(keyword)
        if at >= 0:
            open_at = at + len(keyword) - 1
            end = balanced_end(code, open_at)
            if end > 0:
                inner = line[open_at + 1:end - 1]
                faults.append((f"condition negated",
                               line[:open_at + 1] + "!(" + inner + ")" + line[end - 1:]))

    for m in NUMBER.finditer(code):
        text, suffix = m.group(1), m.group(2)
        value = int(text, 16) if text.lower().startswith("0x") else int(text)
        for moved in (value + 1, value - 1):
            if moved < 0:
                continue
            new = (hex(moved) if text.lower().startswith("0x") else str(moved)) + suffix
            put(m.start(), text + suffix, new, f"constant {text} -> {new}")

    before = mask_literals(previous).strip()
    starts_statement = before == "" or before.endswith(STATEMENT_ENDS)
    if starts_statement and not stripped.startswith(("return", "case ", "default")) and (
            CALL_STATEMENT.match(code) or ASSIGNMENT.match(code) or INCREMENT.match(code)):
        indent = line[:len(line) - len(line.lstrip())]
        faults.append(("statement removed", indent + ";"))

    for call in CALL.finditer(code):
        name = call.group(1)
        open_at = call.end() - 1
        end = balanced_end(code, open_at)
        if name in NOT_CALLS or end < 0:
            continue
        commas = top_level_commas(code, open_at + 1, end - 1)
        if not commas:
            continue
        a_start, a_end = open_at + 1, commas[0]
        b_start, b_end = commas[0] + 1, commas[1] if len(commas) > 1 else end - 1
        first, second = line[a_start:a_end].strip(), line[b_start:b_end].strip()
        if first != second:
            faults.append((f"arguments of {name} swapped",
                           line[:a_start] + second + ", " + first + line[b_end:]))
        break
    return faults


FUNCTION = re.compile(r"([A-Za-z_]\w*)\s*\(")


def enclosing_functions(lines):
    """Per line, the name of the function whose body holds it ("" at file scope): the last
    definition that starts in the first column above it, as the formatter lays them out."""
    names, current = [], ""
    for line in lines:
        code = mask_literals(line)
        if code[:1] not in ("", " ", "}", "#", "/") and not code.startswith("namespace"):
            match = FUNCTION.search(code)
            opens = match and not code.rstrip().endswith(";") and "=" not in code[:match.start()]
            current = match.group(1) if opens else ""
        names.append(current)
    return names


def neighbours(lines, index):
    """The nearest non-blank lines above and below line `index` (0-based), stripped."""
    above = next((l.strip() for l in reversed(lines[:index]) if l.strip()), "")
    below = next((l.strip() for l in lines[index + 1:] if l.strip()), "")
    return above, below


def faults_of_file(path):
    with open(os.path.join(ROOT, path), encoding="utf-8") as f:
        lines = f.read().split("\n")
    functions = enclosing_functions(lines)
    faults = []
    previous = ""
    in_block_comment = False
    excluded = False  # between GCOVR_EXCL_START and GCOVR_EXCL_STOP: no test can reach it
    compile_time = False  # inside a static_assert: a fault there stops the build or changes nothing
    for number, line in enumerate(lines, 1):
        text = line.strip()
        excluded = (excluded or "GCOVR_EXCL_START" in line) and "GCOVR_EXCL_STOP" not in line
        checking = compile_time or text.startswith("static_assert(")
        compile_time = checking and not text.endswith(";")
        if in_block_comment:
            in_block_comment = "*/" not in text
        elif text.startswith("/*"):
            in_block_comment = "*/" not in text
        elif not excluded and not checking and "GCOVR_EXCL_LINE" not in line:
            for what, faulty in faults_of_line(line, previous):
                if faulty != line:
                    above, below = neighbours(lines, number - 1)
                    faults.append({"file": path, "line": number, "what": what,
                                   "old": line, "new": faulty, "in": functions[number - 1],
                                   "after": above, "before": below})
        if text:
            previous = line
    return faults


CONTEXT_KEYS = ("in", "after", "before")


def read_skips():
    """The entries of the skip list, each with where it starts in the list; exits on an entry
    it cannot read."""
    entries = []
    if not os.path.exists(SKIP_FILE):
        return entries
    with open(SKIP_FILE, encoding="utf-8") as f:
        numbered = list(enumerate(f.read().split("\n"), 1))
    paragraph = []
    for number, line in numbered + [(0, "")]:
        if line.strip():
            if not line.startswith("#"):
                paragraph.append((number, line))
            continue
        if not paragraph:
            continue
        where = f"tools/mutants-skip.txt:{paragraph[0][0]}"
        lines = [l for _, l in paragraph]
        paragraph = []
        path, _, reason = lines[0].partition(": ")
        if len(lines) < 3 or not reason.strip() or not lines[-2].startswith("-") or \
                not lines[-1].startswith("+"):
            sys.exit(f"{where}: an entry is \"file: reason\", its context, \"-line\", \"+line\"")
        entry = {"file": path, "reason": reason, "where": where, "context": {},
                 "old": lines[-2][1:].strip(), "new": lines[-1][1:].strip()}
        for context in lines[1:-2]:
            key, _, value = context.partition(": ")
            if key not in CONTEXT_KEYS or not value.strip() or key in entry["context"]:
                sys.exit(f"{where}: context is one each of \"in: function\", \"after: line\", "
                         f"\"before: line\"")
            entry["context"][key] = value.strip()
        entries.append(entry)
    return entries


def match_skips(entries, faults, files):
    """Marks the one fault each entry names as listed; returns complaints about the entries
    that name no fault or more than one of the files in this run."""
    complaints = []
    for entry in entries:
        if entry["file"].split("/")[0] not in CORE or \
                not os.path.isfile(os.path.join(ROOT, entry["file"])):
            complaints.append(f"{entry['where']}: {entry['file']} is no file of the core")
            continue
        if entry["file"] not in files:
            continue
        found = [f for f in faults if f["file"] == entry["file"] and
                 f["old"].strip() == entry["old"] and f["new"].strip() == entry["new"] and
                 all(f[key] == value for key, value in entry["context"].items())]
        if not found:
            complaints.append(f"{entry['where']}: matches no fault of {entry['file']}")
        elif len(found) > 1:
            lines = ", ".join(str(f["line"]) for f in found)
            complaints.append(f"{entry['where']}: matches {len(found)} places ({entry['file']} "
                              f"lines {lines}); say more with \"in:\", \"after:\" or \"before:\"")
        elif "listed" in found[0]:
            complaints.append(f"{entry['where']}: names the fault that "
                              f"{found[0]['listed']['where']} names")
        else:
            found[0]["listed"] = entry
    return complaints


# ---------------------------------------------------------------- running them

class Worker:
    """A scratch copy of the tree with its own build of the tests."""

    def __init__(self, index):
        self.dir = os.path.join(OUT, f"worker-{index}")
        self.src = os.path.join(self.dir, "src")
        self.build = os.path.join(self.dir, "build")

    def prepare(self):
        files = subprocess.run(["git", "ls-files", "-co", "--exclude-standard"], cwd=ROOT,
                               check=True, capture_output=True, text=True).stdout.split()
        # A copy made from an earlier tree may hold files that are gone since: the build globs.
        wanted = set(files)
        for folder, _, names in os.walk(self.src):
            for name in names:
                if os.path.relpath(os.path.join(folder, name), self.src) not in wanted:
                    os.remove(os.path.join(folder, name))
        for rel in files:
            source = os.path.join(ROOT, rel)
            target = os.path.join(self.src, rel)
            if not os.path.isfile(source):
                continue
            if not os.path.exists(target) or open(source, "rb").read() != open(target, "rb").read():
                os.makedirs(os.path.dirname(target), exist_ok=True)
                shutil.copyfile(source, target)  # a fresh time, so the build sees it
        # Array bounds are checked, so that a fault that indexes past an array fails its test
        # rather than scribbling over a neighbour unseen.
        subprocess.run(["cmake", "-S", self.src, "-B", self.build, "-G", "Ninja",
                        "-DCMAKE_BUILD_TYPE=None",
                        "-DCMAKE_CXX_FLAGS=-O0 -fsanitize=bounds -fno-sanitize-recover=all"],
                       check=True, capture_output=True)
        result = self.compile()
        if result != 0:
            sys.exit(f"mutants: the unchanged tree does not build in {self.build}")
        if self.run_tests(600) != "passed":
            sys.exit("mutants: the unchanged tree fails its tests")

    def compile(self):
        return subprocess.run(["ninja", "-C", self.build, *[t.split("/")[-1] for t in TESTS]],
                              capture_output=True).returncode

    def run_tests(self, limit):
        deadline = time.monotonic() + limit
        for test in TESTS:
            left = deadline - time.monotonic()
            try:
                code = subprocess.run([os.path.join(self.build, test), "--gtest_fail_fast",
                                       "--gtest_brief=1"], capture_output=True,
                                      timeout=max(left, 1)).returncode
            except subprocess.TimeoutExpired:
                return "timed out"
            if code != 0:
                return "failed"
        return "passed"

    def try_fault(self, fault, limit):
        path = os.path.join(self.src, fault["file"])
        with open(path, encoding="utf-8") as f:
            original = f.read()
        lines = original.split("\n")
        lines[fault["line"] - 1] = fault["new"]
        with open(path, "w", encoding="utf-8") as f:
            f.write("\n".join(lines))
        try:
            if self.compile() != 0:
                return "not built"
            return self.run_tests(limit)
        finally:
            with open(path, "w", encoding="utf-8") as f:
                f.write(original)


def diff(f):
    return f"{f['file']}:{f['line']}: {f['what']}\n-{f['old']}\n+{f['new']}"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("files", nargs="*", help="core files (default: the whole core)")
    parser.add_argument("--sample", type=int, help="try N faults chosen at random")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--timeout", type=int, default=60, help="seconds of tests per fault")
    parser.add_argument("--list", action="store_true", help="only list the faults")
    parser.add_argument("--listed", action="store_true",
                        help="try only the listed faults (none may be caught)")
    args = parser.parse_args()

    files = [os.path.normpath(f) for f in args.files] or sorted(
        os.path.join(d, f) for d in CORE for f in os.listdir(os.path.join(ROOT, d))
        if f.endswith((".cpp", ".h")))
    faults = [fault for path in files for fault in faults_of_file(path)]
    complaints = match_skips(read_skips(), faults, set(files))
    if complaints:
        print("\n".join(complaints))
        print(f"mutants: {len(complaints)} entries of tools/mutants-skip.txt name no one fault")
        return 1
    listed = [f for f in faults if "listed" in f]
    if args.listed:
        faults = listed
    if args.sample:
        random.Random(args.seed).shuffle(faults)
        faults = sorted(faults[:args.sample], key=lambda f: (f["file"], f["line"]))
    if args.list:
        for f in faults:
            mark = f"  (listed: {f['listed']['where']})" if "listed" in f else ""
            print(f"{f['file']}:{f['line']}: {f['what']}{mark}\n  -{f['old'].strip()}\n"
                  f"  +{f['new'].strip()}")
        print(f"mutants: {len(faults)} faults, {sum('listed' in f for f in faults)} of them listed "
              f"as changing nothing")
        return 0

    os.makedirs(OUT, exist_ok=True)
    workers = [Worker(i) for i in range(max(1, args.jobs))]
    print(f"mutants: preparing {len(workers)} scratch builds in {os.path.relpath(OUT, ROOT)}")
    for w in workers:
        w.prepare()

    # Faults of one file stay with one worker, so a file is rebuilt once per fault, not twice.
    by_file = {}
    for f in faults:
        by_file.setdefault(f["file"], []).append(f)
    queue = sorted(by_file.values(), key=len, reverse=True)
    lock = threading.Lock()
    results = []
    started = time.monotonic()

    def work(worker):
        while True:
            with lock:
                if not queue:
                    return
                group = queue.pop(0)
            for fault in group:
                outcome = worker.try_fault(fault, args.timeout)
                with lock:
                    results.append((fault, outcome))
                    done = len(results)
                    if "listed" in fault:
                        verdict = "listed" if outcome == "passed" else f"STALE ({outcome})"
                    else:
                        verdict = "SURVIVED" if outcome == "passed" else outcome
                    if verdict in ("SURVIVED",) or verdict.startswith("STALE") or done % 50 == 0:
                        print(f"  {done}/{len(faults)} {fault['file']}:{fault['line']} "
                              f"{fault['what']}: {verdict}", flush=True)

    threads = [threading.Thread(target=work, args=(w,)) for w in workers]
    for t in threads:
        t.start()
    for t in threads:
        t.join()

    by_place = lambda f: (f["file"], f["line"])
    survivors = sorted((f for f, o in results if o == "passed" and "listed" not in f), key=by_place)
    stale = sorted(((f, o) for f, o in results if o != "passed" and "listed" in f),
                   key=lambda r: by_place(r[0]))
    harmless = sum(1 for f, o in results if o == "passed" and "listed" in f)
    caught = sum(1 for f, o in results if o in ("failed", "timed out") and "listed" not in f)
    unbuilt = sum(1 for f, o in results if o == "not built" and "listed" not in f)
    judged = caught + len(survivors) + harmless
    report = [diff(f) for f in survivors]
    report += [f"{f['listed']['where']}: stale, the fault is {'caught' if o != 'not built' else o}"
               f"\n{diff(f)}" for f, o in stale]
    share = 100.0 * harmless / judged if judged else 0.0
    summary = (f"mutants: {caught} caught / {len(survivors)} survived / {harmless} listed "
               f"({share:.1f}% of {judged} listed as changing nothing); {unbuilt} did not build; "
               f"{len(stale)} stale entries; {time.monotonic() - started:.0f} s")
    text = "\n\n".join(report + [summary])
    with open(os.path.join(OUT, "report.txt"), "w", encoding="utf-8") as f:
        f.write(text + "\n")
    print()
    print(text)
    return 1 if survivors or stale else 0


if __name__ == "__main__":
    sys.exit(main())
