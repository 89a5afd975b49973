// The main window: its widgets, the command dispatch, loading and building
// with on-screen progress, the map views and picking a route with the mouse.
#include "app/MainDialog.h"

#include <allegro.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/MapViews.h"
#include "app/MessageTexts.h"
#include "app/ProfileWindow.h"
#include "app/Relief.h"
#include "app/ScreenReporters.h"
#include "app/SecondaryWindows.h"
#include "app/Startup.h"
#include "gui/Bitmap.h"
#include "gui/FileSelector.h"
#include "gui/Framework.h"
#include "gui/Messages.h"
#include "gui/Mouse.h"
#include "gui/Skin.h"
#include "route/Graph.h"
#include "route/ModelBuild.h"
#include "route/ModelSearch.h"
#include "terrain/HeightMap.h"
#include "terrain/ModelLists.h"
#include "terrain/PatchGrid.h"

namespace {
// With the environment variable VASKUR_TIMING set, the program writes how
// long each build and search took to stderr (for measurements only).
class Stopwatch {
public:
    explicit Stopwatch(const char* what) : what_(what), start_(std::chrono::steady_clock::now()) {}
    ~Stopwatch()
    {
        static const bool enabled = std::getenv("VASKUR_TIMING") != nullptr;
        if (!enabled)
            return;
        const std::chrono::duration<double, std::milli> ms = std::chrono::steady_clock::now() - start_;
        std::fprintf(stderr, "vaskur-timing %s %.1f ms\n", what_, ms.count());
    }
    Stopwatch(const Stopwatch&) = delete;
    Stopwatch& operator=(const Stopwatch&) = delete;

private:
    const char* what_;
    std::chrono::steady_clock::time_point start_;
};

const HeightMap& heightMap()
{
    static const HeightMap none;
    return theHeightMap ? *theHeightMap : none;
}

// The keyboard commands of a real map, by the key code a dialog hands its
// widgets (character + 256 scancode). With Ctrl held a letter comes as its
// control character: A is 1.
enum class KeyCommand { None, Save, Profile };
KeyCommand keyCommandOf(int code)
{
    const int character = code & 0xff, scancode = code >> 8;
    if (character == 'S' - 'A' + 1 && scancode == KEY_S)
        return KeyCommand::Save;
    if (character == 'P' - 'A' + 1 && scancode == KEY_P)
        return KeyCommand::Profile;
    return KeyCommand::None;
}
} // namespace

void MainDialog::BitmapDeleter::operator()(BITMAP* bitmap) const
{
    if (bitmap)
        destroy_bitmap(bitmap);
}

MainDialog::MainDialog()
{
    // The picture stands at (10, 10) and takes the size of every picture
    // it is given (D_AUTOSIZE, on by default).
    mapView.setup(10, 10, mapPictureSide, mapPictureSide, 0, 0, static_cast<BITMAP*>(nullptr));
    showPicture(createPicture(mapPictureSide, mapPictureSide));

    // The hyperlink fits itself to its caption again when it takes its skin.
    titleButton.setup(550, 10, 230, 40, 0, 0, texts::title);
    titleButton.clearFlag(D_AUTOSIZE);

    triangleCaption.setup(550, 80, 200, 20, 0, 0, texts::triangleCaption);
    vertexCaption.setup(550, 100, 200, 20, 0, 0, texts::vertexCaption);
    edgeCaption.setup(550, 120, 200, 20, 0, 0, texts::edgeCaption);
    // The counters keep their box and align their number to its right edge.
    Label* counters[] = {&triangleCount, &vertexCount, &edgeCount};
    const int counterY[] = {80, 100, 120};
    for (int i = 0; i < 3; ++i) {
        counters[i]->clearFlag(D_AUTOSIZE);
        counters[i]->setup(725, counterY[i], 55, 20, 0, 0, "", Label::AlignRight);
    }

    loadButton.setup(550, 140, 230, 30, 0, 0, texts::load);
    clearButton.setup(550, 185, 230, 30, 0, 0, texts::clear);
    heightMapButton.setup(550, 230, 230, 30, 0, 0, texts::heightMap);
    modelButton.setup(550, 275, 230, 30, 0, 0, texts::model);
    vertexButton.setup(550, 320, 230, 30, 0, 0, texts::vertices);
    graphButton.setup(550, 365, 230, 30, 0, 0, texts::graph);
    searchButton.setup(550, 410, 230, 30, 0, 0, texts::search);
    quickSearchButton.setup(550, 455, 230, 30, 0, 0, texts::quickSearch);
    exitButton.setup(550, 500, 230, 30, 0, D_EXIT, texts::leave);
    messageLine.setup(10, 540, 780, 50, 0, D_DISABLED, "");

    add(&background);
    add(&mapView);
    add(&titleButton);
    add(&triangleCaption);
    add(&triangleCount);
    add(&vertexCaption);
    add(&vertexCount);
    add(&edgeCaption);
    add(&edgeCount);
    add(&loadButton);
    add(&clearButton);
    add(&heightMapButton);
    add(&modelButton);
    add(&vertexButton);
    add(&graphButton);
    add(&exitButton);
    add(&searchButton);
    add(&quickSearchButton);
    add(&messageLine);

    updateCounters();
}

