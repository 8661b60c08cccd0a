// The high-score table as the level chooser reads it.
#pragma once

#include <cstdint>
#include <map>

// Each level's record (its first entry in "highscores.dat"), as far as the
// table can be read; a missing table gives none. Negative counts are no
// real result and are left out.
std::map<int32_t, int32_t> readRecords();
