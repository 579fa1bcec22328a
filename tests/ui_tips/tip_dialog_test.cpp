#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>

#include "support_ui/qt_application.h"
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>
#include <vector>

#include "analysis/tips.h"
#include "common/prompter.h"
#include "ui/tips/daily_tip_dialog.h"
#include "ui/tips/tip_bitmap.h"
#include "ui/tips/tip_of_the_day.h"
#include "ui/tips/tip_strings.h"

namespace ui {
namespace {

using testing_support::App;

class RecordingPrompter : public common::Prompter {
 public:
  common::Answer Ask(const common::Message& message) override {
    texts.push_back(message.text);
    return common::Answer::Ok;
  }
  std::vector<std::string> texts;
};

class TipDialogTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { App(); }

  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    configDir_ = dir_.filePath(QStringLiteral("config"));
    tipsPath_ = dir_.filePath(QStringLiteral("tips.txt"));
    QFile tips(tipsPath_);
    ASSERT_TRUE(tips.open(QIODevice::WriteOnly));
    tips.write("; comment\nA\n\nB\n");
  }

  QVariant Stored(const char* key) const {
    QSettings ini(configDir_ + QStringLiteral("/norvex.ini"), QSettings::IniFormat);
    return ini.value(QStringLiteral("Tip/") + QLatin1String(key));
  }

  // Runs `inspect` on the modal dialog once it is up, then closes it with Escape.
  static void WhileModal(std::function<void(CDailyTipDialog&)> inspect) {
    QTimer::singleShot(0, [inspect] {
      auto* dialog = qobject_cast<CDailyTipDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      inspect(*dialog);
      dialog->reject();
    });
  }

  static QString TipOf(CDailyTipDialog& dialog) {
    return dialog.findChild<QLabel*>(QStringLiteral("tipText"))->text();
  }
  static QCheckBox& StartUpBox(CDailyTipDialog& dialog) {
    return *dialog.findChild<QCheckBox*>(QStringLiteral("startUp"));
  }
  static QPushButton& Button(CDailyTipDialog& dialog, const char* name) {
    return *dialog.findChild<QPushButton*>(QLatin1String(name));
  }

  QTemporaryDir dir_;
  QString configDir_;
  QString tipsPath_;
  RecordingPrompter prompter_;
};

TEST_F(TipDialogTest, ShowsItsTextsThePictureBandAndTheFirstTip) {
  CDailyTipDialog dialog(configDir_, tipsPath_, prompter_);
  EXPECT_EQ(dialog.windowTitle(), "Tip of the Day");
  EXPECT_EQ(StartUpBox(dialog).text(), "&Show Tips on StartUp");
  EXPECT_TRUE(StartUpBox(dialog).isChecked());
  EXPECT_EQ(Button(dialog, "nextTip").text(), "&Next Tip");
  EXPECT_TRUE(Button(dialog, "nextTip").isEnabled());
  EXPECT_EQ(Button(dialog, "close").text(), "&Close");
  EXPECT_TRUE(Button(dialog, "close").isDefault());
  EXPECT_EQ(TipOf(dialog), "A\n");

  dialog.show();
  const QImage picture = dialog.findChild<QWidget*>(QStringLiteral("picture"))->grab().toImage();
  EXPECT_EQ(picture.pixel(picture.width() - 2, picture.height() - 2), qRgb(255, 255, 255));
  EXPECT_EQ(picture.pixel(20, 15), TipBitmap().pixel(20, 15));  // the bulb, top-left
  int inkInBand = 0;  // "Did you know..." beside the bulb
  for (int x = kTipBitmapWidth; x < picture.width(); ++x) {
    for (int y = 0; y < kTipBitmapHeight; ++y) inkInBand += qGray(picture.pixel(x, y)) < 64;
  }
  EXPECT_GT(inkInBand, 50);
}

TEST_F(TipDialogTest, NextTipCyclesAndLeavesTheCheckBoxAsSet) {
  CDailyTipDialog dialog(configDir_, tipsPath_, prompter_);
  StartUpBox(dialog).setChecked(false);
  Button(dialog, "nextTip").click();
  EXPECT_EQ(TipOf(dialog), "B\n");
  Button(dialog, "nextTip").click();
  EXPECT_EQ(TipOf(dialog), "A\n");
  EXPECT_FALSE(StartUpBox(dialog).isChecked());
}

