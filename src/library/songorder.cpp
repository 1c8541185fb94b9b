#include "songorder.h"

#include <cstddef>
#include <numeric>

namespace SongOrder {
namespace {

// The list during a walk of Move Up or Move Down. Until the first move it is
// the original order; after any move the selected rows form one block with
// `unselectedBefore` unselected rows above it, since moves never reorder the
// unselected rows or the selected rows among themselves. That makes each step
// of the walk constant time.
class WalkState
{
public:
    explicit WalkState(const std::vector<bool> &selected)
        : m_selected(selected)
        , m_unselectedUpTo(selected.size() + 1, 0)
    {
        for (std::size_t i = 0; i < selected.size(); ++i) {
            m_unselectedUpTo[i + 1] = m_unselectedUpTo[i] + (selected[i] ? 0 : 1);
            if (selected[i])
                ++m_selectedCount;
        }
    }

    int rows() const { return static_cast<int>(m_selected.size()); }

    bool isSelected(int row) const
    {
        if (!m_moved)
            return m_selected[static_cast<std::size_t>(row)];
        return row >= m_unselectedBefore && row < m_unselectedBefore + m_selectedCount;
    }

    // Unselected rows at positions 0..row inclusive.
    int unselectedUpTo(int row) const
    {
        if (!m_moved)
            return m_unselectedUpTo[static_cast<std::size_t>(row) + 1];
        if (row < m_unselectedBefore)
            return row + 1;
        if (row < m_unselectedBefore + m_selectedCount)
            return m_unselectedBefore;
        return row + 1 - m_selectedCount;
    }

    void moveAfter(int target)
    {
        const int before = unselectedUpTo(target);
        m_unselectedBefore = before;
        m_moved = true;
    }

    void moveToTop()
    {
        m_unselectedBefore = 0;
        m_moved = true;
    }

    std::vector<int> order() const
    {
        std::vector<int> result(m_selected.size());
        if (!m_moved) {
            std::iota(result.begin(), result.end(), 0);
            return result;
        }
        return blockOrder(m_selected, m_unselectedBefore);
    }

    static std::vector<int> blockOrder(const std::vector<bool> &selected, int unselectedBefore)
    {
        std::vector<int> result;
        result.reserve(selected.size());
        int placed = 0;
        const int rows = static_cast<int>(selected.size());
        int row = 0;
        for (; row < rows && placed < unselectedBefore; ++row) {
            if (!selected[static_cast<std::size_t>(row)]) {
                result.push_back(row);
                ++placed;
            }
        }
        const int rest = row;
        for (int i = 0; i < rows; ++i) {
            if (selected[static_cast<std::size_t>(i)])
                result.push_back(i);
        }
        for (row = rest; row < rows; ++row) {
            if (!selected[static_cast<std::size_t>(row)])
                result.push_back(row);
        }
        return result;
    }

private:
    const std::vector<bool> &m_selected;
    std::vector<int> m_unselectedUpTo;
    int m_selectedCount = 0;
    int m_unselectedBefore = 0;
    bool m_moved = false;
};

} // namespace

std::vector<int> moveSelection(const std::vector<bool> &selected, int target, bool before)
{
    WalkState state(selected);
    if (target >= 0 && target < state.rows()) {
        if (before)
            state.moveToTop();
        else
            state.moveAfter(target);
    }
    return state.order();
}

std::vector<int> moveUp(const std::vector<bool> &selected)
{
    WalkState state(selected);
    for (int row = 0; row < state.rows(); ++row) {
        if (!state.isSelected(row))
            continue;
        if (row >= 2)
            state.moveAfter(row - 2);
        else if (row == 1)
            state.moveToTop();
    }
    return state.order();
}

std::vector<int> moveDown(const std::vector<bool> &selected)
{
    WalkState state(selected);
    for (int row = state.rows() - 1; row >= 0; --row) {
        if (state.isSelected(row) && row != state.rows() - 1)
            state.moveAfter(row + 1);
    }
    return state.order();
}

} // namespace SongOrder
