#include "win32/ListTable.h"

#include <cstring>

namespace talvik::win32 {

void SetColumns(HWND list, const std::vector<ListColumn>& columns) {
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    for (std::size_t c = 0; c < columns.size(); ++c) {
        std::string heading = columns[c].heading;
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.fmt = columns[c].right ? LVCFMT_RIGHT : LVCFMT_LEFT;
        column.cx = columns[c].width;
        column.pszText = heading.data();
        SendMessageA(list, LVM_INSERTCOLUMNA, c, reinterpret_cast<LPARAM>(&column));
    }
}

void SetCell(HWND list, int row, int column, std::string text) {
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.iSubItem = column;
    item.pszText = text.data();
    SendMessageA(list, column == 0 ? LVM_INSERTITEMA : LVM_SETITEMTEXTA, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
}

std::string CellText(HWND list, int row, int column) {
    // The list copies as much as fits: a longer buffer until the text ends before its end.
    for (std::size_t size = 256;; size *= 4) {
        std::string text(size, '\0');
        LVITEMA item{};
        item.iSubItem = column;
        item.pszText = text.data();
        item.cchTextMax = static_cast<int>(size);
        const auto length = static_cast<std::size_t>(SendMessageA(
            list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
        if (length + 1 < size || size > 65536) {
            text.resize(std::strlen(text.c_str()));
            return text;
        }
    }
}

std::vector<int> ChosenRows(HWND list) {
    std::vector<int> rows;
    for (int row = -1;;) {
        row = static_cast<int>(
            SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(row), LVNI_SELECTED));
        if (row < 0) return rows;
        rows.push_back(row);
    }
}

LRESULT DrawRedCells(NMLVCUSTOMDRAW* draw, const std::function<bool(std::size_t, int)>& red) {
    switch (draw->nmcd.dwDrawStage) {
        case CDDS_PREPAINT:
            return CDRF_NOTIFYITEMDRAW;
        case CDDS_ITEMPREPAINT:
            return CDRF_NOTIFYSUBITEMDRAW;
        case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
            draw->clrText = red(static_cast<std::size_t>(draw->nmcd.dwItemSpec), draw->iSubItem)
                                ? RGB(255, 0, 0)
                                : GetSysColor(COLOR_WINDOWTEXT);
            return CDRF_DODEFAULT;
        default:
            return CDRF_DODEFAULT;
    }
}

void PutOnClipboard(HWND owner, const std::string& text) {
    if (!OpenClipboard(owner)) return;
    EmptyClipboard();
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1)) {
        std::memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
        GlobalUnlock(memory);
        if (!SetClipboardData(CF_TEXT, memory)) GlobalFree(memory);
    }
    CloseClipboard();
}

}  // namespace talvik::win32
