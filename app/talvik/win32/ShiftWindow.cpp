#include "win32/ShiftWindow.h"

#include "win32/ListTable.h"

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
    std::vector<ListColumn> columns;
    for (std::size_t c = 0; c < ShiftTable::kColumns.size(); ++c)
        columns.push_back({std::string(ShiftTable::kColumns[c]), Scale(kColumnWidths[c]),
                           c > 0 && c < kStatusColumn});
    SetColumns(List(), columns);
    AddButton(cmdCopy, {8, 482, 120, 30});
    AddButton(cmdClose, {692, 482, 120, 30});
    Fill();
}

void ShiftWindow::Fill() {
    HWND list = List();
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    for (std::size_t r = 0; r < table_->Rows(); ++r) {
        for (std::size_t c = 0; c < ShiftTable::kColumns.size(); ++c)
            SetCell(list, static_cast<int>(r), static_cast<int>(c), table_->Cell(r, c));
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
        for (std::size_t c = 0; c < ShiftTable::kColumns.size(); ++c)
            line += (c ? "|" : "") + CellText(list, r, static_cast<int>(c));
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
    PutOnClipboard(Handle(), table_->TabText());
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
            result = DrawRedCells(reinterpret_cast<NMLVCUSTOMDRAW*>(lParam),
                                  [this](std::size_t row, int) {
                                      return row < table_->Rows() && table_->Flagged(row);
                                  });
            return true;
        }
        default:
            return false;
    }
}

}  // namespace talvik::win32