MainDialog::~MainDialog() = default;

void MainDialog::handleEvent(Widget* widget, int message, int argument1, int argument2)
{
    Dialog::handleEvent(widget, message, argument1, argument2);
    switch (message) {
    case MSG_ACTIVATE:
        if (widget == &loadButton)
            loadCommand();
        else if (widget == &clearButton)
            clearCommand();
        else if (widget == &heightMapButton)
            heightMapCommand();
        else if (widget == &modelButton)
            overlayCommand(ModelOverlay);
        else if (widget == &vertexButton)
            overlayCommand(VertexOverlay);
        else if (widget == &graphButton)
            overlayCommand(GraphOverlay);
        else if (widget == &searchButton)
            searchCommand(FullSearch);
        else if (widget == &quickSearchButton)
            searchCommand(QuickSearch);
        else if (widget == &titleButton)
            informationCommand();
        break;
    case MSG_LPRESS:
        if (const Mouse* m = mouse(); m && isOwnPress(widget))
            leftPress(m->position());
        break;
    case MSG_RPRESS:
        if (const Mouse* m = mouse(); m && isOwnPress(widget))
            rightPress(m->position());
        break;
    case MSG_XCHAR:
        // A key nobody took is offered to every widget, and each reports it
        // here: the backdrop's report stands for them all.
        if (widget == &background && realTerrain.loaded()) {
            const KeyCommand command = keyCommandOf(argument1);
            if (command == KeyCommand::Save)
                saveRouteCommand();
            else if (command == KeyCommand::Profile)
                profileCommand();
        }
        break;
    default:
        break;
    }
}

void MainDialog::showPicture(BITMAP* picture)
{
    unmarked_.reset();
    if (picture && (startMarker_ || endMarker_)) {
        unmarked_.reset(create_bitmap_ex(bitmap_color_depth(picture), picture->w, picture->h));
        if (unmarked_)
            blit(picture, unmarked_.get(), 0, 0, 0, 0, picture->w, picture->h);
        if (startMarker_)
            drawMarker(picture, startMarker_->x, startMarker_->y, startMarkerColour);
        if (endMarker_)
            drawMarker(picture, endMarker_->x, endMarker_->y, endMarkerColour);
    }
    mapView.setBitmap(picture);
    if (picture)
        destroy_bitmap(picture);
}

const BITMAP* MainDialog::unmarkedPicture() const
{
    return unmarked_ ? unmarked_.get() : mapView.picture().bitmap();
}

void MainDialog::overlay(BITMAP* layer)
{
    if (!layer)
        return;
    if (!startMarker_ && !endMarker_) {
        overlayLayer(mapView, layer);  // no markers to keep on top
        return;
    }
    BITMAP* result = composeOverlay(unmarkedPicture(), layer);
    destroy_bitmap(layer);
    if (result)
        showPicture(result);
}

