#include "run/input_check.h"

#include <gtest/gtest.h>

using namespace orvane;

TEST(InputCheck, DistanceCountsLettersAndSwapsIgnoringCase) {
  EXPECT_EQ(WordDistance("ENERGY", "energy"), 0);
  EXPECT_EQ(WordDistance("Temperatur", "Temperature"), 1);
  EXPECT_EQ(WordDistance("ENEGRY", "ENERGY"), 1);
  EXPECT_EQ(WordDistance("ENERGIE", "ENERGY"), 2);
  EXPECT_EQ(WordDistance("", "Dose"), 4);
}

TEST(InputCheck, MistypedKeywordsAndTheWordsThatAreNot) {
  EXPECT_TRUE(LooksLikeKeyword("Energy", "ENERGY"));
  EXPECT_TRUE(LooksLikeKeyword("tha", "Tha"));  // case only: any length
  EXPECT_TRUE(LooksLikeKeyword("NumberofImplants", "NumberOfImplants"));
  EXPECT_TRUE(LooksLikeKeyword("Doses", "Dose"));
  EXPECT_FALSE(LooksLikeKeyword("ENERGY", "ENERGY"));  // the keyword itself
  EXPECT_FALSE(LooksLikeKeyword("The", "Tha"));        // short words: case only
  EXPECT_FALSE(LooksLikeKeyword("Layer", "NextLayer"));
  EXPECT_FALSE(LooksLikeKeyword("ENERGIES!!", "ENERGY"));
}

TEST(InputCheck, UnitWords) {
  for (const char* unit : {"eV", "keV", "MeV", "nm", "A", "deg", "degrees", "K", "cm-2", "at/cm^2"}) {
    EXPECT_TRUE(IsUnitWord(unit)) << unit;
  }
  for (const char* word : {"a", "k", "the", "ions", "Dose"}) EXPECT_FALSE(IsUnitWord(word)) << word;
  EXPECT_EQ(KeywordUnit("ENERGY"), "eV");
  EXPECT_EQ(KeywordUnit("NumberOfImplants"), "");
}
