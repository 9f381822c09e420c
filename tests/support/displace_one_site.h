// The thermal displacement of one site drawn on its own, in the order that
// the partner search draws its sites: along each axis a uniform number for
// the size and a sign from the sign stream.  The reference that the tests
// hold the search and the displacement table to.
#pragma once

#include "core/libc_random.h"
#include "core/ranmar.h"
#include "core/site.h"
#include "core/thermal.h"

namespace orvane_test {

inline void DisplaceOneSite(const orvane::ThermalTable& table, orvane::Site& site, int species,
                            orvane::Ranmar& rng, orvane::LibcRandom& signs) {
  double uniforms[3];
  int32_t signBits[3];
  rng.Fill(uniforms, 3);
  signs.Fill(signBits, 3);
  site.R += orvane::ThermalShift(table, table.Amplitude(species), uniforms, signBits);
}

}  // namespace orvane_test
