"""Statistics of the measurements and the table that shows them side by side."""
import math
from dataclasses import dataclass


def percentile(values, fraction):
    """The nearest-rank percentile: the smallest value with at least `fraction` of all at or
    below it. The median of an even count is the lower middle value."""
    if not values:
        raise ValueError("no values")
    ordered = sorted(values)
    rank = max(1, math.ceil(fraction * len(ordered)))
    return ordered[rank - 1]


def median(values):
    return percentile(values, 0.5)


def spread(values, unit="ms", digits=2):
    """Median, 99th percentile and maximum as one cell."""
    return (f"median {median(values):.{digits}f}, p99 {percentile(values, 0.99):.{digits}f}, "
            f"max {max(values):.{digits}f} {unit} (n={len(values)})")


@dataclass
class Row:
    figure: str
    value: str
    baseline: str = "-"
    goal: str = "-"
    met: object = None  # True, False or None where there is no goal

    def verdict(self):
        return "-" if self.met is None else ("yes" if self.met else "NO")


HEADINGS = ("Figure", "Value", "Yardstick / ratio", "Goal", "Met?")


def table(rows, markdown=False):
    """The rows as a plain-text table with aligned columns, or as a Markdown table."""
    cells = [HEADINGS] + [(r.figure, r.value, r.baseline, r.goal, r.verdict()) for r in rows]
    if markdown:
        lines = ["| " + " | ".join(c.replace("|", "\\|") for c in row) + " |" for row in cells]
        lines.insert(1, "|" + "---|" * len(HEADINGS))
        return "\n".join(lines)
    widths = [max(len(row[i]) for row in cells) for i in range(len(HEADINGS))]
    lines = ["  ".join(c.ljust(w) for c, w in zip(row, widths)).rstrip() for row in cells]
    lines.insert(1, "  ".join("-" * w for w in widths))
    return "\n".join(lines)


def delays_after(causes, onsets, window, early=0.0):
    """For each cause, in order, the time to the first onset not yet taken that begins within the
    window after it, or None. An onset dated up to `early` before its cause, as a measurement can
    date one, counts too, with a negative delay. Both lists are in seconds and sorted."""
    delays = []
    taken = 0
    for cause in causes:
        while taken < len(onsets) and onsets[taken] < cause - early:
            taken += 1
        if taken < len(onsets) and onsets[taken] - cause <= window:
            delays.append(onsets[taken] - cause)
            taken += 1
        else:
            delays.append(None)
    return delays
