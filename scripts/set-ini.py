"""Sets keys of one section of an RM Tool settings file, keeping every other line.

usage: set-ini.py FILE SECTION key=value [key=value ...]
Sections and keys match case-insensitively; lines end in CR LF.
"""
import sys

path, section, pairs = sys.argv[1], sys.argv[2], [a.split("=", 1) for a in sys.argv[3:]]
try:
    with open(path, encoding="utf-8", newline="") as f:
        lines = f.read().replace("\r\n", "\n").split("\n")
    if lines and lines[-1] == "":
        lines.pop()
except FileNotFoundError:
    lines = []

start = next((i for i, l in enumerate(lines)
              if l.strip().lower() == "[" + section.lower() + "]"), None)
if start is None:
    lines += ["[" + section + "]"] + [k + "=" + v for k, v in pairs]
else:
    end = next((i for i in range(start + 1, len(lines)) if lines[i].strip().startswith("[")), len(lines))
    for key, value in pairs:
        hit = next((i for i in range(start + 1, end)
                    if lines[i].split("=", 1)[0].strip().lower() == key.lower()), None)
        if hit is None:
            lines.insert(end, key + "=" + value)
            end += 1
        else:
            lines[hit] = key + "=" + value
with open(path, "w", encoding="utf-8", newline="") as f:
    f.write("".join(l + "\r\n" for l in lines))
