#include "run/batch_results.h"

#include <cstring>

#include "core/fatal.h"

namespace orvane {

void BatchResults::Clear() {
  Ions.clear();
  Finished.clear();
}

void BatchResults::Reserve(std::size_t ions) {
  Ions.reserve(ions);
  Finished.reserve(ions);
}

namespace {

void AppendRaw(const void* data, std::size_t size, std::vector<char>& bytes) {
  const char* first = static_cast<const char*>(data);
  bytes.insert(bytes.end(), first, first + size);
}

template <class T>
void AppendArray(const std::vector<T>& array, std::vector<char>& bytes) {
  AppendRaw(array.data(), array.size() * sizeof(T), bytes);
}

// Reads what AppendBytes wrote, from the offset on; a record cut short is
// an internal fault.
class ByteReader {
 public:
  explicit ByteReader(const std::vector<char>& bytes) : bytes_(bytes) {}
  bool AtEnd() const { return offset_ == bytes_.size(); }
  uint64_t Count() {
    uint64_t count = 0;
    Record(count);
    return count;
  }
  template <class T>
  void Record(T& record) {
    Copy(&record, sizeof record);
  }
  template <class T>
  void Array(std::vector<T>& array, uint64_t count) {
    Require(count <= (bytes_.size() - offset_) / sizeof(T), "batch records whole",
            "batch_results", __LINE__);
    array.resize(count);
    Copy(array.data(), count * sizeof(T));
  }

 private:
  void Copy(void* to, std::size_t size) {
    Require(size <= bytes_.size() - offset_, "batch records whole", "batch_results", __LINE__);
    if (size > 0) std::memcpy(to, bytes_.data() + offset_, size);
    offset_ += size;
  }
  const std::vector<char>& bytes_;
  std::size_t offset_ = 0;
};

}  // namespace

void AppendBytes(const BatchResults& results, std::vector<char>& bytes) {
  for (uint64_t count : {static_cast<uint64_t>(results.Ions.size()),
                         static_cast<uint64_t>(results.Finished.size())}) {
    AppendRaw(&count, sizeof count, bytes);
  }
  AppendArray(results.Ions, bytes);
  AppendArray(results.Finished, bytes);
  AppendRaw(&results.Retained, sizeof results.Retained, bytes);
}

std::size_t ReadBytes(const std::vector<char>& bytes, std::vector<BatchResults>& parts) {
  ByteReader reader(bytes);
  std::size_t n = 0;
  while (!reader.AtEnd()) {
    if (parts.size() == n) parts.emplace_back();
    BatchResults& part = parts[n++];
    const uint64_t ions = reader.Count(), finished = reader.Count();
    reader.Array(part.Ions, ions);
    reader.Array(part.Finished, finished);
    reader.Record(part.Retained);
  }
  return n;
}

IonOrder::IonOrder(const std::vector<const BatchResults*>& parts, uint32_t first, uint32_t last)
    : first_(first), byIon_(last >= first ? last - first + 1 : 0) {
  for (const BatchResults* part : parts) {
    std::size_t particle = 0;
    for (const IonSummary& summary : part->Ions) {
      Require(summary.Ion >= first && summary.Ion <= last, "ion of the batch", "batch_results",
              __LINE__);
      IonRecords& records = byIon_[summary.Ion - first];
      Require(records.Summary == nullptr, "ion recorded once", "batch_results", __LINE__);
      records = IonRecords{&summary, part->Finished.data() + particle};
      particle += summary.Particles;
    }
  }
}

IonRecords IonOrder::Of(uint32_t ion) const {
  if (ion < first_ || ion - first_ >= byIon_.size()) return IonRecords{};
  return byIon_[ion - first_];
}

}  // namespace orvane
