#include "ui/tips/daily_tip_dialog.h"

#include <QCheckBox>
#include <QFile>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "ui/tips/tip_bitmap.h"
#include "ui/tips/tip_strings.h"
#include "ui/help/control_help.h"

namespace ui {

namespace {

// The white picture frame: the bulb at its top-left corner and "Did you know..."
// beside it, vertically centred in the bulb's band. The tip text sits below.
class TipPicture : public QWidget {
 public:
  explicit TipPicture(QWidget* parent) : QWidget(parent) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.drawImage(QPoint(0, 0), TipBitmap());
    painter.setFont(HeadingFont(font()));
    painter.setPen(Qt::black);
    const QRect band(kTipBitmapWidth, 0, width() - kTipBitmapWidth, kTipBitmapHeight);
    painter.drawText(band, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     QString::fromLatin1(kDidYouKnow));
  }

 private:
  static QFont HeadingFont(QFont font) {
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.5);
    return font;
  }
};

// The dialog's 231 x 164 dialog units in pixels of its font.
QSize DialogSize(const QFont& font) {
  const QFontMetricsF metrics(font);
  const double unitX = metrics.horizontalAdvance(
                           QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
                       52.0 / 4.0;
  const double unitY = metrics.height() / 8.0;
  return QSize(qRound(231 * unitX), qRound(164 * unitY));
}

}  // namespace

CDailyTipDialog::CDailyTipDialog(const QString& configDir, const QString& tipsPath,
                                 common::Prompter& prompter, QWidget* parent)
    : QDialog(parent),
      profile_(ProfilePath(configDir)),
      tips_(profile_, prompter, QFile::encodeName(tipsPath).toStdString()) {
  setWindowTitle(QString::fromLatin1(kTipDialogCaption));
  setObjectName(QStringLiteral("DailyTip"));

  auto* picture = new TipPicture(this);
  picture->setObjectName(QStringLiteral("picture"));
  tipText_ = new QLabel;
  tipText_->setObjectName(QStringLiteral("tipText"));
  tipText_->setTextFormat(Qt::PlainText);
  tipText_->setWordWrap(true);
  tipText_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  QPalette onWhite = tipText_->palette();
  onWhite.setColor(QPalette::Window, Qt::white);
  onWhite.setColor(QPalette::WindowText, Qt::black);
  tipText_->setPalette(onWhite);
  tipText_->setAutoFillBackground(true);
  // A tip may run to 999 characters: longer ones scroll rather than being cut off.
  auto* scroller = new QScrollArea(picture);
  scroller->setFrameShape(QFrame::NoFrame);
  scroller->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  scroller->setWidgetResizable(true);
  scroller->setPalette(onWhite);
  scroller->setWidget(tipText_);
  auto* pictureLayout = new QVBoxLayout(picture);
  pictureLayout->setContentsMargins(kTipBitmapWidth, kTipBitmapHeight + 6, 8, 12);
  pictureLayout->addWidget(scroller);

  startUp_ = new QCheckBox(QString::fromLatin1(kShowTipsOnStartUp), this);
  startUp_->setObjectName(QStringLiteral("startUp"));
  nextTip_ = new QPushButton(QString::fromLatin1(kNextTip), this);
  nextTip_->setObjectName(QStringLiteral("nextTip"));
  nextTip_->setAutoDefault(false);
  auto* close = new QPushButton(QString::fromLatin1(kCloseTips), this);
  close->setObjectName(QStringLiteral("close"));
  close->setDefault(true);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(startUp_);
  buttons->addStretch(1);
  buttons->addWidget(nextTip_);
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(picture, 1);
  layout->addLayout(buttons);
  resize(DialogSize(font()));
  AttachControlHelp(*this);

  connect(nextTip_, &QPushButton::clicked, this, &CDailyTipDialog::ShowNextTip);
  connect(close, &QPushButton::clicked, this, &CDailyTipDialog::accept);

  startUp_->setChecked(tips_.ShowAtStartup());
  tipText_->setText(QString::fromUtf8(tips_.TipText()));
  nextTip_->setEnabled(tips_.CanReadTips());
}

CDailyTipDialog::~CDailyTipDialog() = default;

void CDailyTipDialog::ShowNextTip() {
  // Only the tip changes: the check box keeps what the user set until "Close".
  tips_.NextTip();
  tipText_->setText(QString::fromUtf8(tips_.TipText()));
}

// Close, Escape and the window's close button all end the dialog: each keeps the box.
void CDailyTipDialog::done(int result) {
  tips_.SetShowAtStartup(startUp_->isChecked());
  QDialog::done(result);
  tips_.SaveStartUp();
}

}  // namespace ui