void MainDialog::clearMarkers()
{
    startMarker_.reset();
    endMarker_.reset();
}

void MainDialog::refreshMarkers()
{
    const BITMAP* current = unmarkedPicture();
    if (!current)
        return;
    BITMAP* copy = create_bitmap_ex(bitmap_color_depth(const_cast<BITMAP*>(current)), current->w, current->h);
    if (!copy)
        return;
    blit(const_cast<BITMAP*>(current), copy, 0, 0, 0, 0, current->w, current->h);
    showPicture(copy);
}

int MainDialog::mapScale() const
{
    return realTerrain.loaded() ? realTerrain.scale() : 1;
}

BITMAP* MainDialog::createMapLayer() const
{
    if (!realTerrain.loaded())
        return createLayer(heightMap());
    return createLayer(realTerrain.pictureSide(), realTerrain.pictureSide());
}

BITMAP* MainDialog::mapPicture(bool mapSized)
{
    if (!realTerrain.loaded()) {
        BITMAP* picture = mapSized ? createLayer(heightMap()) : createPicture(mapPictureSide, mapPictureSide);
        drawHeightMap(picture, heightMap());
        return picture;
    }
    const int side = realTerrain.pictureSide();
    if (!relief_) {
        relief_.reset(createPicture(side, side));
        drawRelief(relief_.get(), realTerrain);
    }
    BITMAP* picture = createPicture(mapSized ? side : std::max(side, mapPictureSide),
                                    mapSized ? side : std::max(side, mapPictureSide));
    if (picture && relief_)
        blit(relief_.get(), picture, 0, 0, 0, 0, side, side);
    return picture;
}

void MainDialog::choosePalette()
{
    const bool relief = realTerrain.loaded();
    if (relief == reliefPalette_ || !screen || bitmap_color_depth(screen) != 8)
        return;
    PALETTE palette;
    if (relief)
        reliefPalette(palette);
    set_palette(relief ? palette : default_palette);
    reliefPalette_ = relief;
    // The skin's colours and bitmaps were matched to the old palette.
    if (Skin* global = globalSkin())
        global->reload();
    if (skin() && skin() != globalSkin())
        skin()->reload();
    updateNamedColors();
    setSkin(skin());
    broadcast(MSG_SKINCHANGED);
    if (Mouse* m = mouse()) {
        m->setCursor(nullptr);
        m->setCursor(skin(), Skin::MOUSE_NORMAL);
    }
    redraw();
}

void MainDialog::setMessage(const char* text)
{
    messageLine.setText(text);
}

void MainDialog::updateCounters()
{
    triangleCount.setNumber(static_cast<int>(triangleList().size()));
    vertexCount.setNumber(static_cast<int>(vertexList().size()));
    edgeCount.setNumber(static_cast<int>(edgeList().size()));
}

void MainDialog::showLoadedMap()
{
    choosePalette();
    clearMarkers();
    showPicture(mapPicture(false));
    updateCounters();
}

void MainDialog::loadCommand()
{
    FileSelector selector(texts::fileSelectorTitle, "", texts::fileSelectorMask, fileSelectorAttributes);
    const auto path = selector.popup(this, keepPosition, keepPosition);
    if (!path)
        return;  // cancelled: nothing changes
    if (!loadMapFile(path->c_str()))
        return;
    ModelParametersWindow parameters;
    parameters.popup(this, keepPosition, keepPosition, nullptr);
    buildAndShow(parameters.patchSizeBox.text(), parameters.thresholdBox.text());
}

bool MainDialog::loadMapFile(const char* path)
{
    if (!theHeightMap || !path || !theHeightMap->load(path)) {
        setMessage(texts::loadFailed);
        return false;
    }
    // The real terrain of the new map, if it has a sidecar; a sidecar that
    // cannot be used leaves the map plain, as one without a sidecar.
    relief_.reset();
    realRoute.clear();
    std::string error;
    if (realTerrain.load(path, *theHeightMap, error) == RealTerrain::Result::Failed)
        std::fprintf(stderr, "vaskur: %s; the map is shown without it\n", error.c_str());
    return true;
}

