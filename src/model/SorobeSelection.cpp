#include "SorobeSelection.h"

#include <QHash>
#include <algorithm>
#include <cstdint>
#include <limits>

namespace sorobe {

namespace {

// The history while a batch of records is fed in: a treap in list order over
// every record that was ever in it, a dropped one staying as a tombstone that
// no search finds. Each subtree knows its lowest count and whether it holds an
// aged record, so the two walks of the single merge (to the first record whose
// count is not above a new one's, to the first aged record) take log n steps.
class MergeOrder {
public:
    explicit MergeOrder(int thisYear)
        : m_thisYear(thisYear) {}

    // A node for the record, in no place yet.
    int add(const SelectionPtr& record) {
        Node node;
        node.record = record;
        node.priority = nextPriority();
        node.count = record->tsCount();
        // Used in a calendar year at least three years before today's.
        node.aged = record->tsDate().year() + 2 < m_thisYear;
        node.lowest = node.count;
        node.anyAged = node.aged;
        m_nodes.push_back(node);
        return static_cast<int>(m_nodes.size()) - 1;
    }

    const SelectionPtr& record(int node) const { return m_nodes[index(node)].record; }

    void append(int node) { setRoot(merge(m_root, node)); }

    // Before the first record whose count is not above the node's, or last.
    void insertByCount(int node) {
        int before = -1;
        int after = -1;
        split(m_root, m_nodes[index(node)].count, before, after);
        setRoot(merge(merge(before, node), after));
    }

    void remove(int node) {
        Node& dropped = m_nodes[index(node)];
        dropped.count = tombstone;
        dropped.aged = false;
        for (int at = node; at >= 0; at = m_nodes[index(at)].parent)
            pull(at);
    }

    // The first aged record in list order, or -1.
    int firstAged() const {
        int at = m_root;
        while (at >= 0) {
            const Node& node = m_nodes[index(at)];
            if (anyAged(node.left))
                at = node.left;
            else if (node.aged)
                return at;
            else
                at = node.right;
        }
        return -1;
    }

    // The records still in the list, in its order.
    std::vector<SelectionPtr> live() const {
        std::vector<SelectionPtr> result;
        std::vector<int> path;
        int at = m_root;
        while (at >= 0 || !path.empty()) {
            while (at >= 0) {
                path.push_back(at);
                at = m_nodes[index(at)].left;
            }
            at = path.back();
            path.pop_back();
            const Node& node = m_nodes[index(at)];
            if (node.count != tombstone)
                result.push_back(node.record);
            at = node.right;
        }
        return result;
    }

private:
    // Above every 16-bit count, so no search stops at a dropped record.
    static constexpr int tombstone = std::numeric_limits<int>::max();

    struct Node {
        SelectionPtr record;
        std::uint32_t priority = 0;
        int left = -1;
        int right = -1;
        int parent = -1;
        int count = 0;
        int lowest = 0;
        bool aged = false;
        bool anyAged = false;
    };

    static std::size_t index(int node) { return static_cast<std::size_t>(node); }

    // A fixed sequence, so that a load takes the same steps every time.
    std::uint32_t nextPriority() {
        m_seed ^= m_seed << 13;
        m_seed ^= m_seed >> 17;
        m_seed ^= m_seed << 5;
        return m_seed;
    }

    int lowest(int node) const { return node < 0 ? tombstone : m_nodes[index(node)].lowest; }
    bool anyAged(int node) const { return node >= 0 && m_nodes[index(node)].anyAged; }

    void pull(int at) {
        Node& node = m_nodes[index(at)];
        node.lowest = std::min({node.count, lowest(node.left), lowest(node.right)});
        node.anyAged = node.aged || anyAged(node.left) || anyAged(node.right);
        if (node.left >= 0)
            m_nodes[index(node.left)].parent = at;
        if (node.right >= 0)
            m_nodes[index(node.right)].parent = at;
    }

    void setRoot(int root) {
        m_root = root;
        if (root >= 0)
            m_nodes[index(root)].parent = -1;
    }

    // Parts the subtree before its first record whose count is not above
    // `count`: the records before it go to `before`, it and the rest to `after`.
    void split(int at, int count, int& before, int& after) {
        if (at < 0) {
            before = after = -1;
            return;
        }
        Node& node = m_nodes[index(at)];
        if (lowest(node.left) <= count) {
            split(node.left, count, before, node.left);
            after = at;
        } else if (node.count <= count) {
            before = node.left;
            node.left = -1;
            after = at;
        } else {
            split(node.right, count, node.right, after);
            before = at;
        }
        pull(at);
    }

