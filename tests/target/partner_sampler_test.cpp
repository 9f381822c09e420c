#include "target/partner_sampler.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace orvane;

namespace {

constexpr double kRadius = 2.7155;
constexpr double kShortest = 0.1;
const double kSilicon = 4.994e22 * 1e-24;  // atoms per cubic angstrom

// One site of basis atom 0 (species 1), two of basis atom 1 (species 2)
// and three of basis atom 2, which holds species 3 a quarter of the time
// and species 4 otherwise.
List<Site> Block() {
  List<Site> sites;
  sites.Add(Site(1, 0, Vector(0.0, 0.0, 0.0), 1, 1.0));
  for (int k = 0; k < 2; ++k) sites.Add(Site(2, 1, Vector(1.0, k, 0.0), 2, 1.0));
  for (int k = 0; k < 3; ++k) sites.Add(Site(3, 2, Vector(2.0, k, 0.0), 4, 0.25));
  return sites;
}

// A particle moving at 30 degrees to the depth axis, deep in a thick layer.
Particle Moving(double depth) {
  Particle particle;
  particle.Abs = Vector(depth, 4.0, -2.0);
  particle.R = Vector(0.3, -0.2, 0.1);
  particle.SetDirection(Vector(std::cos(0.5236), std::sin(0.5236), 0.0));
  particle.Ghi = kShortest;
  return particle;
}

const SampledDepths kThick{0.0, 1e6, 0.0, 1e6};

}  // namespace

TEST(PartnerSampler, PartnersAreMetAtTheDensityAllOverTheInteractionDisc) {
  const PartnerSampler sampler(Block(), kSilicon, kRadius, kShortest);
  const double mean = 1.0 / (kSilicon * M_PI * kRadius * kRadius);
  EXPECT_NEAR(sampler.MeanFlight(), mean, 1e-12);
  EXPECT_NEAR(sampler.MeanFlight(), 0.8637, 1e-3);

  Ranmar rng;
  const int draws = 40000;
  double flightSum = 0.0, b2Sum = 0.0, sideSum = 0.0, beyondMean = 0.0;
  double shortest = 1e9;
  for (int i = 0; i < draws; ++i) {
    Particle particle = Moving(5000.0);
    List<Particle> candidates;
    double closest2 = 0.0;
    ASSERT_EQ(sampler.Draw(particle, candidates, closest2, rng, Axes(), kThick), 1);
    const Particle& partner = candidates.Front();
    const Vector d = partner.R - particle.R;
    const double x = Dot(d, particle.Dir);
    const double b2 = Dot(d, d) - x * x;
    EXPECT_NEAR(closest2, b2, 1e-9);
    EXPECT_LE(b2, kRadius * kRadius);
    EXPECT_EQ(partner.Org, partner.R);
    EXPECT_EQ(partner.Sampled, 1);
    flightSum += x;
    shortest = std::min(shortest, x);
    if (x > kShortest + (mean - kShortest)) beyondMean += 1.0;
    b2Sum += b2;
    sideSum += d.z;  // the azimuth is uniform: no side is preferred
  }
  // Exponential above the shortest flight, with the mean the density gives.
  const double error = (mean - kShortest) / std::sqrt(draws);
  EXPECT_NEAR(flightSum / draws, mean, 4 * error);
  EXPECT_GE(shortest, kShortest);
  EXPECT_NEAR(beyondMean / draws, std::exp(-1.0), 0.01);
  // Uniform over the disc: the mean squared impact parameter is R^2 / 2.
  EXPECT_NEAR(b2Sum / draws / (kRadius * kRadius), 0.5, 0.006);
  EXPECT_NEAR(sideSum / draws, 0.0, 0.03);
}

