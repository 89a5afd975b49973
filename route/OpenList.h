// The working state of one vertex during a search, and the open list: a
// binary heap of the open vertices ordered by cost plus estimate, with ties
// broken by entry sequence (the vertex that entered last comes first).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// What a search reads and writes of a vertex as it goes, in one 16-byte
// record: a correction that enters a vertex finds here everything it needs
// of it, and the costs and marks of its neighbours lie close by.
struct SearchVertex {
    float cost;         // best route cost found from the start
    uint32_t mark;      // number of the last correction that entered the vertex
    uint32_t children;  // bit i: walk arc i leads to a vertex whose predecessor it is
    uint32_t slot;      // place in the open list, or unseen / closed
};

class OpenList {
public:
    static constexpr uint32_t unseen = UINT32_MAX;
    static constexpr uint32_t closed = UINT32_MAX - 1;

    // `vertices` holds the vertices' state; their `slot` fields belong to the list.
    void reset(SearchVertex* vertices)
    {
        vertices_ = vertices;
        heap_.clear();
    }

    bool empty() const { return heap_.empty(); }
    static bool holds(const SearchVertex& vertex) { return vertex.slot < closed; }

    // Enters `vertex` with `total` (cost plus estimate) and the next number of
    // the entry sequence.
    void enter(uint32_t vertex, double total, uint32_t sequence)
    {
        heap_.push_back({total, sequence, vertex});
        siftUp(static_cast<uint32_t>(heap_.size() - 1));
    }

    // The open vertex `vertex` now has `total`; it keeps its sequence number.
    void rekey(uint32_t vertex, double total)
    {
        const uint32_t slot = vertices_[vertex].slot;
        const double old = heap_[slot].total;
        heap_[slot].total = total;
        if (total < old)
            siftUp(slot);
        else if (total > old)
            siftDown(slot);
    }

    // Bytes held by the heap.
    std::size_t bytes() const { return heap_.capacity() * sizeof(Entry); }

    // The vertex that comes first.
    uint32_t front() const { return heap_.front().vertex; }

    // Takes the first vertex out; its slot becomes `state` (unseen or closed).
    void popFront(uint32_t state)
    {
        vertices_[heap_.front().vertex].slot = state;
        const Entry last = heap_.back();
        heap_.pop_back();
        if (!heap_.empty()) {
            heap_.front() = last;
            vertices_[last.vertex].slot = 0;
            siftDown(0);
        }
    }

private:
    struct Entry {
        double total;
        uint32_t sequence;
        uint32_t vertex;
    };

    static bool before(const Entry& a, const Entry& b)
    {
        return a.total < b.total || (a.total == b.total && a.sequence > b.sequence);
    }

    void place(uint32_t slot, const Entry& entry)
    {
        heap_[slot] = entry;
        vertices_[entry.vertex].slot = slot;
    }

    void siftUp(uint32_t slot)
    {
        const Entry entry = heap_[slot];
        while (slot > 0) {
            const uint32_t parent = (slot - 1) / 2;
            if (!before(entry, heap_[parent]))
                break;
            place(slot, heap_[parent]);
            slot = parent;
        }
        place(slot, entry);
    }

    void siftDown(uint32_t slot)
    {
        const Entry entry = heap_[slot];
        const uint32_t count = static_cast<uint32_t>(heap_.size());
        for (;;) {
            uint32_t child = 2 * slot + 1;
            if (child >= count)
                break;
            if (child + 1 < count && before(heap_[child + 1], heap_[child]))
                ++child;
            if (!before(heap_[child], entry))
                break;
            place(slot, heap_[child]);
            slot = child;
        }
        place(slot, entry);
    }

    SearchVertex* vertices_ = nullptr;
    std::vector<Entry> heap_;
};
