#include "run/background_writer.h"

#include <utility>

namespace orvane {

BackgroundWriter::~BackgroundWriter() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    closing_ = true;
  }
  wake_.notify_one();
  if (thread_.joinable()) thread_.join();
}

void BackgroundWriter::Post(std::function<void()> job) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!thread_.joinable()) thread_ = std::thread([this] { Serve(); });
    jobs_.push_back(std::move(job));
  }
  wake_.notify_one();
}

void BackgroundWriter::Finish() {
  std::unique_lock<std::mutex> lock(mutex_);
  idle_.wait(lock, [&] { return jobs_.empty() && !busy_; });
  if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
}

void BackgroundWriter::Serve() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    wake_.wait(lock, [&] { return closing_ || !jobs_.empty(); });
    if (jobs_.empty()) return;  // closing
    std::function<void()> job = std::move(jobs_.front());
    jobs_.pop_front();
    busy_ = true;
    lock.unlock();
    try {
      job();
    } catch (...) {
      std::lock_guard<std::mutex> failed(mutex_);
      if (!failure_) failure_ = std::current_exception();
    }
    lock.lock();
    busy_ = false;
    if (jobs_.empty()) idle_.notify_all();
  }
}

}  // namespace orvane
