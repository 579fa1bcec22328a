// The three database pages on the offscreen platform: what they show and what they store
// when they are left.

#include <gtest/gtest.h>

#include <QApplication>

#include "support_ui/qt_application.h"
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QCheckBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeWidget>

#include "activity/database_location.h"
#include "activity/drive_table.h"
#include "platform/dos_time.h"
#include "activity/app_state.h"
#include "shell/scripted_prompter.h"
#include "shell/shutdown.h"
#include "support/faulty_system.h"
#include "support/temp_drives.h"
#include "ui/commands/command_ids.h"
#include "ui/dbpages/date_time_page.h"
#include "ui/dbpages/location_page.h"
#include "ui/dbpages/size_page.h"
#include "ui/properties/property_pages.h"
#include "ui/properties/property_sheets.h"
#include "scan/folder_info.h"
#include "scan/record_path.h"

namespace ui {
namespace {

using activity::DriveNumber;
using activity::DriveRecord;
using activity::SpanChoice;

using testing_support::App;

std::uint32_t Dos(int y, int mo, int d, int h = 12) {
  return platform::PackDosDateTime({static_cast<std::uint16_t>(y), static_cast<std::uint16_t>(mo), 0,
                                    static_cast<std::uint16_t>(d), static_cast<std::uint16_t>(h), 0, 0, 0});
}

class PagesTest : public ::testing::Test {
 protected:
  PagesTest() : faulty(drives.System()) {
    App();
    EXPECT_TRUE(table.Load(drives.System()));
    DriveRecord c;
    c.drive = DriveNumber('C');
    c.location = DriveNumber('C');
    c.spanStart = Dos(2024, 2, 1);
    DriveRecord d = c;
    d.drive = DriveNumber('D');
    table.NewState() = {c, d};
    EXPECT_TRUE(table.Save(drives.System()));
    EXPECT_TRUE(table.Load(drives.System()));
  }
  DriveRecord& RecordOf(char letter) {
    return table.NewState()[static_cast<std::size_t>(table.Find(DriveNumber(letter)))];
  }

