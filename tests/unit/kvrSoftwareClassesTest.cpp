// The start-up registration: every definition class once, in catalogue order.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "definitions/kvrSoftwareClasses.h"

namespace ombrant::test {
namespace {

// The order of every application list the wizard shows.
const std::vector<std::string_view> kCatalogueOrder = {
    "TInstalledSoftwareInternetExplorer",
    "TInstalledSoftwareOutlookExpress",
    "TInstalledSoftwareWindowsLiveMessenger",
    "TInstalledSoftwareWindowsLiveMail",
    "TInstalledSoftwareWindowsMediaPlayer",
    "TInstalledSoftwareBeonex",
    "TInstalledSoftwareFirefox",
    "TInstalledSoftwareKMeleon",
    "TInstalledSoftwareLolifox",
    "TInstalledSoftwareNetscape",
    "TInstalledSoftwareSeaMonkey",
    "TInstalledSoftwareThunderbird",
    "TInstalledSoftwareWyzo",
    "TInstalledSoftwareSongbird",
    "TInstalledSoftwareQtrax",
    "TInstalledSoftwareOpera",
    "TInstalledSoftwareSafari",
    "TInstalledSoftwareQuickTime",
    "TInstalledSoftwareEudora",
    "TInstalledSoftwareEvolution",
    "TInstalledSoftwareMulberry",
    "TInstalledSoftwarePegasus",
    "TInstalledSoftwarePostMe",
    "TInstalledSoftwareSylpheed",
    "TInstalledSoftwareTheBat",
    "TInstalledSoftware1und1GMX",
    "TInstalledSoftware1und1WebDe",
    "TInstalledSoftwareAIM6",
    "TInstalledSoftwareDigsby",
    "TInstalledSoftwareGaduGadu",
    "TInstalledSoftwareGoogleTalk",
    "TInstalledSoftwareICQ",
    "TInstalledSoftwareICQ6",
    "TInstalledSoftwareMiranda",
    "TInstalledSoftwarePidgin",
    "TInstalledSoftwareSkype",
    "TInstalledSoftwareTlenPL",
    "TInstalledSoftwareTrillian",
    "TInstalledSoftwareVoipBuster",
    "TInstalledSoftwareVoipStunt",
    "TInstalledSoftwareYahooMessenger",
    "TInstalledSoftwareQQ2003",
    "TInstalledSoftwareQQ2005",
    "TInstalledSoftwareQQ2007",
    "TInstalledSoftwareDivXPlayer",
    "TInstalledSoftwareFoobar2000",
    "TInstalledSoftwareLightAlloy",
    "TInstalledSoftwareQuintEssentialPlayer",
    "TInstalledSoftwareRealPlayer",
    "TInstalledSoftwareVideoLanClient",
    "TInstalledSoftwareWinAmp",
    "TInstalledSoftwareZoomPlayer",
};

// Today's browsers, after all of the older classes.
const std::vector<std::string_view> kTodaysClasses = {
    "TInstalledSoftwareChrome",
    "TInstalledSoftwareEdge",
    "TInstalledSoftwareBrave",
};

std::vector<std::string_view> FullOrder() {
  std::vector<std::string_view> order = kCatalogueOrder;
  order.insert(order.end(), kTodaysClasses.begin(), kTodaysClasses.end());
  return order;
}

std::vector<std::string_view> RegisteredNames() {
  TSoftwareClassRegistry registry;
  RegisterSoftwareClasses(registry);
  std::vector<std::string_view> names;
  for (const TSoftwareClass& softwareClass : registry.Classes()) {
    names.push_back(softwareClass.Name);
  }
  return names;
}

// Holds whichever families are registered so far: each known class once, none out of order.
TEST(RegisterSoftwareClasses, RegistersKnownClassesOnceInCatalogueOrder) {
  const std::vector<std::string_view> names = RegisteredNames();
  const std::vector<std::string_view> order = FullOrder();
  std::size_t next = 0;
  for (const std::string_view name : names) {
    std::size_t at = next;
    while (at < order.size() && order[at] != name) ++at;
    ASSERT_LT(at, order.size()) << name << " is unknown, repeated or out of order";
    next = at + 1;
  }
  // The chat and telephony clients are all there, one after the other.
  const auto first = std::find(names.begin(), names.end(), "TInstalledSoftware1und1GMX");
  ASSERT_NE(first, names.end());
  const std::vector<std::string_view> chat(
      first, first + std::min<std::ptrdiff_t>(19, names.end() - first));
  EXPECT_EQ(chat, std::vector<std::string_view>(kCatalogueOrder.begin() + 25,
                                                kCatalogueOrder.begin() + 44));
}

TEST(RegisterSoftwareClasses, RegistersTheFiftyTwoClassesInCatalogueOrder) {
  const std::vector<std::string_view> names = RegisteredNames();
  ASSERT_GE(names.size(), kCatalogueOrder.size());
  EXPECT_EQ(std::vector<std::string_view>(names.begin(), names.begin() + 52), kCatalogueOrder);
}

TEST(RegisterSoftwareClasses, RegistersTodaysBrowsersAfterTheOthers) {
  EXPECT_EQ(RegisteredNames(), FullOrder());
}

}  // namespace
}  // namespace ombrant::test
