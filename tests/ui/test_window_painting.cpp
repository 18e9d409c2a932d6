#include "ui/platform/look_and_feel.h"
#include "window_fixture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <functional>
#include <memory>

using namespace keyfall;
using namespace keyfall::testing;
using namespace Qt::Literals::StringLiterals;

namespace {

const QRgb kSteelBlue = qRgb(115, 136, 170);
const QRgb kHatchGreen = qRgb(0, 192, 0);
const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kSlateBlue = qRgb(132, 149, 181);
const QRgb kBrown = qRgb(128, 64, 0);
const QRgb kDarkTeal = qRgb(0, 64, 64);
const QRgb kGrey = qRgb(192, 192, 192);
const QRgb kYellow = qRgb(255, 255, 0);

constexpr int kBarHeight = 33;
constexpr int kInputTop = 320;
const QRect kClientArea(0, 0, 657, 337);
const QRect kPanel(192, 48, 297, 257);

// True if the pixels of `area` are the same in both pictures.
bool samePixels(const QImage& a, const QImage& b, const QRect& area)
{
    return a.copy(area) == b.copy(area);
}

int countPixels(const QImage& image, const QRect& area, QRgb colour)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            count += image.pixel(x, y) == colour;
    }
    return count;
}

// True if the green pixels of the 8 x 8 tile at `origin` are exactly two diagonal lines at 45
// degrees, one each way.
bool isDiagonalCross(const QImage& image, QPoint origin)
{
    for (int down = 0; down < 8; ++down) {
        for (int up = 0; up < 8; ++up) {
            bool matches = true;
            for (int y = 0; y < 8 && matches; ++y) {
                for (int x = 0; x < 8 && matches; ++x) {
                    const bool onLine = (x - y - down + 16) % 8 == 0 || (x + y - up) % 8 == 0;
                    matches = onLine == (image.pixel(origin + QPoint(x, y)) == kHatchGreen);
                }
            }
            if (matches)
                return true;
        }
    }
    return false;
}

}

class WindowPaintingTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ShownWindow> w;

    void showTarget(const QString& caption, float left, float top)
    {
        w->form.Label1.Caption = caption;
        w->form.Label1.Left = left;
        w->form.Label1.Top = top;
        w->form.Label1.Visible = true;
        w->window.refreshFromModel();
    }

