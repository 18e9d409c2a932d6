"""Checks of the statistics and the table of the benchmark run."""
import unittest

from figures import Row, delays_after, median, percentile, spread, table


class PercentileTest(unittest.TestCase):
    def test_nearest_rank_of_a_hundred_values(self):
        values = list(range(100, 0, -1))
        self.assertEqual(percentile(values, 0.99), 99)
        self.assertEqual(percentile(values, 1.0), 100)
        self.assertEqual(percentile(values, 0.01), 1)

    def test_one_outlier_in_two_hundred_stays_below_the_99th_percentile(self):
        values = [1.0] * 199 + [50.0]
        self.assertEqual(percentile(values, 0.99), 1.0)
        values = [1.0] * 197 + [50.0, 60.0, 70.0]
        self.assertEqual(percentile(values, 0.99), 50.0)

    def test_median_of_odd_and_even_counts(self):
        self.assertEqual(median([5, 1, 3]), 3)
        self.assertEqual(median([4, 1, 3, 2]), 2)

    def test_no_values_is_an_error(self):
        with self.assertRaises(ValueError):
            percentile([], 0.5)

    def test_spread_names_every_figure(self):
        self.assertEqual(spread([1, 2, 3, 4]), "median 2.00, p99 4.00, max 4.00 ms (n=4)")


class DelaysAfterTest(unittest.TestCase):
    def test_each_cause_takes_the_next_onset_within_the_window(self):
        delays = delays_after([1.0, 2.0, 3.0], [1.02, 2.5, 3.01], 0.3)
        self.assertAlmostEqual(delays[0], 0.02)
        self.assertIsNone(delays[1])
        self.assertAlmostEqual(delays[2], 0.01)

    def test_an_onset_before_its_cause_or_taken_already_is_not_used_again(self):
        delays = delays_after([1.0, 1.1], [0.95, 1.05], 0.3)
        self.assertAlmostEqual(delays[0], 0.05)
        self.assertIsNone(delays[1])

    def test_an_onset_dated_a_little_early_counts_with_its_negative_delay(self):
        delays = delays_after([1.0, 2.0], [0.997, 1.95], 0.3, early=0.01)
        self.assertAlmostEqual(delays[0], -0.003)
        self.assertIsNone(delays[1])


class TableTest(unittest.TestCase):
    rows = [Row("Start-up", "41 ms", "1.2x", "<= 1.3x", True),
            Row("Handler", "9 ns"),
            Row("Memory", "40 MiB", "1.5x", "<= 1.2x", False)]

    def test_plain_columns_line_up(self):
        lines = table(self.rows).split("\n")
        self.assertEqual(len(lines), 5)
        start = lines[0].index("Value")
        self.assertTrue(all(line[start - 2:start] == "  " for line in lines[2:]))
        self.assertTrue(lines[2].endswith("yes"))
        self.assertTrue(lines[3].endswith("-"))
        self.assertTrue(lines[4].endswith("NO"))

    def test_markdown_has_a_header_rule_and_escapes_bars(self):
        lines = table([Row("a|b", "1")], markdown=True).split("\n")
        self.assertEqual(lines[1], "|---|---|---|---|---|")
        self.assertIn("a\\|b", lines[2])


if __name__ == "__main__":
    unittest.main()
