#include "ui/look_and_feel.h"

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
}

}
