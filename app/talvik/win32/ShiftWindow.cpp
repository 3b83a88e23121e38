#include "win32/ShiftWindow.h"

#include <cstring>

namespace talvik::win32 {

namespace {

using enum ControlId;

constexpr int kColumnWidths[] = {80, 100, 100, 70, 70, 70, 70, 90, 130};
constexpr std::size_t kStatusColumn = 8;

}  // namespace

void ShiftWindow::Show(HWND owner, const ShiftReport& report) {
    table_.emplace(report);
    summary_.clear();
    for (const std::string& line : ShiftSummary(report))
        summary_ += (summary_.empty() ? "" : "\r\n") + line;
    Create(owner, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_3DLOOK, 0,
           texts::kShifts, 820, 520);
    shown_ = true;
    ShowWindow(Handle(), SW_SHOW);
    SetForegroundWindow(Handle());
    SetFocus(List());
}

void ShiftWindow::Close() {
    if (!shown_) return;
    shown_ = false;
    ShowWindow(Handle(), SW_HIDE);
    if (closed) closed();
}

void ShiftWindow::Build() {
    AddLabel(lblShifts, {8, 8, 804, 116}, SS_NOPREFIX);
    ShowText(Item(lblShifts), summary_);
    Add(WC_LISTVIEWA, lstShifts, LVS_REPORT | LVS_SHOWSELALWAYS | WS_TABSTOP, {8, 128, 804, 344},
        FontRole::Normal, WS_EX_CLIENTEDGE);
    HWND list = List();
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    for (std::size_t c = 0; c < ShiftTable::kColumns.size(); ++c) {
        std::string heading(ShiftTable::kColumns[c]);
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.fmt = c > 0 && c < kStatusColumn ? LVCFMT_RIGHT : LVCFMT_LEFT;
        column.cx = Scale(kColumnWidths[c]);
        column.pszText = heading.data();
        SendMessageA(list, LVM_INSERTCOLUMNA, c, reinterpret_cast<LPARAM>(&column));
    }
    AddButton(cmdCopy, {8, 482, 120, 30});
    AddButton(cmdClose, {692, 482, 120, 30});
    Fill();
}

void ShiftWindow::Fill() {
    HWND list = List();
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    for (std::size_t r = 0; r < table_->Rows(); ++r) {
        for (std::size_t c = 0; c < ShiftTable::kColumns.size(); ++c) {
            std::string text = table_->Cell(r, c);
            LVITEMA item{};
            item.mask = LVIF_TEXT;
            item.iItem = static_cast<int>(r);
            item.iSubItem = static_cast<int>(c);
            item.pszText = text.data();
            SendMessageA(list, c == 0 ? LVM_INSERTITEMA : LVM_SETITEMTEXTA, r,
                         reinterpret_cast<LPARAM>(&item));
        }
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

std::vector<std::string> ShiftWindow::Lines() const {
    std::vector<std::string> lines;
    HWND list = List();
    const int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int r = 0; r < rows; ++r) {
        std::string line = table_->Flagged(static_cast<std::size_t>(r)) ? "!" : "";
        for (std::size_t c = 0; c < ShiftTable::kColumns.size(); ++c) {
            char text[256] = {};
            LVITEMA item{};
            item.iSubItem = static_cast<int>(c);
            item.pszText = text;
            item.cchTextMax = sizeof(text);
            SendMessageA(list, LVM_GETITEMTEXTA, r, reinterpret_cast<LPARAM>(&item));
            line += (c ? "|" : "") + std::string(text);
        }
        lines.push_back(line);
    }
    return lines;
}

void ShiftWindow::SortBy(int column) {
    if (column < 0) return;
    table_->SortBy(static_cast<std::size_t>(column));
    Fill();
}

void ShiftWindow::Copy() {
    const std::string text = table_->TabText();
    if (!OpenClipboard(Handle())) return;
    EmptyClipboard();
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1)) {
        std::memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
        GlobalUnlock(memory);
        if (!SetClipboardData(CF_TEXT, memory)) GlobalFree(memory);
    }
    CloseClipboard();
}

bool ShiftWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wParam) == static_cast<WORD>(cmdCopy)) Copy();
            if (LOWORD(wParam) == static_cast<WORD>(cmdClose) || LOWORD(wParam) == IDCANCEL)
                Close();
            return true;
        case WM_CLOSE:
            Close();
            return true;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->hwndFrom != List()) return false;
            if (header->code == LVN_COLUMNCLICK) {
                SortBy(reinterpret_cast<const NMLISTVIEW*>(lParam)->iSubItem);
                return true;
            }
            if (header->code != NM_CUSTOMDRAW) return false;
            auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(lParam);
            if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) {
                result = CDRF_NOTIFYITEMDRAW;
            } else if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
                const auto row = static_cast<std::size_t>(draw->nmcd.dwItemSpec);
                if (row < table_->Rows() && table_->Flagged(row)) draw->clrText = RGB(255, 0, 0);
                result = CDRF_DODEFAULT;
            } else {
                result = CDRF_DODEFAULT;
            }
            return true;
        }
        default:
            return false;
    }
}

}  // namespace talvik::win32
