#include "gui/ShiftWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>

#include "gui/ScreenText.h"
#include "gui/Widgets.h"
#include "texts/WindowTexts.h"

namespace talvik::gui {

namespace {

constexpr int kStatusColumn = 8;

}  // namespace

ShiftWindow::ShiftWindow(const ShiftReport& report, QWidget* parent)
    : QWidget(parent, Qt::Window), table_(report) {
    setObjectName(QStringLiteral("frmShifts"));
    auto* column = new QVBoxLayout(this);
    lblShifts_ = new QLabel(this);
    lblShifts_->setObjectName(QStringLiteral("lblShifts"));
    lblShifts_->setTextFormat(Qt::PlainText);
    lblShifts_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    std::string summary;
    for (const std::string& line : ShiftSummary(report))
        summary += (summary.empty() ? "" : "\r\n") + line;
    lblShifts_->setText(ScreenText(summary));
    column->addWidget(lblShifts_);

    lstShifts_ = new QTableWidget(this);
    lstShifts_->setObjectName(QStringLiteral("lstShifts"));
    lstShifts_->setColumnCount(static_cast<int>(ShiftTable::kColumns.size()));
    QStringList headings;
    for (const std::string_view heading : ShiftTable::kColumns)
        headings << ScreenText(heading);
    lstShifts_->setHorizontalHeaderLabels(headings);
    lstShifts_->verticalHeader()->hide();
    lstShifts_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstShifts_->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstShifts_->horizontalHeader()->setSectionsClickable(true);
    lstShifts_->horizontalHeader()->setSortIndicatorShown(true);
    lstShifts_->horizontalHeader()->setStretchLastSection(true);
    column->addWidget(lstShifts_, 1);

    auto* buttons = new QHBoxLayout;
    auto* copy = new QPushButton(this);
    copy->setObjectName(QStringLiteral("cmdCopy"));
    auto* close = new QPushButton(this);
    close->setObjectName(QStringLiteral("cmdClose"));
    buttons->addWidget(copy);
    buttons->addStretch();
    buttons->addWidget(close);
    column->addLayout(buttons);
    ApplyTexts(this, texts::kShifts);
    NoDefaultButtons(this);

    connect(lstShifts_->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &ShiftWindow::SortBy);
    connect(copy, &QPushButton::clicked, this, &ShiftWindow::Copy);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    auto* copyKeys = new QShortcut(QKeySequence::Copy, lstShifts_);
    connect(copyKeys, &QShortcut::activated, this, &ShiftWindow::Copy);
    Fill();
    lstShifts_->resizeColumnsToContents();
    resize(820, 520);
    FitToScreen(this);
}

void ShiftWindow::Fill() {
    lstShifts_->setRowCount(static_cast<int>(table_.Rows()));
    for (std::size_t r = 0; r < table_.Rows(); ++r) {
        for (std::size_t c = 0; c < ShiftTable::kColumns.size(); ++c) {
            auto* item = new QTableWidgetItem(ScreenText(table_.Cell(r, c)));
            if (c > 0 && c < kStatusColumn)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (table_.Flagged(r)) item->setForeground(QColor(Qt::red));
            lstShifts_->setItem(static_cast<int>(r), static_cast<int>(c), item);
        }
    }
    if (table_.SortColumn() >= 0)
        lstShifts_->horizontalHeader()->setSortIndicator(
            table_.SortColumn(), table_.Descending() ? Qt::DescendingOrder : Qt::AscendingOrder);
    else
        lstShifts_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
}

void ShiftWindow::SortBy(int column) {
    if (column < 0) return;
    table_.SortBy(static_cast<std::size_t>(column));
    Fill();
}

void ShiftWindow::Copy() {
    QApplication::clipboard()->setText(ScreenText(table_.TabText()));
}

void ShiftWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closed();
}

}  // namespace talvik::gui
