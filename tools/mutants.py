#!/usr/bin/env python3
"""One-line faults in the core, each of which some native test must catch.

Makes the faults a developer makes in one line: a comparison flipped or loosened, a condition
negated, `&&` and `||` swapped, an integer constant or table entry moved by one, a call or an
assignment removed, two arguments swapped. Applies each alone to a scratch copy of the tree,
rebuilds only what changed, and runs the unit and scenario tests with a time limit. Prints the
score and every survivor as file:line with its diff. Survivors that change no behaviour are
listed, with the reason, in tools/mutants-skip.txt, which this reads and skips: one entry per
paragraph, the file and the reason, then the line as it is and as the fault makes it,

    app/example.cpp: why the fault changes nothing the program does
    -  const int count = 1;
    +  const int count = 0;

matched by file and by the two lines without their indentation, wherever the line has moved.
Lines that coverage excludes as unreachable (GCOVR_EXCL_LINE, GCOVR_EXCL_START..STOP) get no
fault.
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


def faults_of_file(path):
    with open(os.path.join(ROOT, path), encoding="utf-8") as f:
        lines = f.read().split("\n")
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
                    faults.append({"file": path, "line": number, "what": what,
                                   "old": line, "new": faulty})
        if text:
            previous = line
    return faults


def read_skips():
    """Faults that change no behaviour: (file, old line, new line) with the reason."""
    skips = {}
    if not os.path.exists(SKIP_FILE):
        return skips
    with open(SKIP_FILE, encoding="utf-8") as f:
        entries = f.read().split("\n\n")
    for entry in entries:
        lines = [l for l in entry.split("\n") if l and not l.startswith("#")]
        if len(lines) != 3 or not lines[1].startswith("-") or not lines[2].startswith("+"):
            continue
        path, _, reason = lines[0].partition(": ")
        skips[(path, lines[1][1:].strip(), lines[2][1:].strip())] = reason
    return skips


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


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("files", nargs="*", help="core files (default: the whole core)")
    parser.add_argument("--sample", type=int, help="try N faults chosen at random")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--timeout", type=int, default=60, help="seconds of tests per fault")
    parser.add_argument("--list", action="store_true", help="only list the faults")
    args = parser.parse_args()

    files = args.files or sorted(
        os.path.join(d, f) for d in CORE for f in os.listdir(os.path.join(ROOT, d))
        if f.endswith((".cpp", ".h")))
    faults = [fault for path in files for fault in faults_of_file(path)]
    skips = read_skips()
    skipped = [f for f in faults if (f["file"], f["old"].strip(), f["new"].strip()) in skips]
    faults = [f for f in faults if (f["file"], f["old"].strip(), f["new"].strip()) not in skips]
    if args.sample:
        random.Random(args.seed).shuffle(faults)
        faults = sorted(faults[:args.sample], key=lambda f: (f["file"], f["line"]))
    if args.list:
        for f in faults:
            print(f"{f['file']}:{f['line']}: {f['what']}\n  -{f['old'].strip()}\n  +{f['new'].strip()}")
        print(f"mutants: {len(faults)} faults, {len(skipped)} listed as changing nothing")
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
                    if outcome == "passed" or done % 50 == 0:
                        print(f"  {done}/{len(faults)} {fault['file']}:{fault['line']} "
                              f"{fault['what']}: {'SURVIVED' if outcome == 'passed' else outcome}",
                              flush=True)

    threads = [threading.Thread(target=work, args=(w,)) for w in workers]
    for t in threads:
        t.start()
    for t in threads:
        t.join()

    survivors = sorted((f for f, o in results if o == "passed"), key=lambda f: (f["file"], f["line"]))
    caught = sum(1 for _, o in results if o in ("failed", "timed out"))
    unbuilt = sum(1 for _, o in results if o == "not built")
    judged = caught + len(survivors)
    report = []
    for f in survivors:
        report.append(f"{f['file']}:{f['line']}: {f['what']}\n-{f['old']}\n+{f['new']}")
    score = 100.0 * caught / judged if judged else 100.0
    summary = (f"mutants: {caught} of {judged} faults caught ({score:.1f}%), {len(survivors)} survived; "
               f"{unbuilt} did not build, {len(skipped)} listed as changing nothing; "
               f"{time.monotonic() - started:.0f} s")
    text = "\n\n".join(report + [summary])
    with open(os.path.join(OUT, "report.txt"), "w", encoding="utf-8") as f:
        f.write(text + "\n")
    print()
    print(text)
    return 0


if __name__ == "__main__":
    sys.exit(main())