TEST(PartnerSampler, SitesAndSpeciesFollowTheBasisComposition) {
  const PartnerSampler sampler(Block(), kSilicon, kRadius, kShortest);
  Ranmar rng;
  int basis[3] = {}, species[5] = {};
  const int draws = 30000;
  for (int i = 0; i < draws; ++i) {
    Particle particle = Moving(5000.0);
    List<Particle> candidates;
    double closest2 = 0.0;
    sampler.Draw(particle, candidates, closest2, rng, Axes(), kThick);
    const Particle& partner = candidates.Front();
    ++basis[partner.BasisIndex];
    ++species[partner.Species];
    if (partner.BasisIndex == 2) {
      EXPECT_EQ(partner.SpeciesA, 3);
      EXPECT_EQ(partner.SpeciesB, 4);
    } else {
      EXPECT_EQ(partner.Species, partner.BasisIndex + 1);
    }
  }
  EXPECT_NEAR(basis[0] / double(draws), 1.0 / 6.0, 0.01);
  EXPECT_NEAR(basis[1] / double(draws), 2.0 / 6.0, 0.01);
  EXPECT_NEAR(basis[2] / double(draws), 3.0 / 6.0, 0.01);
  EXPECT_NEAR(species[3] / double(basis[2]), 0.25, 0.015);
  EXPECT_EQ(species[3] + species[4], basis[2]);
}

TEST(PartnerSampler, NoPartnerBeyondTheLayerButAFlightAcrossIt) {
  const PartnerSampler sampler(Block(), kSilicon, kRadius, kShortest);
  // 1 A above the back of a layer from 0 to 100 A, moving deeper at 30
  // degrees: 1.155 A of path to the boundary.
  const SampledDepths layer{0.0, 100.0, 0.0, 500.0};
  const double toBoundary = 1.0 / std::cos(0.5236);
  Ranmar rng;
  int crossings = 0;
  const int draws = 20000;
  for (int i = 0; i < draws; ++i) {
    Particle particle = Moving(99.0);
    List<Particle> candidates;
    double closest2 = 0.0;
    if (sampler.Draw(particle, candidates, closest2, rng, Axes(), layer) == 1) {
      EXPECT_LE(Dot(candidates.Front().R - particle.R, particle.Dir), toBoundary + 1e-4);
      continue;
    }
    ++crossings;
    EXPECT_TRUE(candidates.Empty());
    EXPECT_EQ(closest2, 4096.0);
    EXPECT_NEAR(particle.Ghi, toBoundary + 1e-4, 1e-9);
  }
  // The flights are memoryless: drawn again beyond the boundary, they
  // give the same density there.
  const double expected = std::exp(-(toBoundary - kShortest) / (sampler.MeanFlight() - kShortest));
  EXPECT_NEAR(crossings / double(draws), expected, 0.01);
}

TEST(PartnerSampler, OutsideTheTargetTheFlightGoesBackInOrAwayWithoutDraws) {
  const PartnerSampler sampler(Block(), kSilicon, kRadius, kShortest);
  const SampledDepths layer{0.0, 100.0, 0.0, 100.0};
  struct Case {
    double depth;
    Vector direction;
    double ghi;
  };
  const Case cases[] = {
      {-2.0, Vector(1.0, 0.0, 0.0), 2.0 + 1e-4},                      // a fresh ion comes in
      {-2.0, Vector(-1.0, 0.0, 0.0), kRadius - 2.0 + 1e-4},           // back-scattered
      {-5.0, Vector(-1.0, 0.0, 0.0), kShortest},                      // gone already
      {101.0, Vector(1.0, 0.0, 0.0), kRadius - 1.0 + 1e-4},           // transmitted
      {101.0, Vector(-0.5, std::sqrt(0.75), 0.0), 2.0 + 1e-4},        // coming back
      {101.0, Vector(0.0, 1.0, 0.0), kShortest},                      // never crosses
      {50.0, NullVector, kShortest},                                  // no direction
  };
  for (const Case& c : cases) {
    Particle particle = Moving(c.depth);
    particle.Dir = c.direction;
    Ranmar rng, untouched;
    List<Particle> candidates;
    double closest2 = 0.0;
    EXPECT_EQ(sampler.Draw(particle, candidates, closest2, rng, Axes(), layer), 0) << c.depth;
    EXPECT_NEAR(particle.Ghi, c.ghi, 1e-9) << c.depth << " " << c.direction;
    EXPECT_EQ(rng.Uniform(), untouched.Uniform()) << c.depth;
  }
}
