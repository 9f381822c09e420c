#include "run/batch_results.h"

namespace orvane {

void BatchResults::Clear() {
  Ions.clear();
  Finished.clear();
  Deposits.clear();
}

IonOrder::IonOrder(const std::vector<const BatchResults*>& parts) {
  for (const BatchResults* part : parts) cursors_.push_back(Cursor{part});
}

IonRecords IonOrder::Take(uint32_t ion) {
  for (Cursor& cursor : cursors_) {
    const std::vector<IonSummary>& ions = cursor.Part->Ions;
    if (cursor.Ion == ions.size() || ions[cursor.Ion].Ion != ion) continue;
    const IonSummary& summary = ions[cursor.Ion++];
    const IonRecords records{&summary, cursor.Part->Finished.data() + cursor.Particle,
                             cursor.Part->Deposits.data() + cursor.Deposit};
    cursor.Particle += summary.Particles;
    cursor.Deposit += summary.Deposits;
    return records;
  }
  return IonRecords{};
}

}  // namespace orvane
