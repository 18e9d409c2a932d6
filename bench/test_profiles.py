"""Checks of the parsing and grouping behind the profiles' tables."""
import unittest

from profiles import grouped, instruction_rows, own_functions, parse_annotation

GAME = "/build/keyfall"
ANNOTATION = f"""\
100,000 (100.0%)  PROGRAM TOTALS
 60,000 (60.00%)  ???:QWidgetRepaintManager::paintAndFlush() [/lib/libQt6Widgets.so.6]
 50,000 (50.00%)  ???:QWidgetPrivate::drawWidget(QPaintDevice*) [/lib/libQt6Widgets.so.6]
 20,000 (20.00%)  ???:QWidgetPrivate::drawWidget(QPaintDevice*)'2 [/lib/libQt6Widgets.so.6]
 45,000 (45.00%)  ???:keyfall::ControlSurface::paintEvent(QPaintEvent*) [{GAME}]
 30,000 (30.00%)  ???:(anonymous namespace)::Field::paintEvent(QPaintEvent*) [{GAME}]
 10,000 (10.00%)  ???:QtPrivate::QSlotObject<void (keyfall::MainWindow::*)()>::impl(int) [{GAME}]
  9,000 ( 9.00%)  ???:QTimerInfoList::activateTimers() [/lib/libQt6Core.so.6]
  5,000 ( 5.00%)  ???:0x0000000000117560 [???]
"""


class AnnotationTest(unittest.TestCase):
    def test_rows_count_each_function_once_and_the_rest_is_what_no_row_holds(self):
        counts, total = parse_annotation(ANNOTATION)
        self.assertEqual(total, 100_000)
        rows = dict(instruction_rows(counts, total))
        self.assertEqual(list(rows.values()), [50_000, 10_000, 9_000, 0, 0, 31_000])

    def test_own_functions_by_name_without_wrappers(self):
        counts, _ = parse_annotation(ANNOTATION)
        self.assertEqual(own_functions(counts, GAME), [
            (45_000, "keyfall::ControlSurface::paintEvent"), (30_000, "Field::paintEvent")])


class SmapsTest(unittest.TestCase):
    def test_mappings_are_grouped_by_what_they_hold(self):
        mappings = [("/usr/lib/libQt6Core.so.6.4.2", 100), ("/usr/lib/libpulse.so.0.24.2", 20),
                    ("/usr/lib/libc.so.6", 30), (GAME, 40), ("[heap]", 50), ("", 5),
                    ("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", 7),
                    ("/SYSV00000000 (deleted)", 9)]
        smaps = "\n".join(f"7f00-7f01 r-xp 0 08:01 1 {name}\nSize: 8 kB\nRss: {kib} kB"
                          for name, kib in mappings)
        groups = grouped(smaps, GAME)
        self.assertEqual([groups[g] for g in groups], [100, 0, 20, 7, 30, 40, 55, 9])


if __name__ == "__main__":
    unittest.main()
