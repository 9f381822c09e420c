// An append-only sequence of plain records that keeps only its last 2048
// or so in memory: the rest go to an unnamed file in the temporary
// directory (TMPDIR), which disappears with the process.  The tallies keep
// one record per virtual ion in it, so that a run's memory stays flat
// however many ions it follows, and walk them in order whenever a profile
// is computed.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <type_traits>
#include <vector>

namespace orvane {

namespace record_file {

struct CloseFile {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, CloseFile>;

// An unnamed file for reading and writing; ends the process with status
// 301 when none can be made.
FileHandle OpenUnnamed();
// Writes the bytes at the end of the file; status 301 when it cannot.
void Append(std::FILE* file, const void* data, std::size_t bytes);
// Reads the bytes at the offset; status 301 when it cannot.
void ReadAt(std::FILE* file, uint64_t offset, void* data, std::size_t bytes);

}  // namespace record_file

template <class T>
class RecordFile {
  static_assert(std::is_trivially_copyable_v<T>);

 public:
  // Records held in memory before they go to the file, and read back from
  // it at a time.
  static constexpr std::size_t kChunk = 2048;

  class Iterator {
   public:
    Iterator(const RecordFile* records, uint64_t index) : records_(records), index_(index) {}
    T operator*() const { return records_->At(index_); }
    Iterator& operator++() {
      ++index_;
      return *this;
    }
    bool operator!=(const Iterator& o) const { return index_ != o.index_; }
    bool operator==(const Iterator& o) const { return index_ == o.index_; }

   private:
    const RecordFile* records_;
    uint64_t index_;
  };

  RecordFile() = default;
  RecordFile(const RecordFile&) = delete;
  RecordFile& operator=(const RecordFile&) = delete;
  RecordFile(RecordFile&&) = default;
  RecordFile& operator=(RecordFile&&) = default;

  void Add(const T& record) {
    if (tail_.size() == kChunk) Spill();
    tail_.push_back(record);
  }

  uint64_t Size() const { return spilled_ + tail_.size(); }
  bool Empty() const { return Size() == 0; }
  // Record i, 0-based, i < Size().  Walks in order read each record of the
  // file once.
  T At(uint64_t i) const {
    if (i >= spilled_) return tail_[i - spilled_];
    if (i < chunkFirst_ || i >= chunkFirst_ + chunk_.size()) Load(i);
    return chunk_[i - chunkFirst_];
  }
  Iterator begin() const { return Iterator(this, 0); }
  Iterator end() const { return Iterator(this, Size()); }

  // Forgets every record and gives back the file; the memory is kept.
  void Clear() {
    file_.reset();
    spilled_ = 0;
    tail_.clear();
    chunk_.clear();
    chunkFirst_ = 0;
  }

 private:
  void Spill() {
    if (!file_) file_ = record_file::OpenUnnamed();
    record_file::Append(file_.get(), tail_.data(), tail_.size() * sizeof(T));
    spilled_ += tail_.size();
    tail_.clear();
  }
  void Load(uint64_t i) const {
    chunkFirst_ = i - i % kChunk;
    const uint64_t count = std::min<uint64_t>(kChunk, spilled_ - chunkFirst_);
    chunk_.resize(count);
    record_file::ReadAt(file_.get(), chunkFirst_ * sizeof(T), chunk_.data(), count * sizeof(T));
  }

  record_file::FileHandle file_;
  uint64_t spilled_ = 0;  // records in the file
  std::vector<T> tail_;   // the records after them
  // The records of the file last read.
  mutable std::vector<T> chunk_;
  mutable uint64_t chunkFirst_ = 0;
};

}  // namespace orvane
