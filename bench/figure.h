#pragma once
// One machine-readable line per figure, beside each benchmark's own table, for bench/run_all.sh:
//   BENCH <figure> <unit> <value> <baseline> <ratio> <target>
// The ratio is value / baseline from the unrounded figures; a figure without a target has "-" there.
#include <cstdio>

inline void printFigure(const char *figure, const char *unit, double value, double baseline, double target = 0)
{
    char targetText[32] = "-";
    if (target > 0)
        std::snprintf(targetText, sizeof targetText, "%.2f", target);
    std::printf("BENCH %s %s %.6g %.6g %.4f %s\n", figure, unit, value, baseline, value / baseline, targetText);
}
