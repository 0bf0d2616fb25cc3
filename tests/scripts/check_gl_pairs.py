#!/usr/bin/env python3
"""tests/scripts/check_gl_pairs.py ROOT -- every function of the program's
sources pops the GL state it pushes.

Counts glPushMatrix/glPopMatrix, glPushAttrib/glPopAttrib and
glPushClientAttrib/glPopClientAttrib per function body in the .cpp and .h
files of the program's folders under ROOT. A function whose pushes and pops
of one kind differ is reported as FILE:LINE: NAME, and the script exits 1.

The scope guards are the one exception: a class whose constructor pushes
and whose destructor pops the same number of each kind keeps its push and
its pop on one screen, so that pair passes as one.

The reading is lexical: comments, strings and preprocessor lines are
dropped, then braces are followed. A brace opens a function body when the
text before it, back to the last ';', '{' or '}', holds a '(' and is not a
namespace, class, struct, enum or initializer. Lambdas count as part of the
function around them.
"""
import re
import sys
from pathlib import Path

FOLDERS = ["platform", "core", "nkf", "readers", "commands", "render", "tools", "plot",
           "scene", "export", "app", "bench"]
KINDS = [("matrix", "glPushMatrix", "glPopMatrix"),
         ("attributes", "glPushAttrib", "glPopAttrib"),
         ("client attributes", "glPushClientAttrib", "glPopClientAttrib")]
CALL = re.compile(r"\b(glPush|glPop)(Matrix|Attrib|ClientAttrib)\s*\(")
SCOPE_HEAD = re.compile(r"\b(namespace|class|struct|union|enum)\b\s*([A-Za-z_]\w*)?")
NAME_BEFORE_PAREN = re.compile(r"((?:[A-Za-z_]\w*::)*~?[A-Za-z_]\w*)\s*$")


def strip(text):
    """Blanks comments, string and character literals and preprocessor
    lines, keeping every newline so that line numbers hold."""
    out = []
    i, n = 0, len(text)
    line_start = True
    while i < n:
        c = text[i]
        if line_start and c == "#":
            while i < n and text[i] != "\n":
                if text[i] == "\\" and i + 1 < n and text[i + 1] == "\n":
                    out.append("\n")
                    i += 2
                    continue
                i += 1
            continue
        if c == "/" and text.startswith("//", i):
            while i < n and text[i] != "\n":
                i += 1
            continue
        if c == "/" and text.startswith("/*", i):
            end = text.find("*/", i + 2)
            end = n if end < 0 else end + 2
            out.append("\n" * text.count("\n", i, end))
            i = end
            continue
        if c == "R" and text.startswith('R"', i) and (i == 0 or not text[i - 1].isalnum()):
            open_paren = text.find("(", i)
            delim = text[i + 2:open_paren]
            end = text.find(")" + delim + '"', open_paren)
            end = n if end < 0 else end + len(delim) + 2
            out.append('""' + "\n" * text.count("\n", i, end))
            i = end
            continue
        if c in "\"'":
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            out.append(c + c)
            i = j + 1
            continue
        if c == "\n":
            line_start = True
        elif not c.isspace():
            line_start = False
        out.append(c)
        i += 1
    return "".join(out)


def function_name(head):
    """The name in a function head: the identifier before its first
    top-level '(' (a constructor's initializer list comes after it)."""
    depth = 0
    for k, c in enumerate(head):
        if c == "(":
            if depth == 0:
                m = NAME_BEFORE_PAREN.search(head[:k])
                if m and m.group(1) != "operator":
                    return m.group(1)
                if m:
                    return "operator" + head[k:].split("(")[0]
            depth += 1
        elif c == ")":
            depth -= 1
    return None


def is_function_head(head):
    if "(" not in head:
        return False
    depth = 0
    for c in head:
        if c == "(":
            depth += 1
        elif c == ")":
            depth -= 1
        elif c == "=" and depth == 0:
            return False  # an initializer, or a lambda assigned to a name
    return True


def functions(text):
    """Yields (name, line, counts) for each function body in the text."""
    text = strip(text)
    stack = []  # ("scope", class name or None) or ("function", record) or ("block",)
    head_start = 0
    line = 1
    for i, c in enumerate(text):
        if c == "\n":
            line += 1
        elif c in ";":
            if not any(s[0] == "function" for s in stack):
                head_start = i + 1
        elif c == "{":
            in_function = any(s[0] == "function" for s in stack)
            head = text[head_start:i]
            if in_function:
                stack.append(("block",))
            elif (m := SCOPE_HEAD.search(head)) and "(" not in head[: m.start()]:
                is_class = m.group(1) in ("class", "struct", "union")
                stack.append(("scope", m.group(2) if is_class else None))
            elif is_function_head(head):
                name = function_name(head) or "?"
                owner = [s[1] for s in stack if s[0] == "scope" and s[1]]
                if owner and "::" not in name:
                    name = owner[-1] + "::" + name
                stack.append(("function", {"name": name, "line": line, "start": i}))
            else:
                stack.append(("block",))
            head_start = i + 1
        elif c == "}":
            if not stack:
                continue
            kind = stack.pop()
            if kind[0] == "function":
                rec = kind[1]
                body = text[rec["start"]:i]
                counts = {}
                for m in CALL.finditer(body):
                    counts[(m.group(1), m.group(2))] = counts.get((m.group(1), m.group(2)), 0) + 1
                yield rec["name"], rec["line"], counts
            if not any(s[0] == "function" for s in stack):
                head_start = i + 1


def balance(counts):
    """Pushes minus pops of each kind, by kind name."""
    out = {}
    for kind, push, pop in KINDS:
        p = push[len("glPush"):]
        out[kind] = counts.get(("glPush", p), 0) - counts.get(("glPop", p), 0)
    return out


def check(files, root):
    faults = []
    guards = {}  # class -> {"ctor": (where, balance), "dtor": ...}
    for path in files:
        text = path.read_text(encoding="utf-8", errors="replace")
        rel = path.relative_to(root)
        for name, line, counts in functions(text):
            bal = balance(counts)
            if not any(bal.values()):
                continue
            where = f"{rel}:{line}: {name}"
            parts = name.split("::")
            if len(parts) >= 2 and parts[-1] == parts[-2]:
                guards.setdefault("::".join(parts[:-1]), {})["ctor"] = (where, bal)
            elif len(parts) >= 2 and parts[-1] == "~" + parts[-2]:
                guards.setdefault("::".join(parts[:-1]), {})["dtor"] = (where, bal)
            else:
                faults.append((where, bal))
    for cls, pair in sorted(guards.items()):
        ctor, dtor = pair.get("ctor"), pair.get("dtor")
        if ctor and dtor and all(ctor[1][k] + dtor[1][k] == 0 for k in ctor[1]):
            continue
        faults.extend(x for x in (ctor, dtor) if x)
    for where, bal in faults:
        text = ", ".join(f"{kind} {'+' if v > 0 else ''}{v}" for kind, v in bal.items() if v)
        print(f"{where} pushes and pops differ ({text})")
    return 1 if faults else 0


def main(argv):
    if len(argv) != 2:
        print("usage: check_gl_pairs.py ROOT", file=sys.stderr)
        return 2
    root = Path(argv[1]).resolve()
    files = sorted(p for d in FOLDERS if (root / d).is_dir() for p in (root / d).rglob("*")
                   if p.suffix in (".cpp", ".h"))
    if not files:
        print(f"no sources under {root}", file=sys.stderr)
        return 2
    return check(files, root)


if __name__ == "__main__":
    sys.exit(main(sys.argv))
