#pragma once
// Keeps the space map on the folder the Files list shows, and the list on what the map
// chooses: a click selects the entry, a double click on a folder opens it.

namespace activity { struct AppState; }

namespace ui {

class CFilesList;
class SpaceMapView;

void LinkSpaceMap(SpaceMapView& map, CFilesList& list, const activity::AppState& state);

}  // namespace ui
