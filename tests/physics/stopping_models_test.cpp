#include "physics/stopping_models.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using namespace orvane;

namespace {

StoppingParameters With(int ionization, double rs0) {
  return {kIonizationModels[ionization].function, rs0};
}

void ExpectRelative(double actual, double expected, double tolerance = 1e-9) {
  EXPECT_NEAR(actual, expected, tolerance * std::abs(expected)) << "expected " << expected;
}

enum { kZbl = 0, kBk = 1, kCgj = 2, kMp = 3 };

}  // namespace

TEST(StoppingModelTables, KeysDescriptionsAndDefaults) {
  const char* keys[] = {"None", "ZBL", "Our", "?"};
  const char* descriptions[] = {"No stopping", "BK stopping", "Our model", "This help"};
  for (int i = 0; i < kStoppingModelCount; ++i) {
    EXPECT_STREQ(kStoppingModels[i].key, keys[i]);
    EXPECT_STREQ(kStoppingModels[i].description, descriptions[i]);
    EXPECT_LE(std::strlen(kStoppingModels[i].key), 10u);
  }
  const char* ionizationKeys[] = {"ZBL", "BK", "CGJ", "MP"};
  const char* ionizationDescriptions[] = {"ZBL ionization", "BK  ionization", "CGJ ionization",
                                          "MP  ionization"};
  for (int i = 0; i < kIonizationModelCount; ++i) {
    EXPECT_STREQ(kIonizationModels[i].key, ionizationKeys[i]);
    EXPECT_STREQ(kIonizationModels[i].description, ionizationDescriptions[i]);
  }
  EXPECT_STREQ(kStoppingModels[kDefaultStoppingModel].key, "Our");
  EXPECT_STREQ(kIonizationModels[kDefaultIonizationModel].key, "BK");
  EXPECT_EQ(kDefaultRS0, 1.8);
  // The help entry computes what "None" computes.
  EXPECT_EQ(kStoppingModels[3].function, kStoppingModels[0].function);
}

TEST(StoppingModels, NoneAndHelpStopNothing) {
  for (int model : {0, 3})
    for (double v : {0.001, 0.5, 3.0, 9.0})
      for (double rs : {0.5, 2.0, 7.0})
        EXPECT_EQ(kStoppingModels[model].function(v, 14.0, rs, With(kBk, 1.8)), 0.0);
}

// Reference values from an independent evaluation of the formulas.  At
// rs = 2 the threshold speed is 0.912 and the Fermi speed 0.960: v = 0.5 is
// below the threshold (friction), v = 1 above it with the high-velocity term
// still larger than the friction (friction), v = 3 takes the high-velocity
// term; v = 0.5 is slower and v = 1 and 3 faster than the electrons.
TEST(StoppingModels, LocalRadiusModelAgreesWithTheFormulas) {
  struct Case {
    double v, z1, rs;
    int ionization;
    double expected;
  };
  const Case cases[] = {
      {0.5, 5, 2.0, kZbl, 12.977714106864227}, {0.5, 5, 2.0, kBk, 17.49083975505993},
      {0.5, 5, 2.0, kCgj, 14.285462835272085}, {0.5, 5, 2.0, kMp, 8.926782806219345},
      {1.0, 5, 2.0, kZbl, 40.0514305608569},   {1.0, 5, 2.0, kBk, 47.955272563980664},
      {1.0, 5, 2.0, kCgj, 41.14532900749897},  {1.0, 5, 2.0, kMp, 27.796237141260534},
      {3.0, 5, 2.0, kZbl, 72.13635515746967},  {3.0, 5, 2.0, kBk, 73.27531157925486},
      {3.0, 5, 2.0, kCgj, 70.51894847802535},  {3.0, 5, 2.0, kMp, 104.34245795820588},
      {3.0, 14, 1.2, kBk, 1109.6088930471362}, {0.3, 33, 3.5, kZbl, 0.8940693156352866},
      {0.3, 33, 3.5, kBk, 8.53356892690155},   {0.3, 33, 3.5, kMp, 1.127184772606857},
      {0.05, 5, 1.8, kBk, 2.0231702170631234},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "v " << c.v << " Z1 " << c.z1 << " rs " << c.rs
                                    << " ionization " << c.ionization);
    ExpectRelative(LocalDensityStopping(c.v, c.z1, c.rs, With(c.ionization, 1.0)), c.expected);
    // The reference radius does not enter this model.
    ExpectRelative(LocalDensityStopping(c.v, c.z1, c.rs, With(c.ionization, 3.0)), c.expected);
  }
}