    int merge(int first, int second) {
        if (first < 0)
            return second;
        if (second < 0)
            return first;
        if (m_nodes[index(first)].priority > m_nodes[index(second)].priority) {
            Node& node = m_nodes[index(first)];
            node.right = merge(node.right, second);
            pull(first);
            return first;
        }
        Node& node = m_nodes[index(second)];
        node.left = merge(first, node.left);
        pull(second);
        return second;
    }

    std::vector<Node> m_nodes;
    int m_root = -1;
    int m_thisYear;
    std::uint32_t m_seed = 2463534242u;
};

} // namespace

SorobeSelection::~SorobeSelection() {
    SelectionPtr next = std::move(m_tsLink);
    while (next && next.use_count() == 1) {
        SelectionPtr after = std::move(next->m_tsLink);
        next = std::move(after);
    }
}

SelectionPtr SorobeSelection::create(const QString& article, std::int16_t count, DateTime date) {
    SelectionPtr record = create();
    record->m_tsArticle = article;
    record->m_tsCount = count;
    record->m_tsDate = date;
    return record;
}

void SorobeSelection::appendSelectionWithCount(const SelectionPtr& ts_newrec, QDate today) {
    SorobeSelection* last = this;
    for (SorobeSelection* record = m_tsLink.get(); record; record = record->m_tsLink.get()) {
        if (record->m_tsArticle == ts_newrec->m_tsArticle) {
            // The new record's own count goes up by one; the old record's count
            // is not carried over. A count already at the top of its range
            // (only a hand-edited history file holds one) stays there.
            if (ts_newrec->m_tsCount < std::numeric_limits<std::int16_t>::max())
                ++ts_newrec->m_tsCount;
            SelectionPtr found = last->m_tsLink;
            deleteSelection(found);
            addSelection(ts_newrec);
            return;
        }
        last = record;
    }

    last->m_tsLink = ts_newrec;

    const int thisYear = today.year();
    for (SelectionPtr record = m_tsLink; record; record = record->m_tsLink) {
        if (record->m_tsDate.year() + 2 < thisYear) {
            deleteSelection(record);
            return;
        }
    }
}

void SorobeSelection::appendSelectionsWithCount(const std::vector<SelectionPtr>& ts_newrecs,
                                                QDate today) {
    // Names are found through an index, which needs every name in the list
    // once, as the merge always leaves it. A list put together otherwise
    // takes the records one at a time.
    QHash<QString, int> byName;
    MergeOrder order(today.year());
    for (SelectionPtr record = m_tsLink; record; record = record->m_tsLink) {
        if (byName.contains(record->m_tsArticle)) {
            for (const SelectionPtr& newrec : ts_newrecs)
                appendSelectionWithCount(newrec, today);
            return;
        }
        const int node = order.add(record);
        byName.insert(record->m_tsArticle, node);
        order.append(node);
    }

    for (const SelectionPtr& newrec : ts_newrecs) {
        const auto found = byName.find(newrec->m_tsArticle);
        if (found != byName.end()) {
            // As in the single merge: counted once more, the old record
            // replaced, and no ageing.
            if (newrec->m_tsCount < std::numeric_limits<std::int16_t>::max())
                ++newrec->m_tsCount;
            order.remove(*found);
            *found = order.add(newrec);
            order.insertByCount(*found);
            continue;
        }
        const int node = order.add(newrec);
        byName.insert(newrec->m_tsArticle, node);
        order.append(node);
        const int aged = order.firstAged();
        if (aged >= 0) {
            byName.remove(order.record(aged)->m_tsArticle);
            order.remove(aged);
        }
    }

    SorobeSelection* last = this;
    for (const SelectionPtr& record : order.live()) {
        last->m_tsLink = record;
        last = record.get();
    }
    last->m_tsLink.reset();
}

void SorobeSelection::deleteSelection(const SelectionPtr& ts_target) {
    if (!ts_target)
        return;
    for (SorobeSelection* previous = this; previous->m_tsLink;
         previous = previous->m_tsLink.get()) {
        if (previous->m_tsLink == ts_target) {
            previous->removeNextSelection();
            return;
        }
    }
}

void SorobeSelection::addSelection(const SelectionPtr& ts_newrec) {
    SorobeSelection* previous = this;
    for (SorobeSelection* current = m_tsLink.get();
         current && current->m_tsCount > ts_newrec->m_tsCount; current = current->m_tsLink.get())
        previous = current;
    previous->insertSelection(ts_newrec);
}

void SorobeSelection::removeNextSelection() {
    if (m_tsLink) {
        SelectionPtr removed = m_tsLink;
        m_tsLink = removed->m_tsLink;
    }
}

void SorobeSelection::insertSelection(const SelectionPtr& ts_newrec) {
    ts_newrec->m_tsLink = std::move(m_tsLink);
    m_tsLink = ts_newrec;
}

} // namespace sorobe
