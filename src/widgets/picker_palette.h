#pragma once
// The colour picker's fixed palette: 32 named colours in the order the drop-down shows them,
// seven to a row. Each name is the tooltip of its cell.
#include "forms/colour.h"

#include <array>

struct PaletteEntry {
    const char16_t *name;
    Colour colour;
};

inline constexpr std::array<PaletteEntry, 32> PickerPalette{{
    // name       red, green, blue
    {u"黑色", Colour::rgb(0, 0, 0)},
    {u"藏青", Colour::rgb(0, 0, 128)},
    {u"墨绿", Colour::rgb(0, 128, 0)},
    {u"深青", Colour::rgb(0, 128, 128)},
    {u"红褐", Colour::rgb(128, 0, 0)},
    {u"紫红", Colour::rgb(128, 0, 128)},
    {u"褐绿", Colour::rgb(128, 128, 0)},
    {u"浅灰", Colour::rgb(192, 192, 192)},
    {u"灰色", Colour::rgb(128, 128, 128)},
    {u"蓝色", Colour::rgb(0, 0, 255)},
    {u"绿色", Colour::rgb(0, 255, 0)},
    {u"艳青", Colour::rgb(0, 255, 255)},
    {u"红色", Colour::rgb(255, 0, 0)},
    {u"品红", Colour::rgb(255, 0, 255)},
    {u"黄色", Colour::rgb(255, 255, 0)},
    {u"白色", Colour::rgb(255, 255, 255)},
    {u"蓝灰", Colour::rgb(128, 128, 255)},
    {u"藏蓝", Colour::rgb(88, 48, 224)},
    {u"嫩绿", Colour::rgb(128, 224, 0)},
    {u"青绿", Colour::rgb(0, 224, 128)},
    {u"黄褐", Colour::rgb(192, 96, 0)},
    {u"粉红", Colour::rgb(255, 168, 255)},
    {u"嫩黄", Colour::rgb(216, 216, 0)},
    {u"银白", Colour::rgb(236, 236, 236)},
    {u"紫色", Colour::rgb(144, 0, 255)},
    {u"天蓝", Colour::rgb(0, 136, 255)},
    {u"灰绿", Colour::rgb(128, 160, 128)},
    {u"青蓝", Colour::rgb(0, 96, 192)},
    {u"橙黄", Colour::rgb(255, 128, 0)},
    {u"桃红", Colour::rgb(255, 80, 128)},
    {u"芙红", Colour::rgb(255, 128, 192)},
    {u"深灰", Colour::rgb(96, 96, 96)},
}};
