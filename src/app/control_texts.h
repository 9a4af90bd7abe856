#pragma once
#include "forms/definition.h"

#include <QString>

// The texts that HTML views show; the guide supplies them at start-up.
struct ControlTexts {
    QString simplified;
    QString traditional;
    QString styleSheet; // also the style sheet of a view whose definition names none
    QString content(GuideText text) const
    {
        return text == GuideText::Simplified ? simplified : text == GuideText::Traditional ? traditional : QString();
    }
};
