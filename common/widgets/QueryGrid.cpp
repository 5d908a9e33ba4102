#include "common/widgets/QueryGrid.h"

#include "common/Totals.h"

#include "common/Conversions.h"
#include "common/EntryKeys.h"
#include "common/widgets/ErrorBox.h"
#include "store/Query.h"
#include "store/Statement.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QColor>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kRowHeight = 20;
constexpr int kDefaultColumnWidth = 90;
// A cell's text has the style's margin, three pixels, at each side, and
// one more for a face hinted a little wider on the screen than measured.
constexpr int kMargins = 8;
// A title has the header's margin at each side.
constexpr int kTitleMargins = 8;

// However narrow a list makes them, a phone number, an IBAN and a day show
// whole, whatever their digits: two pixels more for the widest.
int leastWidth(const CellFormat& format, const QFontMetrics& cells)
{
    if (format.kind == CellFormat::Kind::Phone) return cells.horizontalAdvance(QStringLiteral("(000)000-00-00")) + kMargins + 2;
    if (format.kind == CellFormat::Kind::Iban)
        return cells.horizontalAdvance(QStringLiteral("TR00 0000 0000 0000 0000 0000 00")) + kMargins + 2;
    if (format.kind == CellFormat::Kind::ShortDate) return cells.horizontalAdvance(QStringLiteral("30.06.2026")) + kMargins + 2;
    return 0;
}

}  // namespace

QueryTableModel::QueryTableModel(Query& query, std::vector<GridColumn> columns, QObject* parent)
    : QAbstractTableModel(parent), query_(query), columns_(std::move(columns))
{
    // The query has already changed when it tells; nothing is read in between.
    const auto reset = [this] {
        beginResetModel();
        endResetModel();
    };
    connect(&query_, &Query::opened, this, reset);
    connect(&query_, &Query::closed, this, reset);
    connect(&query_, &Query::currentChanged, this,
            [this] { emit headerDataChanged(Qt::Vertical, 0, std::max(0, rowCount() - 1)); });
}

int QueryTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : query_.recordCount();
}

int QueryTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant QueryTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const GridColumn& column = columns_[index.column()];
    // Painting never throws: a field the query lacks was refused when it opened.
    if (!query_.hasField(column.field)) return {};
    switch (role) {
    case Qt::DisplayRole: {
        // A cell shows a line's worth: a note of megabytes is cut, so neither
        // painting nor the column widths measure all of it.
        constexpr qsizetype kLongestCell = 500;
        const QString text = cellText(column.format, query_.valueAt(index.row(), column.field));
        return text.size() > kLongestCell ? text.left(kLongestCell) + QStringLiteral("…") : text;
    }
    case Qt::TextAlignmentRole: {
        const bool number = isNumber(query_.valueAt(index.row(), column.field));
        return QVariant::fromValue(Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft));
    }
    case Qt::BackgroundRole: {
        const Rgb colour = gridRowColour(index.row() + 1);
        return QColor(colour.red, colour.green, colour.blue);
    }
    default:
        return {};
    }
}

QVariant QueryTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Horizontal)
        return section < columnCount() ? columns_[section].title : QVariant();
    // The row indicator: a mark on the current row.
    return section == query_.currentRow() ? QStringLiteral("▸") : QString();
}

QueryGrid::QueryGrid(Query& query, std::vector<GridColumn> columns, QWidget* parent)
    : QTableView(parent), model_(query, std::move(columns))
{
    setModel(&model_);
    setEditTriggers(NoEditTriggers);
    setSelectionMode(SingleSelection);
    setSelectionBehavior(SelectItems);
    setTabKeyNavigation(false);
    setWordWrap(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(kRowHeight);
    verticalHeader()->setMinimumSectionSize(kRowHeight);
    verticalHeader()->setFixedWidth(14);
    horizontalHeader()->setFixedHeight(kRowHeight);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsMovable(false);
    horizontalHeader()->setDefaultSectionSize(kDefaultColumnWidth);
    for (int i = 0; i < static_cast<int>(model_.columns().size()); ++i) {
        const GridColumn& column = model_.columns()[static_cast<size_t>(i)];
        setColumnWidth(i, std::max(column.width > 0 ? column.width : kDefaultColumnWidth, leastWidth(column.format, fontMetrics())));
    }
    // The current cell is dark blue while the grid has the focus, and keeps
    // a pale highlight without it, so the current row stays visible.
    QPalette colours = palette();
    colours.setColor(QPalette::Base, Qt::white);
    colours.setColor(QPalette::Window, Qt::white);
    colours.setColor(QPalette::Active, QPalette::Highlight, QColor(0, 0, 128));
    colours.setColor(QPalette::Active, QPalette::HighlightedText, Qt::white);
    colours.setColor(QPalette::Inactive, QPalette::Highlight, QColor(200, 200, 220));
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText, Qt::black);
    setPalette(colours);
    viewport()->setAutoFillBackground(true);

    connect(&model_, &QAbstractItemModel::modelReset, this, &QueryGrid::followQuery);
    connect(&model_, &QAbstractItemModel::modelReset, this, &QueryGrid::fitColumns);
    connect(&query, &Query::currentChanged, this, &QueryGrid::followQuery);
    followQuery();
    fitColumns();
}