void MainDialog::buildAndShow(const char* patchSizeText, const char* thresholdText)
{
    Stopwatch stopwatch("build");
    const int32_t patchSize = textToInt(patchSizeText);
    const int32_t threshold = thresholdFromText(thresholdText);
    builtPatchSize = patchSize;
    builtThreshold = threshold;
    realRoute.clear();

    // The old model goes now; no vertex of it may be used afterwards.
    startVertex = nullptr;
    endVertex = nullptr;
    bool built = false;
    if (thePatchGrid) {
        ScreenBuildProgress progress;
        built = buildModelAndGraph(*thePatchGrid, heightMap(), patchSize, threshold, &progress);
    } else {
        destroyModel();
        edgeList().clear();
    }
    if (!built) {
        // Nothing to pick on; the next load starts afresh.
        pickState = NoPick;
        showLoadedMap();
        setMessage(texts::buildFailed);
        return;
    }

    // A pick waiting for its end point keeps its start point: found again on
    // the new model, or asked for again when the new map does not hold it.
    if (pickState == AwaitingEnd) {
        const HeightMap& map = heightMap();
        Vertex* again = nullptr;
        if (startPoint.x < map.columns() && startPoint.y < map.rows())
            again = thePatchGrid->nearestVertex(startPoint.x, startPoint.y);
        if (again)
            startVertex = again;
        else
            pickState = AwaitingStart;
    }

    showLoadedMap();
    if (realTerrain.loaded())
        setMessage(realMapLoadedMessage(realTerrain.extentMetres(), realTerrain.sidecar().spacingMetres,
                                        realTerrain.lowestMetres(), realTerrain.highestMetres())
                       .c_str());
    else
        setMessage(texts::fileLoaded);
}

void MainDialog::clearCommand()
{
    clearMarkers();
    showPicture(createPicture(mapPictureSide, mapPictureSide));
}

void MainDialog::heightMapCommand()
{
    clearMarkers();
    showPicture(mapPicture(true));
}

void MainDialog::overlayCommand(Overlay kind)
{
    BITMAP* layer = createMapLayer();
    if (!layer)
        return;
    const int scale = mapScale();
    switch (kind) {
    case ModelOverlay:
        if (thePatchGrid)
            drawModel(layer, *thePatchGrid, scale);
        break;
    case VertexOverlay:
        drawGraphVertices(layer, scale);
        break;
    case GraphOverlay:
        drawGraphEdges(layer, scale);
        break;
    }
    overlay(layer);
}

void MainDialog::searchCommand(SearchKind kind)
{
    setMessage(texts::pickFirstPoint);
    pickState = AwaitingStart;
    searchKind = kind;
}

void MainDialog::informationCommand()
{
    InformationWindow information;
    information.popup(this, keepPosition, keepPosition, nullptr);
}

void MainDialog::saveRouteCommand()
{
    if (!realRoute.present()) {
        setMessage(texts::noRouteYet);
        return;
    }
    std::string gpx, geoJson, error;
    if (!realRoute.save(gpx, geoJson, error)) {
        std::fprintf(stderr, "vaskur: %s\n", error.c_str());
        setMessage(texts::saveFailed);
        return;
    }
    setMessage((texts::savedPrefix + gpx + ", " + geoJson + ".").c_str());
}

void MainDialog::profileCommand()
{
    if (!realRoute.present()) {
        setMessage(texts::noRouteYet);
        return;
    }
    const vaskur_geo::RouteFigures& f = realRoute.figures();
    ProfileWindow window(realRoute.route().trace.points, routeClimbText(f.climbMetres, f.descentMetres, f.walkSeconds));
    window.popup(this, keepPosition, keepPosition, nullptr);
}

bool MainDialog::isOwnPress(const Widget* widget) const
{
    // Presses inside a window popped up over this one (the file selector,
    // the parameters window) are passed up here too; they pick no route.
    return widget == this || (widget && widget->parent() == this && !widget->isDialog());
}

