#pragma once
// The shot power for each screen distance (1 to 20) and launch angle, fixed in the program.
#include <array>

inline constexpr std::array<int, 6> ShotAngles = {20, 30, 45, 50, 55, 65};

// ShotPowerTable[distance - 1][column], the columns in the order of ShotAngles. The irregular points
// belong to the table: row 3 at 45 degrees is 45, the 30/50/55 columns differ in rows 5, 11, 13, 15,
// 17 and 20, and row 7 has 44 at both 20 and 65 degrees.
inline constexpr std::array<std::array<int, 6>, 20> ShotPowerTable = {{
    //  20°  30°  45°  50°  55°  65°
    {{10, 14, 8, 14, 14, 13}},  // 1屏
    {{19, 20, 14, 20, 20, 21}}, // 2屏
    {{25, 25, 45, 25, 25, 26}}, // 3屏
    {{30, 29, 25, 29, 29, 32}}, // 4屏
    {{36, 32, 30, 33, 33, 37}}, // 5屏
    {{40, 36, 33, 36, 36, 41}}, // 6屏
    {{44, 39, 35, 39, 39, 44}}, // 7屏
    {{48, 42, 40, 42, 42, 49}}, // 8屏
    {{51, 45, 43, 45, 45, 53}}, // 9屏
    {{54, 48, 46, 48, 48, 56}}, // 10屏
    {{57, 50, 48, 51, 50, 58}}, // 11屏
    {{60, 53, 50, 53, 53, 61}}, // 12屏
    {{63, 55, 53, 56, 56, 64}}, // 13屏
    {{66, 58, 55, 58, 58, 67}}, // 14屏
    {{69, 60, 58, 61, 61, 70}}, // 15屏
    {{72, 63, 60, 63, 63, 73}}, // 16屏
    {{74, 66, 62, 66, 65, 76}}, // 17屏
    {{76, 68, 64, 68, 68, 79}}, // 18屏
    {{78, 70, 67, 70, 70, 82}}, // 19屏
    {{80, 72, 70, 73, 72, 85}}, // 20屏
}};

// Each angle column is a caption standing above its power box; the pairing does not follow the numbering.
struct AngleColumn {
    const char16_t *caption; // the angle caption
    const char16_t *box;     // the power box under it
};
inline constexpr std::array<AngleColumn, 6> AngleColumns = {{
    {u"标签1", u"编辑框1"}, // 20°
    {u"标签6", u"编辑框2"}, // 30°
    {u"标签2", u"编辑框5"}, // 45°
    {u"标签5", u"编辑框3"}, // 50°
    {u"标签3", u"编辑框6"}, // 55°
    {u"标签4", u"编辑框4"}, // 65°
}};
