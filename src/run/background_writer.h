// Files written on a thread of their own, so that the thread that tallies
// the ions does not wait for them: the jobs run one after the other in the
// order they were posted.  A failure of a job (an exception) is thrown
// again by Finish.
#pragma once

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

namespace orvane {

class BackgroundWriter {
 public:
  BackgroundWriter() = default;
  // Runs the jobs left, then ends the thread.
  ~BackgroundWriter();
  BackgroundWriter(const BackgroundWriter&) = delete;
  BackgroundWriter& operator=(const BackgroundWriter&) = delete;

  // Queues the job; the first one starts the thread.
  void Post(std::function<void()> job);
  // Returns once every job posted has run.
  void Finish();

 private:
  void Serve();

  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable idle_;
  std::deque<std::function<void()>> jobs_;
  bool busy_ = false;
  bool closing_ = false;
  std::exception_ptr failure_;
  std::thread thread_;
};

}  // namespace orvane
