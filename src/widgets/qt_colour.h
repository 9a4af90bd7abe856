#pragma once
// Turning the program's colours into Qt's: the default colour is painted as the platform's button face.
#include "forms/colour.h"

#include <QApplication>
#include <QColor>
#include <QPalette>

inline QColor faceColour()
{
    return QApplication::palette().color(QPalette::Active, QPalette::Button);
}

inline QColor toQColor(Colour c)
{
    return c.isDefault() ? faceColour() : QColor(c.red(), c.green(), c.blue());
}

inline Colour fromQColor(const QColor &c)
{
    return Colour::rgb(c.red(), c.green(), c.blue());
}
