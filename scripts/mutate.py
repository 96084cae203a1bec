#!/usr/bin/env python3
"""The mutants of scripts/mutate: finds the places in the .cpp files of src/
where one small fault can be made, draws a seeded sample of them, applies and
restores one at a time, and reports what the test suite made of them.

  mutate.py sample COUNT SEED SAMPLE.jsonl
  mutate.py show SAMPLE.jsonl
  mutate.py apply SAMPLE.jsonl ID SAVED_DIR
  mutate.py restore SAVED_DIR
  mutate.py record SAMPLE.jsonl ID STATUS SECONDS [FAILED_TEST [FLAKY_TEST]]
  mutate.py report RESULTS.jsonl CLEAN_SECONDS         (the report on stdout)
  mutate.py compare OLD.jsonl NEW.jsonl

A mutant changes one line.  The places are looked for in the code with its
comments, string and character literals and preprocessor lines blanked out,
so no fault lands in any of those.
"""
import json
import os
import random
import re
import shutil
import sys
from collections import Counter, defaultdict

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SRC = "src"
# Sources are read and written byte for byte (GBK texts, any line ending).
ENCODING = "latin-1"
# Beside a saved source, the text of its mutant.
MUTANT_SUFFIX = ".mutant"

OPERATORS = ("compare", "constant", "negation", "return", "check", "buffer")
STATUSES = ("killed", "survived", "did-not-build", "timed-out")

# Calls whose size argument is not the bound of a copy or a format.
UNBOUNDED_SIZE_CALLS = {"memset", "memcpy", "memmove", "memcmp", "malloc", "calloc",
                        "realloc", "fread", "fwrite", "host_fread", "host_fwrite",
                        "qsort", "bsearch"}
NOT_CALLS = {"if", "while", "for", "switch", "return", "sizeof"}
NOT_DECLARATIONS = {"return", "case", "else", "goto", "delete", "throw", "sizeof"}


def read_file(path):
    """The text of path, or None when there is no such file."""
    try:
        with open(path, encoding=ENCODING, newline="") as f:
            return f.read()
    except FileNotFoundError:
        return None


def write_file(path, text):
    with open(path, "w", encoding=ENCODING, newline="") as f:
        f.write(text)


def read_source(path):
    with open(os.path.join(TOP, path), encoding=ENCODING, newline="") as f:
        return f.read()


def write_source(path, text):
    write_file(os.path.join(TOP, path), text)


def blank_non_code(text):
    """The text with every comment, literal and preprocessor line replaced by
    blanks, newlines kept, so that offsets stay those of the source."""
    out = list(text)
    i, n = 0, len(text)
    line_start = True
    while i < n:
        c = text[i]
        if c == "\n":
            line_start = True
            i += 1
            continue
        if line_start and c in " \t":
            i += 1
            continue
        if line_start and c == "#":
            # a directive runs to the end of its last continued line
            j = i
            while j < n and not (text[j] == "\n" and text[j - 1] != "\\"):
                j += 1
            for k in range(i, j):
                if out[k] != "\n":
                    out[k] = " "
            i = j
            continue
        line_start = False
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
        elif c in "\"'":
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            j = min(j + 1, n)
        else:
            i += 1
            continue
        for k in range(i, j):
            if out[k] != "\n":
                out[k] = " "
        i = j
    return "".join(out)


def matching_paren(code, at):
    """Offset of the parenthesis closing the one at code[at], or -1."""
    depth = 0
    for k in range(at, len(code)):
        if code[k] == "(":
            depth += 1
        elif code[k] == ")":
            depth -= 1
            if depth == 0:
                return k
    return -1


def paren_depths(code):
    """The parenthesis depth at every offset of code."""
    depths, depth = [], 0
    for c in code:
        if c == ")":
            depth -= 1
        depths.append(depth)
        if c == "(":
            depth += 1
    return depths


def callee_of(code, at):
    """The name of the call whose argument list holds offset at, or None."""
    depth = 0
    for k in range(at - 1, -1, -1):
        if code[k] == ")":
            depth += 1
        elif code[k] == "(":
            if depth == 0:
                m = re.search(r"([A-Za-z_]\w*)\s*$", code[:k])
                return m.group(1) if m else None
            depth -= 1
        elif code[k] in ";{}":
            return None
    return None


