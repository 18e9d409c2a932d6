#!/usr/bin/env python3
"""Writes the manual page from the files the project keeps by hand, so that nothing is written
twice:

  manual_page.py TEMPLATE README CHANGELOG OUTPUT

the template with its version and date from the latest release in the changelog (Keep a
Changelog), and its "HOW TO PLAY" section made from the README's "How to play".
"""
import datetime
import re
import sys
import textwrap

ROFF_LINE_WIDTH = 78
MAXIMUM_TAG_WIDTH = 16


class DocumentError(Exception):
    pass


def read(path):
    with open(path, encoding="utf-8") as source:
        return source.read()


def write(path, text):
    with open(path, "w", encoding="utf-8") as target:
        target.write(text)


def markdown_section(text, heading, path):
    """The lines under a "## heading", up to the next heading of that level."""
    match = re.search(rf"^## {re.escape(heading)}\n(.*?)(?=^## |\Z)", text, re.M | re.S)
    if not match:
        raise DocumentError(f'{path}: no section "## {heading}"')
    return match.group(1).strip("\n").splitlines()


def latest_release(changelog, path):
    """The version and date of the latest release of a Keep a Changelog file."""
    match = re.search(r"^## \[(?P<version>[^]]+)\] - (?P<date>\S+)$", changelog, re.M)
    if not match:
        raise DocumentError(f"{path}: no released version")
    try:
        return match["version"], datetime.date.fromisoformat(match["date"])
    except ValueError:
        raise DocumentError(f'{path}: the date "{match["date"]}" of {match["version"]} '
                            "is not in the form YYYY-MM-DD") from None


def roff_text(markdown):
    """Markdown text as roff text: escapes, then bold, italics and code."""
    text = markdown.replace("\\", "\\e")
    text = "".join(c if ord(c) < 128 else f"\\[u{ord(c):04X}]" for c in text)
    text = re.sub(r"\*\*(.+?)\*\*", r"\\fB\1\\fR", text)
    text = re.sub(r"\*(.+?)\*", r"\\fI\1\\fR", text)
    return re.sub(r"`(.+?)`", r"\\fB\1\\fR", text)


def roff_lines(markdown):
    """A paragraph as roff source: each sentence on a line of its own, as roff expects, and
    folded to fit the checker's line width."""
    lines = []
    for sentence in re.split(r"(?<=[.!?])\s+(?=[A-Z\\\"(])", roff_text(markdown)):
        lines += textwrap.wrap(sentence, ROFF_LINE_WIDTH, break_long_words=False,
                               break_on_hyphens=False)
    return [guarded(line) for line in lines]


def guarded(line):
    """A text line that roff cannot take for a request."""
    return "\\&" + line if line.startswith((".", "'")) else line


def roff_table(rows, header_rows):
    """A table as tagged paragraphs, which fit any width: the first cell of a row is the tag,
    the others follow it; the header rows are in bold."""
    indent = min(max(len(row[0]) for row in rows) + 2, MAXIMUM_TAG_WIDTH)
    roff = []
    for number, row in enumerate(rows):
        cells = [f"**{cell}**" for cell in row] if number < header_rows else row
        roff += [f".TP {indent}", guarded(roff_text(cells[0])), *roff_lines("; ".join(cells[1:]))]
        if number == 0:
            roff.append(".PD 0")  # no space between the rows, but space before the table
    return roff + [".PD"]


def roff_from_markdown(lines):
    """Paragraphs, headings, tables and bulleted lists nested by two spaces, in man(7)
    requests."""
    roff = []
    paragraph = []
    table = []
    header_rows = 0
    depth = -1  # the level of the innermost open list; -1 outside any list

    def start(*requests):
        roff.extend(roff_lines(" ".join(paragraph)))
        paragraph.clear()
        if table:
            roff.extend(roff_table(table, header_rows))
            table.clear()
        roff.extend(requests)

    def close_lists_below(level):
        nonlocal depth
        start(*[".RE"] * (max(depth, 0) - max(level, 0)))
        depth = level

    previous_blank = False
    for line in lines:
        text = line.strip()
        after_blank, previous_blank = previous_blank, not text
        indent = (len(line) - len(line.lstrip(" "))) // 2
        item = re.match(r"[-*] (.*)", text)
        if not text:
            continue
        if text.startswith("#"):
            close_lists_below(-1)
            start(".SS " + roff_text(text.lstrip("#").strip()))
            continue
        if text.startswith("|"):
            cells = [cell.strip() for cell in text.strip("|").split("|")]
            if not table:
                close_lists_below(-1)
            if all(re.fullmatch(r":?-+:?", cell) for cell in cells):
                header_rows = len(table)
            else:
                table.append(cells)
            continue
        if item:
            level = min(indent, depth + 1)
            if level > depth and level > 0:
                start(".RS")
                depth = level
            else:
                close_lists_below(level)
            start(".IP \\(bu 2")
            text = item.group(1)
        elif after_blank:
            level = min(indent - 1, depth)
            close_lists_below(level)
            if level >= 0:
                start('.IP "" 2')
            elif not roff[-1:] or not roff[-1].startswith(".SS"):  # a heading starts one itself
                start(".PP")
        paragraph.append(text)
    close_lists_below(-1)
    return roff


def manual_page(template, readme, readme_path, changelog, changelog_path):
    version, date = latest_release(changelog, changelog_path)
    how_to_play = roff_from_markdown(markdown_section(readme, "How to play", readme_path))
    return (template.replace("@VERSION@", version).replace("@DATE@", date.isoformat())
            .replace("@HOW_TO_PLAY@", "\n".join(how_to_play)))


def main(argv):
    if len(argv) != 5:
        raise DocumentError("usage:\n" + __doc__.split("\n\n", 2)[1].strip())
    template, readme, changelog, output = argv[1:]
    write(output, manual_page(read(template), read(readme), readme, read(changelog), changelog))


if __name__ == "__main__":
    try:
        main(sys.argv)
    except (DocumentError, OSError) as error:
        sys.exit(f"manual_page: {error}")
