#pragma once
// An enlarged picture of a built table for checking the glyphs by eye: one KS row (or the
// sixteen ASCII codes of a column) per line. Lit dots are black, or blue where a gap was
// filled from another face; unassigned slots are grey; a slot that should have ink and got
// none is red.

#include <string>

#include "tools/fontgen/font_tables.h"

// Writes the sheet as a PNG; false when the file cannot be written.
bool WriteContactSheet(const BuiltTable& table, const std::string& path);
