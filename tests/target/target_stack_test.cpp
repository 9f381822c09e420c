#include "target/target_stack.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <memory>
#include <string>

#include "target/lattice_type.h"
#include "target/layer_check.h"
#include "target_test_support.h"

using namespace orvane;
using orvane_test::FileExists;
using orvane_test::ReadFile;
using orvane_test::ScopedDensityDir;
using orvane_test::TempDir;
using orvane_test::WriteFile;

namespace {

AtomList Elements(std::initializer_list<int> numbers) {
  static const char* const symbols[] = {"", "H", "He", "Li", "Be", "B", "C", "N", "O"};
  AtomList atoms;
  for (int z : numbers) {
    if (z == 14) {
      atoms.Add(Atom("Si", 28.086, 14, 519.0));
    } else if (z == 31) {
      atoms.Add(Atom("Ga", 69.72, 31, 320.0));
    } else if (z == 33) {
      atoms.Add(Atom("As", 74.92, 33, 285.0));
    } else {
      atoms.Add(Atom(symbols[z], 2.0 * z, z, 300.0));
    }
  }
  return atoms;
}

BasisAtom Basis(int species, const Vector& position, int type = FACE_CENTERED) {
  BasisAtom atom;
  atom.SpeciesA = atom.SpeciesB = species;
  atom.Position = position;
  atom.Type = type;
  atom.EnergyA = atom.EnergyB = 15.0;
  return atom;
}

class LayersTest : public ::testing::Test {
 protected:
  // Builds the stack without density files (read-density flag 0).
  void Build(LayerList& layers, const AtomList& atoms, int readDensity = 0, int show = 0) {
    MakeLayers(stack_, layers, atoms, Axes(), *densities_, readDensity, show);
  }

  TempDir dir_;
  ScopedDensityDir scope_{dir_.Path()};
  TargetStack stack_;
  std::unique_ptr<IsolatedDensities> densities_ = std::make_unique<IsolatedDensities>();
};

// Runs the body in the directory, coming back afterwards.
template <class Body>
void InDirectory(const std::string& directory, Body body) {
  char previous[4096];
  ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
  ASSERT_EQ(chdir(directory.c_str()), 0);
  body();
  ASSERT_EQ(chdir(previous), 0);
}

}  // namespace

TEST(DefaultTarget, IsSiliconWhenTheElementListHoldsIt) {
  EXPECT_EQ(DefaultSpecies(Elements({5, 14})), 2);
  EXPECT_EQ(DefaultSpecies(Elements({14, 5})), 1);
  EXPECT_EQ(DefaultSpecies(Elements({5, 8})), 1);
  const Layer layer = DefaultLayer(Elements({5, 14}));
  EXPECT_EQ(layer.Kind, CRYSTALLINE);
  EXPECT_EQ(layer.XMin, 0.0);
  EXPECT_EQ(layer.XMax, 1e9);
  EXPECT_EQ(layer.LatticeParameter, Vector(5.431, 5.431, 5.431));
  EXPECT_EQ(layer.Angles, Vector(90, 90, 90));
  EXPECT_STREQ(layer.EDTFile, "");
  ASSERT_EQ(layer.Basis.NumberOfElements(), 2);
  List<BasisAtom> basis = layer.Basis;
  const BasisAtom second = basis.GetAt(2);
  EXPECT_EQ(second.Position, Vector(0.25, 0.25, 0.25));
  EXPECT_EQ(second.SpeciesA, 2);
  EXPECT_EQ(second.SpeciesB, 2);
  EXPECT_EQ(second.Type, FACE_CENTERED);
  EXPECT_EQ(second.EnergyA, 15.0);
  EXPECT_EQ(second.Fraction, 1.0);
}

TEST_F(LayersTest, WithoutLayersTheTargetIsCrystallineSilicon) {
  LayerList layers;
  Build(layers, Elements({5, 14}));
  ASSERT_EQ(layers.NumberOfElements(), 1);
  EXPECT_STREQ(layers.Front().EDTFile, "EDT_Si");
  EXPECT_EQ(stack_.FrontSurface, 0.0);
  EXPECT_EQ(stack_.BackSurface, 1e9);
  ASSERT_EQ(stack_.Crystals.NumberOfElements(), 1);
  const Crystal& crystal = stack_.Crystals.Front();
  EXPECT_NEAR(crystal.Density, 4.994e22, 0.001e22);
  EXPECT_EQ(crystal.Sites.begin()->Species, 2);
  EXPECT_EQ(crystal.Sites.NumberOfElements(), crystal.Neighbors[0].NumberOfElements());
  EXPECT_EQ(crystal.SearchRadius2, stack_.InteractionRadius * stack_.InteractionRadius);
  EXPECT_TRUE(crystal.Density3D.Empty());
}

