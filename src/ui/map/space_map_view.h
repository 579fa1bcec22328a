#pragma once
// The space map pane: the treemap of the folder the Files list shows, laid out and drawn
// on a worker thread from a snapshot, painted from the cached image, with a legend, a
// colouring switch and a status line of what the hints would save.

#include <QImage>
#include <QRectF>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>

#include "analysis/space_map_snapshot.h"
#include "analysis/treemap_colour.h"
#include "analysis/treemap_layout.h"

class QComboBox;
class QLabel;

namespace ui {

class SpaceMapCanvas;

class SpaceMapView : public QWidget {
  Q_OBJECT

 public:
  explicit SpaceMapView(QWidget* parent = nullptr);
  ~SpaceMapView() override;

  // Shows `snapshot`, ages counted to `now` (a local DOS date-time); the layout and the
  // image follow on a worker thread.
  void Show(analysis::MapSnapshot snapshot, std::uint32_t now);
  void Clear();
  void SetColouring(analysis::MapColouring colouring);
  analysis::MapColouring Colouring() const { return colouring_; }
  // What is on screen now; empty until the worker's first result arrives.
  const analysis::MapSnapshot* Snapshot() const { return shown_.get(); }
  const analysis::MapLayout& Layout() const { return layout_; }
  const QImage& Image() const { return image_; }
  QString StatusText() const;
  // The item of the cell the user last clicked, outlined on the map; none after a new
  // folder is shown.
  std::optional<std::uint32_t> Outlined() const { return outlined_; }
  // Where the outline goes: the clicked cell's rectangle in this layout.
  std::optional<QRectF> OutlinedRect() const;

 signals:
  // The user clicked (open = false) or double-clicked (open = true) inside the entry
  // `entryIndex` of the shown folder.
  void entryChosen(std::uint32_t entryIndex, bool open);
  // A new image is on screen.
  void drawn();
  // The pane has become visible: it catches up with the list.
  void visibilityShown();
  // Backspace in the map (when it floats, the window's accelerator does not reach it).
  void upRequested();

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  friend class SpaceMapCanvas;
  void Relayout();
  void Accept(std::uint64_t generation, std::shared_ptr<const analysis::MapSnapshot> snapshot,
              analysis::MapLayout layout, QImage image);
  void Choose(QPointF at, bool open);
  void UpdateStatusLine();
  QString HoverAt(QPointF at) const;

  SpaceMapCanvas* canvas_ = nullptr;
  QComboBox* colourBox_ = nullptr;
  QLabel* legend_ = nullptr;
  QLabel* status_ = nullptr;
  analysis::MapColouring colouring_ = analysis::MapColouring::Hint;
  std::uint32_t now_ = 0;
  std::shared_ptr<const analysis::MapSnapshot> pending_;  // what the next layout draws
  std::shared_ptr<const analysis::MapSnapshot> shown_;    // what the image shows
  analysis::MapLayout layout_;
  QImage image_;
  std::uint64_t generation_ = 0;
  std::optional<std::uint32_t> outlined_;
};

// Draws `layout` into an image of `size`: cells in their colours with a hairline edge,
// folders framed.
QImage DrawMap(const analysis::MapSnapshot& snapshot, const analysis::MapLayout& layout,
               const analysis::ColourScale& scale, QSize size);

}  // namespace ui
