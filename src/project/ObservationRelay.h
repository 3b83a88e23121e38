#pragma once
// Hands observation records to another sink on a thread of its own, in batches, so that the
// observation file is formatted and written beside the reading of the field file. The sink gets
// the records in the order they were put, all of them once Finish has returned. The sink runs on
// the other thread: it must not talk to the user interface.

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "model/Tables.h"

namespace talvik {

class ObservationRelay final : public ObservationSink {
  public:
    // `atEnd` runs on the other thread after the last record (closing the file there too).
    // Without a second thread (none could be started) everything runs on the caller's.
    explicit ObservationRelay(ObservationSink& target, std::function<void()> atEnd = {});
    // Waits for the other thread; what it threw is dropped (call Finish to see it).
    ~ObservationRelay();
    ObservationRelay(const ObservationRelay&) = delete;
    ObservationRelay& operator=(const ObservationRelay&) = delete;

    void Put(const ObservationRecord& record) override {
        batch_.push_back(record);
        if (batch_.size() >= kBatch) Hand();
    }
    // Hands over the last records, lets `atEnd` run and waits for it; then throws on what the
    // other thread threw, here.
    void Finish();

  private:
    static constexpr std::size_t kBatch = 512;
    static constexpr std::size_t kQueued = 8;  // full batches waiting at most

    void Hand();
    void Drain();
    void Run();

    ObservationSink& target_;
    std::function<void()> atEnd_;
    std::vector<ObservationRecord> batch_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::vector<ObservationRecord>> full_;
    std::vector<std::vector<ObservationRecord>> spare_;
    bool closing_ = false;
    bool finished_ = false;
    std::exception_ptr failure_;
    std::thread worker_;
};

}  // namespace talvik
