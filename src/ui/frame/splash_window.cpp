#include "ui/frame/splash_window.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QScreen>
#include <QVBoxLayout>

#include "common/prompter.h"

namespace ui {
namespace {

constexpr int kWidth = 480;
constexpr int kHeight = 300;

// A stack of platters seen from the side, with a read arm across the top one.
void DrawDisk(QPainter& p, const QPointF& centre, double radius) {
  const double squash = 0.34;
  for (int level = 2; level >= 0; --level) {
    const QPointF c(centre.x(), centre.y() + level * 16);
    QRadialGradient metal(c, radius);
    metal.setColorAt(0.0, QColor(238, 242, 248));
    metal.setColorAt(0.7, QColor(168, 180, 198));
    metal.setColorAt(1.0, QColor(112, 124, 146));
    p.setPen(QPen(QColor(60, 70, 92), 1.2));
    p.setBrush(metal);
    p.drawEllipse(c, radius, radius * squash);
  }
  // Tracks on the top platter, with a few sectors lit as the program's "used" space.
  p.setBrush(Qt::NoBrush);
  for (int track = 1; track <= 4; ++track) {
    const double r = radius * (0.28 + 0.16 * track);
    p.setPen(QPen(QColor(90, 104, 130, 120), 0.8));
    p.drawEllipse(centre, r, r * squash);
  }
  p.setPen(QPen(QColor(46, 150, 80), 5, Qt::SolidLine, Qt::FlatCap));
  const double lit = radius * 0.76;
  p.drawArc(QRectF(centre.x() - lit, centre.y() - lit * squash, 2 * lit, 2 * lit * squash),
            20 * 16, 110 * 16);
  p.setPen(QPen(QColor(220, 150, 40), 5, Qt::SolidLine, Qt::FlatCap));
  p.drawArc(QRectF(centre.x() - lit, centre.y() - lit * squash, 2 * lit, 2 * lit * squash),
            150 * 16, 60 * 16);
  // Spindle and arm.
  p.setPen(QPen(QColor(50, 56, 70), 1));
  p.setBrush(QColor(70, 78, 96));
  p.drawEllipse(centre, 9, 9 * squash);
  QPainterPath arm;
  arm.moveTo(centre.x() + radius * 1.02, centre.y() - 30);
  arm.lineTo(centre.x() + radius * 0.30, centre.y() - 4);
  p.setPen(QPen(QColor(44, 48, 60), 5, Qt::SolidLine, Qt::RoundCap));
  p.drawPath(arm);
  p.setBrush(QColor(200, 60, 50));
  p.setPen(Qt::NoPen);
  p.drawEllipse(QPointF(centre.x() + radius * 1.02, centre.y() - 30), 7, 7);
}

}  // namespace

QPixmap SplashPicture() {
  QPixmap picture(kWidth, kHeight);
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing);

  QLinearGradient sky(0, 0, 0, kHeight);
  sky.setColorAt(0.0, QColor(22, 44, 86));
  sky.setColorAt(1.0, QColor(10, 18, 40));
  p.fillRect(picture.rect(), sky);
  p.setPen(QPen(QColor(120, 150, 210), 2));
  p.drawRect(QRectF(1, 1, kWidth - 2, kHeight - 2));

  DrawDisk(p, QPointF(130, 150), 96);

  QFont title = p.font();
  title.setPixelSize(40);
  title.setBold(true);
  p.setFont(title);
  p.setPen(Qt::white);
  p.drawText(QRectF(250, 70, 220, 100), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap,
             QString::fromUtf8(common::kProgramTitle));

  QFont line = p.font();
  line.setPixelSize(14);
  line.setBold(false);
  p.setFont(line);
  p.setPen(QColor(190, 208, 240));
  p.drawText(QRectF(252, 172, 216, 60), Qt::AlignLeft | Qt::TextWordWrap,
             QStringLiteral("How your files use disk space,\nand how often they are used"));
  p.setPen(QColor(140, 160, 200));
  p.drawText(QRectF(252, 250, 216, 30), Qt::AlignLeft,
             QStringLiteral("Version %1").arg(QStringLiteral(NORVEX_VERSION)));
  p.end();
  return picture;
}

SplashWindow::SplashWindow(std::chrono::milliseconds minimumTime, Clock clock)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint),
      clock_(std::move(clock)),
      start_(clock_()),
      minimumTime_(minimumTime) {
  setAttribute(Qt::WA_DeleteOnClose, false);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* picture = new QLabel(this);
  picture->setPixmap(SplashPicture());
  picture->setAlignment(Qt::AlignCenter);
  layout->addWidget(picture);
  setFixedSize(kWidth, kHeight);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
  show();
}

std::chrono::milliseconds SplashWindow::Remaining() const {
  const auto shown = std::chrono::duration_cast<std::chrono::milliseconds>(clock_() - start_);
  return shown >= minimumTime_ ? std::chrono::milliseconds(0) : minimumTime_ - shown;
}

void SplashWindow::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  emit gone();
}

}  // namespace ui
