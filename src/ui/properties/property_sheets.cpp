#include "ui/properties/property_sheets.h"

#include <QDialogButtonBox>

#include <QLabel>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cctype>

#include "common/space.h"
#include "files/host_path_text.h"
#include "scan/folder_info.h"
#include "ui/base/dialog_size.h"
#include "ui/properties/property_pages.h"
#include "ui/help/control_help.h"

namespace ui {
namespace {

DatabasePages DriveLetterPages(char letter, QWidget* parent) {
  DatabasePages made;
  for (std::size_t i = 0; i < made.pages.size(); ++i) {
    auto* page = new QWidget(parent);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(new QLabel(QString("Active database of drive %1:").arg(letter), page));
    layout->addStretch();
    made.pages[i] = page;
  }
  return made;
}

std::uint64_t DriveUsedBytes(const platform::System& system, const scan::CFolderInfo& record) {
  const std::string path = record.path();
  if (path.size() < 3) return 0;
  return common::DriveSpace(system, path.substr(0, 3)).usedBytes;
}

// The path the sheet is about, with the host path it stands for, above the tabs; OK and
// Cancel below them, the "?" button in the title bar.
QTabWidget* SheetFrame(QDialog& sheet, const QString& where) {
  sheet.setModal(true);
  KeepTitleVisible(sheet);
  sheet.setWindowFlag(Qt::WindowContextHelpButtonHint, true);
  sheet.setObjectName("PropertySheet");
  auto* layout = new QVBoxLayout(&sheet);
  auto* path = new QLabel(where, &sheet);
  path->setObjectName("HostPath");
  path->setTextFormat(Qt::PlainText);
  path->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(path);
  auto* tabs = new QTabWidget(&sheet);
  // Every tab stays in sight: the sheet widens rather than scrolling its tabs.
  tabs->setUsesScrollButtons(false);
  tabs->setElideMode(Qt::ElideNone);
  layout->addWidget(tabs);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &sheet);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &sheet, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &sheet, &QDialog::reject);
  layout->addWidget(buttons);
  AttachControlHelp(sheet);
  return tabs;
}

}  // namespace

CTreeProperties::CTreeProperties(const std::string& caption, const scan::CFolderInfo& record,
                                 platform::System& system, activity::DriveTable& table,
                                 DatabasePageFactory databasePages, QWidget* parent)
    : QDialog(parent),
      makeDatabasePages_(databasePages ? std::move(databasePages) : DatabasePageFactory(&DriveLetterPages)) {
  setWindowTitle(QString::fromStdString(caption));
  tabs_ = SheetFrame(*this, QString::fromStdString(files::WithHostPath(system, record.path())));
  // "Drive properties: " is 18 characters; the drive letter follows it.
  if (caption.starts_with("Drive") && caption.size() > 18) {
    letter_ = static_cast<char>(std::toupper(static_cast<unsigned char>(caption[18])));
    drivePage_ = new CDP_General(letter_, system, table, [this](bool on) {
      if (on) {
        AddDatabasePages();
      } else {
        RemoveDatabasePages();
      }
      GrowToFit();
    });
    tabs_->addTab(drivePage_, "General");
    tabs_->addTab(new CDP_Files(record), "Files");
    if (drivePage_->DatabaseOn()) AddDatabasePages();
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) {
      if (tabs_->widget(index) == drivePage_) drivePage_->OnActivate();
      GrowToFit();  // a page's figures may have grown since the sheet was laid out
    });
  } else {
    tabs_->addTab(new CFP_General(record, DriveUsedBytes(system, record)), "General");
  }
  tabs_->setCurrentIndex(0);
  GrowToFit();
}

void CTreeProperties::GrowToFit() {
  // The caption's minimum width keeps the layout from raising the minimum by itself, so
  // pages added to an open sheet would be clipped: take the size the contents ask for.
  layout()->activate();
  const QSize needed = sizeHint();
  setMinimumSize(needed.expandedTo(minimumSize()));
  resize(size().expandedTo(needed));
}

void CTreeProperties::AddDatabasePages() {
  if (database_.pages[0] != nullptr) return;
  database_ = makeDatabasePages_(letter_, tabs_);
  for (std::size_t i = 0; i < database_.pages.size(); ++i) {
    if (database_.pages[i]) tabs_->addTab(database_.pages[i], kDatabasePageTitles[i]);
  }
}

void CTreeProperties::RemoveDatabasePages() {
  for (QWidget*& page : database_.pages) {
    if (page == nullptr) continue;
    tabs_->removeTab(tabs_->indexOf(page));
    page->deleteLater();
    page = nullptr;
  }
}

void CTreeProperties::reject() {
  if (drivePage_) drivePage_->OnCancel();
  QDialog::reject();
}

CListProperties::CListProperties(const scan::CFolderInfo& folder,
                                 std::span<const std::uint32_t> selected,
                                 const platform::System& system, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle("Selected file(s) and/or folder(s) properties");
  std::string where = folder.path();
  if (selected.size() == 1 && selected[0] < folder.Count()) where += folder.names(selected[0]);
  tabs_ = SheetFrame(*this, QString::fromStdString(files::WithHostPath(system, where)));
  tabs_->addTab(new CSP_General(folder, selected, DriveUsedBytes(system, folder)), "General");
}

}  // namespace ui
