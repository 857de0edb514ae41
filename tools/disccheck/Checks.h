// The checks: what the installer would fail at, or do wrong, with these
// discs and their install.ini. One message per problem.
#pragma once
#include "DiscLayout.h"

#include <string>
#include <vector>

namespace disccheck {

struct DiscFolder {
    fs::path root;
    std::string shown;   // how messages name it
};

struct Report {
    std::vector<std::string> problems;
    size_t types = 0;    // install types found in install.ini
};

// Reads install.ini from the first disc (loose in its root or inside one of
// the root's archives, as the installer reads it from its current folder) and
// checks every install type against all discs.
Report CheckDiscs(const std::vector<DiscFolder>& discs);

// Well-formed Shift-JIS that the code page can show in full.
bool IsShiftJisText(const std::string& text);

}  // namespace disccheck
