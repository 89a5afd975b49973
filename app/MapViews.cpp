// The map views: height shades, triangle edges over the tree walk, graph
// vertices and edges, the route, and the masked overlay of a layer.
#include "app/MapViews.h"

#include <allegro.h>

#include <algorithm>

#include "gui/Bitmap.h"
#include "gui/Image.h"
#include "terrain/HeightMap.h"
#include "terrain/ModelLists.h"
#include "terrain/PatchGrid.h"
#include "terrain/Triangle.h"
#include "terrain/Vertex.h"

int viewColour(const BITMAP* bitmap, ViewColour colour)
{
    const int depth = bitmap ? bitmap_color_depth(const_cast<BITMAP*>(bitmap)) : get_color_depth();
    return makecol_depth(depth, colour.red, colour.green, colour.blue);
}

void drawHeightMap(BITMAP* bitmap, const HeightMap& map)
{
    if (!bitmap || map.empty())
        return;
    const int bits = map.bitsPerSample();
    if (bits != 8 && bits != 16)
        return;
    const int depth = bitmap_color_depth(bitmap);
    for (int32_t x = 0; x < map.columns(); ++x) {
        for (int32_t y = 0; y < map.rows(); ++y) {
            const int sample = map.heightAt(x, y);
            // An 8-bit map holds 0..255; clamp in case a sample strays above.
            const int green = bits == 8 ? std::min(sample, 255) : sample >> 8;
            putpixel(bitmap, x, y, makecol_depth(depth, 0, green, 0));
        }
    }
}

void drawTriangle(BITMAP* bitmap, const Triangle* triangle, const Corners& corners, int scale)
{
    if (!bitmap)
        return;
    const int colour = viewColour(bitmap, triangleEdgeColour);
    const int s = scale;
    forEachLeaf(triangle, corners, [&](const Triangle&, const Corners& c) {
        line(bitmap, c.left.x * s, c.left.y * s, c.right.x * s, c.right.y * s, colour);
        line(bitmap, c.apex.x * s, c.apex.y * s, c.right.x * s, c.right.y * s, colour);
        line(bitmap, c.left.x * s, c.left.y * s, c.apex.x * s, c.apex.y * s, colour);
    });
}

void drawModel(BITMAP* bitmap, const PatchGrid& grid, int scale)
{
    if (!bitmap)
        return;
    clear_to_color(bitmap, viewColour(bitmap, modelBackgroundColour));
    if (grid.empty())
        return;
    for (int32_t i = 0; i < grid.columns(); ++i) {
        for (int32_t j = 0; j < grid.rows(); ++j) {
            const Patch& patch = grid.patchAt(i, j);
            drawTriangle(bitmap, patch.originRoot, patch.originCorners(), scale);
            drawTriangle(bitmap, patch.farRoot, patch.farCorners(), scale);
        }
    }
}

void drawGraphVertices(BITMAP* bitmap, int scale)
{
    if (!bitmap)
        return;
    const int colour = viewColour(bitmap, graphVertexColour);
    for (const Vertex* vertex : vertexList())
        putpixel(bitmap, vertex->x * scale, vertex->y * scale, colour);
}

void drawGraphEdges(BITMAP* bitmap, int scale)
{
    if (!bitmap)
        return;
    const int colour = viewColour(bitmap, graphEdgeColour);
    const int s = scale;
    for (const Vertex* vertex : vertexList()) {
        for (const Edge& edge : vertex->edges) {
            if (edge.from && edge.to)
                line(bitmap, edge.from->x * s, edge.from->y * s, edge.to->x * s, edge.to->y * s, colour);
        }
    }
}

void drawRoute(BITMAP* bitmap, const std::vector<const Vertex*>& path, int scale)
{
    if (!bitmap)
        return;
    const int colour = viewColour(bitmap, routeColour);
    // Each line from the earlier vertex to the later one, the direction the
    // route runs.
    for (std::size_t i = 1; i < path.size(); ++i)
        line(bitmap, path[i - 1]->x * scale, path[i - 1]->y * scale, path[i]->x * scale, path[i]->y * scale,
             colour);
}

void drawRouteLine(BITMAP* bitmap, const std::vector<Point>& pixels)
{
    if (!bitmap)
        return;
    const int colour = viewColour(bitmap, routeColour);
    for (std::size_t i = 1; i < pixels.size(); ++i)
        line(bitmap, pixels[i - 1].x, pixels[i - 1].y, pixels[i].x, pixels[i].y, colour);
}

void drawMarker(BITMAP* bitmap, int x, int y, ViewColour colour)
{
    if (!bitmap)
        return;
    circlefill(bitmap, x, y, 5, viewColour(bitmap, markerRimColour));
    circlefill(bitmap, x, y, 4, viewColour(bitmap, colour));
}

BITMAP* createPicture(int w, int h)
{
    if (w < 0 || h < 0)
        return nullptr;
    BITMAP* picture = create_bitmap(w, h);
    if (picture)
        clear_to_color(picture, 0);
    return picture;
}

BITMAP* createLayer(const HeightMap& map)
{
    return createLayer(map.columns(), map.rows());
}

BITMAP* createLayer(int w, int h)
{
    BITMAP* layer = create_bitmap(w, h);
    if (layer)
        clear_to_color(layer, viewColour(layer, layerFillColour));
    return layer;
}

namespace {

// Copies the pixels of `layer` that are not the layer fill colour onto
// `target` at (0, 0), one by one and colour by colour. Used where Allegro's
// masked drawing would skip the wrong colour: at 8 bits its mask is palette
// index 0 (black), and across different colour depths.
void maskedCopyByColour(BITMAP* layer, BITMAP* target)
{
    const int layerDepth = bitmap_color_depth(layer);
    const int targetDepth = bitmap_color_depth(target);
    const int fill = viewColour(layer, layerFillColour);
    const int w = std::min(layer->w, target->w);
    const int h = std::min(layer->h, target->h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const int pixel = getpixel(layer, x, y);
            if (pixel == fill)
                continue;
            if (layerDepth == targetDepth) {
                putpixel(target, x, y, pixel);
            } else {
                putpixel(target, x, y,
                         makecol_depth(targetDepth, getr_depth(layerDepth, pixel), getg_depth(layerDepth, pixel),
                                       getb_depth(layerDepth, pixel)));
            }
        }
    }
}

}  // namespace

BITMAP* composeOverlay(const BITMAP* picture, BITMAP* layer)
{
    BITMAP* result = createPicture(mapPictureSide, mapPictureSide);
    if (!result)
        return nullptr;
    if (picture)
        blit(const_cast<BITMAP*>(picture), result, 0, 0, 0, 0, picture->w, picture->h);
    if (layer && layer->w > 0 && layer->h > 0) {
        const int depth = bitmap_color_depth(layer);
        // Above 8 bits the layer fill is exactly Allegro's mask colour.
        if (depth > 8 && depth == bitmap_color_depth(result) && viewColour(layer, layerFillColour) == bitmap_mask_color(layer))
            draw_sprite(result, layer, 0, 0);
        else
            maskedCopyByColour(layer, result);
    }
    return result;
}

void overlayLayer(Image& mapView, BITMAP* layer)
{
    if (!layer)
        return;
    const BITMAP* current = mapView.picture().bitmap();
    BITMAP* result = composeOverlay(current, layer);
    if (result) {
        mapView.setBitmap(result);
        destroy_bitmap(result);
    }
    destroy_bitmap(layer);
}
