#include "gui/CheckWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <set>

#include "check/CoordinateTable.h"
#include "gui/ScreenText.h"
#include "gui/Widgets.h"
#include "texts/WindowTexts.h"

namespace talvik::gui {

namespace {

constexpr double kMargin = 40.0;
constexpr double kSize = 6.0;        // half the size of a mark
constexpr double kChosenSize = 9.0;  // of a mark of the chosen finding
constexpr double kPick = 10.0;       // how near a click must be to a point

QColor Mix(const QColor& a, const QColor& b, double part) {
    return QColor::fromRgbF(static_cast<float>(a.redF() * part + b.redF() * (1 - part)),
                            static_cast<float>(a.greenF() * part + b.greenF() * (1 - part)),
                            static_cast<float>(a.blueF() * part + b.blueF() * (1 - part)));
}

}  // namespace

SketchWidget::SketchWidget(const CheckReport& report, QWidget* parent)
    : QWidget(parent), report_(report) {
    setObjectName(QStringLiteral("picSketch"));
    setMinimumSize(240, 200);
    setFocusPolicy(Qt::StrongFocus);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    Fit();
}

void SketchWidget::SetMarks(SketchMarks marks) {
    marks_ = std::move(marks);
    update();
}

void SketchWidget::Fit() {
    view_ = SketchView::Fit(report_, width(), height(), kMargin);
    moved_ = false;
    update();
}

void SketchWidget::resizeEvent(QResizeEvent* event) {
    if (!moved_) return Fit();
    view_.Resize(event->oldSize().width(), event->oldSize().height(), width(), height());
}

void SketchWidget::wheelEvent(QWheelEvent* event) {
    // A sideways scroll (a touchpad's) is no zoom.
    const int delta = event->angleDelta().y();
    if (delta == 0) return event->ignore();
    const QPointF at = event->position();
    view_.Zoom(delta > 0 ? 1.25 : 0.8, at.x(), at.y());
    moved_ = true;
    update();
}

void SketchWidget::keyPressEvent(QKeyEvent* event) {
    using Key = SketchView::Key;
    std::optional<Key> key;
    switch (event->key()) {
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            key = Key::ZoomIn;
            break;
        case Qt::Key_Minus:
            key = Key::ZoomOut;
            break;
        case Qt::Key_Left:
            key = Key::Left;
            break;
        case Qt::Key_Right:
            key = Key::Right;
            break;
        case Qt::Key_Up:
            key = Key::Up;
            break;
        case Qt::Key_Down:
            key = Key::Down;
            break;
        case Qt::Key_Home:
            return Fit();
        default:
            return QWidget::keyPressEvent(event);
    }
    view_.Step(*key, width(), height());
    moved_ = true;
    update();
}

void SketchWidget::mousePressEvent(QMouseEvent* event) {
    drag_ = event->position();
    dragged_ = false;
}

void SketchWidget::mouseMoveEvent(QMouseEvent* event) {
    const QPointF at = event->position();
    if (!dragged_ && (at - drag_).manhattanLength() < 4) return;
    view_.Pan(at.x() - drag_.x(), at.y() - drag_.y());
    drag_ = at;
    dragged_ = moved_ = true;
    update();
}

void SketchWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (dragged_) return;
    const QPointF at = event->position();
    const std::size_t point = PointAt(report_, view_, at.x(), at.y(), kPick);
    if (point < report_.points.size()) emit pointClicked(point);
}

void SketchWidget::mouseDoubleClickEvent(QMouseEvent*) {
    Fit();
}

void SketchWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor base = palette().color(QPalette::Base);
    const QColor text = palette().color(QPalette::Text);
    const QColor line = Mix(text, base, 0.45);
    const QColor soft = Mix(QColor(Qt::red), base, 0.45);
    const QColor red(Qt::red);
    for (const CheckLine& l : report_.lines) {
        const CheckPoint& a = report_.points[l.from];
        const CheckPoint& b = report_.points[l.to];
        if (!IsDrawn(a) || !IsDrawn(b)) continue;
        painter.setPen(QPen(l.flagged ? soft : line, 1));
        painter.drawLine(QPointF(view_.U(a.x), view_.V(a.y)), QPointF(view_.U(b.x), view_.V(b.y)));
    }
    // The chosen finding's points last, over the others.
    for (const bool chosenPass : {false, true}) {
        for (std::size_t n = 0; n < report_.points.size(); ++n) {
            const CheckPoint& p = report_.points[n];
            const Mark mark = MarkOf(report_, n, marks_);
            if (!IsDrawn(p) || (mark == Mark::Chosen) != chosenPass) continue;
            const QPointF at(view_.U(p.x), view_.V(p.y));
            const QColor colour = mark == Mark::Chosen ? red : mark == Mark::Named ? soft : text;
            const double size = mark == Mark::Chosen ? kChosenSize : kSize;
            painter.setPen(QPen(colour, mark == Mark::Chosen ? 2.5 : 1.5));
            if (p.state == PointState::Known) {
                QPainterPath triangle;
                triangle.moveTo(at + QPointF(0, -size));
                triangle.lineTo(at + QPointF(size, size));
                triangle.lineTo(at + QPointF(-size, size));
                triangle.closeSubpath();
                painter.fillPath(triangle, colour);
                painter.drawPath(triangle);
            } else {
                painter.setBrush(base);
                painter.drawEllipse(at, size, size);
                painter.setBrush(Qt::NoBrush);
            }
            QFont font = painter.font();
            font.setBold(mark == Mark::Chosen);
            painter.setFont(font);
            painter.drawText(at + QPointF(size + 3, -size), ScreenText(p.name));
            font.setBold(false);
            painter.setFont(font);
        }
    }
    // Scale bar with ticks at the bottom left, north arrow at the top right.
    painter.setPen(QPen(text, 2));
    const double bar = view_.ScaleBarMetres(width() / 4.0);
    const double v = height() - 20.0;
    const double end = 20 + bar * view_.Scale();
    painter.drawLine(QPointF(20, v), QPointF(end, v));
    for (const double u : {20.0, (20.0 + end) / 2.0, end})
        painter.drawLine(QPointF(u, v - (u == (20.0 + end) / 2.0 ? 3 : 6)), QPointF(u, v));
    painter.drawText(QPointF(end + 6, v + 4), QString::fromStdString(ScaleBarText(bar)));
    const double nu = width() - 30.0;
    QPainterPath arrow;
    arrow.moveTo(nu, 20);
    arrow.lineTo(nu + 8, 50);
    arrow.lineTo(nu, 42);
    arrow.lineTo(nu - 8, 50);
    arrow.closeSubpath();
    painter.fillPath(arrow, text);
    painter.drawText(QPointF(nu - 4, 64), QStringLiteral("N"));
    if (const std::string unplaced = UnplacedNames(report_); !unplaced.empty()) {
        painter.setPen(soft);
        painter.drawText(QPointF(20, 20),
                         ScreenText(texts::Find(texts::kCheck, "lblUnplaced").caption) +
                             QLatin1Char(' ') + ScreenText(unplaced));
    }
}