TEST_F(LayersTest, ALayerWithoutBasisAtomsGetsTheDiamondBasisAndKeepsItsOwnValues) {
  LayerList layers;
  Layer amorphous;
  amorphous.Kind = AMORPHOUS;
  amorphous.XMin = 10.0;
  amorphous.XMax = 500.0;
  amorphous.LatticeParameter = Vector(5.6, 5.6, 5.6);
  layers.Add(amorphous);
  Build(layers, Elements({8}));
  const Layer& layer = layers.Front();
  EXPECT_EQ(layer.Kind, AMORPHOUS);
  EXPECT_EQ(layer.Basis.NumberOfElements(), 2);
  EXPECT_STREQ(layer.EDTFile, "EDT_O");
  EXPECT_EQ(stack_.FrontSurface, 10.0);
  EXPECT_EQ(stack_.BackSurface, 500.0);
  EXPECT_NEAR(stack_.Crystals.Front().CellVolume, 5.6 * 5.6 * 5.6, 1e-9);
  EXPECT_EQ(stack_.Crystals.Front().LatticeParameter, Vector(5.6, 5.6, 5.6));
}

TEST_F(LayersTest, AutomaticNamesGiveTheElementsAndTheirProportions) {
  const AtomList atoms = Elements({31, 33, 8});
  LayerList layers;
  Layer gaas, oxide, many;
  gaas.Basis.Add(Basis(1, NullVector));
  gaas.Basis.Add(Basis(2, Vector(0.25, 0.25, 0.25)));
  oxide.Basis.Add(Basis(3, NullVector));
  oxide.Basis.Add(Basis(3, Vector(0.5, 0.5, 0.5)));
  oxide.Basis.Add(Basis(1, Vector(0.25, 0.25, 0.25)));
  for (int b = 0; b < 10; ++b) many.Basis.Add(Basis(2, Vector(0.05 * b, 0, 0), PRIMITIVE));
  many.Basis.Add(Basis(1, Vector(0.5, 0.5, 0.5), PRIMITIVE));
  layers.Add(gaas);
  layers.Add(oxide);
  layers.Add(many);
  Build(layers, atoms);
  EXPECT_STREQ(layers.GetAt(1).EDTFile, "EDT_GaAs");
  EXPECT_STREQ(layers.GetAt(2).EDTFile, "EDT_GaO2");
  EXPECT_STREQ(layers.GetAt(3).EDTFile, "EDT_GaAs10");
}

TEST_F(LayersTest, AGivenNameLosesTheBlankThatEndsIt) {
  LayerList layers;
  Layer layer;
  std::strcpy(layer.EDTFile, "Si.edt ");
  layers.Add(layer);
  Build(layers, Elements({5, 14}));
  EXPECT_STREQ(layers.Front().EDTFile, "Si.edt");
}

TEST_F(LayersTest, TheStackSpansAllLayersAndEachHasItsOwnCrystal) {
  LayerList layers;
  Layer top, bottom;
  top.XMax = 100.0;
  top.LatticeParameter = Vector(5.653, 5.653, 5.653);
  bottom.XMin = 100.0;
  bottom.XMax = 500.0;
  layers.Add(top);
  layers.Add(bottom);
  Build(layers, Elements({5, 14}));
  EXPECT_EQ(stack_.FrontSurface, 0.0);
  EXPECT_EQ(stack_.BackSurface, 500.0);
  ASSERT_EQ(stack_.Crystals.NumberOfElements(), 2);
  EXPECT_EQ(stack_.Crystals.Front().LatticeParameter, Vector(5.653, 5.653, 5.653));
  EXPECT_EQ(stack_.Crystals.Back().LatticeParameter, Vector(5.431, 5.431, 5.431));
}

TEST_F(LayersTest, NeighbourhoodsAreCentredAndSizedWithTheLayersOwnCell) {
  LayerList layers;
  Layer cubic;
  cubic.LatticeParameter = Vector(10.0, 10.0, 10.0);
  cubic.Basis.Add(Basis(1, Vector(0.5, 0.5, 0.5), PRIMITIVE));
  layers.Add(cubic);
  Build(layers, Elements({6}));
  // Within (sqrt(3)/2) 10 + 2.7155 A of the atom: itself and its six
  // neighbours at 10 A, positions relative to the atom.
  const Crystal& crystal = stack_.Crystals.Front();
  EXPECT_EQ(crystal.Sites.NumberOfElements(), 7);
  EXPECT_EQ(crystal.Sites.begin()->R, NullVector);
}

