#include "library/songorder.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// Rows are numbered 1..n in the examples; the functions take 0-based flags.
std::vector<bool> selection(int rows, std::initializer_list<int> selectedRows)
{
    std::vector<bool> flags(static_cast<size_t>(rows), false);
    for (int row : selectedRows)
        flags[static_cast<size_t>(row - 1)] = true;
    return flags;
}

std::vector<int> numbered(const std::vector<int> &order)
{
    std::vector<int> rows;
    for (int index : order)
        rows.push_back(index + 1);
    return rows;
}

// The moves done one at a time on a real list, re-reading it after each move:
// the slow way the fast walk must agree with.
struct Row
{
    int id;
    bool selected;
};

void referenceMove(std::vector<Row> &rows, int target, bool before)
{
    std::vector<Row> a, s, b;
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        const Row &row = rows[static_cast<size_t>(i)];
        if (row.selected)
            s.push_back(row);
        else if (i <= target)
            a.push_back(row);
        else
            b.push_back(row);
    }
    std::vector<Row> result;
    if (before) {
        result = s;
        result.insert(result.end(), a.begin(), a.end());
    } else {
        result = a;
        result.insert(result.end(), s.begin(), s.end());
    }
    result.insert(result.end(), b.begin(), b.end());
    rows = result;
}

std::vector<Row> rowsOf(const std::vector<bool> &selected)
{
    std::vector<Row> rows;
    for (size_t i = 0; i < selected.size(); ++i)
        rows.push_back({static_cast<int>(i), selected[i]});
    return rows;
}

std::vector<int> idsOf(const std::vector<Row> &rows)
{
    std::vector<int> ids;
    for (const Row &row : rows)
        ids.push_back(row.id);
    return ids;
}

std::vector<int> referenceMoveUp(const std::vector<bool> &selected)
{
    std::vector<Row> rows = rowsOf(selected);
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        if (!rows[static_cast<size_t>(i)].selected)
            continue;
        if (i >= 2)
            referenceMove(rows, i - 2, false);
        else if (i == 1)
            referenceMove(rows, 0, true);
    }
    return idsOf(rows);
}

std::vector<int> referenceMoveDown(const std::vector<bool> &selected)
{
    std::vector<Row> rows = rowsOf(selected);
    const int last = static_cast<int>(rows.size()) - 1;
    for (int i = last; i >= 0; --i) {
        if (rows[static_cast<size_t>(i)].selected && i != last)
            referenceMove(rows, i + 1, false);
    }
    return idsOf(rows);
}

using Order = std::vector<int>;

} // namespace

TEST(SongOrder, MoveUpExamples)
{
    EXPECT_EQ(numbered(SongOrder::moveUp(selection(5, {4}))), (Order{1, 2, 4, 3, 5}));
    EXPECT_EQ(numbered(SongOrder::moveUp(selection(5, {2}))), (Order{2, 1, 3, 4, 5}));
    EXPECT_EQ(numbered(SongOrder::moveUp(selection(5, {1}))), (Order{1, 2, 3, 4, 5}));
    EXPECT_EQ(numbered(SongOrder::moveUp(selection(5, {1, 4}))), (Order{2, 1, 4, 3, 5}));
    EXPECT_EQ(numbered(SongOrder::moveUp(selection(5, {}))), (Order{1, 2, 3, 4, 5}));
    EXPECT_TRUE(SongOrder::moveUp({}).empty());
}

TEST(SongOrder, MoveDownExamples)
{
    EXPECT_EQ(numbered(SongOrder::moveDown(selection(5, {2, 5}))), (Order{1, 3, 2, 5, 4}));
    EXPECT_EQ(numbered(SongOrder::moveDown(selection(5, {5}))), (Order{1, 2, 3, 4, 5}));
    EXPECT_EQ(numbered(SongOrder::moveDown(selection(5, {3}))), (Order{1, 2, 4, 3, 5}));
}

TEST(SongOrder, MoveSelectionPutsTheBlockAfterTheTargetOrOnTop)
{
    EXPECT_EQ(numbered(SongOrder::moveSelection(selection(5, {1, 2}), 3, false)),
              (Order{3, 4, 1, 2, 5}));
    EXPECT_EQ(numbered(SongOrder::moveSelection(selection(5, {4, 5}), 0, true)),
              (Order{4, 5, 1, 2, 3}));
    // A selected target keeps the unselected rows above it where they were.
    EXPECT_EQ(numbered(SongOrder::moveSelection(selection(5, {2, 4}), 3, false)),
              (Order{1, 3, 2, 4, 5}));
    EXPECT_EQ(numbered(SongOrder::moveSelection(selection(5, {2}), -1, false)),
              (Order{1, 2, 3, 4, 5}));
    EXPECT_EQ(numbered(SongOrder::moveSelection(selection(5, {2}), 5, false)),
              (Order{1, 2, 3, 4, 5}));
}

TEST(SongOrder, TheFastWalksGiveTheSameOrderAsOneMoveAtATime)
{
    QRandomGenerator random(7);
    for (int round = 0; round < 400; ++round) {
        const int rows = random.bounded(1, 24);
        std::vector<bool> selected(static_cast<size_t>(rows));
        const int density = random.bounded(1, 100);
        for (size_t i = 0; i < selected.size(); ++i)
            selected[i] = random.bounded(100) < density;
        ASSERT_EQ(SongOrder::moveUp(selected), referenceMoveUp(selected)) << round;
        ASSERT_EQ(SongOrder::moveDown(selected), referenceMoveDown(selected)) << round;
        const int target = random.bounded(rows);
        std::vector<Row> reference = rowsOf(selected);
        referenceMove(reference, target, false);
        ASSERT_EQ(SongOrder::moveSelection(selected, target, false), idsOf(reference)) << round;
    }
}

TEST(SongOrder, AHundredThousandSelectedRowsMoveAtOnce)
{
    std::vector<bool> selected(100000);
    for (size_t i = 0; i < selected.size(); ++i)
        selected[i] = i % 3 != 0;
    const std::vector<int> up = SongOrder::moveUp(selected);
    ASSERT_EQ(up.size(), selected.size());
    std::vector<int> sorted = up;
    std::sort(sorted.begin(), sorted.end());
    for (int i = 0; i < static_cast<int>(sorted.size()); ++i)
        ASSERT_EQ(sorted[static_cast<size_t>(i)], i);
    // Row 2 is selected, so the whole selection ends up on top.
    EXPECT_EQ(up.front(), 1);
    EXPECT_EQ(SongOrder::moveDown(selected).size(), selected.size());
}
