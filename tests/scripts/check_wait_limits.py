#!/usr/bin/env python3
"""tests/scripts/check_wait_limits.py ROOT -- finds the time limits of the
tests' scripts (tests/scripts/*.sh) and of the CMake files (CMakeLists.txt,
tests/fuzz/CMakeLists.txt, cmake/*.cmake) that do not go through wait_limit
(tests/scripts/wait_limit.sh), which scales them by QUOLIN_TEST_WAIT_SCALE:

- the limit of timeout(1) and of run_limited (fresh_home.sh) is
  "$(wait_limit N)" or a variable set from wait_limit;
- a loop that polls (its body sleeps) counts to a bound made from
  wait_limit: "for ((i = 0; i < N; ...))" and "<=", "while (( i <= N ))"
  (and "while (( i++ < N ))"),
  "for i in $(seq N)" and "$(seq 1 N)" (the last word of seq's);
- so does one counted by a counter it steps ("i=$((i + 1))", "((i++))",
  "((++i))", "let i++"), compared with a fixed number in its condition or
  body ("while [ "$i" -lt 50 ]", "[ "$i" -eq 50 ] && break",
  "if (( i >= 50 ))"), and one over a brace range ("for i in {1..50}");
- a time taken ("$((SECONDS - begun))", or a variable set from it or
  from date +%s) is compared with a bound made from wait_limit, never
  with a bare number;
- run_quolin_until.sh scales its SECONDS itself, so it is given a plain
  number (a scaled one would be scaled twice);
- no test sets a TIMEOUT or --timeout: scripts/run-ctest gives each test
  ten times the waits' limit, scaled.

Lines of a here-document (the text of a file a script writes) are not the
script's own limits, nor are the faulty lines test_wait_limits.sh holds as
this check's cases. Prints each finding as FILE:LINE: what; exits 1 when
there is one.
"""
import glob
import os
import re
import sys

SCALED_LIMIT = r'"\$\(wait_limit [^"]+\)"|\$\(wait_limit [^ )]+\)'
ARGUMENT = r'("(?:[^"\\]|\\.)*"|\'[^\']*\'|\S+)'
LIMIT_VARIABLE = re.compile(r'\b(\w+)="?\$\(+\s*\$?\(?wait_limit\b')
TIMEOUT = re.compile(r'(?:^|[\s;&|(])(timeout|run_limited)\s+(?!\(\))' + ARGUMENT)
UNTIL = re.compile(r'run_quolin_until\.sh"?\s+' + ARGUMENT + r'\s+' + ARGUMENT)
LOOP = re.compile(r'\bfor\s*(?:\(\(\s*\w+\s*=\s*\w+\s*;\s*\w+\s*<=?\s*([^;]+);'
                  r'|\w+\s+in\s+\$\(seq\s+(.*)\)\s*;?\s*do)'
                  r'|\bwhile\s*\(\(\s*(?:\+\+|--)?\w+(?:\+\+|--)?\s*<=?\s*(.+?)\s*\)\)')
# Loops LOOP does not read: while and until with a test, for over a brace
# range ({1..50}); what they count to is read by fixed_counted_bounds.
LOOP_START = re.compile(r'(?:^|[;&|(]|\s)(?:while|until)\s|\bfor\s+\w+\s+in\s+\{')
BRACE_RANGE = re.compile(r'\bfor\s+\w+\s+in\s+\{[^.}]*\.\.([^.}]+)(?:\.\.[^}]*)?\}')
COUNTER_STEP = re.compile(r'\b(\w+)=\$\(\(\s*\$?(?:\w+)\s*\+|\(\(\s*(\w+)\s*(?:\+\+|\+=)'
                          r'|\(\(\s*\+\+(\w+)|\blet\s+"?(\w+)(?:\+\+|\+=)')
# A word of the shell as a bound: quoted in either way or not, in parts
# ("6""0" is 60).
BOUND_WORD = r'((?:"[^"]*"|\'[^\']*\'|\$\(\([^)]*\)\)|[^\s\];"\'])+)'
COMPARISON = re.compile(r'"?\$\{?(\w+)\}?"?\s+-(?:lt|le|gt|ge|eq)\s+' + BOUND_WORD +
                        r'|\(\(\s*(\w+)\s*(?:<=?|>=?|==)\s*([^)]+?)\s*\)\)')
# A time taken: a variable set from the shell's clock ($SECONDS, date +%s)
# less a start, or that difference itself.
ELAPSED_VARIABLE = re.compile(r'\b(\w+)=\$\(\(.*(?:\bSECONDS\b|\bdate \+%s).*-')
ELAPSED = r'\$\(\(\s*(?:\$?SECONDS|\$\(date \+%s\w*\))\s*-[^)]*\)\)'
TIME_COMPARISON = re.compile(r'(?:"?\$\{?(\w+)\}?"?|"?(' + ELAPSED + r')"?)\s+-(?:lt|le|gt|ge|eq)\s+'
                             + BOUND_WORD +
                             r'|\(\(\s*(\w+)\s*(?:<=?|>=?|==)\s*([^)]+?)\s*\)\)')
CMAKE_TIMEOUT = re.compile(r'\bTIMEOUT\b|--timeout\b')


def strip_comment(line):
    """The line without a comment (a # at its start or after a blank)."""
    quote = None
    for i, c in enumerate(line):
        if quote:
            if c == quote:
                quote = None
        elif c in '"\'':
            quote = c
        elif c == '#' and (i == 0 or line[i - 1] in ' \t'):
            return line[:i]
    return line


