#include "game/form1.h"

namespace keyfall {

using namespace Qt::Literals::StringLiterals;
using namespace colour;

namespace {

    constexpr int kFallIntervalMs = 200;
    constexpr int kRespawnIntervalMs = 500;
    constexpr int kClockIntervalMs = 1000;

    Font commandFont() { return { u"MS Sans Serif"_s, 9.75, true }; }
    Font caseFont() { return { u"Comic Sans MS"_s, 8.25, false }; }

    // Most of the form's labels only paint their text over what lies behind them.
    Label textLabel(Container in, QString caption, float left, float top, float width, float height,
        Colour foreColor, Font font = windowFont())
    {
        Label label;
        label.In = in;
        label.Caption = std::move(caption);
        label.Left = left;
        label.Top = top;
        label.Width = width;
        label.Height = height;
        label.ForeColor = foreColor;
        label.font = std::move(font);
        label.Transparent = true;
        return label;
    }

    Label autoSized(Label label)
    {
        label.AutoSize = true;
        return label;
    }

    Label commandLabel(QString caption, float left, float width)
    {
        return autoSized(textLabel(Container::Form1, std::move(caption), left, 120, width, 240,
            kLightGreen, commandFont()));
    }

    Label panelButton(QString caption, float left, float width)
    {
        Label label = textLabel(
            Container::Frame1, std::move(caption), left, 3360, width, 375, kYellow, commandFont());
        label.BorderStyle = Border::FixedSingle;
        label.Centred = true;
        return label;
    }

    Label caseLabel(QString caption, float left, float width)
    {
        Label label = textLabel(
            Container::Frame1, std::move(caption), left, 2160, width, 255, kButtonText, caseFont());
        label.Transparent = false;
        label.BackColor = kPink;
        return label;
    }

    Label hiddenAutoSized(QString caption, float left, float top, float width, float height,
        Colour fore, Colour back, Font font)
    {
        Label label = autoSized(textLabel(
            Container::Form1, std::move(caption), left, top, width, height, fore, std::move(font)));
        label.BackColor = back;
        label.Visible = false;
        return label;
    }

    Line separator(float x, float top = 0) { return { Container::Form1, x, top, x, 480 }; }

    OptionButton speedOption(Container in, QString caption, float left, float top, float width,
        Colour back, bool visible)
    {
        return { in, std::move(caption), left, top, width, 195, kLightCyan, back, false, visible };
    }