// The effective charge at RS0 = 1.8 (Fermi speed 1.066): v = 1 is now slower
// than the electrons, v = 3 faster.
TEST(StoppingModels, ReferenceRadiusModelTakesTheChargeAtRS0) {
  struct Case {
    double v, z1, rs;
    int ionization;
    double expected;
  };
  const Case cases[] = {
      {0.5, 5, 2.0, kBk, 20.803192270623935},  {1.0, 5, 2.0, kZbl, 45.98650360895402},
      {1.0, 5, 2.0, kMp, 33.89023874313188},   {3.0, 5, 2.0, kCgj, 71.84921923016405},
      {3.0, 14, 1.2, kZbl, 797.1407263066034}, {3.0, 14, 1.2, kMp, 653.6784731387467},
      {0.3, 33, 3.5, kBk, 39.84379693047506},  {0.3, 33, 3.5, kCgj, 14.741478602096985},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "v " << c.v << " Z1 " << c.z1 << " rs " << c.rs
                                    << " ionization " << c.ionization);
    ExpectRelative(ReferenceChargeStopping(c.v, c.z1, c.rs, With(c.ionization, 1.8)), c.expected);
  }
  // With RS0 equal to the local radius the two models agree.
  EXPECT_EQ(ReferenceChargeStopping(0.7, 14, 1.8, With(kBk, 1.8)),
            LocalDensityStopping(0.7, 14, 1.8, With(kBk, 1.8)));
}

TEST(StoppingModels, ProtonsHaveNoEffectiveCharge) {
  ExpectRelative(LocalDensityStopping(0.5, 1, 2.0, With(kBk, 1.8)), 6.502350493450948);
  ExpectRelative(LocalDensityStopping(3.0, 1, 2.0, With(kBk, 1.8)), 7.243334828581345);
  for (double v : {0.01, 0.3, 1.0, 2.5, 6.0})
    for (double rs : {0.8, 2.0, 4.0})
      for (int ionization = 0; ionization < kIonizationModelCount; ++ionization)
        EXPECT_EQ(LocalDensityStopping(v, 1, rs, With(ionization, 1.8)),
                  ReferenceChargeStopping(v, 1, rs, With(ionization, 3.3)));
}

TEST(StoppingModels, StoppingVanishesWithTheSpeed) {
  EXPECT_EQ(LocalDensityStopping(0.0, 5, 2.0, With(kBk, 1.8)), 0.0);
  EXPECT_EQ(ReferenceChargeStopping(0.0, 5, 2.0, With(kBk, 1.8)), 0.0);
  // Proportional to the speed at low speed.
  const double ratio = LocalDensityStopping(0.002, 1, 2.0, With(kBk, 1.8)) /
                       LocalDensityStopping(0.001, 1, 2.0, With(kBk, 1.8));
  EXPECT_DOUBLE_EQ(ratio, 2.0);
}

TEST(IonizationModels, AgreeWithTheFormulas) {
  const double ys[] = {0.05, 0.3, 0.59, 0.6, 1.5};
  const double expected[4][5] = {
      {0.0, 0.17724226448925928, 0.3948064170351332, 0.40093695369995574, 0.744632756887033},
      {0.04495803780928542, 0.24118706923875866, 0.41888116049009816, 0.4242029361095355,
       0.7484214469402435},
      {0.0, 0.19627652055534395, 0.3898192169093202, 0.3955884869264473, 0.7429539429932138},
      {0.0027777777500000004, 0.09999999899999999, 0.38677777391, 0.3955280427529816,
       0.9000814575059415},
  };
  for (int model = 0; model < kIonizationModelCount; ++model)
    for (int i = 0; i < 5; ++i)
      EXPECT_NEAR(kIonizationModels[model].function(ys[i]), expected[model][i], 1e-12)
          << kIonizationModels[model].key << " at y " << ys[i];
}

TEST(IonizationModels, FractionIsNeverNegative) {
  for (int model = 0; model < kIonizationModelCount; ++model)
    for (double y = 0.0; y < 8.0; y += 0.001) {
      const double q = kIonizationModels[model].function(y);
      ASSERT_GE(q, 0.0) << kIonizationModels[model].key << " at y " << y;
      ASSERT_LT(q, 1.0) << kIonizationModels[model].key << " at y " << y;
    }
  // Where the unclamped formulas would go negative.
  for (double y : {0.0, 0.01, 0.07}) EXPECT_EQ(CgjIonization(y), 0.0) << y;
  for (double y : {0.01, 0.05, 0.1}) EXPECT_EQ(ZblIonization(y), 0.0) << y;
  EXPECT_GT(ZblIonization(0.2), 0.0);
}
