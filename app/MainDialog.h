// The program's main window: the terrain picture on the left, the title
// banner, three counters and nine command buttons on the right and a message
// line along the bottom. Its event handler runs every command: loading a map
// and building the model and graph, the map views, and picking a route with
// a left and a right press on the picture. A map imported from real terrain
// (with a sidecar) is shown as a relief, a 257-sample one at twice its size,
// and its routes get their figures, end markers, a profile window (Ctrl+P)
// and can be saved (Ctrl+S). Its texts are in app/MessageTexts.h, its
// pictures in app/MapViews.h.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/RealRoute.h"
#include "app/RealTerrain.h"
#include "gui/Backdrop.h"
#include "gui/Button.h"
#include "gui/Dialog.h"
#include "gui/Geometry.h"
#include "gui/Hyperlink.h"
#include "gui/Image.h"
#include "gui/Label.h"

struct BITMAP;
struct Route;
class Vertex;

class MainDialog : public Dialog {
public:
    // Route picking: no pick, waiting for the start point, for the end point.
    enum PickState : int32_t { NoPick = 0, AwaitingStart = 1, AwaitingEnd = 2 };
    // Which search the pick ends in.
    enum SearchKind : int32_t { FullSearch = 1, QuickSearch = 2 };
    // Which overlay an overlay command draws.
    enum Overlay { ModelOverlay, VertexOverlay, GraphOverlay };

    // The check boxes ticked in the map selector: Archives, and Read only
    // too. A file counts as read only when the user may not write it, and
    // loading a map only reads it: maps on read-only media, of other users
    // or set to read only are listed as well.
    static constexpr int fileSelectorAttributes = 0x20 | 0x01;

    MainDialog();
    ~MainDialog() override;

    // Passes every message to Dialog first, then runs the commands of button
    // activations and the route picks of left and right presses.
    void handleEvent(Widget* widget, int message, int argument1 = 0, int argument2 = 0) override;

    // A 513 x 513 picture with the height map in its top-left corner goes to
    // mapView; the counters are set from the list lengths.
    void showLoadedMap();
    // The message line's caption.
    const char* message() const { return messageLine.text(); }

protected:
    // What the window holds and does is its own business: a caller runs it
    // with execute and it reacts through handleEvent. The tests reach the
    // parts below through a subclass (tests/app/maindialog_seam.h).

    // --- The commands, one operation each (the handler dispatches to them) ---
    // "LOE KAART": file selector, load, parameters window, build.
    void loadCommand();
    // The load command's steps after the file selector: loads the file
    // (false and the load-error message when that fails, nothing else
    // changed), ...
    bool loadMapFile(const char* path);
    // ... and builds model and graph with the two texts of the parameters
    // window, shows the map and "Fail laetud.". A route pick waiting for its
    // end point gets its start point again on the new model. When no model
    // can be built (no memory, a patch size that does not fit the map) the
    // old one is gone all the same: the map is shown with the counters at
    // 0, the build-error message, and no pick in progress.
    void buildAndShow(const char* patchSizeText, const char* thresholdText);
    // "TÜHJENDA": a black picture; nothing else changes.
    void clearCommand();
    // "KÕRGUSKAART": the height map alone, in a picture of the map's size.
    void heightMapCommand();
    // "MUDEL", "GRAAFI TIPUD", "GRAAF": a layer over the current picture.
    void overlayCommand(Overlay overlay);
    // "OTSI" (FullSearch), "KIIROTSING" (QuickSearch): starts a pick.
    void searchCommand(SearchKind kind);
    // The title banner: the information window.
    void informationCommand();
    // Ctrl+S on a real map: the last route as GPX and GeoJSON beside the map.
    void saveRouteCommand();
    // Ctrl+P on a real map: the elevation profile of the last route.
    void profileCommand();
    // Left and right presses at a screen position (the mouse's position
    // when the press came).
    void leftPress(Point screenPos);
    void rightPress(Point screenPos);

    // Gives mapView a copy of `picture` (with the route markers drawn over
    // it, when there are any) and destroys `picture`.
    void showPicture(BITMAP* picture);
    // Lays `layer` over the current picture (below the markers) and shows
    // the result; destroys the layer.
    void overlay(BITMAP* layer);
    // Replaces the message line's caption.
    void setMessage(const char* text);
    void updateCounters();

    // --- Widgets, in the order they are declared ---
    Backdrop background;
    Image mapView;
    Hyperlink titleButton;
    Label triangleCaption;
    Label triangleCount;
    Label vertexCaption;
    Label vertexCount;
    Label edgeCaption;
    Label edgeCount;
    Button loadButton;
    Button clearButton;
    Button heightMapButton;
    Button modelButton;
    Button vertexButton;
    Button graphButton;
    Button searchButton;
    Button quickSearchButton;
    Button exitButton;
    Button messageLine;

    // --- Route picking ---
    int32_t pickState = NoPick;
    int32_t searchKind = FullSearch;
    Vertex* startVertex = nullptr;  // not owned: lives in the vertex list
    Vertex* endVertex = nullptr;    // not owned

    // The map point of the start pick, kept so that the pick can outlive a
    // rebuild of the model: the vertex is looked up again on the new one.
    Point startPoint;

    // --- Real maps ---
    RealTerrain realTerrain;  // empty for a map without a sidecar
    RealRoute realRoute;      // the last route found on it
    int32_t builtPatchSize = 0;
    int32_t builtThreshold = 0;

private:
    struct BitmapDeleter {
        void operator()(BITMAP* bitmap) const;
    };
    using BitmapPtr = std::unique_ptr<BITMAP, BitmapDeleter>;

    // Picture pixels per sample: 2 for a 257-sample real map, else 1.
    int mapScale() const;
    // A new picture of the map alone: the relief of a real map (made once per
    // load), else the shades of green of a map-sized picture.
    BITMAP* mapPicture(bool mapSized);
    // A layer as large as the map's picture.
    BITMAP* createMapLayer() const;
    // The picture below the markers: what mapView shows, without them.
    const BITMAP* unmarkedPicture() const;
    // Forgets the markers (the next picture shown has none).
    void clearMarkers();
    // Shows the current picture again with the markers as they are now.
    void refreshMarkers();
    // At 8 bits a real map brings its own palette, a plain one the standard
    // palette; the skin is matched to the palette again.
    void choosePalette();
    // The vertices of a route found in the window, start first.
    std::vector<const Vertex*> routeVertices(const Route& route);
    // The message after a search that gave `route` (its vertices `path`)
    // ending at the map point `end`; keeps the route of a real map.
    std::string routeMessage(const Route& route, const std::vector<const Vertex*>& path, Point end);
    // The walked line of the last real route, in picture pixels.
    std::vector<Point> routePixels() const;

    // Does a press reported by `widget` belong to this window (this dialog or
    // one of its own widgets), not to a window popped up over it?
    bool isOwnPress(const Widget* widget) const;
    // The map point under a screen position, or false when it is off the map.
    bool mapPointAt(Point screenPos, Point& mapPoint) const;

    BitmapPtr relief_;    // the relief of the loaded real map, once made
    BitmapPtr unmarked_;  // what mapView shows, without the markers
    std::optional<Point> startMarker_;  // picture pixels
    std::optional<Point> endMarker_;
    bool reliefPalette_ = false;
};
