// Feeds files to a fuzz target's LLVMFuzzerTestOneInput, so that the normal build (g++,
// no libFuzzer) runs every corpus input as a test. Arguments are files or folders (every
// regular file in a folder, in name order). Fails when there is nothing to replay: a
// missing corpus must not pass as an empty one.

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace {

bool IsFolder(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

void AddInputs(const std::string& path, std::vector<std::string>& inputs) {
  if (!IsFolder(path)) {
    inputs.push_back(path);
    return;
  }
  std::vector<std::string> found;
  if (DIR* dir = ::opendir(path.c_str())) {
    while (const dirent* entry = ::readdir(dir)) {
      const std::string file = path + "/" + entry->d_name;
      struct stat info {};
      if (entry->d_name[0] != '.' && ::stat(file.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
        found.push_back(file);
      }
    }
    ::closedir(dir);
  }
  std::sort(found.begin(), found.end());
  inputs.insert(inputs.end(), found.begin(), found.end());
}

}  // namespace

int main(int argc, char** argv) {
  if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&argc, &argv);
  std::vector<std::string> inputs;
  for (int i = 1; i < argc; ++i) AddInputs(argv[i], inputs);
  if (inputs.empty()) {
    std::fprintf(stderr, "no inputs to replay\n");
    return 1;
  }
  for (const std::string& input : inputs) {
    std::ifstream file(input, std::ios::binary);
    if (!file) {
      std::fprintf(stderr, "cannot read %s\n", input.c_str());
      return 1;
    }
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
    std::fprintf(stderr, "%s\n", input.c_str());
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  }
  std::printf("replayed %zu inputs\n", inputs.size());
  return 0;
}
