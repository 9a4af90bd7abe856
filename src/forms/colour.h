#pragma once
// A colour of the program: 24-bit RGB, or the distinct default colour that windows, labels and HTML
// views paint as the platform's button face colour (the colour picker calls it "透明").
#include <cstdint>

class Colour {
public:
    constexpr Colour() = default; // the default colour
    static constexpr Colour defaultColour() { return Colour(); }
    static constexpr Colour rgb(int red, int green, int blue)
    {
        Colour c;
        c.m_isDefault = false;
        c.m_rgb = (std::uint32_t(red & 0xff) << 16) | (std::uint32_t(green & 0xff) << 8) | std::uint32_t(blue & 0xff);
        return c;
    }

    constexpr bool isDefault() const { return m_isDefault; }
    constexpr int red() const { return int(m_rgb >> 16) & 0xff; }
    constexpr int green() const { return int(m_rgb >> 8) & 0xff; }
    constexpr int blue() const { return int(m_rgb) & 0xff; }

    constexpr bool operator==(const Colour &) const = default;

private:
    bool m_isDefault = true;
    std::uint32_t m_rgb = 0;
};

namespace colours {
inline constexpr Colour white = Colour::rgb(255, 255, 255);
inline constexpr Colour black = Colour::rgb(0, 0, 0);
inline constexpr Colour red = Colour::rgb(255, 0, 0);
}
