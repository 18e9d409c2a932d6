#include "ui/platform/look_and_feel.h"

#include "game/controls.h"
#include "ui/paint/fonts.h"

#include <QApplication>
#include <QStyle>
#include <QStyleFactory>

namespace keyfall {

using namespace Qt::Literals::StringLiterals;

void applyLookAndFeel()
{
    QStyle* fusion = QStyleFactory::create(u"Fusion"_s);
    QApplication::setStyle(fusion);
    QApplication::setPalette(fusion->standardPalette());
    // A control without a font of its own uses the window's font. As the application's font it is
    // also what a new widget lays out its text in before it gets its own, so the desktop's font,
    // which nothing draws with, is never loaded.
    QApplication::setFont(toQFont(windowFont()));
}

}
