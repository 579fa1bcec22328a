#include "ui/help/control_help.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QWidget>

namespace ui {
namespace {

struct Entry {
  const char* dialog;  // the dialog's or page's object name; "*" for any dialog
  const char* control;
  const char* text;
};

// Texts shared by the pages of a file, folder or selection sheet.
#define NORVEX_SPACE_FIGURES(page, countText)                                                   \
  {page, "Stored files:", countText},                                                         \
  {page, "Selected files:", countText},                                                       \
  {page, "Total size:", "The sum of the sizes of these files, as their contents count it."}, \
  {page, "Actual size:",                                                                      \
   "The disk space these files really take: each file occupies whole clusters, so this is "   \
   "usually more than the total size."},                                                      \
  {page, "Actually used by data:",                                                            \
   "The part of the actual size that holds file data (the blue share of the pie chart)."},    \
  {page, "Used in vain:",                                                                     \
   "Space taken by the unused ends of the files' last clusters: allocated but holding no "    \
   "data (the magenta share of the pie chart)."},                                             \
  {page, "Drive space usage:",                                                                \
   "How much of the drive's used space these files take, as a share of it."}

const Entry kEntries[] = {
    // Buttons every dialog shares, known by their role.
    {"*", "Ok", "Closes the dialog and keeps the choices made in it."},
    {"*", "Cancel", "Closes the dialog without keeping any change made in it."},

    // Property sheets of drives, folders, files and selections.
    {"PropertySheet", "Ok",
     "Closes the sheet and keeps its changes. Changes to a drive's active database are applied "
     "to its files when File Norvex closes."},
    {"PropertySheet", "HostPath",
     "The drive path the sheet is about, and the folder or file on this computer it stands for."},
    {"PropertySheet", "Cancel",
     "Closes the sheet and puts this drive's active database settings back as they were when "
     "the sheet opened."},

    {"DriveGeneral", "Type:", "The kind of drive: removable, fixed, remote, CD ROM or RAM disk."},
    {"DriveGeneral", "Used space:",
     "The space on the drive that files take, in K (1024 bytes); the blue share of the pie chart."},
    {"DriveGeneral", "Free space:",
     "The space still free on the drive, in K (1024 bytes); the magenta share of the pie chart."},
    {"DriveGeneral", "Capacity:", "The size of the whole drive, in K (1024 bytes)."},
    {"DriveGeneral", "ActiveDatabase",
     "Check to have the activity recorder watch this drive: it counts how often each file is "
     "opened and when it was last used, in the drive's active database. Checking adds the "
     "\"AD:\" pages where the database is set up; clearing removes the database when File "
     "Norvex closes."},
    {"DriveGeneral", "Stored files number:",
     "How many files the drive's active database holds records for now, and which share of "
     "its capacity that is."},

    NORVEX_SPACE_FIGURES("DriveFiles", "How many files of this drive File Norvex found when it scanned it."),
    NORVEX_SPACE_FIGURES("FolderGeneral", "How many files this folder holds, its sub-folders included."),
    NORVEX_SPACE_FIGURES("SelectionGeneral", "How many files the selection in the Files list holds."),

    // "AD: Location"
    {"AD: Location", "DatabaseDrive",
     "The drive on which this drive's active database is kept. Choose a drive with enough free "
     "space whose root folder can be written."},
    {"AD: Location", "DriveType", "The kind of the chosen drive: removable, fixed, remote, CD ROM or RAM disk."},
    {"AD: Location", "FreeSpace",
     "The space on the chosen drive, in K (1024 bytes), that the databases could use: its free "
     "space plus the space of the databases kept there now."},
    {"AD: Location", "DatabasesThere",
     "The other drives whose databases are kept on the chosen drive: how many files each can "
     "hold (Files), holds now (Stored), how full it is and its size on disk in K. Right-click a "
     "drive to delete its database or move it to another drive."},
    {"AD: Location", "Verdict",
     "Whether this drive's database fits on the chosen drive. \"The database can be stored "
     "here\" means it fits; otherwise the drive lacks free space or its root folder is read "
     "only, and another drive or a smaller database should be chosen."},
    {"AD: Location", "TheRest",
     "The space, in K (1024 bytes), left on the chosen drive after the other drives' databases "
     "kept there."},
    {"AD: Location", "Required",
     "The space, in K (1024 bytes), this drive's database needs on the chosen drive with its "
     "present size settings."},

    // "AD: Size"
    {"AD: Size", "Size",
     "How large the database is: each step towards Max doubles the number of files it can "
     "hold, and the space it takes."},
    {"AD: Size", "Efficiency",
     "How many files share one slot of the database (1 to 17). Towards High a file's record is "
     "found faster; towards Low each slot holds more files, and the database grows with them."},
    {"AD: Size", "StoreFilenames",
     "Check to keep each file's name in the database too. The names take extra disk space: "
     "the maximum filename size for every file."},
    {"AD: Size", "MaxFilenameSize", "The room kept on disk for each filename, in bytes (0 to 32767)."},
    {"AD: Size", "TotalFileNumber", "How many files the database can hold with these settings."},
    {"AD: Size", "StoredFiles", "How many files the database holds now, and which share of its capacity that is."},
    {"AD: Size", "SizeInMemory", "The memory the database takes while the recorder works, in bytes."},
    {"AD: Size", "SizeOnDisk",
     "The size of the database files on disk, in bytes, filenames included when they are "
     "stored."},

    // "AD: Date and time"
    {"AD: Date and time", "StartedAt", "When the database started recording the use of this drive's files."},
    {"AD: Date and time", "DontKnow", "The database records with no end date."},
    {"AD: Date and time", "InADay", "The database stops recording one day after it started."},
    {"AD: Date and time", "InAWeek", "The database stops recording one week after it started."},
    {"AD: Date and time", "InAMonth", "The database stops recording 30 days after it started."},
    {"AD: Date and time", "Custom",
     "The database stops recording at the date and time set below. The end is kept when you "
     "leave this page or click OK."},
    {"AD: Date and time", "Day", "The day of the month on which recording ends."},
    {"AD: Date and time", "Month", "The month in which recording ends."},
    {"AD: Date and time", "Year", "The year in which recording ends (1980 to 2099)."},
    {"AD: Date and time", "Hour", "The hour (0 to 23) at which recording ends."},
    {"AD: Date and time", "Minute", "The minute at which recording ends."},
    {"AD: Date and time", "Second", "The second at which recording ends."},

    // Action dialogs.
    {"BackupDialog", "IncludeSubfolders",
     "Check to mark the files of every sub-folder too, not only those directly in the "
     "selected folder."},
    {"BackupDialog", "BackupDrive",
     "The drive the files are copied to when they are backed up, and copied back from when "
     "they are restored. It cannot be the drive of the files themselves."},
    {"BackupDialog", "BackupDriveNote",
     "Why the chosen drive cannot take the back-up: a copy on the disk it comes from frees "
     "nothing and is lost with that disk."},
    {"BackupDialog", "Ok", "Marks the selected files for backing up or restoring with these options."},
    {"DirectoriesDialog", "SubfoldersToo", "Check to give every sub-folder of the selected folders the same action."},
    {"DirectoriesDialog", "FilesToo", "Check to give the files in the selected folders the same action."},
    {"DirectoriesDialog", "Ok", "Sets the actions with these options."},
    {"PerformDialog", "Icon", "File Norvex performs the selected actions in this window."},
    {"PerformDialog", "Action", "The action being performed now: compressing, decompressing, backing up or restoring."},
    {"PerformDialog", "CurrentFile", "The file being processed now."},
    {"PerformDialog", "FilesToProcess", "How many files with a selected action are still waiting."},
    {"PerformDialog", "Progress", "How far the run has got through the files with a selected action."},
    {"PerformDialog", "Go",
     "Performs every selected action on every scanned drive: compresses, decompresses, backs "
     "up (copies the file to the backup drive, then empties it) or restores."},
    {"PerformDialog", "Stop", "Asks whether to stop. On Yes the file being processed is finished and the run ends; the "
     "actions not yet performed stay selected."},
    {"PerformDialog", "Close", "Closes this window."},
    {"PerformDialog", "Help", "Shows help on performing actions."},
    {"OverwritePrompt", "ExistingFile", "The file on the backup drive that would be written over."},
    {"OverwritePrompt", "Versions",
     "The size of each version and when it was last written: the old file that would be written "
     "over, and the new one that would take its place."},
    {"OverwritePrompt", "Overwrite", "Writes the file over the existing copy."},
    {"OverwritePrompt", "Skip", "Leaves the existing copy as it is; this file is not backed up now."},
    {"OverwritePrompt", "All", "Writes over this copy and every other existing copy in this run without asking again."},
    {"OverwritePrompt", "Stop", "Asks whether to stop the whole run. On Yes no further file is processed, and their actions "
     "stay selected."},
    {"HintOptions", "ByAccessType",
     "Check to let hints take into account how files are opened: for reading, for writing or "
     "both. The choices last until File Norvex closes."},
    {"HintOptions", "ByLastAccess", "Check to let hints take into account when files were last used."},
    {"HintOptions", "BySize", "Check to let hints take into account how large files are."},
    {"HintOptions", "ByUsed", "Check to let hints take into account how much of the drive's space is used."},

    // Cluster size analysis.
    {"ClusterAnalysis", "Bar",
     "The filled part is the space the data would use with this cluster size; the empty rest "
     "is space wasted in the clusters' unused ends."},
    {"ClusterAnalysis", "DiskSize",
     "The drive size this cluster size allows, in MB; \"Not Allowed\" when the data needs more "
     "clusters than a drive can have."},
    {"ClusterAnalysis", "Wasted",
     "The space, in MB, that the unused ends of the files' last clusters would waste with this "
     "cluster size."},
    {"ClusterAnalysis", "Ok", "Closes the analysis."},
    {"ClusterAnalysis", "CurrentDiskSize", "The size of the drive."},
    {"ClusterAnalysis", "DataOnDisk", "The space the files' data takes, without cluster waste."},
    {"ClusterAnalysis", "FreeSpace", "The space free on the drive."},
    {"ClusterAnalysis", "CurrentClusterSize", "The cluster size the drive uses now, in bytes."},
    {"ClusterAnalysis", "OptimalClusterSize",
     "The cluster size that wastes least space while still allowing the data to fit."},
    {"ChangeClusterSize", "NewSize",
     "The cluster size to plan with, in bytes: choose one from the list or type it."},
    {"ChangeClusterSize", "OriginalSize", "The cluster size the drive uses now, in bytes."},
    {"ChangeClusterSize", "OptimalSize", "The cluster size that wastes least space on this drive, in bytes."},
    {"ChangeClusterSize", "SetOriginal", "Puts the original size into New size."},
    {"ChangeClusterSize", "SetOptimal", "Puts the optimal size into New size."},
    {"ChangeClusterSize", "SizeAnalysis", "Shows how much space each cluster size would use and waste on this drive."},
    {"ChangeClusterSize", "Help", "Shows help on cluster sizes."},
    {"ChangeClusterSize", "Ok", "Uses the new size; it is offered again the next time."},
    {"ChangeClusterSize", "Cancel", "Closes the dialog and keeps the cluster size as it was."},

    // Tip of the Day.
    {"DailyTip", "tipText", "A tip on using File Norvex."},
    {"DailyTip", "startUp", "Check to see a tip each time File Norvex starts."},
    {"DailyTip", "nextTip", "Shows the next tip."},
    {"DailyTip", "close", "Closes the tips; the start-up choice is kept."},
};

#undef NORVEX_SPACE_FIGURES

QString Find(const QString& dialog, const QString& control) {
  for (const Entry& entry : kEntries) {
    if (dialog == QLatin1String(entry.dialog) && control == QLatin1String(entry.control)) {
      return QString::fromUtf8(entry.text);
    }
  }
  return {};
}

// A button box's standard buttons carry no name of their own.
QString RoleName(const QAbstractButton& button) {
  const auto* box = qobject_cast<const QDialogButtonBox*>(button.parentWidget());
  if (!box) return {};
  switch (box->standardButton(const_cast<QAbstractButton*>(&button))) {
    case QDialogButtonBox::Ok: return QStringLiteral("Ok");
    case QDialogButtonBox::Cancel: return QStringLiteral("Cancel");
    default: return {};
  }
}

}  // namespace

QString ControlHelp(const QString& dialog, const QString& control) {
  if (control.isEmpty()) return {};
  QString text = Find(dialog, control);
  if (text.isEmpty()) text = Find(QStringLiteral("*"), control);
  return text;
}

void AttachControlHelp(QWidget& dialog) {
  const QString scope = dialog.objectName();
  for (QWidget* child : dialog.findChildren<QWidget*>()) {
    QString name = child->objectName();
    if (name.isEmpty()) {
      if (const auto* button = qobject_cast<QAbstractButton*>(child)) name = RoleName(*button);
    }
    const QString text = ControlHelp(scope, name);
    if (!text.isEmpty()) child->setWhatsThis(text);
  }
  if (dialog.isWindow()) dialog.setWindowFlag(Qt::WindowContextHelpButtonHint, true);
}

}  // namespace ui
