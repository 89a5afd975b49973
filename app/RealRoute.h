// The last route found on a real map: its figures, its elevation profile and
// writing it as GPX and GeoJSON beside the map.
#pragma once

// Kept by the main window after a search on a map with a sidecar. The
// figures and the files come from the same code as vaskur-route's
// (tools/vaskur-geo), so the window and the tool agree for the same points.

#include <string>
#include <vector>

#include "tools/vaskur-geo/GroundProfile.h"
#include "tools/vaskur-geo/RouteExport.h"

class HeightMap;
class RealTerrain;
class Vertex;

class RealRoute {
public:
    // Takes the route of the last search from `start` to `end` (the
    // vertices' previous links) with its length and how it was searched.
    // False, keeping nothing, when the links do not lead back to the start.
    bool take(const Vertex* start, const Vertex* end, float length, const vaskur_geo::RouteSettings& settings,
        const RealTerrain& terrain, const HeightMap& map);
    void clear();

    bool present() const { return present_; }
    const vaskur_geo::GroundProfile& profile() const { return profile_; }
    const vaskur_geo::ExportedRoute& route() const { return route_; }

    // Writes NAME-route-N.gpx and NAME-route-N.geojson beside the map NAME.raw
    // with the first N for which neither file exists. Gives the two file
    // names (without folder), or false with a reason.
    bool save(std::string& gpxName, std::string& geoJsonName, std::string& error) const;

private:
    bool present_ = false;
    vaskur_geo::ExportedRoute route_;
    vaskur_geo::RouteSettings settings_;
    vaskur_geo::GroundProfile profile_;
    const RealTerrain* terrain_ = nullptr;
    const HeightMap* map_ = nullptr;
};

// The stem of the files saved beside a map: "maps/x.raw" gives "maps/x-route-".
std::string savedRouteStem(const std::string& mapPath);
