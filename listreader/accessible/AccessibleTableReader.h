// Reads a table a program draws itself, as a report list view reads: a row
// per row child of the table, a cell per child of the row, row headers left
// out, and the column names from column headers.
#pragma once

#include "listreader/accessible/AccessibleQuery.h"

namespace quorvel {

// Column names come from a row of column headers (which is no data row), or
// from column headers directly under the table. A cell's text is its value
// where it has one, else its name: Windows Forms grids name every cell by its
// column and row and keep the text in the value.
void readAccessibleTable(AccessibleQuery& query, Accessible& table);

} // namespace quorvel
