"""Writes README.TXT, the technician's text that ships beside the exe: the
template with its plan list put in, read from the engine's plan tables and
the window's button captions, so that it cannot drift from the program.
Plain ASCII with CR LF line ends, no line over 76 characters (Notepad on
Windows 95 reads it as it is); the build fails on anything else.
Usage: readme_txt.py SOURCE_DIR TEMPLATE OUTPUT RELEASE"""

import re
import sys
from pathlib import Path

WIDTH = 76
FAMILIES = {"9x": "Windows 98 and ME", "NT": "Windows NT 4, 2000 and XP"}
source, template, output = (Path(argument) for argument in sys.argv[1:4])
release = sys.argv[4]


def unquote(literal):
    return re.sub(r"\\(.)", r"\1", literal)


def wrap(prefix, text):
    """The text after the prefix, broken before a backslash where it is too
    long; the rest goes on below the text's start."""
    lines = []
    while len(prefix) + len(text) > WIDTH:
        cut = text.rfind("\\", 1, WIDTH - len(prefix) + 1)
        if cut <= 0:
            sys.exit(f"cannot fit into {WIDTH} columns: {text}")
        lines.append(prefix + text[:cut])
        text = text[cut:]
        prefix = " " * len(prefix)
    return lines + [prefix + text]


keys = (source / "engine" / "Vantrel_Keys.cpp").read_text()
captions = dict(re.findall(r'\{IDC_(NX\d),\s+ControlKind::CommandButton,\s+L"([^"]*)"',
                           (source / "gui" / "window_logic.cpp").read_text()))
row = re.compile(r'\s*\{(kDeleteSubKey|kDeleteValue), L"((?:\\.|[^"])*)", L"((?:\\.|[^"])*)", '
                 r'(nullptr|L"((?:\\.|[^"])*)")\},')
tables = re.findall(r"^const Step k(NX\d)_(9x|NT)\[\] = \{\n(.*?)^\};", keys, re.M | re.S)
if len(tables) != 4:
    sys.exit(f"found {len(tables)} plan tables, not 4")
plans = []
for code, family, body in tables:
    steps = [row.fullmatch(line) for line in body.splitlines()]
    if not all(steps):
        sys.exit(f"cannot read a step of {code} {family}: {body.splitlines()[steps.index(None)]}")
    groups = sum(step[4] != "nullptr" for step in steps)
    lines = ["", f'"{captions[code]}" on {FAMILIES[family]}: {len(steps)} deletions, {groups} report lines', ""]
    for number, step in enumerate(steps, 1):
        path, name = unquote(step[2]), unquote(step[3])
        if step[1] == "kDeleteSubKey":
            lines += wrap(f"{number:4}. Key   ", f"{path}\\{name}")
        else:
            lines += wrap(f"{number:4}. Value ", f"{name} in {path}")
        if step[5] is not None:
            lines += wrap("      Report: ++ ", unquote(step[5]))
    plans += lines

text = template.read_text().replace("@RELEASE@", release).replace("@PLANS@\n", "\n".join(plans[1:]) + "\n")
for number, line in enumerate(text.splitlines(), 1):
    if len(line) > WIDTH or not line.isascii():
        sys.exit(f"{template}:{number}: over {WIDTH} columns or not plain ASCII: {line}")
output.write_bytes(text.replace("\n", "\r\n").encode("ascii"))