  testing_support::TempDrives drives{"CDE"};
  testing_support::FaultySystem faulty;
  testing_support::ScriptedPrompter prompter;
  activity::DriveTable table;
  DatabasePageContext context{table, faulty, prompter, {},
                              [] { return QStringList{"C: state", "D: data", "E: spare"}; }, {}};
};

// What a page cannot show at its present size: a label narrower than its text, or the
// page itself smaller than its layout needs.
std::vector<std::string> ClippedContents(QWidget& page) {
  std::vector<std::string> clipped;
  const QSize needed = page.minimumSizeHint();
  if (page.width() < needed.width() || page.height() < needed.height()) {
    clipped.push_back(page.objectName().toStdString() + " page");
  }
  for (const QLabel* label : page.findChildren<QLabel*>()) {
    if (label->isVisibleTo(&page) && !label->wordWrap() && label->width() < label->sizeHint().width()) {
      clipped.push_back(label->text().toStdString());
    }
  }
  return clipped;
}

TEST_F(PagesTest, TheDriveSheetGrowsSoThatEveryPageAndTabFits) {
  const DatabasePageFactory databasePages = [this](char letter, QWidget* parent) {
    DatabasePages pages;
    pages.pages = {new CDP_DateTime(letter, context, parent), new CDP_Size(letter, context, parent),
                   new CDP_Location(letter, context, parent)};
    return pages;
  };
  table.NewState().erase(table.NewState().begin() + table.Find(DriveNumber('D')));
  // C:'s database, listed on D:'s location page, as large as it gets: wide figures.
  RecordOf('C').bucketMask = 0xFFFF;
  RecordOf('C').bucketSize = 17;
  RecordOf('C').namesState = 0;
  RecordOf('C').maxNameSize = 32767;
  RecordOf('C').recordsInUse = 1114112;
  scan::CFolderInfo driveList;
  CTreeProperties sheet("Drive properties: D: data", scan::RecordForPath(driveList, "D:\\"), faulty, table,
                        databasePages);
  sheet.show();
  QCoreApplication::processEvents();
  sheet.DrivePage()->DatabaseBox().click();  // adds the three database pages to the open sheet
  QCoreApplication::processEvents();
  ASSERT_EQ(sheet.Tabs().count(), 5);
  EXPECT_LE(sheet.Tabs().tabBar()->sizeHint().width(), sheet.Tabs().width()) << "a tab is cut off";
  for (int i = 0; i < sheet.Tabs().count(); ++i) {
    sheet.Tabs().setCurrentIndex(i);
    QCoreApplication::processEvents();
    EXPECT_EQ(ClippedContents(*sheet.Tabs().widget(i)), std::vector<std::string>{})
        << sheet.Tabs().tabText(i).toStdString();
  }
}

TEST_F(PagesTest, SizePageStoresSlidersAndNamesOnLeaving) {
  CDP_Size page('C', context);
  EXPECT_EQ(page.SizeSlider().value(), 10);
  EXPECT_FALSE(page.MaxNameSize().isEnabled());
  EXPECT_EQ(page.Figure(0), "4096");

  page.Activate();
  page.SizeSlider().setValue(0);
  page.EfficiencySlider().setValue(1);
  EXPECT_EQ(page.Figure(0), "1") << "figures follow the sliders";
  page.StoreNames().setChecked(true);
  EXPECT_TRUE(page.MaxNameSize().isEnabled());
  EXPECT_EQ(RecordOf('C').bucketMask, 1023) << "nothing stored before the page is left";
  page.Deactivate();
  EXPECT_EQ(RecordOf('C').bucketMask, 0);
  EXPECT_EQ(RecordOf('C').bucketSize, 1);
  EXPECT_EQ(RecordOf('C').namesState, 0);

  page.Activate();
  page.SizeSlider().setValue(16);
  page.Deactivate();
  EXPECT_EQ(RecordOf('C').bucketMask, 65535);
}

TEST_F(PagesTest, DateTimePageChoosesByWholeDaysAndStoresTheShownEnd) {
  RecordOf('C').spanEnd = Dos(2024, 3, 2);  // 30 days
  RecordOf('D').spanEnd = Dos(2024, 3, 3);  // 31 days
  CDP_DateTime month('C', context);
  CDP_DateTime custom('D', context);
  EXPECT_EQ(month.Chosen(), SpanChoice::Month);
  EXPECT_FALSE(month.Spin(0).isEnabled());
  EXPECT_EQ(custom.Chosen(), SpanChoice::Custom);
  EXPECT_TRUE(custom.Spin(0).isEnabled());
  EXPECT_EQ(month.StartLabel().text(), "12:00:00 of 01 February 2024");

  // February of a leap year, then of a common year: the day range follows, day 1.
  custom.Spin(1).setValue(2);
  EXPECT_EQ(custom.Spin(0).maximum(), 29);
  EXPECT_EQ(custom.Spin(0).value(), 1);
  custom.Spin(2).setValue(2025);
  EXPECT_EQ(custom.Spin(0).maximum(), 28);
  custom.Spin(1).setValue(12);
  custom.Spin(1).stepBy(1);
  EXPECT_EQ(custom.Spin(1).value(), 12) << "a step past December is refused";
  EXPECT_EQ(custom.Spin(1).text(), "December");
  custom.Spin(2).setValue(2099);
  custom.Spin(2).stepBy(1);
  EXPECT_EQ(custom.Spin(2).value(), 2099) << "2100 is refused";

  custom.Activate();
  custom.Radio(SpanChoice::Week).click();
  custom.Deactivate();
  EXPECT_EQ(RecordOf('D').spanEnd, Dos(2024, 2, 8));
  custom.Activate();
  custom.Radio(SpanChoice::DontKnow).click();
  custom.Deactivate();
  EXPECT_EQ(RecordOf('D').spanEnd, activity::kNoSpanEnd);
}

TEST_F(PagesTest, LocationPageVerdictsAndCommands) {
  faulty.ReadOnlyRoot('E');
  CDP_Location page('C', context);
  EXPECT_EQ(page.Drives().currentIndex(), 0) << "starts on the record's location";
  page.Activate();
  EXPECT_EQ(page.Verdict(), activity::kVerdictFits);
  EXPECT_EQ(page.List().topLevelItemCount(), 1) << "D's database shares C:";
  EXPECT_EQ(page.List().topLevelItem(0)->text(0), "D:");
  EXPECT_EQ(page.List().topLevelItem(0)->text(4), "0%");

  page.Drives().setCurrentIndex(2);
  EXPECT_EQ(page.Verdict(), activity::kVerdictReadOnly);
  EXPECT_EQ(RecordOf('C').location, DriveNumber('E')) << "stored at once";
  EXPECT_FALSE(page.List().isEnabled());
  page.Deactivate();
  ASSERT_EQ(prompter.asked.size(), 1u);
  EXPECT_EQ(prompter.asked[0].text, activity::kLeaveLocationWarning);
  EXPECT_EQ(RecordOf('C').location, DriveNumber('E')) << "the choice stays";

  page.Drives().setCurrentIndex(0);
  const std::unique_ptr<QMenu> menu = page.BuildMenu(DriveNumber('D'));
  const QList<QAction*> items = menu->actions();
  ASSERT_EQ(items.size(), 5);
  EXPECT_EQ(items[0]->text(), "Delete database");
  EXPECT_TRUE(items[1]->isSeparator());
  EXPECT_TRUE(items[4]->text().endsWith(", read only "));
  EXPECT_FALSE(items[4]->isEnabled());

  page.OnCommand(cmd::kMoveDatabaseFirst + 3);  // D:
  EXPECT_EQ(RecordOf('D').location, DriveNumber('D'));
  EXPECT_EQ(page.List().topLevelItemCount(), 0);

  prompter.answers = {common::Answer::Yes};
  page.OnCommand(cmd::kDeleteDatabase);
  EXPECT_EQ(prompter.asked.back().text, "Do you really want do delete database for the D: drive ?");
  EXPECT_EQ(table.Find(DriveNumber('D')), -1);
}

TEST_F(PagesTest, CancelledSheetStoresNothingConfirmedOneStoresTheFrontPage) {
  for (const bool confirm : {false, true}) {
    QDialog sheet;
    auto* page = new CDP_Size('D', context, &sheet);
    sheet.show();
    ASSERT_TRUE(page->isVisible());
    page->SizeSlider().setValue(3);
    if (confirm) {
      sheet.accept();
    } else {
      sheet.reject();
    }
    EXPECT_EQ(RecordOf('D').bucketMask, confirm ? 7 : 1023) << confirm;
  }
}

TEST_F(PagesTest, DatabaseMovedOnTheLocationPageIsFoundThereAfterExit) {
  activity::AppState state;
  ASSERT_TRUE(state.driveTable.Load(drives.System()));
  drives.WriteFile("C:\\FileTblD.NVX", "recorded accesses");
  DatabasePageContext appContext{state.driveTable, faulty, prompter, {}, context.driveTexts, {}};
  {
    QDialog sheet;
    auto* page = new CDP_Location('D', appContext, &sheet);
    sheet.show();
    page->Drives().setCurrentIndex(1);
    EXPECT_EQ(page->Verdict(), activity::kVerdictFits);
    sheet.accept();
  }
  EXPECT_TRUE(drives.Exists("C:\\FileTblD.NVX")) << "no file is touched while the program runs";
  ASSERT_TRUE(shell::RunShutdown({state, faulty, prompter, nullptr, {}, drives.Dir()}));
  EXPECT_EQ(drives.ReadFile("D:\\FileTblD.NVX"), "recorded accesses");
  EXPECT_FALSE(drives.Exists("C:\\FileTblD.NVX"));
  activity::DriveTable saved;
  ASSERT_TRUE(saved.Load(drives.System()));
  EXPECT_EQ(saved.OldState()[static_cast<std::size_t>(saved.Find(DriveNumber('D'), activity::TableState::Old))].location,
            DriveNumber('D'));
}

}  // namespace
}  // namespace ui
