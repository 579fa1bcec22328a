#include "ui/tips/tip_of_the_day.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QStandardPaths>

#include "common/prompter.h"
#include "ui/tips/daily_tip_dialog.h"
#include "ui/tips/tip_strings.h"

namespace ui {

namespace {

constexpr const char* kTipsFileName = "tips.txt";
constexpr const char* kCreatedHelpMenuName = "tipOfTheDayHelpMenu";

// The tips file only ever reports trouble with an OK box.
class TipsMessageBox : public common::Prompter {
 public:
  explicit TipsMessageBox(QWidget* parent) : parent_(parent) {}
  common::Answer Ask(const common::Message& message) override {
    QMessageBox box(message.icon == common::Icon::Stop ? QMessageBox::Critical
                                                      : QMessageBox::Warning,
                    QString::fromLatin1(common::kProgramTitle),
                    QString::fromStdString(message.text), QMessageBox::Ok, parent_);
    box.exec();
    return common::Answer::Ok;
  }

 private:
  QWidget* parent_;
};

template <typename Run>
auto WithDialog(QWidget* parent, const QString& configDir, const QString& tipsPath,
                common::Prompter* prompter, Run run) {
  TipsMessageBox messageBox(parent);
  CDailyTipDialog dialog(configDir, tipsPath.isEmpty() ? FindTipsFile() : tipsPath,
                         prompter ? *prompter : messageBox, parent);
  return run(dialog);
}

}  // namespace

QString FindTipsFile() {
  const QString programDir = QCoreApplication::applicationDirPath();
  const QString besideProgram = programDir + u'/' + QLatin1String(kTipsFileName);
  const QStringList candidates = {
      besideProgram,
      programDir + QStringLiteral("/../share/norvex/") + QLatin1String(kTipsFileName),
      QStandardPaths::locate(QStandardPaths::GenericDataLocation,
                             QStringLiteral("norvex/") + QLatin1String(kTipsFileName)),
  };
  for (const QString& candidate : candidates) {
    if (!candidate.isEmpty() && QFileInfo(candidate).isFile()) {
      return QFileInfo(candidate).absoluteFilePath();
    }
  }
  return besideProgram;
}

bool ShowTipOfTheDayAtStartup(QWidget* parent, const QString& configDir,
                              const QString& tipsPath, common::Prompter* prompter) {
  return WithDialog(parent, configDir, tipsPath, prompter, [](CDailyTipDialog& dialog) {
    if (!dialog.ShowAtStartup()) return false;
    dialog.exec();
    return true;
  });
}

void ShowTipOfTheDay(QWidget* parent, const QString& configDir, const QString& tipsPath,
                     common::Prompter* prompter) {
  WithDialog(parent, configDir, tipsPath, prompter,
             [](CDailyTipDialog& dialog) { dialog.exec(); });
}

void PutTipItemFirst(QMenu& helpMenu, QAction& tipAction) {
  const QList<QAction*> items = helpMenu.actions();
  if (!items.isEmpty() && items.front()->text() == QLatin1String(kTipOfTheDayMenuText)) return;
  QAction* const first = items.isEmpty() ? nullptr : items.front();
  QAction* const emptyItem = helpMenu.insertSeparator(first);
  helpMenu.insertAction(emptyItem, &tipAction);
}

void EnsureTipOfTheDayItem(QMenuBar& menuBar, QAction& tipAction) {
  QMenu* help = nullptr;
  for (QAction* item : menuBar.actions()) {
    if (item->menu() && item->text() == QLatin1String(kHelpMenuTitle)) help = item->menu();
  }
  if (help) {
    PutTipItemFirst(*help, tipAction);
    return;
  }
  auto* created = menuBar.findChild<QMenu*>(QLatin1String(kCreatedHelpMenuName),
                                            Qt::FindDirectChildrenOnly);
  if (!created) {
    created = new QMenu(QString::fromLatin1(kHelpMenuTitle), &menuBar);
    created->setObjectName(QLatin1String(kCreatedHelpMenuName));
    created->addAction(&tipAction);
  }
  menuBar.addMenu(created);
  menuBar.update();
}

}  // namespace ui