TEST_F(TipDialogTest, CloseAndEscapeBothStoreTheStartUpChoice) {
  {
    CDailyTipDialog dialog(configDir_, tipsPath_, prompter_);
    StartUpBox(dialog).setChecked(false);
    Button(dialog, "close").click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
  }
  EXPECT_EQ(Stored(analysis::kTipStartUpKey).toInt(), 1);
  EXPECT_EQ(Stored(analysis::kTipFilePosKey).toInt(), 12);  // behind "A\n"
  EXPECT_EQ(Stored(analysis::kTipTimeStampKey).toString().size(), 24);

  // Not shown at start-up, yet the tip read for it is passed.
  EXPECT_FALSE(ShowTipOfTheDayAtStartup(nullptr, configDir_, tipsPath_, &prompter_));
  EXPECT_EQ(Stored(analysis::kTipFilePosKey).toInt(), 15);  // behind "B\n"

  // The command still shows it, with the box unchecked; Escape keeps the box checked again.
  bool inspected = false;
  WhileModal([&](CDailyTipDialog& dialog) {
    inspected = true;
    EXPECT_EQ(TipOf(dialog), "A\n");
    EXPECT_FALSE(StartUpBox(dialog).isChecked());
    StartUpBox(dialog).setChecked(true);
  });
  ShowTipOfTheDay(nullptr, configDir_, tipsPath_, &prompter_);
  EXPECT_TRUE(inspected);
  EXPECT_EQ(Stored(analysis::kTipStartUpKey).toInt(), 0);
  EXPECT_TRUE(prompter_.texts.empty());
}

TEST_F(TipDialogTest, StartUpShowsTheDialogUntilTheBoxIsCleared) {
  bool inspected = false;
  WhileModal([&](CDailyTipDialog& dialog) { inspected = TipOf(dialog) == "A\n"; });
  EXPECT_TRUE(ShowTipOfTheDayAtStartup(nullptr, configDir_, tipsPath_, &prompter_));
  EXPECT_TRUE(inspected);
}

TEST_F(TipDialogTest, MissingTipsFileDisablesNextTip) {
  CDailyTipDialog dialog(configDir_, dir_.filePath(QStringLiteral("absent.txt")), prompter_);
  EXPECT_EQ(TipOf(dialog), analysis::kTipsFileMissing);
  EXPECT_FALSE(Button(dialog, "nextTip").isEnabled());
}

TEST(ShippedTipsFileTest, IsCopiedBesideTheProgramInTheBuildTree) {
  QFile source(QStringLiteral(NORVEX_SOURCE_DIR "/src/resources/tips.txt"));
  QFile built(QStringLiteral(NORVEX_BINARY_DIR "/src/tips.txt"));
  ASSERT_TRUE(source.open(QIODevice::ReadOnly));
  ASSERT_TRUE(built.open(QIODevice::ReadOnly));
  EXPECT_EQ(source.readAll(), built.readAll());
}

// --- the "&Help" menu's tip item ----------------------------------------------------

class HelpMenuTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { App(); }
  static QStringList Texts(const QMenu& menu) {
    QStringList texts;
    for (const QAction* action : menu.actions()) {
      texts << (action->isSeparator() ? QStringLiteral("--") : action->text());
    }
    return texts;
  }
  QMenuBar bar_;
  QAction tip_{QString::fromLatin1(kTipOfTheDayMenuText)};
};

TEST_F(HelpMenuTest, PutsTheTipItemFirstInTheLastHelpPopUpOnce) {
  QMenu* file = bar_.addMenu(QStringLiteral("&File"));
  QMenu* firstHelp = bar_.addMenu(QStringLiteral("&Help"));
  firstHelp->addAction(QStringLiteral("&Contents"));
  QMenu* help = bar_.addMenu(QStringLiteral("&Help"));
  help->addAction(QStringLiteral("&Contents"));
  help->addAction(QStringLiteral("&About File Norvex ..."));
  bar_.addMenu(QStringLiteral("Help"))->addAction(QStringLiteral("x"));  // not "&Help"

  EnsureTipOfTheDayItem(bar_, tip_);
  EnsureTipOfTheDayItem(bar_, tip_);
  EXPECT_EQ(Texts(*help), (QStringList{"Ti&p of the Day...", "--", "&Contents",
                                       "&About File Norvex ..."}));
  EXPECT_EQ(Texts(*firstHelp), QStringList{"&Contents"});
  EXPECT_TRUE(file->actions().isEmpty());
  EXPECT_EQ(bar_.actions().size(), 4);
}

TEST_F(HelpMenuTest, AnEmptyHelpPopUpGetsTheTipItem) {
  QMenu* help = bar_.addMenu(QStringLiteral("&Help"));
  EnsureTipOfTheDayItem(bar_, tip_);
  EXPECT_EQ(Texts(*help), (QStringList{"Ti&p of the Day...", "--"}));
}

TEST_F(HelpMenuTest, ABarWithoutHelpGetsOneHelpPopUpHoldingOnlyTheTip) {
  bar_.addMenu(QStringLiteral("&File"));
  EnsureTipOfTheDayItem(bar_, tip_);
  EnsureTipOfTheDayItem(bar_, tip_);
  const QList<QAction*> items = bar_.actions();
  ASSERT_EQ(items.size(), 2);
  EXPECT_EQ(items[1]->text(), "&Help");
  ASSERT_NE(items[1]->menu(), nullptr);
  EXPECT_EQ(items[1]->menu()->actions(), QList<QAction*>{&tip_});
}

}  // namespace
}  // namespace ui
