// The main window: its widgets, the command dispatch, loading and building
// with on-screen progress, the map views and picking a route with the mouse.
#include "app/MainDialog.h"

#include <allegro.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/MapViews.h"
#include "app/MessageTexts.h"
#include "app/ScreenReporters.h"
#include "app/SecondaryWindows.h"
#include "app/Startup.h"
#include "gui/FileSelector.h"
#include "gui/Mouse.h"
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
} // namespace

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
    default:
        break;
    }
}

void MainDialog::showPicture(BITMAP* picture)
{
    mapView.setBitmap(picture);
    if (picture)
        destroy_bitmap(picture);
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
    BITMAP* picture = createPicture(mapPictureSide, mapPictureSide);
    drawHeightMap(picture, heightMap());
    showPicture(picture);
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
    return true;
}

void MainDialog::buildAndShow(const char* patchSizeText, const char* thresholdText)
{
    Stopwatch stopwatch("build");
    const int32_t patchSize = textToInt(patchSizeText);
    const int32_t threshold = thresholdFromText(thresholdText);

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
    setMessage(texts::fileLoaded);
}

void MainDialog::clearCommand()
{
    showPicture(createPicture(mapPictureSide, mapPictureSide));
}

void MainDialog::heightMapCommand()
{
    BITMAP* picture = createLayer(heightMap());
    drawHeightMap(picture, heightMap());
    showPicture(picture);
}

void MainDialog::overlayCommand(Overlay overlay)
{
    BITMAP* layer = createLayer(heightMap());
    if (!layer)
        return;
    switch (overlay) {
    case ModelOverlay:
        if (thePatchGrid)
            drawModel(layer, *thePatchGrid);
        break;
    case VertexOverlay:
        drawGraphVertices(layer);
        break;
    case GraphOverlay:
        drawGraphEdges(layer);
        break;
    }
    overlayLayer(mapView, layer);
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
    if (p.x < 0 || p.x >= map.columns() || p.y < 0 || p.y >= map.rows())
        return false;
    mapPoint = p;
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
        ScreenSearchObserver observer;
        route = searchKind == FullSearch ? modelSearch().search(startVertex, endVertex, &observer)
                                         : modelSearch().quickSearch(startVertex, endVertex, &observer);
    }

    // The route (or nothing, when none was found) over the current picture.
    BITMAP* layer = createLayer(heightMap());
    if (layer) {
        std::vector<const Vertex*> path;
        for (uint32_t vertex : route.path)
            path.push_back(modelSearch().graph().vertex(vertex));
        drawRoute(layer, path);
        overlayLayer(mapView, layer);
    }
    pickState = NoPick;
    setMessage(routeResultMessage(route).c_str());
}
