#pragma once
// Tables in report-mode list views, shared by the windows that show one: the columns, the
// cells (Windows-1252, as the table models hold them), the cells read back whole, the chosen
// rows, and tab-separated text put on the clipboard.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "win32/Win32.h"

namespace talvik::win32 {

struct ListColumn {
    std::string heading;
    int width = 0;  // pixels, already scaled
    bool right = false;
};

void SetColumns(HWND list, const std::vector<ListColumn>& columns);
// Sets a cell; column 0 adds the row at `row`.
void SetCell(HWND list, int row, int column, std::string text);
// The whole text of a cell.
std::string CellText(HWND list, int row, int column);
// The selected rows, in the order shown.
std::vector<int> ChosenRows(HWND list);
// The answer to a list view's NM_CUSTOMDRAW: the cells for which `red(row, column)` holds are
// drawn in red, the others in the window's text colour.
LRESULT DrawRedCells(NMLVCUSTOMDRAW* draw, const std::function<bool(std::size_t, int)>& red);
// Puts `text` (Windows-1252) on the clipboard as CF_TEXT.
void PutOnClipboard(HWND owner, const std::string& text);

}  // namespace talvik::win32
