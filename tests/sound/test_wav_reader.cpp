#include "sound/wav_reader.h"
#include "wav_bytes.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace keyfall;
using namespace keyfall::testing;

namespace {

const QByteArray kSamples = sineSamples(440, 64);
const WavFields kStereo { .channels = 2, .blockAlign = 4, .byteRate = 176400 };

QByteArray withFields(const WavFields& fields)
{
    return riff(formatChunk(fields) + chunk("data", kSamples));
}

// A good file after a first chunk that claims the given size but holds nothing.
QByteArray afterChunkClaiming(std::uint32_t size)
{
    return riff("JUNK" + littleEndianBytes(size, 4) + formatChunk({}) + chunk("data", kSamples));
}

}

class WavReaderTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void acceptsWellFormedFiles_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("channels");
        QTest::addColumn<int>("sampleRate");
        QTest::newRow("mono") << monoWav(kSamples) << 1 << 44100;
        QTest::newRow("stereo") << withFields(kStereo) << 2 << 44100;
        QTest::newRow("22050 Hz") << withFields({ .sampleRate = 22050, .byteRate = 44100 }) << 1
                                  << 22050;
        // Writers may add chunks of their own; an odd-sized one is followed by a pad byte.
        QTest::newRow("odd-sized chunk before the data")
            << riff(formatChunk({}) + chunk("LIST", "abc") + chunk("data", kSamples)) << 1 << 44100;
        QTest::newRow("extended format chunk") << withFields({ .formatBytes = 18 }) << 1 << 44100;
        QTest::newRow("bytes after the RIFF chunk") << monoWav(kSamples) + "junk" << 1 << 44100;
    }
    void acceptsWellFormedFiles()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, channels);
        QFETCH(int, sampleRate);
        const std::optional<PcmSound> sound = parseWav(file);
        QVERIFY(sound);
        QCOMPARE(sound->channelCount, channels);
        QCOMPARE(sound->sampleRate, sampleRate);
        QCOMPARE(sound->samples, kSamples);
    }

    void rejectsAnythingElse_data()
    {
        const QByteArray good = monoWav(kSamples);
        const QByteArray format = formatChunk({});
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("shorter than the RIFF header") << good.first(10);
        QTest::newRow("not RIFF") << "RIFX" + good.sliced(4);
        QTest::newRow("not WAVE") << good.first(8) + "AVI " + good.sliced(12);
        QTest::newRow("truncated data") << good.chopped(2);
        QTest::newRow("truncated format chunk") << good.first(30);
        QTest::newRow("RIFF size smaller than its header")
            << "RIFF" + littleEndianBytes(2, 4) + good.sliced(8);
        QTest::newRow("data size past the end")
            << riff(format + "data" + littleEndianBytes(kSamples.size() + 2, 4) + kSamples);
        QTest::newRow("chunk header cut off") << riff(format + "LIST\x02");
        QTest::newRow("no format chunk") << riff(chunk("data", kSamples));
        QTest::newRow("no data chunk") << riff(format);
        QTest::newRow("data before format") << riff(chunk("data", kSamples) + format);
        QTest::newRow("empty data") << riff(format + chunk("data", {}));
        QTest::newRow("format chunk too short") << withFields({ .formatBytes = 14 });
        QTest::newRow("floating point") << withFields({ .formatTag = 3 });
        QTest::newRow("extensible format") << withFields({ .formatTag = 0xFFFE });
        QTest::newRow("8-bit") << withFields(
            { .bitsPerSample = 8, .blockAlign = 1, .byteRate = 44100 });
        QTest::newRow("24-bit") << withFields(
            { .bitsPerSample = 24, .blockAlign = 3, .byteRate = 132300 });
        QTest::newRow("no channels")
            << withFields({ .channels = 0, .blockAlign = 0, .byteRate = 0 });
        QTest::newRow("three channels")
            << withFields({ .channels = 3, .blockAlign = 6, .byteRate = 264600 });
        QTest::newRow("sample rate 0") << withFields({ .sampleRate = 0, .byteRate = 0 });
        QTest::newRow("sample rate 1 MHz")
            << withFields({ .sampleRate = 1000000, .byteRate = 2000000 });
        QTest::newRow("byte rate disagrees") << withFields({ .byteRate = 44100 });
        QTest::newRow("block align disagrees") << withFields({ .blockAlign = 4 });
        QTest::newRow("stereo data not whole frames")
            << riff(formatChunk(kStereo) + chunk("data", kSamples + "xy"));
        // Sizes are unsigned 32-bit fields: none may wrap an offset, whether qsizetype is 32 or
        // 64 bits wide, nor keep the walk from moving on.
        QTest::newRow("chunk size 2^32 - 8") << afterChunkClaiming(0xFFFF'FFF8);
        QTest::newRow("chunk size 2^32 - 1") << afterChunkClaiming(0xFFFF'FFFF);
        QTest::newRow("chunk size 2^31") << afterChunkClaiming(0x8000'0000);
        QTest::newRow("chunk size 2^31 - 1") << afterChunkClaiming(0x7FFF'FFFF);
        QTest::newRow("data size 2^32 - 2")
            << riff(format + "data" + littleEndianBytes(0xFFFF'FFFE, 4) + kSamples);
        QTest::newRow("RIFF size 2^32 - 1")
            << "RIFF" + littleEndianBytes(0xFFFF'FFFF, 4) + good.sliced(8);
        QTest::newRow("RIFF size 2^31")
            << "RIFF" + littleEndianBytes(0x8000'0000, 4) + good.sliced(8);
        QTest::newRow("odd-sized last chunk without its pad byte")
            << riff(format + "LIST" + littleEndianBytes(3, 4) + "abc");
    }
    void rejectsAnythingElse()
    {
        QFETCH(QByteArray, file);
        QVERIFY(!parseWav(file));
    }

    void loadsFromDiskAndRejectsMissingFiles()
    {
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("tone.wav")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(monoWav(kSamples));
        file.close();
        const std::optional<PcmSound> sound = loadWav(file.fileName());
        QVERIFY(sound);
        QCOMPARE(sound->samples, kSamples);
        QVERIFY(!loadWav(dir.filePath(QStringLiteral("missing.wav"))));
        QVERIFY(!loadWav(dir.path()));
    }
};

QTEST_GUILESS_MAIN(WavReaderTest)
#include "test_wav_reader.moc"