bool MainDialog::mapPointAt(Point screenPos, Point& mapPoint) const
{
    const HeightMap& map = heightMap();
    const Point p{screenPos.x - mapScreenX, screenPos.y - mapScreenY};
    // On a map drawn larger, the sample nearest to the pixel.
    const int scale = mapScale();
    if (p.x < 0 || p.y < 0)
        return false;
    const Point sample{(p.x + scale / 2) / scale, (p.y + scale / 2) / scale};
    if (sample.x >= map.columns() || sample.y >= map.rows() || p.x > (map.columns() - 1) * scale
        || p.y > (map.rows() - 1) * scale)
        return false;
    mapPoint = sample;
    return true;
}

void MainDialog::leftPress(Point screenPos)
{
    if (pickState != AwaitingStart)
        return;
    Point p;
    if (!mapPointAt(screenPos, p))
        return;
    Vertex* start = thePatchGrid ? thePatchGrid->nearestVertex(p.x, p.y) : nullptr;
    if (!start)
        return;  // no model here to start from
    startPoint = p;
    startVertex = start;
    setMessage(texts::pickSecondPoint);
    pickState = AwaitingEnd;
    // On a real map a new route is marked from its start: the previous
    // route's markers go.
    if (realTerrain.loaded()) {
        clearMarkers();
        startMarker_ = Point{p.x * mapScale(), p.y * mapScale()};
        refreshMarkers();
    }
}

void MainDialog::rightPress(Point screenPos)
{
    if (pickState != AwaitingEnd)
        return;
    Point p;
    if (!mapPointAt(screenPos, p))
        return;
    endVertex = thePatchGrid ? thePatchGrid->nearestVertex(p.x, p.y) : nullptr;
    if (!endVertex || !startVertex)
        return;  // no model here to end at

    Stopwatch stopwatch(searchKind == FullSearch ? "search" : "quick-search");
    Route route;
    {
        ScreenSearchObserver observer(screenBatchInterval, mapScale());
        route = searchKind == FullSearch ? modelSearch().search(startVertex, endVertex, &observer)
                                         : modelSearch().quickSearch(startVertex, endVertex, &observer);
    }

    // The route (or nothing, when none was found) over the current picture:
    // on a real map the line walked from the picked start to the picked end.
    const std::vector<const Vertex*> path = routeVertices(route);
    const std::string message = routeMessage(route, path, p);
    if (realTerrain.loaded())
        endMarker_ = Point{p.x * mapScale(), p.y * mapScale()};
    BITMAP* layer = createMapLayer();
    if (layer) {
        if (realRoute.present())
            drawRouteLine(layer, routePixels());
        else
            drawRoute(layer, path, mapScale());
        overlay(layer);
    }
    pickState = NoPick;
    setMessage(message.c_str());
}

std::vector<const Vertex*> MainDialog::routeVertices(const Route& route)
{
    std::vector<const Vertex*> path;
    for (uint32_t vertex : route.path)
        path.push_back(modelSearch().graph().vertex(vertex));
    return path;
}

std::vector<Point> MainDialog::routePixels() const
{
    std::vector<Point> pixels;
    const int scale = mapScale();
    for (const vaskur_geo::TracePoint& point : realRoute.route().trace.points)
        pixels.push_back({static_cast<int32_t>(std::lround(point.at.x * scale)),
                          static_cast<int32_t>(std::lround(point.at.y * scale))});
    return pixels;
}

std::string MainDialog::routeMessage(const Route& route, const std::vector<const Vertex*>& path, Point end)
{
    realRoute.clear();
    if (!realTerrain.loaded() || !route.found())
        return routeResultMessage(route);
    const vaskur_geo::RouteSettings settings{builtPatchSize, builtThreshold, searchKind == QuickSearch};
    if (!realRoute.take({startPoint.x, startPoint.y}, {end.x, end.y}, path, route.length, settings, realTerrain,
                        heightMap()))
        return routeResultMessage(route);
    const vaskur_geo::RouteFigures& f = realRoute.figures();
    return realRouteMessage(f.groundMetres, f.climbMetres, f.descentMetres, f.walkSeconds);
}
