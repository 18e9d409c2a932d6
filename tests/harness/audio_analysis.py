"""Finds where sounds begin in a recording and tells them apart by their strongest frequency."""
import cmath
import math

FRAME_SECONDS = 0.005
# A sound begins where the level jumps this much above the quietest of the frames just before it,
# so a sound that cuts off a fading one is found as well as one that breaks a silence.
RISE_DB = 9.0
# ...and this much above the loudest of them. A server late for its turn (as under load, or after
# a stall) leaves a stream out of some of the sink's periods: a moment of silence in a sound, which
# then goes on where it was, no louder than just before, and is not taken for a new sound.
ABOVE_LOUDEST_DB = 3.0
LOOKBACK_FRAMES = 6
FLOOR_DBFS = -40.0
MIN_GAP_SECONDS = 0.04
SPECTRUM_SAMPLES = 4096
# A sound heard at once can be dated a little before it was asked for: its onset is the start of
# the frame in which it rises, up to a frame early; the null sink renders a few milliseconds ahead
# of its clock; and where the server adds a stretch to the recording (as when a flush rewinds the
# sink), the times just before it are dated up to that stretch early: seen up to 26 ms with both
# cores busy. A real sound is never early, and the quickest sounds come 120 ms apart, so this
# margin cannot pair a sound with its neighbour's time.
ONSET_EARLY_SECONDS = 0.040


def _level_dbfs(frame):
    power = sum(s * s for s in frame) / len(frame)
    return 10 * math.log10(power / 32768 ** 2) if power else -120.0


def find_onsets(samples, rate):
    """Seconds from the start of the recording at which a sound begins."""
    size = int(rate * FRAME_SECONDS)
    levels = [_level_dbfs(samples[i:i + size]) for i in range(0, len(samples) - size, size)]
    onsets = []
    for i in range(1, len(levels)):
        before = levels[max(0, i - LOOKBACK_FRAMES):i]
        # A frame holds a whole number of samples, a little less than FRAME_SECONDS at 44.1 kHz:
        # date it by its samples, or onsets drift later the longer the recording runs.
        seconds = i * size / rate
        if levels[i] > FLOOR_DBFS and levels[i] - min(before) >= RISE_DB and \
                levels[i] - max(before) >= ABOVE_LOUDEST_DB and (
                not onsets or seconds - onsets[-1] >= MIN_GAP_SECONDS):
            onsets.append(seconds)
    return onsets


def _fft(values):
    n = len(values)
    if n == 1:
        return values
    even, odd = _fft(values[0::2]), _fft(values[1::2])
    twiddled = [cmath.exp(-2j * math.pi * k / n) * odd[k] for k in range(n // 2)]
    return [even[k] + twiddled[k] for k in range(n // 2)] + \
           [even[k] - twiddled[k] for k in range(n // 2)]


def dominant_hz(samples, rate, start_seconds, end_seconds):
    """The strongest frequency between the two times, from a Hann-windowed spectrum."""
    first = int(start_seconds * rate)
    piece = samples[first:min(int(end_seconds * rate), first + SPECTRUM_SAMPLES)]
    windowed = [s * (0.5 - 0.5 * math.cos(2 * math.pi * i / len(piece)))
                for i, s in enumerate(piece)]
    spectrum = _fft(windowed + [0.0] * (SPECTRUM_SAMPLES - len(windowed)))
    lowest = int(50 * SPECTRUM_SAMPLES / rate)
    peak = max(range(lowest, SPECTRUM_SAMPLES // 2), key=lambda k: abs(spectrum[k]))
    return peak * rate / SPECTRUM_SAMPLES


def identify(hz, signatures, tolerance=1.05):
    """The sound whose band holds the frequency, allowing for the spectrum's coarse steps."""
    for name, (low, high) in signatures.items():
        if low / tolerance <= hz <= high * tolerance:
            return name
    return None


def heard_sounds(samples, rate, signatures):
    """(onset seconds, sound name or None, strongest Hz) for each sound in the recording."""
    onsets = find_onsets(samples, rate)
    ends = onsets[1:] + [len(samples) / rate]
    heard = []
    for onset, end in zip(onsets, ends):
        hz = dominant_hz(samples, rate, onset, end)
        heard.append((onset, identify(hz, signatures), hz))
    return heard


def match_expected(expected, heard):
    """Pairs each expected (seconds, name, window seconds, cause) with the first unused
    heard sound of that name that begins at most the window after it (or is dated up to
    ONSET_EARLY_SECONDS before it, which a sound heard at once can be); returns a list of
    (expected, heard or None)."""
    used = set()
    pairs = []
    for entry in expected:
        when, name, window, _cause = entry
        found = next((index for index, (onset, heard_name, _hz) in enumerate(heard)
                      if index not in used and heard_name == name
                      and -ONSET_EARLY_SECONDS <= onset - when <= window), None)
        if found is not None:
            used.add(found)
        pairs.append((entry, heard[found] if found is not None else None))
    return pairs


def report(pairs, heard):
    """Prints the figures of a run and returns whether every expected sound was heard and
    nothing else was."""
    delays = {}
    for (when, name, _window, cause), match in pairs:
        if not match:
            print(f"  {name:12s} expected from {when:7.3f} s  NOT HEARD")
            continue
        delay = (match[0] - when) * 1000
        delays.setdefault(cause, []).append(delay)
        print(f"  {name:12s} expected from {when:7.3f} s  heard at {match[0]:7.3f} s"
              f"  ({match[2]:6.0f} Hz)  {cause} to sound {delay:5.0f} ms")
    matched = {match[0] for _, match in pairs if match}
    extra = [h for h in heard if h[0] not in matched]
    for onset, name, hz in extra:
        print(f"  unexpected sound at {onset:7.3f} s: {name or 'unknown'} ({hz:.0f} Hz)")
    heard_expected = sum(1 for _, match in pairs if match)
    print(f"sounds expected: {len(pairs)}, heard: {len(heard)}, matched: {heard_expected}")
    for cause, values in delays.items():
        ordered = sorted(values)
        print(f"{cause}-to-sound delay over {len(ordered)} sounds: median"
              f" {ordered[len(ordered) // 2]:.0f} ms, max {ordered[-1]:.0f} ms,"
              f" min {ordered[0]:.0f} ms")
    return heard_expected == len(pairs) and not extra