class Finder:
    """Every mutant of one file: dicts of line (1-based), col (0-based in the
    line), op, old (the text at col) and new (what replaces it), and the
    fragments shown in the report."""

    def __init__(self, path):
        self.path = path
        self.text = read_source(path)
        self.code = blank_non_code(self.text)
        self.depths = paren_depths(self.code)
        self.line_starts = [0] + [m.end() for m in re.finditer("\n", self.text)]
        self.found = []

    def position(self, offset):
        lo, hi = 0, len(self.line_starts) - 1
        while lo < hi:
            mid = (lo + hi + 1) // 2
            if self.line_starts[mid] <= offset:
                lo = mid
            else:
                hi = mid - 1
        return lo + 1, offset - self.line_starts[lo]

    def around(self, offset, old, new):
        """The words of the line around a change at offset, before and after
        it: "i < count" and "i >= count"."""
        line, col = self.position(offset)
        text = self.text[self.line_starts[line - 1]:].split("\n", 1)[0]
        start, end = col, col + len(old)
        while start > 0 and text[start - 1].isspace():
            start -= 1
        while start > 0 and not text[start - 1].isspace() and col - start < 24:
            start -= 1
        while end < len(text) and text[end].isspace():
            end += 1
        while end < len(text) and not text[end].isspace() and end - col < 24:
            end += 1
        left, right = text[start:col], text[col + len(old):end]
        return left + old + right, left + new + right

    def add(self, op, offset, old, new, shown_old=None, shown_new=None):
        if shown_old is None:
            shown_old, shown_new = self.around(offset, old, new)
        line, col = self.position(offset)
        self.found.append({"file": self.path, "line": line, "col": col, "op": op,
                           "old": old, "new": new,
                           "shown_old": shown_old, "shown_new": shown_new})

    def find_all(self):
        self.comparisons()
        self.constants()
        self.negations()
        self.returns()
        self.checks()
        self.buffers()
        return self.found

    def comparisons(self):
        flips = {"<": ">=", ">=": "<", ">": "<=", "<=": ">", "==": "!=", "!=": "=="}
        code = self.code
        for m in re.finditer(r"<<=|>>=|<<|>>|->|<=|>=|==|!=|<|>", code):
            tok = m.group()
            if tok not in flips:
                continue
            if re.search(r"\boperator\s*$", code[:m.start()]):
                continue
            # a lone < or > is a comparison only with blanks around it, as
            # the sources write them; template brackets never have
            if tok in "<>" and not (code[m.start() - 1].isspace() and code[m.end()].isspace()):
                continue
            self.add("compare", m.start(), tok, flips[tok])

    def constants(self):
        code = self.code
        for m in re.finditer(r"(?<![\w.])(0[xX][0-9A-Fa-f]+|\d+)([uUlL]*)(?![\w.])", code):
            if self.is_declared_size(m.start(), m.end()):
                continue
            if re.search(r"\breturn\s+$", code[:m.start()]) and m.group() in ("0", "1") \
                    and code[m.end():].lstrip().startswith(";"):
                continue  # the return operator's
            digits = m.group(1)
            value = int(digits, 0) if not re.fullmatch(r"0\d+", digits) else None
            if value is None:  # an octal literal: none in the sources, left alone
                continue
            self.add("constant", m.start(), m.group(), "")
            self.found[-1]["value"] = value

    def is_declared_size(self, start, end):
        """Tells whether code[start:end] is the whole size of an array in a
        declaration (changing those mostly breaks the build)."""
        code = self.code
        if not (code[start - 1] == "[" and code[end] == "]"):
            return False
        line_start = code.rfind("\n", 0, start) + 1
        m = re.search(r"(?:^|[(,;{])\s*((?:(?:const|static|unsigned|struct)\s+)*"
                      r"([A-Za-z_]\w*)[\s*&]+[A-Za-z_]\w*(?:\[[^\]]*\])*\[)$",
                      code[line_start:start])
        return bool(m) and m.group(2) not in NOT_DECLARATIONS

    def negations(self):
        for m in re.finditer(r"!(?!=)", self.code):
            self.add("negation", m.start(), "!", "")

    def returns(self):
        for m in re.finditer(r"\breturn\s+([01])\s*;", self.code):
            at = m.start(1)
            self.add("return", at, m.group(1), "0" if m.group(1) == "1" else "1",
                     "return %s;" % m.group(1), "return %s;" % ("0" if m.group(1) == "1" else "1"))

    def checks(self):
        """An if whose condition calls something loses its effect: the
        condition is and-ed with 0 before its closing parenthesis, so the
        call is still made and its result never acted on."""
        code = self.code
        for m in re.finditer(r"\bif\s*\(", code):
            open_at = m.end() - 1
            close_at = matching_paren(code, open_at)
            if close_at < 0:
                continue
            cond = code[open_at + 1:close_at]
            if "||" in cond or "?" in cond:
                continue
            calls = [c for c in re.findall(r"([A-Za-z_]\w*)\s*\(", cond) if c not in NOT_CALLS]
            if not calls:
                continue
            shown = " ".join(self.text[open_at + 1:close_at].split())
            if len(shown) > 70:
                shown = shown[:33] + " ... " + shown[-32:]
            self.add("check", close_at, ")", " && 0)",
                     "if (%s)" % shown, "if (%s && 0)" % shown)

    def buffers(self):
        code = self.code
        # char name[N] (the last size of a many-sized array), never a parameter
        for m in re.finditer(r"\bchar\s+[A-Za-z_]\w*((?:\[[^\]\n]*\])+)", code):
            if self.depths[m.start()] != 0:
                continue
            before = code[code.rfind("\n", 0, m.start()) + 1:m.start()]
            if not re.fullmatch(r"\s*(?:(?:static|const|unsigned|signed)\s+)*", before):
                continue
            sizes = m.group(1)
            last = sizes.rfind("[")
            size = sizes[last + 1:-1].strip()
            if not size:
                continue
            at = m.start(1) + last + 1
            old = sizes[last + 1:-1]
            new = str(int(size) // 2) if size.isdigit() else "(%s) / 2" % size
            self.add("buffer", at, old, new, "[%s]" % old, "[%s]" % new)
        # sizeof x as the bound of a call
        for m in re.finditer(r"\bsizeof\s*(\([^()\n]*\)|[*\s]*[A-Za-z_][\w.\[\]]*(?:->[\w.\[\]]+)*)",
                             code):
            before = code[:m.start()].rstrip()
            after = code[m.end():].lstrip()
            if not before.endswith((",", "(")) or not after.startswith((",", ")")):
                continue
            callee = callee_of(code, m.start())
            if callee is None or callee in UNBOUNDED_SIZE_CALLS or callee in NOT_CALLS:
                continue
            old = m.group()
            self.add("buffer", m.start(), old, old + " / 2", old, old + " / 2")


def source_files():
    files = []
    for folder, _dirs, names in os.walk(os.path.join(TOP, SRC)):
        for name in names:
            if name.endswith(".cpp"):
                files.append(os.path.relpath(os.path.join(folder, name), TOP))
    return sorted(files)


def folder_of(path):
    return path.split(os.sep)[1]


def quotas(sizes, count):
    """Mutants to draw from each folder: every folder some, the rest in
    proportion to its places."""
    folders = sorted(sizes)
    base = max(1, count // (2 * len(folders)))
    quota = {f: min(sizes[f], base) for f in folders}
    left = count - sum(quota.values())
    while left > 0:
        room = {f: sizes[f] - quota[f] for f in folders if sizes[f] > quota[f]}
        if not room:
            break
        total = sum(room.values())
        shares = {f: left * room[f] / total for f in room}
        given = {f: min(room[f], int(shares[f])) for f in room}
        if sum(given.values()) == 0:
            # the last few go to the largest remainders
            for f in sorted(room, key=lambda f: (-(shares[f] - int(shares[f])), f))[:left]:
                given[f] = 1
        for f, g in given.items():
            quota[f] += g
        left -= sum(given.values())
    return quota


def interleaved(candidates, rng):
    """The candidates of one folder shuffled, taking the operators in turn so
    that a small quota still sees several kinds of fault."""
    by_op = defaultdict(list)
    for c in candidates:
        by_op[c["op"]].append(c)
    ops = sorted(by_op)
    rng.shuffle(ops)
    for op in ops:
        rng.shuffle(by_op[op])
    order = []
    while any(by_op.values()):
        for op in ops:
            if by_op[op]:
                order.append(by_op[op].pop())
    return order


def constant_text(old, value):
    """value written as the literal old is: decimal or hexadecimal, with the
    same suffix and letter case."""
    digits = re.match(r"0[xX][0-9A-Fa-f]+|\d+", old).group()
    suffix = old[len(digits):]
    if digits[:2].lower() != "0x":
        return str(value) + suffix
    upper = any(ch in "ABCDEF" for ch in digits[2:])
    return digits[:2] + format(value, "X" if upper else "x") + suffix


def draw_sample(count, seed):
    by_folder = defaultdict(list)
    for path in source_files():
        for c in Finder(path).find_all():
            by_folder[folder_of(path)].append(c)
    rng = random.Random(seed)
    quota = quotas({f: len(c) for f, c in by_folder.items()}, count)
    sample = []
    for folder in sorted(by_folder):
        for c in interleaved(by_folder[folder], rng)[:quota[folder]]:
            if c["op"] == "constant":
                value = c.pop("value")
                step = 1 if value == 0 or rng.random() < 0.5 else -1
                c["new"] = constant_text(c["old"], value + step)
                at = c["shown_old"].rfind(c["old"])
                c["shown_new"] = (c["shown_old"][:at] + c["new"]
                                  + c["shown_old"][at + len(c["old"]):])
            c["folder"] = folder
            sample.append(c)
    sample.sort(key=lambda m: (m["file"], m["line"], m["col"], m["op"]))
    for i, m in enumerate(sample, 1):
        m["id"] = i
    return sample, sum(len(c) for c in by_folder.values())


def load(path):
    with open(path, encoding="utf-8") as f:
        return [json.loads(line) for line in f if line.strip()]


def mutant(sample_path, ident):
    for m in load(sample_path):
        if m["id"] == ident:
            return m
    sys.exit("mutate: no mutant %d in %s" % (ident, sample_path))


def describe(m):
    return "%s:%d: %s -> %s" % (m["file"], m["line"], m["shown_old"], m["shown_new"])


def key(m):
    return (m["file"], m["line"], m["col"], m["op"], m["old"], m["new"])


def cmd_sample(args):
    count, seed, out = int(args[0]), int(args[1]), args[2]
    sample, places = draw_sample(count, seed)
    with open(out, "w", encoding="utf-8") as f:
        for m in sample:
            f.write(json.dumps(m, sort_keys=True) + "\n")
    print("%d mutants drawn from %d places (seed %d)" % (len(sample), places, seed))


def cmd_show(args):
    for m in load(args[0]):
        print("%4d  %-8s %s" % (m["id"], m["op"], describe(m)))


def cmd_apply(args):
    m = mutant(args[0], int(args[1]))
    saved = os.path.join(args[2], m["file"])
    text = read_source(m["file"])
    # Lines end at "\n" alone: splitlines() would also end one at a byte
    # such as 0x85 inside a GBK character.
    lines = text.split("\n")
    line = lines[m["line"] - 1]
    if line[m["col"]:m["col"] + len(m["old"])] != m["old"]:
        sys.exit("mutate: %s:%d no longer holds %r; draw the sample again"
                 % (m["file"], m["line"], m["old"]))
    lines[m["line"] - 1] = line[:m["col"]] + m["new"] + line[m["col"] + len(m["old"]):]
    mutated = "\n".join(lines)
    os.makedirs(os.path.dirname(saved), exist_ok=True)
    write_file(saved, text)
    write_file(saved + MUTANT_SUFFIX, mutated)
    write_source(m["file"], mutated)
    print(describe(m))


def cmd_restore(args):
    """Puts every saved source back over its mutant.  A source that is
    neither its mutant nor the saved text was changed by other work in the
    checkout (a checkout, a commit): it stays as it is, its saved copy is
    moved to SAVED_DIR.stale/, and the exit status is 3."""
    saved_dir = args[0]
    if not os.path.isdir(saved_dir):
        return 0
    status = 0
    for folder, _dirs, names in os.walk(saved_dir):
        for name in names:
            if name.endswith(MUTANT_SUFFIX):
                continue
            saved = os.path.join(folder, name)
            path = os.path.relpath(saved, saved_dir)
            original = read_file(saved)
            current = read_file(os.path.join(TOP, path))
            if current == read_file(saved + MUTANT_SUFFIX):
                write_source(path, original)
            elif current != original:
                stale = os.path.join(saved_dir + ".stale", path)
                os.makedirs(os.path.dirname(stale), exist_ok=True)
                shutil.move(saved, stale)
                print("mutate: %s was changed by other work during the run; left as it is "
                      "(the text before the mutant is in %s)" % (path, stale), file=sys.stderr)
                status = 3
    shutil.rmtree(saved_dir)
    return status


def cmd_record(args):
    m = mutant(args[0], int(args[1]))
    m["status"], m["seconds"] = args[2], round(float(args[3]), 1)
    for name, value in zip(("by", "flaky"), args[4:]):
        if value:
            m[name] = value
    print(json.dumps(m, sort_keys=True))


def rate(counts):
    caught = counts["killed"] + counts["timed-out"]
    judged = caught + counts["survived"]
    return "%.1f%%" % (100.0 * caught / judged) if judged else "-"


def count_line(label, counts):
    return ("  %-10s %4d   killed %4d  survived %4d  did not build %3d  timed out %3d   kill rate %s"
            % (label, sum(counts.values()), counts["killed"], counts["survived"],
               counts["did-not-build"], counts["timed-out"], rate(counts)))


def cmd_report(args):
    results = load(args[0])
    clean = float(args[1])
    total = Counter({s: 0 for s in STATUSES})
    by_folder = defaultdict(lambda: Counter({s: 0 for s in STATUSES}))
    by_op = defaultdict(lambda: Counter({s: 0 for s in STATUSES}))
    for m in results:
        total[m["status"]] += 1
        by_folder[m["folder"]][m["status"]] += 1
        by_op[m["op"]][m["status"]] += 1
    seconds = [m["seconds"] for m in results]
    print("mutants of src/: %d" % len(results))
    print("  killed %d, survived %d, did not build %d, timed out %d"
          % (total["killed"], total["survived"], total["did-not-build"], total["timed-out"]))
    print("  kill rate %s = (killed + timed out) / (killed + timed out + survived);"
          % rate(total))
    print("  a mutant that did not build is left out of it")
    if seconds:
        print("  %.0f s a mutant on average (build and tests); the clean suite takes %.0f s"
              % (sum(seconds) / len(seconds), clean))
    print("by folder:")
    for folder in sorted(by_folder):
        print(count_line(folder, by_folder[folder]))
    print("by operator:")
    for op in OPERATORS:
        if op in by_op:
            print(count_line(op, by_op[op]))
    survivors = [m for m in results if m["status"] == "survived"]
    print("survivors (%d):" % len(survivors))
    for m in survivors:
        print("  %s   [%s, #%d]" % (describe(m), m["op"], m["id"]))
    flaky = [m for m in results if m.get("flaky")]
    if flaky:
        print("failures that did not come again (taken for flakiness, not the mutant's):")
        for m in flaky:
            print("  #%d: %s" % (m["id"], m["flaky"]))


def cmd_compare(args):
    old = {key(m): m for m in load(args[0])}
    new = load(args[1])
    lost = [m for m in new
            if m["status"] == "survived" and key(m) in old
            and old[key(m)]["status"] in ("killed", "timed-out")]
    gained = [m for m in new
              if m["status"] in ("killed", "timed-out") and key(m) in old
              and old[key(m)]["status"] == "survived"]
    common = sum(1 for m in new if key(m) in old)
    print("compared with %s: %d mutants in both runs" % (args[0], common))
    if common < len(new):
        print("  %d mutants of this run are not in the other (another sample or changed sources)"
              % (len(new) - common))
    print("killed before, surviving now (%d):" % len(lost))
    for m in lost:
        print("  %s   [%s, #%d]" % (describe(m), m["op"], m["id"]))
    print("surviving before, killed now: %d" % len(gained))
    return 1 if lost else 0


COMMANDS = {"sample": cmd_sample, "show": cmd_show, "apply": cmd_apply,
            "restore": cmd_restore, "record": cmd_record, "report": cmd_report,
            "compare": cmd_compare}

if __name__ == "__main__":
    if len(sys.argv) < 2 or sys.argv[1] not in COMMANDS:
        sys.exit(__doc__)
    sys.exit(COMMANDS[sys.argv[1]](sys.argv[2:]) or 0)
