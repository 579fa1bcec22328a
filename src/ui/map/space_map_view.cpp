#include "ui/map/space_map_view.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QThreadPool>
#include <QToolTip>
#include <QVBoxLayout>

#include "analysis/space_map_text.h"

namespace ui {

namespace {

QColor ToQColor(analysis::Rgb rgb) { return QColor(rgb.r, rgb.g, rgb.b); }

}  // namespace

// The map itself: paints the cached image and turns the mouse into hover texts and choices.
class SpaceMapCanvas : public QWidget {
 public:
  explicit SpaceMapCanvas(SpaceMapView& view) : QWidget(&view), view_(view) {
    setObjectName(QStringLiteral("SpaceMapCanvas"));
    setMouseTracking(true);
    setMinimumSize(64, 48);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    if (!view_.image_.isNull()) painter.drawImage(QPoint(0, 0), view_.image_);
    if (const auto outline = view_.OutlinedRect()) {
      // Black inside white: seen on every colour of the map.
      painter.setPen(QPen(Qt::white, 3));
      painter.drawRect(outline->adjusted(1, 1, -2, -2));
      painter.setPen(QPen(Qt::black, 1));
      painter.drawRect(outline->adjusted(1, 1, -2, -2));
    }
  }
  void resizeEvent(QResizeEvent*) override { view_.Relayout(); }
  void mouseMoveEvent(QMouseEvent* event) override {
    const QString text = view_.HoverAt(event->position());
    if (text.isEmpty()) {
      QToolTip::hideText();
    } else {
      QToolTip::showText(event->globalPosition().toPoint(), text, this);
    }
  }
  void mousePressEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton) view_.Choose(event->position(), false);
  }
  void mouseDoubleClickEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton) view_.Choose(event->position(), true);
  }

 private:
  SpaceMapView& view_;
};

QImage DrawMap(const analysis::MapSnapshot& snapshot, const analysis::MapLayout& layout,
               const analysis::ColourScale& scale, QSize size) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  const QColor frame = ToQColor(analysis::kFolderFrameColour);
  // Neighbours of one colour stay apart: each cell gets an edge a little darker than itself.
  for (const analysis::MapCell& cell : layout.cells) {
    const analysis::MapItem& item = snapshot.items[cell.item];
    const QRectF rect(cell.rect.x, cell.rect.y, cell.rect.w, cell.rect.h);
    const QColor colour = ToQColor(analysis::CellColour(item, scale));
    painter.fillRect(rect, colour);
    painter.setPen(QPen(item.folder ? frame : colour.darker(140), 0));
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
  }
  return image;
}

SpaceMapView::SpaceMapView(QWidget* parent) : QWidget(parent) {
  canvas_ = new SpaceMapCanvas(*this);
  colourBox_ = new QComboBox(this);
  colourBox_->addItem(tr("Hint"), int(analysis::MapColouring::Hint));
  colourBox_->addItem(tr("Days since last access"), int(analysis::MapColouring::Age));
  colourBox_->addItem(tr("Access counter"), int(analysis::MapColouring::Count));
  legend_ = new QLabel(this);
  legend_->setTextFormat(Qt::RichText);
  // Long legends and savings lines must not widen the pane when the colouring changes;
  // a legend wider than the pane wraps between its entries, to be read whole.
  legend_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  legend_->setWordWrap(true);
  status_ = new QLabel(this);
  status_->setWordWrap(true);
  status_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  auto* top = new QHBoxLayout;
  top->addWidget(colourBox_);
  top->addWidget(legend_, 1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->addLayout(top);
  layout->addWidget(canvas_, 1);
  layout->addWidget(status_);
  connect(colourBox_, &QComboBox::currentIndexChanged, this, [this](int index) {
    SetColouring(static_cast<analysis::MapColouring>(colourBox_->itemData(index).toInt()));
  });
  setFocusPolicy(Qt::StrongFocus);
}

SpaceMapView::~SpaceMapView() = default;

void SpaceMapView::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Backspace && event->modifiers() == Qt::NoModifier) {
    emit upRequested();
    return;
  }
  QWidget::keyPressEvent(event);
}

void SpaceMapView::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  emit visibilityShown();
}

void SpaceMapView::Show(analysis::MapSnapshot snapshot, std::uint32_t now) {
  now_ = now;
  pending_ = std::make_shared<const analysis::MapSnapshot>(std::move(snapshot));
  UpdateStatusLine();
  Relayout();
}

