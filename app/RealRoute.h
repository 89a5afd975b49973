// The last route found on a real map: its walked line with its figures, and
// writing it as GPX and GeoJSON beside the map. Kept by the main window after
// a search on a map with a sidecar. The line, its figures and the files come
// from the same code as vaskur-route's (tools/vaskur-geo), taken the same
// way: from the picked sample over the model vertices to the other picked
// sample. So the window and the tool agree for the same points.
#pragma once

#include <string>
#include <vector>

#include "tools/vaskur-geo/RouteExport.h"

class HeightMap;
class RealTerrain;
class Vertex;

// A sample of the map picked as a route's end.
struct PickedSample {
    int x = 0;
    int y = 0;
};

class RealRoute {
public:
    // Takes the route of the last search between the picked samples `from`
    // and `to`, over the model vertices `path` (start first), with its length
    // and how it was searched. False, keeping nothing, when vaskur-route
    // would find no route here either: no vertices, an end in a wall, or an
    // end that cannot be walked to its vertex.
    bool take(PickedSample from, PickedSample to, const std::vector<const Vertex*>& path, float length,
        const vaskur_geo::RouteSettings& settings, const RealTerrain& terrain, const HeightMap& map);
    void clear();

    bool present() const { return present_; }
    const vaskur_geo::ExportedRoute& route() const { return route_; }
    const vaskur_geo::RouteFigures& figures() const { return route_.trace.figures; }

    // Writes NAME-route-N.gpx and NAME-route-N.geojson beside the map NAME.raw
    // with the first N for which neither file exists, both or neither. Gives
    // the two file names (without folder), or false with a reason.
    bool save(std::string& gpxName, std::string& geoJsonName, std::string& error) const;

private:
    bool present_ = false;
    vaskur_geo::ExportedRoute route_;
    vaskur_geo::RouteSettings settings_;
    const RealTerrain* terrain_ = nullptr;
};

// The stem of the files saved beside a map: "maps/x.raw" gives "maps/x-route-".
std::string savedRouteStem(const std::string& mapPath);
