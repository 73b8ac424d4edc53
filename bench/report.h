#pragma once
// One line per figure in a form scripts/bench gathers into a table:
//   REPORT|<figure>|<value>|<unit>|<reference>
#include <cstdio>
#include <string>

inline void ReportFigure(const std::string& figure, double value, const std::string& unit, const std::string& reference)
{
    std::printf("REPORT|%s|%.4g|%s|%s\n", figure.c_str(), value, unit.c_str(), reference.c_str());
    std::fflush(stdout);
}