    CommandButton levelButton(QString caption, float left, float top, float width, float height)
    {
        return { std::move(caption), left, top, width, height, kGrey };
    }

}

Form1::Form1(TimerScheduler& scheduler, SoundPort& sound, HostWindow& window)
    : Option1(speedOption(Container::Form1, u"Slow"_s, 3480, 1680, 855, kBlack, false))
    , Combo1 { 4440, 3480, 1095, 315, kWindowBackground, kBrown, { u"MS Sans Serif"_s, 8.25, true },
        QString::number(kStartRoundSeconds), {}, false }
    , Option2(speedOption(Container::Form1, u"Normal"_s, 4560, 1680, 855, kBlack, false))
    , Timer3(scheduler, kClockIntervalMs, [this] { Timer3_Timer(); })
    , Timer2(scheduler, kRespawnIntervalMs, [this] { Timer2_Timer(); })
    , Text1 { 0, 4800, 9855, 315, kBlack, kWindowFrame, { u"Times New Roman"_s, 8.25, false }, {},
        true }
    , Timer1(scheduler, kFallIntervalMs, [this] { Timer1_Timer(); })
    , Frame1 { u"Quillo Glyphrun Settings"_s, 2880, 720, 4455, 3855, kSlateBlue, false }
    , Option3(speedOption(Container::Frame1, u"Speed"_s, 2880, 960, 1095, kButtonText, true))
    , Command3(levelButton(u"3"_s, 3360, 1320, 855, 555))
    , Command2(levelButton(u"2"_s, 2640, 1440, 735, 435))
    , Command1(levelButton(u"1"_s, 1800, 1560, 855, 315))
    , Shape4 { Container::Frame1, ShapeKind::Rectangle, 180, 2160, 4175, 255 }
    , Label8(textLabel(Container::Frame1, u"Game Time"_s, 240, 2760, 1095, 255, kButtonFace))
    , lblMixed(caseLabel(u"MiXeD LeTtEr"_s, 3000, 1335))
    , lblSmall(caseLabel(u"small letters"_s, 1560, 1395))
    , lblCaps(caseLabel(u"CAPITALS"_s, 195, 1335))
    , Label12(textLabel(Container::Frame1, u"Game Level"_s, 240, 1560, 975, 255, kButtonFace))
    , Label11(textLabel(Container::Frame1, u"Seconds"_s, 2880, 2760, 735, 255, kLightCyan))
    , Label10(panelButton(u"Cancel"_s, 240, 1575))
    , Label9(panelButton(u"Ok"_s, 2280, 1815))
    , Shape3 { Container::Frame1, ShapeKind::RoundedRectangle, 120, 840, 4095, 375, kWindowText,
        FillStyle::Solid, kBlack }
    , Label7(textLabel(Container::Frame1, u"Game Speed"_s, 240, 600, 1575, 255, kActiveBorder))
    , Line7 { Container::Frame1, 840, 360, 3480, 360 }
    , Label5(autoSized(textLabel(
          Container::Frame1, u"Quillo Keyfall Settings"_s, 1080, 120, 2100, 195, kHighlightText)))
    , lblQuit(commandLabel(u"QUIT"_s, 9000, 795))
    , lblNew(commandLabel(u"NEW GAME"_s, 6480, 1245))
    , lblPause(commandLabel(u"PAUSE "_s, 7920, 840))
    , Label6(textLabel(Container::Form1, u"s"_s, 3600, 120, 135, 255, kSkyBlue))
    , lbltime(textLabel(Container::Form1, QString::number(kStartRoundSeconds), 3240, 120, 375, 255,
          kLightGreen, { u"MS Sans Serif"_s, 8.25, true }))
    , Label3(textLabel(Container::Form1, u"Time Left:"_s, 2400, 120, 855, 255, kPaleYellow))
    , lblMissed(textLabel(Container::Form1, u"0"_s, 2040, 120, 255, 375, kWhite))
    , Label4(textLabel(Container::Form1, u"Missed :"_s, 1320, 120, 615, 255, kOrange))
    , lblShooted(textLabel(Container::Form1, u"0"_s, 960, 120, 255, 255, kWhite))
    , Label2(textLabel(Container::Form1, u"Shooted :"_s, 120, 120, 1215, 255, kOrange))
    , lblSettings(autoSized(
          textLabel(Container::Form1, u"SETTINGS"_s, 4440, 120, 1155, 240, kWhite, commandFont())))
    , Shape2 { Container::Form1, ShapeKind::Rectangle, 0, 0, 9855, 495, kWindowText,
        FillStyle::DiagonalCross, kHatchGreen }
    , Line6(separator(8880))
    , Line5(separator(7800))
    , Line4(separator(6360, -120))
    , Line3(separator(3720))
    , Line2(separator(2280))
    , Line1(separator(1200))
    , Shape1 { Container::Form1, ShapeKind::Rectangle, 0, 0, 9855, 495, kWindowText,
        FillStyle::Transparent, kBlack, true, kSteelBlue }
    , lblOver(hiddenAutoSized(u"Time is Over!"_s, 720, 1680, 270, 60, kYellow, kDarkGreen,
          { u"Comic Sans MS"_s, 2.25, false }))
    , Label1(hiddenAutoSized(
          u"G"_s, 4320, 1320, 690, 1695, kWhite, kTargetBack, { u"Times New Roman"_s, 48, false }))
    , sound_(sound)
    , window_(window)
{
    Option1.Value = true;
}

int Form1::targetLength() const
{
    if (First)
        return 1;
    if (Second)
        return 2;
    if (Third)
        return 3;
    return 0;
}

std::vector<PaintedControl> Form1::paintOrder(Container container) const
{
    const std::vector<PaintedControl> all { &Shape4, &Label8, &lblMixed, &lblSmall, &lblCaps,
        &Label12, &Label11, &Label10, &Label9, &Shape3, &Label7, &Line7, &Label5, &lblQuit, &lblNew,
        &lblPause, &Label6, &lbltime, &Label3, &lblMissed, &Label4, &lblShooted, &Label2,
        &lblSettings, &Shape2, &Line6, &Line5, &Line4, &Line3, &Line2, &Line1, &Shape1, &lblOver,
        &Label1 };
    std::vector<PaintedControl> inContainer;
    for (const PaintedControl& control : all) {
        if (std::visit([&](const auto* c) { return c->In == container; }, control))
            inContainer.push_back(control);
    }
    return inContainer;
}

}
