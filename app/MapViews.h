// Drawing the terrain pictures into memory bitmaps for the main window, and
// laying them over each other: the height map in shades of green, the
// triangle model as green edges on black, the graph vertices as white dots,
// the graph edges as yellow lines and a found route as white lines. One
// picture pixel per height sample: map point (x, y) is pixel (x, y), or pixel
// (scale x, scale y) for the views that take a scale (a small real map is
// drawn larger). Nothing here draws to the screen.
//
// Every view takes its target bitmap first and does nothing when it is null.
// Colours are made in the target bitmap's own colour depth (8-bit targets use
// the currently selected palette).
#pragma once

#include <cstdint>
#include <vector>

#include "gui/Geometry.h"

#include "terrain/TreeWalk.h"  // Corners

struct BITMAP;
class HeightMap;
class Image;
class PatchGrid;
class Triangle;
class Vertex;

// Side of the picture the main window shows.
inline constexpr int mapPictureSide = 513;
// Where the picture stands on the screen: map (x, y) is screen (x + 10, y + 10).
inline constexpr int mapScreenX = 10;
inline constexpr int mapScreenY = 10;

// The view colours as (red, green, blue).
struct ViewColour {
    int red;
    int green;
    int blue;
};
inline constexpr ViewColour modelBackgroundColour{0, 0, 0};
inline constexpr ViewColour triangleEdgeColour{0, 180, 0};
inline constexpr ViewColour graphVertexColour{255, 255, 255};
inline constexpr ViewColour graphEdgeColour{255, 255, 0};
inline constexpr ViewColour routeColour{255, 255, 255};
// The markers of a route's start and end (real maps only).
inline constexpr ViewColour startMarkerColour{0, 200, 255};
inline constexpr ViewColour endMarkerColour{255, 40, 40};
inline constexpr ViewColour markerRimColour{0, 0, 0};
// What a layer is filled with; transparent when the layer is overlaid.
inline constexpr ViewColour layerFillColour{255, 0, 255};

// The pixel value of a view colour in the colour depth of `bitmap`.
int viewColour(const BITMAP* bitmap, ViewColour colour);

// Height-map view: pixel (x, y) = (0, g, 0) where g is the 8-bit sample or the
// high byte of a 16-bit sample. Nothing for an empty map or another sample size.
void drawHeightMap(BITMAP* bitmap, const HeightMap& map);

// Model view: clears the whole bitmap to black, then draws the leaves of both
// root trees of every patch (column outer, row inner) with drawTriangle.
void drawModel(BITMAP* bitmap, const PatchGrid& grid, int scale = 1);

// One triangle subtree with the given corner positions (hypotenuse left to
// right, right angle at apex): every leaf draws its three sides in
// (0, 180, 0). Inner triangles draw nothing. A null triangle draws nothing.
void drawTriangle(BITMAP* bitmap, const Triangle* triangle, const Corners& corners, int scale = 1);

// One white pixel per vertex of the process-wide vertex list.
void drawGraphVertices(BITMAP* bitmap, int scale = 1);

// One yellow line per edge of every vertex of the vertex list (edges added in
// both directions are drawn twice).
void drawGraphEdges(BITMAP* bitmap, int scale = 1);

// A route as white lines from each vertex of `path` (start first) to the
// next, at `scale` pixels per sample; nothing for fewer than two vertices.
void drawRoute(BITMAP* bitmap, const std::vector<const Vertex*>& path, int scale = 1);

// A route given as its pixels, joined by white lines (the walked line of a
// route on a real map).
void drawRouteLine(BITMAP* bitmap, const std::vector<Point>& pixels);

// A route end marker: a disc of radius 4 in `colour` with a black rim, centred
// on pixel (x, y).
void drawMarker(BITMAP* bitmap, int x, int y, ViewColour colour);

// A memory bitmap of w x h in the current colour depth, cleared to colour 0
// (black). Null when it cannot be made. The caller destroys it.
BITMAP* createPicture(int w, int h);

// A layer for the overlay commands: a memory bitmap of the map's own size
// (columns x rows) filled with layerFillColour. A 0 x 0 map gives a 0 x 0
// layer. Null when it cannot be made. The caller destroys it (overlayLayer
// does).
BITMAP* createLayer(const HeightMap& map);
// The same for a picture of w x h pixels (a map drawn at a scale).
BITMAP* createLayer(int w, int h);

// The overlay picture: a new mapPictureSide square bitmap cleared to black,
// `picture` copied into its top-left corner (its own width and height), then
// `layer` drawn over it at (0, 0) with every pixel of layerFillColour left
// out. Either input may be null (left out). Destroys neither input. Null when
// the bitmap cannot be made. The caller destroys the result.
BITMAP* composeOverlay(const BITMAP* picture, BITMAP* layer);

// Lays `layer` over the picture `mapView` shows (composeOverlay), hands the
// result to `mapView` (which keeps a copy) and destroys both the result and
// the layer. A null layer changes nothing.
void overlayLayer(Image& mapView, BITMAP* layer);
