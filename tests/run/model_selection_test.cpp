#include "run/model_selection.h"

#include <gtest/gtest.h>

using namespace orvane;

namespace {
struct ModelEntry {
  const char* key;
  const char* description;
};
const ModelEntry kStopping[] = {
    {"None", "No stopping"}, {"ZBL", "BK stopping"}, {"Our", "Our model"}, {"?", "This help"}};
const ModelEntry kIonization[] = {{"ZBL", "ZBL ionization"},
                                  {"BK", "BK  ionization"},
                                  {"CGJ", "CGJ ionization"},
                                  {"MP", "MP  ionization"}};
const char* kStoppingHeading = "# The stopping you can select are:\n";
const char* kIonizationHeading = "# The ionization you can select are:\n";

int Select(const char* text, const ModelEntry* entries, const char* heading, int status) {
  char name[80];
  std::snprintf(name, sizeof name, "%s", text);
  return SelectModel(name, entries, 4, heading, status);
}
}  // namespace

TEST(ModelSelection, NamesWithTheReadersFinalBlank) {
  EXPECT_EQ(Select("ZBL ", kStopping, kStoppingHeading, 502), 1);
  EXPECT_EQ(Select("Our ", kStopping, kStoppingHeading, 502), 2);
  EXPECT_EQ(Select("None ", kStopping, kStoppingHeading, 502), 0);
  // "?" selects the help entry itself, which computes no stopping.
  EXPECT_EQ(Select("? ", kStopping, kStoppingHeading, 502), 3);
  EXPECT_EQ(Select("MP ", kIonization, kIonizationHeading, 503), 3);
}

TEST(ModelSelectionDeathTest, UnknownNamesListTheModels) {
  const char* stoppingListing =
      "# The stopping you can select are:\n# \\?\n#  This help\n# Our\n#  Our model\n"
      "# ZBL\n#  BK stopping\n# None\n#  No stopping\n";
  EXPECT_EXIT(Select("zbl ", kStopping, kStoppingHeading, 502), testing::ExitedWithCode(502 & 0xFF),
              stoppingListing);
  // An empty name (the keyword followed by the closing word) matches nothing.
  EXPECT_EXIT(Select("", kStopping, kStoppingHeading, 502), testing::ExitedWithCode(502 & 0xFF),
              stoppingListing);
  EXPECT_EXIT(Select("XYZ ", kIonization, kIonizationHeading, 503),
              testing::ExitedWithCode(503 & 0xFF),
              "# The ionization you can select are:\n# MP\n#  MP  ionization\n# CGJ\n#  CGJ "
              "ionization\n# BK\n#  BK  ionization\n# ZBL\n#  ZBL ionization\n");
}
