#include "common/widgets/QueryGrid.h"
#include "store/Query.h"
#include "store/SqlText.h"
#include "store/Schema.h"
#include "store/TableCursor.h"
#include "TempDatabase.h"

#include <QColor>
#include <QHeaderView>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class GridTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TableCursor accounts(db.connection, schema::cariler());
        accounts.open();
        const struct {
            const char* code;
            const char* name;
            QVariant price;
        } rows[] = {{"3", "Cem", 12.5}, {"1", "Ali", QVariant()}, {"2", "Bora", 1234.5}};
        for (const auto& row : rows) {
            accounts.append()
                .setField(QStringLiteral("Kodu"), QString::fromUtf8(row.code))
                .setField(QStringLiteral("Adi"), QString::fromUtf8(row.name))
                .setField(QStringLiteral("Birim_Fiyati"), row.price)
                .post();
        }
    }

    QueryGrid* makeGrid()
    {
        grid = std::make_unique<QueryGrid>(
            query, std::vector<GridColumn>{
                       {QStringLiteral("Kodu"), QStringLiteral("Kodu"), 67},
                       {QStringLiteral("Adi"), QStringLiteral("Adı Soyadı"), 160},
                       {QStringLiteral("Birim_Fiyati"), QStringLiteral("Süt Fiyatı"), 0, kAsAmount},
                   });
        grid->setEnterWalksCells(true);
        grid->show();
        return grid.get();
    }

    QModelIndex current() const { return grid->currentIndex(); }

    TempDatabase db;
    Query query{db.connection, {kAccountListSql}};
    std::unique_ptr<QueryGrid> grid;
};

TEST_F(GridTest, ShowsColumnsByFieldWithTitlesWidthsAndPatterns)
{
    query.open();
    makeGrid();
    QAbstractItemModel* model = grid->model();
    ASSERT_EQ(model->rowCount(), 3);
    EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Adı Soyadı"));
    EXPECT_EQ(grid->columnWidth(0), 67);
    EXPECT_EQ(grid->columnWidth(1), 160);
    EXPECT_EQ(grid->verticalHeader()->sectionSize(0), 20);
    EXPECT_EQ(grid->horizontalHeader()->height(), 20);
    EXPECT_EQ(model->index(0, 1).data().toString(), QStringLiteral("Ali"));
    EXPECT_EQ(model->index(0, 2).data().toString(), QString()) << "an empty value shows as empty text";
    EXPECT_EQ(model->index(1, 2).data().toString(), QStringLiteral("1.234,50"));
    EXPECT_EQ(model->index(2, 2).data().toString(), QStringLiteral("12,50"));
}

TEST_F(GridTest, OddRowsAreLightYellowAndEvenRowsWhite)
{
    makeGrid();
    EXPECT_EQ(grid->model()->rowCount(), 0) << "a closed list has no rows to colour";
    query.open();
    const auto background = [&](int row) { return grid->model()->index(row, 0).data(Qt::BackgroundRole).value<QColor>(); };
    EXPECT_EQ(background(0), QColor(255, 255, 192));
    EXPECT_EQ(background(1), QColor(255, 255, 255));
    EXPECT_EQ(background(2), QColor(255, 255, 192));
}

TEST_F(GridTest, TheGridAndTheQueryFollowEachOther)
{
    query.open();
    makeGrid();
    EXPECT_EQ(current().row(), 0);
    query.next();
    EXPECT_EQ(current().row(), 1);
    query.locate(QStringLiteral("Kodu"), QStringLiteral("3"));
    EXPECT_EQ(current().row(), 2);
    grid->setCurrentIndex(grid->model()->index(0, 1));
    EXPECT_EQ(query.currentRow(), 0);
    EXPECT_EQ(query.asString(QStringLiteral("Adi")), QStringLiteral("Ali"));
    query.close();
    query.open();
    EXPECT_EQ(current().row(), 0) << "a reopened list stands on its first row";
}

TEST_F(GridTest, EnterWalksTheCellsAndShiftEnterWalksBack)
{
    query.open();
    makeGrid();
    grid->setFocus();
    const auto at = [&](int row, int column) { return grid->model()->index(row, column); };

    grid->setCurrentIndex(at(0, 0));
    QTest::keyClick(grid.get(), Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(current(), at(0, 2)) << "first cell of the first row: the list stays, the last column becomes current";

    QTest::keyClick(grid.get(), Qt::Key_Return);
    EXPECT_EQ(current(), at(1, 0));
    EXPECT_EQ(query.currentRow(), 1);
    QTest::keyClick(grid.get(), Qt::Key_Return);
    EXPECT_EQ(current(), at(1, 1));

    grid->setCurrentIndex(at(2, 2));
    QTest::keyClick(grid.get(), Qt::Key_Return);
    EXPECT_EQ(current(), at(2, 0)) << "last cell of the last row: the first column of that row";

    QTest::keyClick(grid.get(), Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(current(), at(1, 2));
}

}  // namespace
