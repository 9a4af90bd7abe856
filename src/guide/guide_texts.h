#pragma once
// The angle guide's texts and the style sheet its HTML views show them under, as the program keeps them:
// Unicode strings whose GBK form is the text byte for byte, CR LF line breaks throughout.
#include <QString>

extern const QString AngleGuideText;     // simplified script
extern const QString AngleGuideTradText; // traditional script
extern const QString GuideStyleSheet;
