#include "project/ObservationRelay.h"

#include <system_error>
#include <utility>

namespace talvik {

ObservationRelay::ObservationRelay(BesideWriter& target) : target_(target) {
    batch_.reserve(kBatch);
    try {
        worker_ = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
        // No second thread: Put and Finish do the work themselves.
    }
}

ObservationRelay::~ObservationRelay() {
    try {
        Finish();
    } catch (...) {
        // Reported by an explicit Finish; a relay left through a failure of its own caller
        // only has to stop its thread.
    }
}

void ObservationRelay::Drain() {
    for (const ObservationRecord& record : batch_)
        target_.Put(record);
    batch_.clear();
}

void ObservationRelay::Hand() {
    if (!worker_.joinable()) {
        Drain();
        return;
    }
    std::vector<ObservationRecord> next;
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return full_.size() < kQueued; });
        full_.push_back(std::move(batch_));
        if (!spare_.empty()) {
            next = std::move(spare_.back());
            spare_.pop_back();
        }
    }
    changed_.notify_all();
    batch_ = std::move(next);
    batch_.clear();
    batch_.reserve(kBatch);
}

bool ObservationRelay::Finish() {
    if (!finished_) {
        finished_ = true;
        if (worker_.joinable()) {
            if (!batch_.empty()) Hand();
            {
                const std::lock_guard lock(mutex_);
                closing_ = true;
            }
            changed_.notify_all();
            worker_.join();
        } else {
            try {
                Drain();
                closed_ = target_.Close();
            } catch (...) {
                failure_ = std::current_exception();
            }
        }
    }
    if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
    return closed_;
}

void ObservationRelay::Run() {
    for (;;) {
        std::vector<ObservationRecord> records;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return !full_.empty() || closing_; });
            if (full_.empty()) break;
            records = std::move(full_.front());
            full_.pop_front();
        }
        changed_.notify_all();
        // After a failure the rest is only taken off the queue, so the reader never waits.
        if (!failure_) {
            try {
                target_.PutMany(records);
            } catch (...) {
                failure_ = std::current_exception();
            }
        }
        records.clear();
        const std::lock_guard lock(mutex_);
        spare_.push_back(std::move(records));
    }
    if (!failure_) {
        try {
            closed_ = target_.Close();
        } catch (...) {
            failure_ = std::current_exception();
        }
    }
}

}  // namespace talvik