void QueryGrid::addMenuItem(const QString& text, std::function<void()> handler, const QKeySequence& shortcut)
{
    auto* action = new QAction(text, this);
    if (!shortcut.isEmpty()) {
        action->setShortcut(shortcut);
        action->setShortcutContext(Qt::WidgetShortcut);
    }
    connect(action, &QAction::triggered, this, [handler = std::move(handler)] { guarded(handler); });
    addAction(action);
}

void QueryGrid::addCsvItem(std::function<void()> handler)
{
    const QKeySequence save(Qt::CTRL | Qt::Key_S);
    const bool taken = std::any_of(actions().cbegin(), actions().cend(), [&save](const QAction* a) { return a->shortcut() == save; });
    addMenuItem(QStringLiteral("CSV Olarak Kaydet…"), std::move(handler), taken ? QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S) : save);
}

void QueryGrid::addXlsxItem(std::function<void()> handler)
{
    addMenuItem(QStringLiteral("Excel Olarak Kaydet…"), std::move(handler), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E));
}

void QueryGrid::contextMenuEvent(QContextMenuEvent* event)
{
    if (actions().isEmpty()) return;
    QMenu menu(this);
    menu.addActions(actions());
    QPoint at = event->globalPos();
    if (event->reason() == QContextMenuEvent::Keyboard) {
        // The menu key: the menu opens at the current row with its first
        // item ready, so Enter runs it.
        const QRect cell = visualRect(currentIndex());
        if (cell.isValid()) at = viewport()->mapToGlobal(cell.bottomLeft());
        menu.setActiveAction(menu.actions().constFirst());
    }
    menu.exec(at);
}

void QueryGrid::fitNumberColumns(const QString& widestFigure)
{
    QHeaderView* titles = horizontalHeader();
    titles->setDefaultAlignment(Qt::Alignment(Qt::AlignCenter | Qt::TextWordWrap));
    titles->setFixedHeight(2 * titles->fontMetrics().lineSpacing() + 6);
    widestFigure_ = widestFigure;
    fitColumns();
}

void QueryGrid::setFillColumn(int column)
{
    fillColumn_ = column;
    fitColumns();
}

void QueryGrid::setWrapColumn(int column)
{
    setWordWrap(true);
    verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    horizontalHeader()->setSectionResizeMode(column, QHeaderView::Stretch);
}

// The widest text the column's cells hold now.
int QueryGrid::textWidth(int column) const
{
    const QFontMetrics cells = fontMetrics();
    int widest = 0;
    for (int row = 0; row < model_.rowCount(); ++row)
        widest = std::max(widest, cells.horizontalAdvance(model_.index(row, column).data().toString()));
    return widest;
}

