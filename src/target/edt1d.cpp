#include "target/edt1d.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>

#include "core/fatal.h"
#include "target/density_path.h"

namespace orvane {

EDT1D::EDT1D() {
  r_[0] = 0.0;
  lnRho_[0] = 0.0;
  slope_[0] = 0.0;
}

void EDT1D::ReadTable(const std::string& name, int /*mode*/) {
  const std::string path = IsolatedDensityPath(name);
  std::FILE* file = std::fopen(path.c_str(), "r");
  if (file == nullptr)
    Fatal(300, "\n# Error: EDT1D::ReadTable, File (1D) not found: " + path + "\n");
  int stored = 0;
  double r = 0.0, n = 0.0;
  while (stored < kCapacity && std::fscanf(file, "%lf %lf", &r, &n) == 2) {
    if (r < 0.0 || n <= 0.0) break;
    r_[stored] = r;
    lnRho_[stored] = std::log(n);
    ++stored;
  }
  std::fclose(file);
  if (stored < 3) {
    Fatal(303, "\n# Error: EDT1D::ReadTable, Fewer than three valid pairs in the (1D) file: " +
                   path + "\n");
  }
  for (int i = 1; i < stored; ++i) {
    if (!(r_[i] > r_[i - 1])) {
      Fatal(303, "\n# Error: EDT1D::ReadTable, The distances do not increase at pair " +
                     std::to_string(i + 1) + " of the (1D) file: " + path + "\n");
    }
  }
  last_ = stored - 1;
  PrepareLookUp();
  std::cerr << "(" << path << ") ND = " << last_ << std::endl;
}

void EDT1D::PrepareLookUp() {
  for (int i = 1; i <= last_; ++i) slope_[i] = (lnRho_[i] - lnRho_[i - 1]) / (r_[i] - r_[i - 1]);
  firstKey_ = BucketKey(r_[1]);
  const uint64_t buckets = BucketKey(r_[last_]) - firstKey_ + 1;
  bucketStart_.assign(buckets, 0);
  bucketSteps_ = 0;
  int j = 2;
  for (uint64_t b = 0; b < buckets; ++b) {
    // The first entry beyond the smallest distance of the bucket, and the
    // number of entries up to the first one beyond the bucket.
    bucketStart_[b] = static_cast<uint16_t>(FirstBeyond(j, BucketBound(firstKey_ + b)));
    j = bucketStart_[b];
    const int end = FirstBeyond(j, std::nextafter(BucketBound(firstKey_ + b + 1), 0.0));
    bucketSteps_ = std::max(bucketSteps_, end - j);
  }
}

double EDT1D::BucketBound(uint64_t key) {
  const uint64_t bits = key << kKeyShift;
  double bound;
  std::memcpy(&bound, &bits, sizeof bound);
  return bound;
}

int EDT1D::FirstBeyond(int j, double r) const {
  while (j < last_ && r_[j] <= r) ++j;
  return j;
}

void EDT1D::TableMissing() { AssertionFailed("Last>=2", "edt1d", __LINE__); }

}  // namespace orvane
