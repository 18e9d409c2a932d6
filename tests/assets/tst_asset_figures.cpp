// Checks the committed assets against what the game expects of them.
#include "bmp_file.h"
#include "dominant_frequency.h"
#include "sound_signatures.h"
#include "star_census.h"
#include "wav_file.h"

#include <QtTest>
#include <algorithm>
#include <array>
#include <cmath>
#include <set>
#include <span>
#include <string_view>
#include <vector>

using namespace keyfall::test;
namespace sounds = keyfall::sounds;

namespace {

QString assetPath(std::string_view name)
{
    return QStringLiteral(KEYFALL_ASSETS_DIR "/")
        + QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

template <typename Items, typename Predicate>
double shareWhere(const Items& items, Predicate predicate)
{
    return static_cast<double>(std::count_if(items.begin(), items.end(), predicate))
        / static_cast<double>(items.size());
}

// Greys 16, 32 ... 240, and greys tinted magenta with red and blue 15, 31 ... 255, green 7 lower.
std::set<Rgb> starColours()
{
    std::set<Rgb> colours;
    for (int step = 1; step <= 16; ++step) {
        if (step < 16)
            colours.insert({ 16 * step, 16 * step, 16 * step });
        colours.insert({ 16 * step - 1, 16 * step - 8, 16 * step - 1 });
    }
    return colours;
}

constexpr Rgb kBlack { 0, 0, 0 };
constexpr Rgb kRed { 255, 0, 0 };
constexpr Rgb kWhite { 255, 255, 255 };

int peakOf(const WavFile& wav)
{
    int peak = 0;
    for (const std::int16_t sample : wav.samples)
        peak = std::max(peak, std::abs(static_cast<int>(sample)));
    return peak;
}

}

class AssetFigures : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        auto starfield = readBmp(assetPath("starfield.bmp"));
        QVERIFY2(starfield, "starfield.bmp is not a readable BMP");
        starfield_ = std::move(*starfield);
        specks_ = findSpecks(starfield_);
        auto icon = readBmp(assetPath("icon.bmp"));
        QVERIFY2(icon, "icon.bmp is not a readable BMP");
        icon_ = std::move(*icon);
        for (std::size_t i = 0; i < sounds::kAll.size(); ++i) {
            auto wav = readWav(assetPath(sounds::kAll[i].fileName));
            QVERIFY2(wav && !wav->samples.empty(), sounds::kAll[i].fileName.data());
            sounds_[i] = std::move(*wav);
        }
    }

    void starfieldFormat()
    {
        QCOMPARE(starfield_.width, 665);
        QCOMPARE(starfield_.height, 364);
        QCOMPARE(starfield_.bitsPerPixel, 24);
        QCOMPARE(starfield_.pixelsPerMetre, 3780);
    }

    void starfieldColours()
    {
        const auto& pixels = starfield_.pixels;
        std::set<Rgb> lit(pixels.begin(), pixels.end());
        lit.erase(kBlack);
        QVERIFY(lit == starColours());

        const double black = shareWhere(pixels, [](const Rgb& pixel) { return pixel == kBlack; });
        QVERIFY2(std::abs(black - 0.81) <= 0.015, qPrintable(QString::number(black)));
        std::vector<Rgb> litPixels;
        std::copy_if(pixels.begin(), pixels.end(), std::back_inserter(litPixels),
            [](const Rgb& pixel) { return pixel != kBlack; });
        const double tintedShare
            = shareWhere(litPixels, [](const Rgb& pixel) { return pixel.green != pixel.red; });
        QVERIFY2(std::abs(tintedShare - 0.63) <= 0.03, qPrintable(QString::number(tintedShare)));
    }

    void starfieldSpeckShapes()
    {
        const auto largest = std::max_element(specks_.begin(), specks_.end(),
            [](const Speck& a, const Speck& b) { return a.size < b.size; });
        QVERIFY(largest->size <= 27);
        QVERIFY(largest->size >= 20);
        QVERIFY(
            shareWhere(specks_, [](const Speck& s) { return s.size >= 2 && s.size <= 10; }) > 0.7);
        QVERIFY(shareWhere(specks_, [](const Speck& s) { return s.horizontalDashOfEqualPixels; })
            > 0.1);
        std::vector<Speck> larger;
        std::copy_if(specks_.begin(), specks_.end(), std::back_inserter(larger),
            [](const Speck& s) { return s.size >= 4; });
        QVERIFY(shareWhere(larger, [](const Speck& s) { return s.distinctColours > 1; }) > 0.5);
    }

    void starfieldBrightSpecks_data()
    {
        QTest::addColumn<int>("threshold");
        QTest::addColumn<int>("expected");
        QTest::newRow("64") << 64 << 577;
        QTest::newRow("128") << 128 << 140;
        QTest::newRow("192") << 192 << 44;
    }

    void starfieldBrightSpecks()
    {
        QFETCH(int, threshold);
        QFETCH(int, expected);
        const auto reaching = std::count_if(
            specks_.begin(), specks_.end(), [&](const Speck& s) { return s.peakRed >= threshold; });
        QVERIFY2(std::abs(static_cast<double>(reaching) / expected - 1) <= 0.05,
            qPrintable(QString::number(reaching)));
    }

    void starfieldEvenness()
    {
        constexpr int kCells = 4;
        std::array<int, kCells * kCells> litInCell {};
        for (int y = 0; y < starfield_.height; ++y)
            for (int x = 0; x < starfield_.width; ++x)
                if (starfield_.at(x, y) != kBlack)
                    ++litInCell[y * kCells / starfield_.height * kCells
                        + x * kCells / starfield_.width];
        double mean = 0;
        for (const int count : litInCell)
            mean += count / static_cast<double>(litInCell.size());
        for (const int count : litInCell)
            QVERIFY2(std::abs(count / mean - 1) <= 0.25, qPrintable(QString::number(count)));
    }

    void iconFormat()
    {
        QCOMPARE(icon_.width, 32);
        QCOMPARE(icon_.height, 32);
        QCOMPARE(icon_.bitsPerPixel, 4);
        const std::vector<Rgb> windowsColours { kBlack, { 128, 0, 0 }, { 0, 128, 0 },
            { 128, 128, 0 }, { 0, 0, 128 }, { 128, 0, 128 }, { 0, 128, 128 }, { 192, 192, 192 },
            { 128, 128, 128 }, kRed, { 0, 255, 0 }, { 255, 255, 0 }, { 0, 0, 255 }, { 255, 0, 255 },
            { 0, 255, 255 }, kWhite };
        QVERIFY(icon_.palette == windowsColours);
    }

    void iconLayout()
    {
        QCOMPARE(icon_.at(0, 31), kRed);
        QCOMPARE(icon_.at(21, 31), kRed);
        QCOMPARE(icon_.at(0, 9), kBlack);
        QCOMPARE(icon_.at(22, 31), kBlack);

        // Away from the white lettering, red fills exactly the triangle below the diagonal from
        // (0, 10) to (21, 31).
        int top = 32, bottom = -1, left = 32, right = -1;
        bool letterOverTriangle = false;
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                const Rgb pixel = icon_.at(x, y);
                const bool inTriangle = x <= y - 10;
                if (pixel != kWhite) {
                    QCOMPARE(pixel, inTriangle ? kRed : kBlack);
                    continue;
                }
                letterOverTriangle = letterOverTriangle || inTriangle;
                top = std::min(top, y);
                bottom = std::max(bottom, y);
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
        QVERIFY(letterOverTriangle);
        QVERIFY(bottom < 22);
        QVERIFY2(bottom - top + 1 >= 15 && bottom - top + 1 <= 19, "letters about 17 pixels tall");
        QVERIFY2(left < 8 && right > 24, "monogram spread across the icon");
    }

    void soundFiles_data() { addSoundRows(); }
    void soundFiles()
    {
        QFETCH(int, index);
        const sounds::Signature& signature = sounds::kAll[static_cast<std::size_t>(index)];
        const WavFile& wav = sounds_[static_cast<std::size_t>(index)];
        QCOMPARE(wav.format, 1);
        QCOMPARE(wav.channels, 1);
        QCOMPARE(wav.sampleRate, sounds::kSampleRate);
        QCOMPARE(wav.bitsPerSample, 16);
        QVERIFY(wav.seconds() >= signature.minSeconds && wav.seconds() <= signature.maxSeconds);
    }

    void soundLevels_data() { addSoundRows(); }
    void soundLevels()
    {
        QFETCH(int, index);
        const WavFile& wav = sounds_[static_cast<std::size_t>(index)];
        const int peak = peakOf(wav);
        QVERIFY2(std::abs(20 * std::log10(peak / 32768.0) - sounds::kPeakDbfs) <= 0.5,
            qPrintable(QString::number(peak)));

        // Sounds from the start: within 2 ms the level reaches a tenth of the peak.
        const auto onset = std::find_if(wav.samples.begin(), wav.samples.end(),
            [&](std::int16_t sample) { return std::abs(sample) >= peak / 10; });
        QVERIFY(
            onset - wav.samples.begin() <= std::lround(sounds::kMaxOnsetSeconds * wav.sampleRate));

        // Fades out instead of stopping dead: the last millisecond is all but silent.
        const auto lastMillisecond = static_cast<std::size_t>(wav.sampleRate / 1000);
        const auto tail = std::span(wav.samples).last(lastMillisecond);
        QVERIFY(std::all_of(tail.begin(), tail.end(),
            [&](std::int16_t sample) { return std::abs(sample) < peak / 50; }));
    }

    void soundDominantFrequencies()
    {
        std::vector<double> dominant;
        for (std::size_t i = 0; i < sounds::kAll.size(); ++i) {
            const sounds::Signature& signature = sounds::kAll[i];
            const double hz = dominantFrequencyHz(sounds_[i].samples, sounds_[i].sampleRate);
            QVERIFY2(hz >= signature.dominantLowHz && hz <= signature.dominantHighHz,
                qPrintable(
                    QStringLiteral("%1 Hz in %2").arg(hz).arg(assetPath(signature.fileName))));
            dominant.push_back(hz);
        }
        std::sort(dominant.begin(), dominant.end());
        for (std::size_t i = 1; i < dominant.size(); ++i)
            QVERIFY2(dominant[i] / dominant[i - 1] >= 1.3, "two sounds share a dominant frequency");
    }

private:
    static void addSoundRows()
    {
        QTest::addColumn<int>("index");
        for (std::size_t i = 0; i < sounds::kAll.size(); ++i)
            QTest::newRow(sounds::kAll[i].fileName.data()) << static_cast<int>(i);
    }

    BmpFile starfield_;
    std::vector<Speck> specks_;
    BmpFile icon_;
    std::array<WavFile, sounds::kAll.size()> sounds_;
};

QTEST_GUILESS_MAIN(AssetFigures)
#include "tst_asset_figures.moc"
