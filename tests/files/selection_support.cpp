#include "selection_support.h"

namespace selection_testing {

namespace {

scan::NewEntry Entry(std::string_view name, std::uint8_t kind, std::uint8_t source) {
  scan::NewEntry entry;
  entry.name = name;
  entry.kind = kind;
  entry.source = source;
  entry.size = 100;
  entry.compressedSize = 100;
  entry.clusterSize = 4096;
  return entry;
}

scan::NewEntry File(std::string_view name) { return Entry(name, scan::kKindFile, 'C'); }
scan::NewEntry Folder(std::string_view name) {
  return Entry(name, scan::kKindFolder, scan::kSourceSubfolder);
}

}  // namespace

SelectionFixture::SelectionFixture() {
  driveList.AddEntry(Entry("C:", scan::kKindFolder, scan::kSourceDrive));
  scan::CFolderInfo& drive = *driveList.GetChild(0);
  drive.AddEntry(Folder("Work"));
  work = drive.GetChild(0);
  work->AddEntry(File("a.txt"));
  work->AddEntry(File("b.txt"));
  work->AddEntry(Folder("Sub"));
  work->AddEntry(File("c.txt"));
  Sub().AddEntry(File("x.txt"));
  Sub().AddEntry(Folder("Deep"));
  Deep().AddEntry(File("y.txt"));
  list.record = work;
}

}  // namespace selection_testing
