#include "platform/environment.h"

#include <gtest/gtest.h>
#include <stdlib.h>

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

}  // namespace
}  // namespace platform
