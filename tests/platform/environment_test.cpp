#include "platform/environment.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>

#include <map>
#include <optional>

namespace platform {
namespace {

// Sets variables for one test and puts the old values back.
class ScopedVariables {
 public:
  explicit ScopedVariables(const std::map<std::string, std::optional<std::string>>& values) {
    for (const auto& [name, value] : values) {
      const char* old = std::getenv(name.c_str());
      saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
      if (value) ::setenv(name.c_str(), value->c_str(), 1);
      else ::unsetenv(name.c_str());
    }
  }
  ~ScopedVariables() {
    for (const auto& [name, value] : saved_) {
      if (value) ::setenv(name.c_str(), value->c_str(), 1);
      else ::unsetenv(name.c_str());
    }
  }

 private:
  std::map<std::string, std::optional<std::string>> saved_;
};

const std::map<std::string, std::optional<std::string>> kClean = {
    {"NORVEX_DRIVES", std::nullopt},   {"NORVEX_STATE_DIR", std::nullopt},
    {"NORVEX_CONFIG_DIR", std::nullopt}, {"NORVEX_RECORDER", std::nullopt},
    {"XDG_STATE_HOME", "/xdg/state"},  {"XDG_CONFIG_HOME", "/xdg/config"},
    {"XDG_RUNTIME_DIR", "/run/user/7"}, {"HOME", "/home/u"}};

TEST(Environment, TakesGlobalOptionsInBothFormsAndLeavesTheRest) {
  ScopedVariables variables(kClean);
  std::vector<std::string> args = {"scan",        "--drives",        "C=/c,D=/d=Data", "X:\\a",
                                   "--state-dir=/s", "--config-dir", "/cfg",          "--recorder=/r.sock",
                                   "--json"};
  std::string error;
  const auto environment = Environment::FromArguments(args, &error);
  ASSERT_TRUE(environment) << error;
  EXPECT_EQ(args, (std::vector<std::string>{"scan", "X:\\a", "--json"}));
  EXPECT_EQ(environment->drives.ToString(), "C=/c,D=/d=Data");
  EXPECT_EQ(environment->stateDir, "/s");
  EXPECT_EQ(environment->configDir, "/cfg");
  EXPECT_EQ(environment->recorderSocket, "/r.sock");
}

TEST(Environment, VariablesThenXdgDefaults) {
  {
    ScopedVariables variables(kClean);
    std::vector<std::string> args;
    const auto environment = Environment::FromArguments(args, nullptr);
    ASSERT_TRUE(environment);
    EXPECT_EQ(environment->stateDir, "/xdg/state/norvex");
    EXPECT_EQ(environment->configDir, "/xdg/config/norvex");
    EXPECT_EQ(environment->recorderSocket, "/run/user/7/norvex/recorder.sock");
    ASSERT_NE(environment->drives.Find('C'), nullptr);
    EXPECT_EQ(environment->drives.Find('C')->root, "/xdg/state/norvex");
  }
  {
    ScopedVariables variables(kClean);
    ScopedVariables more({{"XDG_STATE_HOME", std::nullopt}, {"XDG_CONFIG_HOME", "relative"},
                          {"NORVEX_DRIVES", "D=/data"}, {"NORVEX_RECORDER", "/v.sock"}});
    std::vector<std::string> args = {"--state-dir", "/opt"};
    const auto environment = Environment::FromArguments(args, nullptr);
    ASSERT_TRUE(environment);
    EXPECT_EQ(environment->configDir, "/home/u/.config/norvex");  // a relative XDG value is ignored
    EXPECT_EQ(environment->recorderSocket, "/v.sock");
    // A map without C: keeps the drive table in the state directory.
    EXPECT_EQ(environment->drives.ToString(), "C=/opt,D=/data");
  }
}

TEST(Environment, BadValuesAreRefusedWithAMessage) {
  ScopedVariables variables(kClean);
  for (const std::vector<std::string>& bad :
       {std::vector<std::string>{"--drives"}, {"--drives", "C"}, {"--state-dir="},
        {"--drives=C=/a,C=/b"}}) {
    std::vector<std::string> args = bad;
    std::string error;
    EXPECT_FALSE(Environment::FromArguments(args, &error)) << bad.front();
    EXPECT_FALSE(error.empty());
  }
  ScopedVariables broken(std::map<std::string, std::optional<std::string>>{{"NORVEX_DRIVES", "nonsense"}});
  std::vector<std::string> args;
  std::string error;
  EXPECT_FALSE(Environment::FromArguments(args, &error));
  EXPECT_NE(error.find("nonsense"), std::string::npos);
}

TEST(Environment, OptionsAfterDoubleDashBelongToTheCommand) {
  ScopedVariables variables(kClean);
  std::vector<std::string> args = {"key", "--", "--drives", "x"};
  ASSERT_TRUE(Environment::FromArguments(args, nullptr));
  EXPECT_EQ(args.size(), 4u);
}

// The machine's folder is taken only by an installed program, only when the package made
// it, and never over a folder the user names.
TEST(Environment, InstalledProgramUsesTheMachineStateTheBuildTreeDoesNot) {
  ScopedVariables variables(kClean);
  const std::filesystem::path machineDir = std::filesystem::path(::testing::TempDir()) / "norvex-machine";
  std::filesystem::create_directories(machineDir);
  MachinePaths machine{machineDir.string(), "/machine/recorder.sock", "/usr/bin/norvex-cli"};
  const auto resolve = [&](std::vector<std::string> args) {
    auto environment = Environment::FromArguments(args, nullptr, machine);
    EXPECT_TRUE(environment);
    return environment.value_or(Environment{});
  };

  Environment installed = resolve({});
  EXPECT_EQ(installed.stateDir, machineDir.string());
  EXPECT_EQ(installed.recorderSocket, "/machine/recorder.sock");
  EXPECT_TRUE(installed.machineState);

  EXPECT_EQ(resolve({"--state-dir=/mine"}).stateDir, "/mine");
  EXPECT_FALSE(resolve({"--state-dir=/mine"}).machineState);
  {
    ScopedVariables named(std::map<std::string, std::optional<std::string>>{{"NORVEX_RECORDER", "/own.sock"}});
    EXPECT_EQ(resolve({}).recorderSocket, "/own.sock");
  }

  machine.executable = "/work/build/src/norvex";
  EXPECT_EQ(resolve({}).stateDir, "/xdg/state/norvex");
  EXPECT_EQ(resolve({}).recorderSocket, "/run/user/7/norvex/recorder.sock");

  machine.executable = "/usr/bin/norvex";
  machine.stateDir = (machineDir / "not-installed").string();
  EXPECT_EQ(resolve({}).stateDir, "/xdg/state/norvex");
  EXPECT_FALSE(resolve({}).machineState);
}

// Files made in a group's setgid state folder stay writable for the group; elsewhere the
// user's own umask is kept.
TEST(Environment, GroupSharedStateKeepsGroupWrite) {
  const std::filesystem::path plain = std::filesystem::path(::testing::TempDir()) / "norvex-plain";
  const std::filesystem::path shared = std::filesystem::path(::testing::TempDir()) / "norvex-shared";
  std::filesystem::create_directories(plain);
  std::filesystem::create_directories(shared);
  ASSERT_EQ(::chmod(shared.c_str(), 02770), 0);
  const mode_t saved = ::umask(022);
  ShareNewFilesWithStateGroup(plain.string());
  EXPECT_EQ(::umask(022), 022);
  ShareNewFilesWithStateGroup(shared.string());
  EXPECT_EQ(::umask(saved), 007);
}

}  // namespace
}  // namespace platform
