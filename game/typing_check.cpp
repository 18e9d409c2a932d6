#include "game/form1.h"

namespace keyfall {

namespace {

    // The length in UTF-16 units of the first `count` code points of `text`, or -1 if it holds
    // fewer. A surrogate pair is one code point, so no character is ever split in half.
    qsizetype codePointPrefix(QStringView text, int count)
    {
        qsizetype i = 0;
        for (int seen = 0; seen < count; ++seen) {
            if (i == text.size())
                return -1;
            const bool pair
                = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
            i += pair ? 2 : 1;
        }
        return i;
    }

}

void Form1::setText1Text(const QString& text)
{
    if (Text1.Text == text)
        return;
    Text1.Text = text;
    Text1_Change();
}

void Form1::Text1_Change()
{
    const qsizetype typed = codePointPrefix(Text1.Text, targetLength());
    if (typed < 0)
        return;
    if (QStringView(Text1.Text).first(typed) == Label1.Caption) {
        setText1Text(QString());
        PlaySound(Sound::Shooted);
        Shooted = Shooted + 1;
        lblShooted.Caption = QString::number(Shooted);
        Label1.Visible = false;
        NextTarget();
    } else {
        PlaySound(Sound::Wrong);
        setText1Text(QString());
    }
}

}
