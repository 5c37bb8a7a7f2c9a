#include "actions/request_batch.h"

#include "platform/threads.h"

#include <algorithm>

RequestBatch::RequestBatch(std::size_t count, Request request, std::size_t maxInFlight)
    : count_(count), request_(std::move(request)),
      maxInFlight_(std::max<std::size_t>(1, maxInFlight)), outcomes_(count),
      answered_(std::make_unique<std::atomic<bool>[]>(count)), reported_(count, false) {}

RequestBatch::~RequestBatch() {
  for (const win::Handle worker : workers_) {
    platform::JoinThread(worker);
  }
}

void RequestBatch::Start() {
  const std::size_t workers = std::min(count_, maxInFlight_);
  for (std::size_t i = 0; i < workers; ++i) {
    const win::Handle worker = platform::StartThread([this] { Work(); });
    if (worker != win::NoHandle) {
      workers_.push_back(worker);
    }
  }
  // Without a thread to spare the computers are still asked, one after the other.
  if (workers_.empty()) {
    Work();
  }
}

void RequestBatch::Work() {
  for (;;) {
    if (cancelled_.load()) {
      return;
    }
    const std::size_t position = next_.fetch_add(1);
    if (position >= count_) {
      return;
    }
    outcomes_[position] = request_(position);
    if (!outcomes_[position].ok) {
      failedCount_.fetch_add(1);
    }
    // The outcome is complete before the window's thread may read it.
    answered_[position].store(true, std::memory_order_release);
    answeredCount_.fetch_add(1);
  }
}

void RequestBatch::Cancel() {
  cancelled_.store(true);
}

bool RequestBatch::Cancelled() const {
  return cancelled_.load();
}

bool RequestBatch::Ended() const {
  return std::all_of(workers_.begin(), workers_.end(),
                     [](win::Handle worker) { return platform::ThreadEnded(worker); });
}

std::size_t RequestBatch::Answered() const {
  return answeredCount_.load();
}

std::size_t RequestBatch::Failed() const {
  return failedCount_.load();
}

bool RequestBatch::IsAnswered(std::size_t position) const {
  return answered_[position].load(std::memory_order_acquire);
}

const RequestOutcome& RequestBatch::Outcome(std::size_t position) const {
  return outcomes_[position];
}

std::vector<std::size_t> RequestBatch::TakeNewlyAnswered() {
  std::vector<std::size_t> positions;
  for (std::size_t position = 0; position < count_; ++position) {
    if (!reported_[position] && IsAnswered(position)) {
      reported_[position] = true;
      positions.push_back(position);
    }
  }
  return positions;
}