CheckWindow::CheckWindow(CheckReport report, QWidget* parent)
    : QWidget(parent, Qt::Window), report_(std::move(report)), table_(report_) {
    setObjectName(QStringLiteral("frmCheck"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* outer = new QHBoxLayout(this);
    auto* split = new QSplitter(Qt::Horizontal, this);
    outer->addWidget(split);
    sketch_ = new SketchWidget(report_, split);
    auto* side = new QWidget(split);
    auto* column = new QVBoxLayout(side);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(MakeLabel(QStringLiteral("lblFindings"), side));
    tblFindings_ = new QTableWidget(side);
    tblFindings_->setObjectName(QStringLiteral("tblFindings"));
    tblFindings_->setColumnCount(static_cast<int>(FindingsTable::kColumns.size()));
    QStringList headers;
    for (const std::string_view column : FindingsTable::kColumns) {
        QString title = QString::fromLatin1(column.data(), static_cast<qsizetype>(column.size()));
        title[0] = title[0].toUpper();
        headers << title;
    }
    tblFindings_->setHorizontalHeaderLabels(headers);
    tblFindings_->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblFindings_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblFindings_->setWordWrap(true);
    tblFindings_->setTextElideMode(Qt::ElideNone);
    tblFindings_->verticalHeader()->hide();
    tblFindings_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QHeaderView* header = tblFindings_->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setSectionResizeMode(static_cast<int>(FindingsTable::kWhat), QHeaderView::Stretch);
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    column->addWidget(tblFindings_, 1);
    empty_ = new QLabel(ScreenText(std::string(FindingsTable::kEmpty)), side);
    empty_->setObjectName(QStringLiteral("lblEmpty"));
    empty_->setAlignment(Qt::AlignCenter);
    column->addWidget(empty_, 1);
    auto* count = new QLabel(ScreenText(CountText(report_)), side);
    count->setObjectName(QStringLiteral("lblCount"));
    column->addWidget(count);
    auto* buttons = new QHBoxLayout;
    auto* fit = new QPushButton(side);
    fit->setObjectName(QStringLiteral("cmdFit"));
    auto* copy = new QPushButton(side);
    copy->setObjectName(QStringLiteral("cmdCopy"));
    auto* coordinates = new QPushButton(side);
    coordinates->setObjectName(QStringLiteral("cmdCoordinates"));
    auto* close = new QPushButton(side);
    close->setObjectName(QStringLiteral("cmdClose"));
    buttons->addWidget(fit);
    buttons->addWidget(copy);
    buttons->addWidget(coordinates);
    buttons->addStretch();
    buttons->addWidget(close);
    column->addLayout(buttons);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 1);

    ApplyTexts(this, texts::kCheck);
    Fill();
    tblFindings_->setVisible(table_.Rows() > 0);
    empty_->setVisible(table_.Rows() == 0);

    // As large as it was made for, within the screen it opens on.
    QSize size(960, 560);
    if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size() * 0.92);
    resize(size);
    // The table takes what its columns of numbers need beside a readable column of texts.
    split->setSizes({size.width() * 2 / 5, size.width() * 3 / 5});

    connect(fit, &QPushButton::clicked, sketch_, &SketchWidget::Fit);
    connect(copy, &QPushButton::clicked, this, &CheckWindow::Copy);
    connect(coordinates, &QPushButton::clicked, this, &CheckWindow::CopyCoordinates);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &QWidget::close);
    // Ctrl+C in the table copies whole rows, not the table's current cell.
    tblFindings_->installEventFilter(this);
    connect(header, &QHeaderView::sectionClicked, this, [this](int column) {
        table_.SortBy(static_cast<std::size_t>(column));
        Fill();
        tblFindings_->horizontalHeader()->setSortIndicator(
            column, table_.Descending() ? Qt::DescendingOrder : Qt::AscendingOrder);
    });
    connect(tblFindings_, &QTableWidget::itemSelectionChanged, this, &CheckWindow::Chosen);
    // Wrapped texts take the rows' heights anew when the column widths change.
    connect(header, &QHeaderView::sectionResized, tblFindings_,
            [this] { tblFindings_->resizeRowsToContents(); });
    connect(sketch_, &SketchWidget::pointClicked, this, [this](std::size_t point) {
        const std::vector<std::size_t> rows = table_.RowsOf(point);
        tblFindings_->clearSelection();
        for (const std::size_t row : rows)
            tblFindings_->selectRow(static_cast<int>(row));
        if (!rows.empty())
            tblFindings_->scrollToItem(tblFindings_->item(static_cast<int>(rows.front()), 0));
    });
}

void CheckWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    tblFindings_->resizeRowsToContents();
}

void CheckWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    tblFindings_->resizeRowsToContents();
}

bool CheckWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == tblFindings_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
        Copy();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void CheckWindow::Fill() {
    const QSignalBlocker quiet(tblFindings_);
    tblFindings_->clearSelection();
    tblFindings_->setRowCount(static_cast<int>(table_.Rows()));
    for (std::size_t r = 0; r < table_.Rows(); ++r) {
        for (std::size_t c = 0; c < FindingsTable::kColumns.size(); ++c) {
            auto* item = new QTableWidgetItem(ScreenText(table_.Cell(r, c)));
            if (c == 0 && table_.IsError(r)) item->setForeground(QColor(Qt::red));
            if (c == FindingsTable::kSize || c == FindingsTable::kTolerance)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignTop);
            else
                item->setTextAlignment(Qt::AlignLeft | Qt::AlignTop);
            tblFindings_->setItem(static_cast<int>(r), static_cast<int>(c), item);
        }
    }
    tblFindings_->resizeRowsToContents();
    sketch_->SetMarks({});
}

void CheckWindow::Chosen() {
    SketchMarks marks;
    std::set<int> rows;
    for (const QModelIndex& index : tblFindings_->selectionModel()->selectedRows())
        rows.insert(index.row());
    for (const int row : rows) {
        const auto& points = table_.Points(static_cast<std::size_t>(row));
        marks.insert(marks.end(), points.begin(), points.end());
    }
    sketch_->SetMarks(std::move(marks));
}

void CheckWindow::Copy() const {
    std::set<int> rows;
    for (const QModelIndex& index : tblFindings_->selectionModel()->selectedRows())
        rows.insert(index.row());
    std::string text;
    if (rows.empty() || rows.size() == table_.Rows()) {
        text = table_.TabText();
    } else {
        for (const int row : rows)
            text += table_.RowText(static_cast<std::size_t>(row));
    }
    QApplication::clipboard()->setText(BoxText(text));
}

void CheckWindow::CopyCoordinates() const {
    QApplication::clipboard()->setText(BoxText(CoordinateTabText(report_)));
}

}  // namespace talvik::gui