TEST_F(LayersTest, LayersThatCannotBeBuiltStopTheRunBeforeAnyCrystal) {
  const AtomList atoms = Elements({5, 14});
  auto refused = [&](auto change) {
    LayerList layers;
    layers.Add(Layer());
    Layer second;
    second.Basis.Add(Basis(2, NullVector));
    change(second);
    layers.Add(second);
    Build(layers, atoms);
  };
  const auto status = testing::ExitedWithCode(408 & 0xFF);
  EXPECT_EXIT(
      refused([](Layer& l) { l.LatticeParameter.y = 0.0; }), status,
      "# Error: MakeLayers, Layer 2 cannot be built: the cell lengths \\( +5.431, +0, +5.431 "
      "\\) must be positive\n");
  EXPECT_EXIT(refused([](Layer& l) { l.Angles.x = 0.0; }), status,
              "Layer 2 cannot be built: the cell angles .* must lie between 0 and 180 degrees and "
              "form a cell");
  EXPECT_EXIT(refused([](Layer& l) { l.Angles.z = 180.0; }), status, "cell angles");
  EXPECT_EXIT(refused([](Layer& l) { l.Angles = Vector(10, 10, 90); }), status, "form a cell");
  EXPECT_EXIT(
      refused([](Layer& l) { l.Basis.Front().Type = 7; }), status,
      "Layer 2 cannot be built: basis atom 1 has the lattice type 7, which must lie in 1..6");
  EXPECT_EXIT(refused([](Layer& l) { l.Basis.Add(Basis(3, NullVector)); }), status,
              "basis atom 2 names the species 3/3, but the element list holds 2 elements");
  EXPECT_EXIT(refused([](Layer& l) { l.Basis.Front().SpeciesA = 0; }), status, "species 0/2");
  EXPECT_EXIT(refused([](Layer& l) { l.Basis.Front().Fraction = 1.5; }), status,
              "basis atom 1 has the fraction 1.5, which must lie in 0..1");
  // A site of one species may leave its second species empty.
  Layer single;
  BasisAtom atom = Basis(1, NullVector);
  atom.SpeciesB = 0;
  single.Basis.Add(atom);
  CheckLayer(single, 1, 2);
}

TEST_F(LayersTest, ShowsEachLayerAndWritesItsSites) {
  LayerList layers;
  const AtomList atoms = Elements({5, 14});
  testing::internal::CaptureStdout();
  InDirectory(dir_.Path(), [&] { Build(layers, atoms, 0, 1); });
  const std::string shown = testing::internal::GetCapturedStdout();
  EXPECT_NE(shown.find("\n==> CRISTALLINE layer ( 0 to 1e+09 ) A\n"
                       "    LatticeParameter (     5.431,     5.431,     5.431 ) A\n"
                       "    Angles           (        90,        90,        90 )\n"
                       "    EDTFile          ' ' (old)\n\n"
                       "    Atom 2 : FACE CENTERED(         0,         0,         0 ) 15 eV\n"
                       "    Atom 2 : FACE CENTERED(      0.25,      0.25,      0.25 ) 15 eV\n\n"
                       "    Cell volume        = 160.191 A^3\n"
                       "    Mean atomic radius = 1.68456 A\n"
                       "    Theorical density  = 4.99402e+22 at/cm^3\n\n"
                       "    Front surface at 0 A\n"
                       "    Back surface at 1e+09 A\n\n"),
            std::string::npos)
      << shown;
  const std::string xyz = ReadFile(dir_.File("Layer_01.xyz"));
  EXPECT_EQ(xyz.substr(0, 9), "1728\n\nSi ");
}

TEST_F(LayersTest, ATextDensityIsReadAndConvertedAndTheBinaryIsUsedNextTime) {
  WriteFile(dir_.File("EDT_Si"), "x\ny\n5.431 2 5.431 2 5.431 2\n1 2 3 4 5 6 7 8\n");
  LayerList layers;
  testing::internal::CaptureStderr();
  Build(layers, Elements({5, 14}), 1);
  std::string printed = testing::internal::GetCapturedStderr();
  EXPECT_NE(printed.find("# 3D ASCII density table read"), std::string::npos);
  EXPECT_EQ(printed.find("Creating"), std::string::npos);
  EXPECT_EQ(stack_.Crystals.Front().Density3D.At(1, 1, 1), 8.0);
  ASSERT_TRUE(FileExists(dir_.File("EDT_Si.lit")));

  TargetStack again;
  LayerList layersAgain;
  testing::internal::CaptureStderr();
  MakeLayers(again, layersAgain, Elements({5, 14}), Axes(), *densities_, 1, 0);
  printed = testing::internal::GetCapturedStderr();
  EXPECT_EQ(printed, "# 3D binary density table read\n#\t(" + dir_.Path() + "/EDT_Si.lit) 64/64\n");
  EXPECT_EQ(again.Crystals.Front().Density3D.At(0, 1, 0), 3.0);
}

TEST_F(LayersTest, ALayerAskingForANewDensityHasItCreated) {
  WriteFile(dir_.File("N06.den"), ReadFile(orvane_test::ShippedDensityDir() + "N06.den"));
  LayerList layers;
  Layer carbon;
  carbon.EDTCreate = 1;
  carbon.LatticeParameter = Vector(3.0, 3.0, 3.0);
  carbon.Basis.Add(Basis(1, NullVector, PRIMITIVE));
  layers.Add(carbon);
  testing::internal::CaptureStderr();
  Build(layers, Elements({6}), 0);
  const std::string printed = testing::internal::GetCapturedStderr();
  EXPECT_EQ(printed.rfind("# Reading (N06.den) (" + dir_.Path() + "/N06.den) ND = " +
                              std::to_string((*densities_)[1].Last()) +
                              "\n# Creating IADS in EDT_C\n# ",
                          0),
            0u)
      << printed;
  EXPECT_TRUE(FileExists(dir_.File("EDT_C.lit")));
  EXPECT_FALSE(stack_.Crystals.Front().Density3D.Empty());
}
