#!/usr/bin/env python3
"""Writes the user's guide of the release package, 使用说明.txt, from the part
of README.zh-CN.md between its two 使用说明.txt marks: plain text wrapped to
fit Notepad's window, UTF-8 with a byte-order mark and CR LF line ends, which
Notepad on every Windows reads as such.

Usage: guide_text.py README.zh-CN.md VERSION OUTPUT
"""
import re
import sys
import unicodedata

WIDTH = 72  # columns; a Chinese character takes two
# Never at the start of a line: closing punctuation; never at its end: opening.
NO_START = set("，。、；：！？）》」』”’,.;:!?)]%")
NO_END = set("（《「『“‘")


def columns(text):
    return sum(2 if unicodedata.east_asian_width(c) in "WFA" else 1 for c in text)


def wrap(text, indent):
    """Breaks between Chinese characters or at blanks, never inside a run of
    ASCII such as a file name or a number."""
    pieces = re.findall(r"[!-~]+| +|.", text)
    lines, line = [], ""
    for piece in pieces:
        if line and columns(line + piece) > WIDTH - len(indent) and piece[0] not in NO_START:
            carried = line[-1] if line[-1] in NO_END else ""
            lines.append(line[: len(line) - len(carried)].rstrip())
            line = carried + piece.lstrip()
        else:
            line += piece
    lines.append(line.rstrip())
    return [indent * (i > 0) + l for i, l in enumerate(lines)]


def plain(markdown):
    text = re.sub(r"!\[[^\]]*\]\([^)]*\)", "", markdown)  # pictures
    text = re.sub(r"\[([^\]]*)\]\([^)]*\)", r"\1", text)  # links: their text
    return text.replace("**", "").replace("`", "")


def main():
    source, version, output = sys.argv[1:4]
    with open(source, encoding="utf-8") as f:
        page = f.read()
    part = re.search(r"<!-- 使用说明.txt: from here -->\n(.*)<!-- 使用说明.txt: to here -->",
                     page, re.S)
    if not part:
        sys.exit(f"{source}: no part marked for 使用说明.txt")
    out = [f"Renamora {version} 使用说明", ""]
    for block in re.split(r"\n\s*\n", plain(part.group(1)).strip()):
        if not block.strip():
            continue
        if block.startswith("## "):
            out += ["【" + block[3:].strip() + "】", ""]
            continue
        for item in re.split(r"\n(?=- )", block):
            item = " ".join(item.split("\n"))
            if item.startswith("- "):
                out += wrap("● " + item[2:], "   ")
            else:
                out += wrap(item, "")
        out.append("")
    with open(output, "wb") as f:
        f.write(b"\xef\xbb\xbf" + "\r\n".join(out).encode("utf-8"))


if __name__ == "__main__":
    main()
