#pragma once
// Hands observation records to a writer on a thread of its own, in batches, so that the
// observation file is formatted and written beside the reading of the field file. The writer
// gets the records in the order they were put, all of them once Finish has returned.

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

#include "model/Tables.h"

namespace talvik {

// What runs on the writing thread. A writer is made without a user interface, so nothing it
// does can reach one from there; its owner reads what it did once the relay has finished.
class BesideWriter : public ObservationSink {
  public:
    // After the last record, on the writing thread: closes the output; false when it failed.
    virtual bool Close() = 0;
};

class ObservationRelay final : public ObservationSink {
  public:
    // Without a second thread (none could be started) everything runs on the caller's.
    explicit ObservationRelay(BesideWriter& target);
    // Waits for the other thread; what it threw is dropped (call Finish to see it).
    ~ObservationRelay();
    ObservationRelay(const ObservationRelay&) = delete;
    ObservationRelay& operator=(const ObservationRelay&) = delete;

    void Put(const ObservationRecord& record) override {
        batch_.push_back(record);
        if (batch_.size() >= kBatch) Hand();
    }
    // Hands over the last records, lets the writer close and waits for it; then throws on
    // what the other thread threw, here. The writer's Close result.
    bool Finish();

  private:
    static constexpr std::size_t kBatch = 512;
    static constexpr std::size_t kQueued = 8;  // full batches waiting at most

    void Hand();
    void Drain();
    void Run();

    BesideWriter& target_;
    bool closed_ = false;
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