def script_lines(text):
    """(number, line) of the script's own lines, comments taken out."""
    heredoc = None
    for number, line in enumerate(text.split('\n'), 1):
        if heredoc is not None:
            if line.strip() == heredoc:
                heredoc = None
            continue
        code = strip_comment(line)
        match = re.search(r'<<-?\s*[\'"]?(\w+)[\'"]?', code)
        if match:
            heredoc = match.group(1)
        yield number, code


def scaled(argument, variables):
    if re.fullmatch(SCALED_LIMIT, argument):
        return True
    match = re.fullmatch(r'"?\$\{?(\w+)\}?"?', argument)
    return match is not None and match.group(1) in variables


def loop_body(lines, index):
    """The code of the loop whose header is lines[index], up to its done."""
    body = []
    for _, later in lines[index:]:
        body.append(later)
        if re.search(r'\bdone\b', later):
            break
    return body


def fixed_counted_bounds(header, body):
    """The fixed numbers a loop counts to: a brace range's last number, or
    a counter the loop steps compared with a number alone, in its
    condition or its body ([ "$i" -lt 50 ], if (( i >= 50 )))."""
    match = BRACE_RANGE.search(header)
    if match:
        return [match.group(1).strip()]
    counters = {name for m in COUNTER_STEP.finditer(body) for name in m.groups() if name}
    bounds = []
    for m in COMPARISON.finditer(body):
        name, bound = (m.group(1), m.group(2)) if m.group(1) else (m.group(3), m.group(4))
        fixed = re.sub(r'\$\(\(|\)\)|["\']', '', bound)
        if name in counters and re.fullmatch(r'[0-9\s*+/()-]+', fixed):
            bounds.append(fixed.strip())
    return bounds


def check_until(path, number, code, findings):
    for match in UNTIL.finditer(code):
        if not re.fullmatch(r'[0-9]+', match.group(2)):
            findings.append(f'{path}:{number}: run_quolin_until.sh scales its limit itself; '
                            f'give it a plain number of seconds, not {match.group(2)}')


def check_script(path, text, findings):
    lines = list(script_lines(text))
    variables = {m.group(1) for _, code in lines for m in LIMIT_VARIABLE.finditer(code)}
    # run_quolin_until.sh takes its SECONDS through wait_limit.
    variables |= {m.group(1) for _, code in lines
                  for m in re.finditer(r'\b(\w+)="?\$\(wait_limit "\$[0-9]"\)', code)}
    elapsed = {m.group(1) for _, code in lines for m in ELAPSED_VARIABLE.finditer(code)}
    for index, (number, code) in enumerate(lines):
        for match in TIMEOUT.finditer(code):
            if not scaled(match.group(2), variables):
                findings.append(f'{path}:{number}: {match.group(1)} {match.group(2)} does not '
                                'go through wait_limit')
        check_until(path, number, code, findings)
        for match in TIME_COMPARISON.finditer(code):
            name = match.group(1) or match.group(4)
            bound = match.group(3) if match.group(3) is not None else match.group(5)
            timed = match.group(2) is not None or name in elapsed
            number_only = re.sub(r'["\']', '', bound.strip())
            if timed and re.fullmatch(r'[0-9]+', number_only):
                findings.append(f'{path}:{number}: a time taken compared with '
                                f'{number_only} does not go through wait_limit')
        body = ' '.join(loop_body(lines, index))
        polls = re.search(r'\bsleep\b', body)
        match = LOOP.search(code)
        if match:
            bound = match.group(1) or match.group(2) or match.group(3)
            # seq LAST, seq FIRST LAST, seq FIRST STEP LAST: the last word
            # is the bound shown.
            shown = bound.split()[-1] if match.group(2) and bound.split() else bound
            through = 'wait_limit' in bound or any(
                re.search(r'\b%s\b' % re.escape(v), bound) for v in variables)
            if polls and not through:
                findings.append(f'{path}:{number}: a loop that polls up to {shown.strip()} '
                                'does not go through wait_limit')
        elif polls and LOOP_START.search(code):
            for bound in fixed_counted_bounds(code, body):
                findings.append(f'{path}:{number}: a loop that polls up to {bound} '
                                'does not go through wait_limit')


def check_cmake(path, text, findings):
    for number, line in enumerate(text.split('\n'), 1):
        code = strip_comment(line)
        if CMAKE_TIMEOUT.search(code):
            findings.append(f'{path}:{number}: a test time limit of its own; scripts/run-ctest '
                            'gives every test its scaled limit')
    # A call may run over several lines: the text is read as one, each
    # finding named by the line the script's name is on.
    code = '\n'.join(strip_comment(line) for line in text.split('\n'))
    for match in UNTIL.finditer(code):
        number = code.count('\n', 0, match.start()) + 1
        check_until(path, number, match.group(0), findings)


def main():
    root = sys.argv[1]
    findings = []
    for path in sorted(glob.glob(os.path.join(root, 'tests', 'scripts', '*.sh'))):
        if os.path.basename(path) == 'test_wait_limits.sh':
            continue
        with open(path, encoding='utf-8') as f:
            check_script(os.path.relpath(path, root), f.read(), findings)
    cmake_files = [os.path.join(root, 'CMakeLists.txt'),
                   os.path.join(root, 'tests', 'fuzz', 'CMakeLists.txt')]
    cmake_files += sorted(glob.glob(os.path.join(root, 'cmake', '*.cmake')))
    for path in cmake_files:
        if os.path.exists(path):
            with open(path, encoding='utf-8') as f:
                check_cmake(os.path.relpath(path, root), f.read(), findings)
    for finding in findings:
        print(finding)
    return 1 if findings else 0


if __name__ == '__main__':
    sys.exit(main())
