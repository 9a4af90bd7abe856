#pragma once
// How screen readers see the controls that Qt lacks: the colour picker as a combo box named by its colour,
// whose press opens the drop-down, a list of named entries each chosen by its press action; and the HTML
// view as read-only text whose lines can be read.
#include "forms/colour.h"

#include <QString>

// Makes Qt's accessibility use the interfaces below; the controls call it when they are made.
void installAccessibleWidgets();

// The name of a picker's colour: the palette's name, "透明" for the default colour, otherwise
// "自定义颜色 #RRGGBB".
QString colourName(Colour colour);
