// What the ions of one batch leave for the run when they run in parallel:
// for every ion its summary and its finished particles that end an ion, in
// two flat arrays of plain records, and the damage that all of them
// retained, summed per cell.  Each thread of each process fills its own
// with the ions it followed, in ascending ion order; the run applies the
// ions of all of them in ion order.
#pragma once

#include <cstdint>
#include <type_traits>
#include <vector>

#include "damage/damage_profile.h"
#include "tally/finished_particles.h"

namespace orvane {

struct IonSummary {
  uint32_t Ion = 0;        // 1-based within the simulation
  uint32_t Walked = 0;     // particles its cascade finished
  double PathSum = 0.0;    // their path, angstrom, summed in their order
  uint32_t Particles = 0;  // of them, those that end an ion: the next ones in Finished
  DepositSums Sums;        // the sums of its damage deposits
  uint32_t Rotations = 0;  // lattice orientations drawn afresh
  uint32_t Partners = 0;   // collision candidates found
  int32_t SimultaneousCollisions = 0;
  uint64_t PartnerSum = 0;     // partners of all its collision steps
  bool SplitBoundHit = false;  // it wanted a rare-event copy beyond the bound
};

// Plain records, which another process can send as bytes.
static_assert(std::is_trivially_copyable_v<IonSummary>);
static_assert(std::is_trivially_copyable_v<DamageIncrements>);

struct BatchResults {
  std::vector<IonSummary> Ions;
  std::vector<EndedIon> Finished;
  // The damage retained by the ions' deposits, when the damage model
  // retains any.
  DamageIncrements Retained;

  // Empties the arrays, keeping their memory for the next batch.
  void Clear();
  // Room for the summaries and the particles of that many ions (of ions
  // only), so that the arrays need not grow by doubling.
  void Reserve(std::size_t ions);
};

// Appends the results as bytes: the two counts, the two arrays, then the
// retained damage.
void AppendBytes(const BatchResults& results, std::vector<char>& bytes);
// The results that AppendBytes wrote one after the other, into parts (its
// elements reused, more added as needed); returns how many there were.
std::size_t ReadBytes(const std::vector<char>& bytes, std::vector<BatchResults>& parts);

// One ion of a batch with its records.
struct IonRecords {
  const IonSummary* Summary = nullptr;
  const EndedIon* Finished = nullptr;
};

// The ions first .. last of a batch, found among the results of the
// threads and processes that followed them, however many.
class IonOrder {
 public:
  // Indexes the parts' ions; each ion of the range must be in one part at
  // most, and no part may hold ions outside the range.
  IonOrder(const std::vector<const BatchResults*>& parts, uint32_t first, uint32_t last);
  // The records of the ion; Summary is null when no part holds it.
  IonRecords Of(uint32_t ion) const;

 private:
  uint32_t first_;
  std::vector<IonRecords> byIon_;
};

}  // namespace orvane
