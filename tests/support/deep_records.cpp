#include "support/deep_records.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>

#include <stdexcept>

#include "platform/unique_fd.h"

namespace testing_support {

scan::CFolderInfo& AddFolderChain(scan::CFolderInfo& driveList, std::string_view drive, int levels,
                                  std::uint64_t fileSize) {
  scan::NewEntry folder;
  folder.source = scan::kSourceDrive;
  folder.name = drive;
  folder.kind = scan::kKindFolder;
  driveList.AddEntry(folder);
  scan::CFolderInfo* record = driveList.GetChild(driveList.Count() - 1);
  folder.source = scan::kSourceSubfolder;
  folder.name = "a";
  for (int level = 0; level < levels; ++level) {
    record->AddEntry(folder);
    record = record->GetChild(0);
  }
  scan::NewEntry file;
  file.source = static_cast<std::uint8_t>(drive[0]);
  file.name = "f";
  file.size = fileSize;
  file.compressedSize = fileSize;
  file.kind = scan::kKindFile;
  record->AddEntry(file);
  return *record;
}

void MakeFolderChain(const std::string& hostPath, int levels) {
  if (::mkdir(hostPath.c_str(), 0755) != 0) throw std::runtime_error("cannot make " + hostPath);
  platform::UniqueFd folder(::open(hostPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  for (int level = 0; level < levels && folder; ++level) {
    if (::mkdirat(folder.Get(), "a", 0755) != 0) throw std::runtime_error("cannot make a level");
    folder = platform::UniqueFd(::openat(folder.Get(), "a", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  }
  if (!folder) throw std::runtime_error("cannot open a level of " + hostPath);
}

void RunOnSmallStack(const std::function<void()>& work) {
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  pthread_attr_setstacksize(&attributes, 1 << 20);
  pthread_t thread;
  const auto run = [](void* argument) -> void* {
    (*static_cast<const std::function<void()>*>(argument))();
    return nullptr;
  };
  const int started = pthread_create(&thread, &attributes, run, const_cast<std::function<void()>*>(&work));
  pthread_attr_destroy(&attributes);
  if (started != 0) throw std::runtime_error("cannot start a thread");
  pthread_join(thread, nullptr);
}

}  // namespace testing_support
