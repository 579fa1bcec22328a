#pragma once
// Which window performs each command. The frame performs some itself and sends others
// on, unchanged, to the folders tree or the Files list; a few go to whichever of the two
// views is active, and the application object keeps the rest.

namespace ui {

// Who a handler belongs to.
enum class Target { App, Frame, Tree, List };

// Where a command goes.
enum class Route {
  App,
  Frame,
  Tree,
  List,
  ActiveView,  // the view that last had the focus; no other window sees it
  Unlisted,    // not in the routing table: active view, then frame, then application
};

Route RouteOf(int id);

// Whether a handler of `target` can ever receive a command routed `route`.
bool Reaches(Route route, Target target);

}  // namespace ui