void SpaceMapView::Clear() {
  ++generation_;
  pending_.reset();
  shown_.reset();
  outlined_.reset();
  layout_ = {};
  image_ = {};
  legend_->clear();
  status_->clear();
  canvas_->update();
}

void SpaceMapView::SetColouring(analysis::MapColouring colouring) {
  colouring_ = colouring;
  const int index = colourBox_->findData(int(colouring));
  if (index != colourBox_->currentIndex()) colourBox_->setCurrentIndex(index);
  UpdateStatusLine();
  Relayout();
}

void SpaceMapView::UpdateStatusLine() {
  status_->setText(pending_ ? QString::fromStdString(analysis::MapLine(*pending_, colouring_, now_)) : QString());
}

QString SpaceMapView::StatusText() const { return status_->text(); }

void SpaceMapView::Relayout() {
  const std::uint64_t generation = ++generation_;
  if (!pending_) return;
  const QSize size = canvas_->size();
  const analysis::ColourScale scale = analysis::MakeColourScale(*pending_, colouring_, now_);
  QString legend;
  for (const analysis::LegendEntry& entry : analysis::Legend(scale)) {
    // A wrapped legend breaks between entries, or after an entry's first word at least.
    QString text = QString::fromStdString(entry.text).toHtmlEscaped();
    if (const qsizetype space = text.indexOf(u' '); space >= 0) text.replace(space, 1, QStringLiteral("&nbsp;"));
    legend += QStringLiteral("<span style=\"background:%1\">&nbsp;&nbsp;&nbsp;</span>&nbsp;%2&nbsp;&nbsp; ")
                  .arg(ToQColor(entry.colour).name(), text);
  }
  legend_->setText(legend);
  // The worker gets its own reference to the snapshot; the records never leave the UI
  // thread, and a result for an older request is dropped when it arrives.
  QPointer<SpaceMapView> self(this);
  std::shared_ptr<const analysis::MapSnapshot> snapshot = pending_;
  QThreadPool::globalInstance()->start([self, snapshot, scale, size, generation] {
    analysis::MapLayout layout = analysis::LayOutTreemap(
        *snapshot, {0, 0, static_cast<double>(size.width()), static_cast<double>(size.height())});
    QImage image = DrawMap(*snapshot, layout, scale, size);
    QMetaObject::invokeMethod(
        qApp,
        [self, snapshot, generation, layout = std::move(layout), image = std::move(image)]() mutable {
          if (self) self->Accept(generation, snapshot, std::move(layout), std::move(image));
        },
        Qt::QueuedConnection);
  });
}

void SpaceMapView::Accept(std::uint64_t generation, std::shared_ptr<const analysis::MapSnapshot> snapshot,
                          analysis::MapLayout layout, QImage image) {
  if (generation != generation_) return;
  if (snapshot != shown_) outlined_.reset();
  shown_ = std::move(snapshot);
  layout_ = std::move(layout);
  image_ = std::move(image);
  canvas_->update();
  emit drawn();
}

std::optional<QRectF> SpaceMapView::OutlinedRect() const {
  if (!outlined_) return std::nullopt;
  for (const analysis::MapCell& cell : layout_.cells) {
    if (cell.item == *outlined_) return QRectF(cell.rect.x, cell.rect.y, cell.rect.w, cell.rect.h);
  }
  return std::nullopt;
}

QString SpaceMapView::HoverAt(QPointF at) const {
  if (!shown_) return {};
  const auto cell = analysis::HitTest(layout_, at.x(), at.y());
  if (!cell) return {};
  return QString::fromStdString(analysis::HoverText(*shown_, layout_.cells[*cell].item));
}

void SpaceMapView::Choose(QPointF at, bool open) {
  if (!shown_) return;
  const auto cell = analysis::HitTest(layout_, at.x(), at.y());
  if (!cell) return;
  // The entry of the shown folder that holds the cell: the list shows only those.
  std::uint32_t item = layout_.cells[*cell].item;
  if (item == 0) return;
  outlined_ = item;
  canvas_->update();
  while (shown_->items[item].parent != 0) item = shown_->items[item].parent;
  emit entryChosen(shown_->items[item].entryIndex, open);
}

}  // namespace ui
