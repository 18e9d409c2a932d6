#pragma once

#include "game/colour.h"

#include <QString>
#include <QStringList>

namespace keyfall {

// The run-time properties of the form's controls, in twips and form colours, as the handlers
// read and set them. They carry no widget: the window draws them and reports their events.

struct Font {
    QString Name;
    double Size = 8.25; // points
    bool Bold = false;

    bool operator==(const Font&) const = default;
};

// The window's own font, used by every control that has none of its own.
inline Font windowFont()
{
    using namespace Qt::Literals::StringLiterals;
    return { u"MS Sans Serif"_s, 8.25, false };
}

enum class Container { Form1, Frame1 };

enum class Border { None, FixedSingle };

struct Label {
    Container In = Container::Form1;
    QString Caption;
    float Left = 0, Top = 0, Width = 0, Height = 0;
    Colour ForeColor = colour::kButtonText;
    Colour BackColor = colour::kButtonFace;
    Font font;
    bool Transparent = false;
    // An auto-size label is drawn as wide as its text and one line of its font high; Width and
    // Height keep their stored values, since only the window can measure text.
    bool AutoSize = false;
    bool Centred = false;
    Border BorderStyle = Border::None;
    bool Visible = true;
    bool Enabled = true;

    bool operator==(const Label&) const = default;
};

enum class ShapeKind { Rectangle, RoundedRectangle };
enum class FillStyle { Transparent, Solid, DiagonalCross };

struct Shape {
    Container In = Container::Form1;
    ShapeKind kind = ShapeKind::Rectangle;
    float Left = 0, Top = 0, Width = 0, Height = 0;
    Colour BorderColor = colour::kWindowText;
    FillStyle fill = FillStyle::Transparent;
    Colour FillColor = colour::kBlack;
    bool OpaqueBack = false;
    Colour BackColor = colour::kWindowBackground;
};

struct Line {
    Container In = Container::Form1;
    float X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
    Colour BorderColor = colour::kWindowText;
};

struct TextBox {
    float Left = 0, Top = 0, Width = 0, Height = 0;
    Colour ForeColor = colour::kWindowText;
    Colour BackColor = colour::kWindowBackground;
    Font font;
    QString Text;
    bool Enabled = true;
};

struct ComboBox {
    float Left = 0, Top = 0, Width = 0, Height = 0;
    Colour ForeColor = colour::kWindowText;
    Colour BackColor = colour::kWindowBackground;
    Font font;
    QString Text;
    QStringList List;
    bool Visible = true;
};

struct OptionButton {
    Container In = Container::Form1;
    QString Caption;
    float Left = 0, Top = 0, Width = 0, Height = 0;
    Colour ForeColor = colour::kButtonText;
    Colour BackColor = colour::kButtonFace;
    bool Value = false;
    bool Visible = true;
};

struct CommandButton {
    QString Caption;
    float Left = 0, Top = 0, Width = 0, Height = 0;
    Colour BackColor = colour::kGrey;
};

struct Frame {
    QString Caption;
    float Left = 0, Top = 0, Width = 0, Height = 0;
    Colour BackColor = colour::kButtonFace;
    bool Visible = true;
};

}
