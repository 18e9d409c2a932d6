#include "ui/look_and_feel.h"

#include <QApplication>
#include <QFont>
#include <QStyle>
#include <QStyleFactory>

namespace keyfall {

using namespace Qt::Literals::StringLiterals;

void applyLookAndFeel()
{
    QStyle* fusion = QStyleFactory::create(u"Fusion"_s);
    QApplication::setStyle(fusion);
    QApplication::setPalette(fusion->standardPalette());
    QFont::insertSubstitution(u"Times New Roman"_s, u"Liberation Serif"_s);
    QFont::insertSubstitution(u"Comic Sans MS"_s, u"Comic Neue"_s);
    QFont::insertSubstitution(u"MS Sans Serif"_s, u"Liberation Sans"_s);
}

}