private Q_SLOTS:
    void initTestCase() { applyLookAndFeel(); }
    void init()
    {
        w = std::make_unique<ShownWindow>();
        QVERIFY(w->exposed());
    }
    void cleanup() { w.reset(); }

    void statusBarIsSteelBlueUnderAGreenDiagonalCrossHatch()
    {
        const QImage image = w->grab();
        // The cell between "Time Left" and "SETTINGS" holds no text.
        const QRect emptyCell(250, 1, 45, 31);
        QCOMPARE(
            countPixels(image, emptyCell, kSteelBlue) + countPixels(image, emptyCell, kHatchGreen),
            emptyCell.width() * emptyCell.height());
        QVERIFY(isDiagonalCross(image, QPoint(256, 8)));
        for (int y = emptyCell.top(); y + 8 <= emptyCell.bottom(); ++y) {
            for (int x = emptyCell.left(); x + 8 <= emptyCell.right(); ++x) {
                QCOMPARE(image.pixel(x, y), image.pixel(x + 8, y));
                QCOMPARE(image.pixel(x, y), image.pixel(x, y + 8));
            }
        }
    }

    // The hatch lies over the separators and crosses them; the bar's border lies over the hatch.
    void statusBarHasSixBlackSeparatorsInsideABlackBorder()
    {
        const QImage image = w->grab();
        for (int x : { 80, 152, 248, 424, 520, 592 }) {
            const QRect separator(x, 0, 1, kBarHeight);
            const int black = countPixels(image, separator, kBlack);
            QVERIFY(black > kBarHeight * 3 / 4);
            QCOMPARE(black + countPixels(image, separator, kHatchGreen), kBarHeight);
            QVERIFY(countPixels(image, QRect(x + 1, 1, 1, 7), kBlack) == 0);
            QVERIFY(countPixels(image, QRect(x - 1, 1, 1, 7), kBlack) == 0);
        }
        QCOMPARE(countPixels(image, QRect(0, 0, 657, 1), kBlack), 657);
        QCOMPARE(countPixels(image, QRect(0, kBarHeight - 1, 657, 1), kBlack), 657);
        QCOMPARE(countPixels(image, QRect(0, 0, 1, kBarHeight), kBlack), kBarHeight);
    }

    void playFieldShowsTheStarfieldUnscaled()
    {
        const QImage starfield
            = QImage(QString::fromUtf8(KEYFALL_STARFIELD)).convertToFormat(QImage::Format_RGB32);
        const QRect playField(0, kBarHeight, 657, kInputTop - kBarHeight);
        QVERIFY(countPixels(starfield, playField, kBlack) < playField.width() * playField.height());
        QVERIFY(samePixels(w->grab(), starfield, playField));
    }

    // On a desktop scaled by two the window is painted at a device pixel ratio of 2: the
    // shapes, the lines, the borders and the starfield are the picture at scale 1 with each pixel
    // doubled, and the captions are drawn at scale 2, neither enlarged pixel by pixel nor smoothed.
    void atScaleTwoCaptionsAreDrawnAnewAndTheRestIsDoubled_data()
    {
        QTest::addColumn<QRect>("area");
        QTest::addColumn<bool>("caption");
        QTest::addColumn<bool>("panel");
        QTest::newRow("empty cell of the status bar") << QRect(250, 1, 45, 31) << false << false;
        QTest::newRow("separator line and border")
            << QRect(246, 0, 48, kBarHeight) << false << false;
        QTest::newRow("starfield") << QRect(0, 40, 657, 200) << false << false;
        QTest::newRow("Shooted :") << QRect(8, 8, 81, 17) << true << false;
        QTest::newRow("Missed :") << QRect(88, 8, 41, 17) << true << false;
        QTest::newRow("Time Left:") << QRect(160, 8, 57, 17) << true << false;
        QTest::newRow("panel's etched edge") << QRect(192, 100, 4, 60) << false << true;
        QTest::newRow("chosen case's border") << QRect(477, 194, 6, 12) << false << true;
        QTest::newRow("level button's bevel") << QRect(312, 155, 4, 15) << false << true;
    }
    void atScaleTwoCaptionsAreDrawnAnewAndTheRestIsDoubled()
    {
        QFETCH(QRect, area);
        QFETCH(bool, caption);
        QFETCH(bool, panel);
        if (panel)
            w->click(w->form.lblSettings);
        QImage sharp(w->window.size() * 2, QImage::Format_RGB32);
        sharp.setDevicePixelRatio(2);
        w->window.render(&sharp);
        sharp = sharp.copy(QRect(area.topLeft() * 2, area.size() * 2));
        sharp.setDevicePixelRatio(1);
        const QImage once = w->grab().copy(area);
        const QImage doubled = once.scaled(area.size() * 2);
        QCOMPARE(sharp == doubled, !caption);
        if (caption)
            QVERIFY(sharp
                != once.scaled(area.size() * 2, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }

    // The caret is drawn by inverting what lies under it, so it is left out.
    void inputStripIsBlackToTheBottom()
    {
        const QRect strip(10, kInputTop, 647, kClientArea.height() - kInputTop);
        QCOMPARE(countPixels(w->grab(), strip, kBlack), strip.width() * strip.height());
    }

    void aLargerWindowShowsDarkTealBeyondThePictureAndMovesNothing()
    {
        const QImage before = w->grab();
        w->window.resize(720, 400);
        const QImage after = w->grab();
        QCOMPARE(after.pixel(690, 100), kDarkTeal);
        QCOMPARE(after.pixel(100, 380), kDarkTeal);
        QVERIFY(samePixels(before, after, kClientArea));
    }

    void targetIsDrawnWhiteInThePlayField()
    {
        const QImage before = w->grab();
        showTarget(u"W"_s, 3000, 2000);
        const QImage after = w->grab();
        const QRect target(200, 133, 60, 80);
        QVERIFY(countPixels(after, target, kWhite) > 100);
        QVERIFY(samePixels(before, after, QRect(0, 0, 657, 130)));
        QVERIFY(samePixels(before, after, QRect(270, 0, 387, 337)));
    }

    void targetPassesBehindTheStatusBar()
    {
        const QImage before = w->grab();
        showTarget(u"W"_s, 3000, 0);
        const QImage after = w->grab();
        QVERIFY(samePixels(before, after, QRect(0, 0, 657, kBarHeight)));
        QVERIFY(countPixels(after, QRect(200, kBarHeight, 60, 40), kWhite) > 50);
    }

    void targetPassesBehindTheOpenPanel()
    {
        w->click(w->form.lblSettings);
        const QImage before = w->grab();
        showTarget(u"W"_s, 4000, 2000);
        QVERIFY(w->form.Label1.Visible);
        QVERIFY(samePixels(before, w->grab(), kPanel));
    }

    void openPanelIsSlateBlueWithTheWindowsSpeedOptionsAndRoundLengthOverIt()
    {
        const QImage closed = w->grab();
        QVERIFY(countPixels(closed, kPanel, kSlateBlue) == 0);

        w->click(w->form.lblSettings);
        const QImage open = w->grab();
        QCOMPARE(open.pixel(inFrame(2000, 2000)), kSlateBlue);
        QCOMPARE(open.pixel(inFrame(3900, 3000)), kSlateBlue);
        // Option buttons: black behind the caption's end; the round-length box brown.
        QCOMPARE(open.pixel(twips(3480 + 840, 1680 + 15)), kBlack);
        QCOMPARE(open.pixel(twips(4560 + 840, 1680 + 15)), kBlack);
        QCOMPARE(open.pixel(inFrame(2880 + 1080, 960 + 15)), kBlack);
        QCOMPARE(open.pixel(twips(4440 + 600, 3480 + 150)), kBrown);
        QVERIFY(countPixels(open, kPanel, kSlateBlue) > kPanel.width() * kPanel.height() / 3);
    }

    // The window repaints only what each change exposed, and leaves the rest of its painting on
    // the screen (the offscreen platform's screen is the window's back buffer). After each step of
    // a round that buffer must hold what a whole paint of the window draws.
    void partialRepaintsLeaveWhatAWholePaintDraws()
    {
        QApplication::setCursorFlashTime(0); // the caret stays drawn, as in a whole paint
        auto* box = w->child<QLineEdit>(u"Text1"_s);
        const std::pair<const char*, std::function<void()>> steps[] = {
            { "typing while idle", [&] { QTest::keyClicks(box, u"q"_s); } },
            { "a new game", [&] { w->click(w->form.lblNew); } },
            { "the target falls", [&] { w->advance(700); } },
            { "a hit", [&] { QTest::keyClicks(box, w->form.Label1.Caption); } },
            { "a wrong key", [&] { QTest::keyClicks(box, u"#"_s); } },
            { "a second on the clock", [&] { w->advance(1000); } },
            { "the panel opens", [&] { w->click(w->form.lblSettings); } },
            { "the panel closes", [&] { w->click(w->form.Label10); } },
            { "paused", [&] { w->click(w->form.lblPause); } },
            { "resumed", [&] { w->click(w->form.lblPause); } },
            { "time over", [&] { w->advance(100'000); } },
        };
        for (const auto& [name, step] : steps) {
            step();
            QCoreApplication::processEvents();
            const QImage onScreen = w->window.screen()
                                        ->grabWindow(w->window.winId())
                                        .toImage()
                                        .convertToFormat(QImage::Format_RGB32);
            QVERIFY2(onScreen == w->grab(), name);
        }
    }

    // A label that the panel paints shows that it has the keyboard by a dotted frame in its text
    // colour: black on a letter case, yellow on Cancel.
    void aPaintedLabelWithTheKeyboardShowsADottedFrameInItsTextColour()
    {
        QVERIFY(QTest::qWaitForWindowActive(&w->window));
        w->click(w->form.lblSettings);
        for (const auto& [caption, ink] :
            { std::pair(&w->form.lblSmall, kBlack), { &w->form.Label10, kYellow } }) {
            QWidget* label = w->surfaceOf(Container::Frame1)->widgetOf(*caption);
            const QRect inside
                = label->geometry().adjusted(2, 2, -2, -2).translated(kPanel.topLeft());
            const int before = countPixels(w->grab(), inside, ink);
            label->setFocus();
            QVERIFY(countPixels(w->grab(), inside, ink) > before + inside.width() / 2);
        }
    }

    void levelButtonsShowTheChosenLevelsColourAndTheOthersGrey()
    {
        w->click(w->form.lblSettings);
        const QString names[] = { u"Command1"_s, u"Command2"_s, u"Command3"_s };
        const QRgb chosen[] = { qRgb(192, 255, 255), qRgb(255, 192, 255), qRgb(255, 128, 128) };
        for (int clicked : { 1, 2, 0, 2 }) {
            QTest::mouseClick(w->child<QPushButton>(names[clicked]), Qt::LeftButton);
            const QImage image = w->grab();
            for (int i = 0; i < 3; ++i) {
                const QRect button = w->child(names[i])->geometry().translated(kPanel.topLeft());
                // A quarter of the way across, clear of the centred caption.
                const QPoint sample(button.left() + button.width() / 4, button.center().y());
                QCOMPARE(image.pixel(sample), i == clicked ? chosen[i] : kGrey);
            }
        }
    }
};

QTEST_MAIN(WindowPaintingTest)
#include "test_window_painting.moc"
