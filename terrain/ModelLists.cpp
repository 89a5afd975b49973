// The process-wide model lists and pools, destroying the whole model, and the
// pool-backed new and delete of Triangle and Vertex.
#include "terrain/ModelLists.h"

// The pools are created on first use, before any element is put in a list,
// so at the end of the run the lists are destroyed first and hand every
// remaining block back to a pool that still exists.

BlockPool& trianglePool()
{
    static BlockPool pool(sizeof(Triangle));
    return pool;
}

BlockPool& vertexPool()
{
    static BlockPool pool(sizeof(Vertex));
    return pool;
}

TriangleList& triangleList()
{
    trianglePool();
    static TriangleList list;
    return list;
}

VertexList& vertexList()
{
    vertexPool();
    static VertexList list;
    return list;
}

void destroyModel()
{
    triangleList().destroyAll();
    vertexList().destroyAll();
}

void* Triangle::operator new(std::size_t size) noexcept
{
    return trianglePool().allocate(size);
}

void Triangle::operator delete(void* block, std::size_t size) noexcept
{
    trianglePool().release(block, size);
}

void* Vertex::operator new(std::size_t size) noexcept
{
    return vertexPool().allocate(size);
}

void Vertex::operator delete(void* block, std::size_t size) noexcept
{
    vertexPool().release(block, size);
}
