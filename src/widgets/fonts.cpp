#include "widgets/fonts.h"

#include <QFont>
#include <QStringList>

using namespace Qt::Literals::StringLiterals;

void installFontSubstitutions()
{
    // AR PL UMing (Debian's fonts-arphic-uming) is a Song face whose 12-pixel size has 12-pixel lines.
    const QStringList song = {u"AR PL UMing CN"_s, u"AR PL UMing TW"_s};
    QFont::insertSubstitutions(u"宋体"_s, song);
    QFont::insertSubstitutions(u"SimSun"_s, song);
}
