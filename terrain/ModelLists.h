// The newest-first lists that own every triangle and vertex of the model,
// and the block pools (terrain/BlockPool.h) they come from.
#pragma once

#include <cstddef>
#include <vector>

#include "terrain/BlockPool.h"
#include "terrain/Triangle.h"
#include "terrain/Vertex.h"

// A growable list of objects that runs from the newest element to the
// oldest: element 0 is the one put in last. It owns its elements: destroyAll
// (and the destructor) deletes them. Kept in a vector in insertion order so
// that putting an element in front costs O(1).
template <class T>
class NewestFirstList {
public:
    NewestFirstList() = default;
    ~NewestFirstList() { destroyAll(); }

    NewestFirstList(const NewestFirstList&) = delete;
    NewestFirstList& operator=(const NewestFirstList&) = delete;

    void pushFront(T* element)
    {
        items_.push_back(element);
        ++changes_;
    }
    std::size_t size() const { return items_.size(); }
    bool empty() const { return items_.empty(); }
    // Element i counted from the newest.
    T* operator[](std::size_t i) const { return items_[items_.size() - 1 - i]; }
    T* front() const { return items_.back(); }
    // Counts every element put in and every destroyAll: equal counts mean
    // the list holds the same elements.
    std::size_t changes() const { return changes_; }

    // Iteration from the newest to the oldest element.
    auto begin() const { return items_.rbegin(); }
    auto end() const { return items_.rend(); }

    // Deletes every element (each returns its block to its pool) and empties the list.
    void destroyAll()
    {
        for (T* element : items_)
            delete element;
        items_.clear();
        ++changes_;
    }

private:
    std::vector<T*> items_;
    std::size_t changes_ = 0;
};

using TriangleList = NewestFirstList<Triangle>;
using VertexList = NewestFirstList<Vertex>;

// The process-wide lists holding every triangle and every vertex of the
// current model, and the two pools their blocks come from.
TriangleList& triangleList();
VertexList& vertexList();
BlockPool& trianglePool();
BlockPool& vertexPool();

// Destroys every triangle and vertex of the current model (with the vertices'
// edges) and empties both lists.
void destroyModel();
