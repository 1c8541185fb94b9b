#pragma once

#include <vector>

// New orders of the song list when the selected rows move. Each function takes
// the selection flags of the rows (0-based positions) and returns the new
// order as the old positions of the rows, first row first. Unselected rows
// keep their order among themselves, and so do the selected rows.
namespace SongOrder {

// Moves the selected rows as one block. With `before` false the block lands
// right after `target` (A, then the selection, then B, where A are the
// unselected rows up to and including the target); with `before` true it goes
// to the top. A target out of range moves nothing.
std::vector<int> moveSelection(const std::vector<bool> &selected, int target, bool before);

// Move Up: walks the rows from the top; each selected row met carries the
// whole selection to just above the row before it (to the top from the second
// row; nothing from the first). Linear in the number of rows.
std::vector<int> moveUp(const std::vector<bool> &selected);

// Move Down: walks the rows from the bottom; each selected row other than the
// last carries the whole selection to just after the row below it.
std::vector<int> moveDown(const std::vector<bool> &selected);

} // namespace SongOrder
