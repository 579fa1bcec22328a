#include "shell/options.h"

namespace shell {

bool IsOn(OptionStore& store, const std::string& name) { return store.Read(name) == kOn; }

void WriteOnOff(OptionStore& store, const std::string& name, bool on) {
  store.Write(name, on ? kOn : kOff);
}

}  // namespace shell
