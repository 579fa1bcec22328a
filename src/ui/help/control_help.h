#pragma once

#include <QString>

class QWidget;

namespace ui {

// The "What's This" text of one control of one dialog or page, both given by their
// object names; empty when the control has none.
QString ControlHelp(const QString& dialog, const QString& control);

// Gives every named control of `dialog` (a dialog, sheet or sheet page, known by its
// object name) its "What's This" text. Buttons of a button box are known by their role:
// "Ok" or "Cancel". A top-level dialog also gets the "?" title-bar button so the texts
// can be reached. Call once, after the controls exist.
void AttachControlHelp(QWidget& dialog);

}  // namespace ui
