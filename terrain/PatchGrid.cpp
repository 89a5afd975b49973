// Setting the grid up, making its patches, linking the leaves along patch
// borders, running stages and finding the patch of a map point.
#include "terrain/PatchGrid.h"

#include <algorithm>
#include <new>

#include "terrain/BuildProgress.h"
#include "terrain/HeightMap.h"
#include "terrain/ModelLists.h"
#include "terrain/Triangle.h"

PatchGrid::PatchGrid() = default;

PatchGrid::~PatchGrid()
{
    if (!patches_.empty())
        releaseModel();
}

void PatchGrid::releaseModel()
{
    patches_.clear();
    destroyModel();
    columns_ = 0;
    rows_ = 0;
}

bool PatchGrid::setup(const HeightMap& map, int32_t patchSize)
{
    patches_.clear();
    columns_ = 0;
    rows_ = 0;
    patchSize_ = patchSize;
    heightMap_ = &map;
    if (map.empty() || patchSize < 2)
        return false;
    // Patches share their border samples, so a side of N samples holds
    // (N - 1) / patchSize whole patches; the last one ends on sample
    // columns * patchSize, inside the map.
    columns_ = (map.columns() - 1) / patchSize;
    rows_ = (map.rows() - 1) / patchSize;
    if (columns_ <= 0 || rows_ <= 0) {
        columns_ = 0;
        rows_ = 0;
        return false;
    }
    return true;
}

bool PatchGrid::createPatches()
{
    patches_.clear();
    if (heightMap_ == nullptr || columns_ <= 0 || rows_ <= 0)
        return false;
    const std::size_t count = static_cast<std::size_t>(columns_) * rows_;
    patches_.reserve(count);
    bool complete = true;
    for (std::size_t k = 0; k < count && complete; ++k) {
        std::unique_ptr<Patch> patch(new (std::nothrow) Patch);
        complete = patch != nullptr && patch->valid();
        patches_.push_back(std::move(patch));
    }
    for (int32_t i = 0; i < columns_ && complete; ++i) {
        for (int32_t j = 0; j < rows_ && complete; ++j) {
            Patch& patch = patchAt(i, j);
            patch.grid = this;
            patch.size = patchSize_;
            patch.originX = i * patchSize_;
            patch.originY = j * patchSize_;
            complete = patch.createCorners();
        }
    }
    if (!complete) {
        patches_.clear();
        columns_ = 0;
        rows_ = 0;
    }
    return complete;
}

void PatchGrid::prepareModel()
{
    if (patches_.empty())
        return;
    for (int32_t i = 0; i < columns_; ++i)
        for (int32_t j = 0; j < rows_; ++j)
            patchAt(i, j).resetRoots();

    // Each border leaf forms a diamond with the neighbouring patch's leaf on
    // the same edge; the links are set from both sides. The origin root's
    // corners are re-pointed to the corner vertices the left, upper and
    // upper-left neighbours made at the same points.
    for (int32_t i = 0; i < columns_; ++i) {
        for (int32_t j = 0; j < rows_; ++j) {
            Patch& patch = patchAt(i, j);
            if (patch.originRoot->isLeaf() || patch.farRoot->isLeaf())
                continue;
            if (i > 0) {
                Patch& left = patchAt(i - 1, j);
                patch.originRoot->leftChild->baseNeighbour = left.farRoot->leftChild;
                patch.originRoot->left = left.farRoot->apex;
            } else {
                patch.originRoot->leftChild->baseNeighbour = nullptr;
            }
            patch.farRoot->leftChild->baseNeighbour = i < columns_ - 1 ? patchAt(i + 1, j).originRoot->leftChild : nullptr;
            if (j > 0) {
                Patch& upper = patchAt(i, j - 1);
                patch.originRoot->rightChild->baseNeighbour = upper.farRoot->rightChild;
                patch.originRoot->right = upper.farRoot->apex;
            } else {
                patch.originRoot->rightChild->baseNeighbour = nullptr;
            }
            patch.farRoot->rightChild->baseNeighbour = j < rows_ - 1 ? patchAt(i, j + 1).originRoot->rightChild : nullptr;
            if (i > 0 && j > 0)
                patch.originRoot->apex = patchAt(i - 1, j - 1).farRoot->apex;
        }
    }
}

void PatchGrid::runStage(int32_t stage, const std::function<void(Patch&)>& operation, BuildProgress* progress)
{
    const int32_t total = columns_ * rows_;
    int32_t done = 0;
    if (progress != nullptr)
        progress->stageStarting(stage);
    for (int32_t i = 0; i < columns_; ++i) {
        for (int32_t j = 0; j < rows_; ++j) {
            operation(patchAt(i, j));
            ++done;
            if (progress != nullptr)
                progress->stageProgress(stage, done, total);
        }
    }
}

void PatchGrid::buildModel(int32_t threshold, BuildProgress* progress)
{
    runStage(1, [threshold](Patch& patch) { patch.buildModel(threshold); }, progress);
}

Vertex* PatchGrid::nearestVertex(int32_t px, int32_t py) const
{
    if (patches_.empty() || px < 0 || py < 0)
        return nullptr;
    const int32_t column = std::min(px / patchSize_, columns_ - 1);
    const int32_t row = std::min(py / patchSize_, rows_ - 1);
    return patchAt(column, row).nearestVertex(px, py);
}
