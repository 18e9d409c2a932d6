#!/usr/bin/env python3
"""Writes the documents an installation carries from the files the project keeps by hand, so
that nothing is written twice:

  manual TEMPLATE README CHANGELOG OUTPUT
      the manual page: the template with its version and date from the latest release in the
      changelog, and its "HOW TO PLAY" section made from the README's "How to play";
  changelog CHANGELOG VERSION MAINTAINER OUTPUT
      CHANGELOG.md (Keep a Changelog) in the format of a Debian changelog;
  copyright LICENSE HOMEPAGE OUTPUT
      the machine-readable copyright file, with the licence text of LICENSE.
"""
import datetime
import email.utils
import re
import sys
import textwrap

PACKAGE = "keyfall"
DEBIAN_LINE_WIDTH = 79
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


def releases(changelog, path):
    """The released versions of a Keep a Changelog file, newest first, as (version, date,
    [(category, [item])])."""
    release = r"^## \[(?P<version>[^]]+)\] - (?P<date>\S+)\n(?P<body>.*?)(?=^## |^\[|\Z)"
    found = []
    for match in re.finditer(release, changelog, re.M | re.S):
        try:
            date = datetime.date.fromisoformat(match["date"])
        except ValueError:
            raise DocumentError(f'{path}: the date "{match["date"]}" of {match["version"]} '
                                "is not in the form YYYY-MM-DD") from None
        found.append((match["version"], date, categories(match["body"])))
    if not found:
        raise DocumentError(f"{path}: no released version")
    return found


def categories(body):
    """The "### Category" headings of a release with their items, each item one line."""
    result = []
    for line in body.splitlines():
        if line.startswith("### "):
            result.append((line[4:].strip(), []))
        elif line.startswith("- ") and result:
            result[-1][1].append(line[2:].strip())
        elif line.startswith("  ") and result and result[-1][1]:
            result[-1][1][-1] += " " + line.strip()
    return result


def debian_changelog(changelog, path, version, maintainer):
    entries = releases(changelog, path)
    if entries[0][0] != version:
        raise DocumentError(f"{path}: the latest release is {entries[0][0]}, but the version "
                            f"built is {version}: add {version} to the changelog")
    text = []
    for release, date, changes in entries:
        text.append(f"{PACKAGE} ({release}) unstable; urgency=medium\n\n")
        for category, items in changes:
            text.append(f"  * {category}:\n")
            for item in items:
                text.append(textwrap.fill(item, DEBIAN_LINE_WIDTH, initial_indent="    - ",
                                          subsequent_indent="      ") + "\n")
        midnight = datetime.datetime.combine(date, datetime.time(), datetime.timezone.utc)
        text.append(f"\n -- {maintainer}  {email.utils.format_datetime(midnight)}\n\n")
    return "".join(text).rstrip("\n") + "\n"


def copyright_file(licence, path, homepage):
    """The licence's title and copyright lines become fields; the rest is its text."""
    lines = licence.strip("\n").splitlines()
    holders = [line for line in lines if line.startswith("Copyright")]
    if not lines or lines[0] != "MIT License" or not holders:
        raise DocumentError(f'{path}: expected "MIT License" and a copyright line')
    text = "\n".join(lines[lines.index(holders[-1]) + 1:]).strip("\n")
    body = "\n".join(" " + line if line else " ." for line in text.splitlines())
    copyright_field = "\n ".join(re.sub(r"^Copyright (\(c\) )?", "", line) for line in holders)
    return (f"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
            f"Upstream-Name: Keyfall\nSource: {homepage}\n\n"
            f"Files: *\nCopyright: {copyright_field}\nLicense: Expat\n"
            f"Comment: The MIT licence, as in the file LICENSE of the source; Expat is the\n"
            f" name of that licence in this format.\n\n"
            f"License: Expat\n{body}\n")


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
            start('.IP "" 2' if level >= 0 else ".PP")
        paragraph.append(text)
    close_lists_below(-1)
    return roff


def manual_page(template, readme, readme_path, changelog, changelog_path):
    version, date, _ = releases(changelog, changelog_path)[0]
    how_to_play = roff_from_markdown(markdown_section(readme, "How to play", readme_path))
    return (template.replace("@VERSION@", version).replace("@DATE@", date.isoformat())
            .replace("@HOW_TO_PLAY@", "\n".join(how_to_play)))


def main(argv):
    command, *paths = argv[1:] or [None]
    if command == "manual" and len(paths) == 4:
        template, readme, changelog, output = paths
        write(output, manual_page(read(template), read(readme), readme, read(changelog), changelog))
    elif command == "changelog" and len(paths) == 4:
        changelog, version, maintainer, output = paths
        write(output, debian_changelog(read(changelog), changelog, version, maintainer))
    elif command == "copyright" and len(paths) == 3:
        licence, homepage, output = paths
        write(output, copyright_file(read(licence), licence, homepage))
    else:
        raise DocumentError("usage:\n" + __doc__.split("\n\n", 1)[1].rstrip())


if __name__ == "__main__":
    try:
        main(sys.argv)
    except (DocumentError, OSError) as error:
        sys.exit(f"package_docs: {error}")
