// The comma-separated flag lists kept in config.xml: "1" for a ticked box or
// row, "0" for an unticked one.
#pragma once

#include <string>
#include <vector>

// "1,0,1": one item per flag, no comma after the last.
std::string EncodeFlagList(const std::vector<bool>& flags);

// Applies a stored list to `flags`: item i takes piece i, or the last piece
// when there are fewer pieces than items, and is set exactly when that piece
// is "1"; empty pieces are dropped and surplus pieces ignored. A text with no
// piece leaves every flag as it was and gives false.
bool DecodeFlagList(const std::string& text, std::vector<bool>& flags);
