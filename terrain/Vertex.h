// The model's vertex, which is also the route graph's node, and the edge
// record it owns. Edges are made in route/Graph.cpp.
#pragma once

#include <cstdint>
#include <cstddef>
#include <vector>

class Vertex;

// One directed edge of the route graph, held by value in the `edges` array of
// the vertex it leaves. The route library creates edges; the record lives
// here because the vertex that owns it is a terrain object (created by the
// terrain model and destroyed with it), so destroying a vertex must be able to
// destroy its edges without the terrain library depending on the route one.
struct Edge {
    int32_t weight = 0;  // walking cost from `from` to `to`, never 0
    Vertex* from = nullptr;
    Vertex* to = nullptr;
};

// A point of the model: a triangle corner or the inner vertex of a leaf
// triangle. The same object is a node of the route graph, so it also carries
// the graph fields the route library fills and reads (edges and the search
// fields). Vertices come from the vertex block pool and are owned by the
// vertex list (terrain/ModelLists.h).
class Vertex {
public:
    Vertex() = default;
    virtual ~Vertex() = default;

    Vertex(const Vertex&) = delete;
    Vertex& operator=(const Vertex&) = delete;

    static void* operator new(std::size_t size) noexcept;
    static void operator delete(void* block, std::size_t size) noexcept;

    int32_t x = 0;       // column
    int32_t y = 0;       // row
    int32_t height = 0;  // height sample at (x, y), 0..65535
    // Number of this vertex in the route library's index form of the graph,
    // valid only while that form is current (it sits in what would be padding).
    uint32_t searchIndex = UINT32_MAX;

    std::vector<Edge> edges;  // edges leaving this vertex, in the order added

    float estimate = -1.0f;      // search: estimate of the remaining way to the target
    float cost = -1.0f;          // search: best route cost found from the start
    Vertex* previous = nullptr;  // search: predecessor on that route
};