void QueryGrid::fitColumns()
{
    const QFontMetrics cells = fontMetrics();
    const QFontMetrics heads = horizontalHeader()->fontMetrics();
    const auto columns = static_cast<int>(model_.columns().size());
    for (int i = 0; i < columns; ++i) {
        const GridColumn& column = model_.columns()[static_cast<size_t>(i)];
        const int cellsNeed = textWidth(i) + kMargins;
        if (widestFigure_.isEmpty() || (column.format.kind != CellFormat::Kind::Number &&
                                        column.format.kind != CellFormat::Kind::ShortDate)) {
            // Never narrower than what it holds.
            if (columnWidth(i) < cellsNeed) setColumnWidth(i, cellsNeed);
            continue;
        }
        if (column.format.kind == CellFormat::Kind::ShortDate) {
            setColumnWidth(i, leastWidth(column.format, cells));
            continue;
        }
        // The title broken between two words where its longer line is shortest.
        const QStringList words = column.title.split(QLatin1Char(' '));
        int title = heads.horizontalAdvance(column.title);
        for (int k = 1; k < words.size(); ++k)
            title = std::min(title, std::max(heads.horizontalAdvance(words.mid(0, k).join(QLatin1Char(' '))),
                                             heads.horizontalAdvance(words.mid(k).join(QLatin1Char(' ')))));
        setColumnWidth(i, std::max({title + kTitleMargins, cells.horizontalAdvance(widestFigure_) + kMargins, cellsNeed}));
    }
    if (fillColumn_ >= 0 && fillColumn_ < columns) {
        int others = 0;
        for (int i = 0; i < columns; ++i)
            if (i != fillColumn_ && !isColumnHidden(i)) others += columnWidth(i);
        const int least = std::max(heads.horizontalAdvance(model_.columns()[static_cast<size_t>(fillColumn_)].title) + kTitleMargins,
                                   textWidth(fillColumn_) + kMargins);
        setColumnWidth(fillColumn_, std::max(least, viewport()->width() - others));
    }
}

void QueryGrid::resizeEvent(QResizeEvent* event)
{
    QTableView::resizeEvent(event);
    if (fillColumn_ >= 0) fitColumns();
}

void QueryGrid::onDoubleClick(std::function<void()> handler)
{
    connect(this, &QueryGrid::gridDoubleClicked, this, [handler = std::move(handler)] { guarded(handler); });
}

void QueryGrid::followQuery()
{
    const int row = model_.query().currentRow();
    following_ = true;
    if (row < 0) {
        setCurrentIndex({});
    } else {
        const int column = std::max(0, currentIndex().column());
        setCurrentIndex(model_.index(row, column));
    }
    following_ = false;
}

void QueryGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    if (following_ || !current.isValid()) return;
    if (current.row() != model_.query().currentRow()) model_.query().moveTo(current.row());
}

void QueryGrid::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && enterHandler_ && model_.rowCount() > 0) {
        guarded(enterHandler_);
        return;
    }
    if (!enter || !enterWalksCells_) {
        QTableView::keyPressEvent(event);
        return;
    }
    const int rows = model_.rowCount();
    if (rows == 0) return;
    const QModelIndex current = currentIndex();
    const GridCell from{current.isValid() ? current.row() : 0, current.isValid() ? current.column() : 0};
    const GridCell to = gridEnter(from, rows, model_.columnCount(), event->modifiers() & Qt::ShiftModifier);
    setCurrentIndex(model_.index(to.row, to.column));
}

void QueryGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTableView::mouseDoubleClickEvent(event);
    emit gridDoubleClicked();
}

TotalField::TotalField(Totals& totals, QString field, CellFormat format, QWidget* parent)
    : QLineEdit(parent), totals_(totals), field_(std::move(field)), format_(format)
{
    setReadOnly(true);
    // A total is looked at, never typed in: Tab passes it by, a click still reaches it.
    setFocusPolicy(Qt::ClickFocus);
    connect(&totals_, &Totals::changed, this, &TotalField::refresh);
    refresh();
}

void TotalField::refresh()
{
    const QVariant value = totals_.value(field_);
    if (hasFocus() && isNumber(value))
        setText(formatFloat(kFocusedTotalPattern, value.toDouble()));
    else
        setText(cellText(format_, value));
}

void TotalField::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    refresh();
}

void TotalField::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    refresh();
}

QWidget* viewPage(QueryGrid* grid, Totals& totals, const std::vector<TotalBox>& boxes)
{
    auto* page = new QWidget;
    auto* rows = new QVBoxLayout(page);
    rows->addWidget(grid, 1);
    auto* bar = new QHBoxLayout;
    for (const TotalBox& box : boxes) {
        bar->addWidget(new QLabel(box.title, page));
        auto* field = new TotalField(totals, box.field, box.format, page);
        field->setObjectName(box.field);
        field->setFixedWidth(90);
        field->setAlignment(Qt::AlignRight);
        bar->addWidget(field);
    }
    bar->addStretch();
    rows->addLayout(bar);
    grid->setParent(page);
    return page;
}
