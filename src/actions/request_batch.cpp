#include "actions/request_batch.h"

#include "platform/threads.h"

#include <algorithm>
#include <atomic>
#include <mutex>

// Owned by the batch and by each worker, so that a worker still in a request when the batch
// goes (the program ends) writes to memory that is still there.
struct RequestBatch::Shared {
  std::size_t count = 0;
  Request request;
  Notify notify;
  std::size_t maxInFlight = 0;
  std::atomic<std::size_t> next{0};
  std::atomic<bool> cancelled{false};
  platform::Mutex mutex; // guards what follows
  std::vector<Answer> answers;
  bool told = false; // of the answers waiting
  std::size_t working = 0;
  bool ended = false;
};

RequestBatch::RequestBatch(std::size_t count, Request request, Notify notify,
                           std::size_t maxInFlight)
    : shared_(std::make_shared<Shared>()) {
  shared_->count = count;
  shared_->request = std::move(request);
  shared_->notify = std::move(notify);
  shared_->maxInFlight = std::max<std::size_t>(1, maxInFlight);
}

RequestBatch::~RequestBatch() = default;

void RequestBatch::Start() {
  const std::size_t workers = std::min(shared_->count, shared_->maxInFlight);
  {
    // Counted before any starts: the first to end must not take itself for the last.
    const std::lock_guard<platform::Mutex> lock(shared_->mutex);
    shared_->working = workers;
    shared_->ended = workers == 0;
  }
  std::size_t refused = 0;
  for (std::size_t i = 0; i < workers; ++i) {
    const win::Handle worker = platform::StartThread([shared = shared_] { Work(shared); });
    if (worker == win::NoHandle) {
      ++refused;
    } else {
      platform::ReleaseThread(worker);
    }
  }
  if (refused == 0) {
    return;
  }
  {
    const std::lock_guard<platform::Mutex> lock(shared_->mutex);
    shared_->working -= refused - 1;
  }
  // Without a thread to spare the computers are still asked, one after the other, here.
  Work(shared_);
}

void RequestBatch::Work(const std::shared_ptr<Shared>& shared) {
  for (;;) {
    if (shared->cancelled.load()) {
      break;
    }
    const std::size_t position = shared->next.fetch_add(1);
    if (position >= shared->count) {
      break;
    }
    const RequestOutcome outcome = shared->request(position);
    bool tell = false;
    {
      const std::lock_guard<platform::Mutex> lock(shared->mutex);
      shared->answers.push_back({position, outcome});
      tell = !shared->told;
      shared->told = true;
    }
    if (tell) {
      shared->notify();
    }
  }
  {
    const std::lock_guard<platform::Mutex> lock(shared->mutex);
    shared->ended = --shared->working == 0;
    if (!shared->ended) {
      return;
    }
  }
  shared->notify();
}

void RequestBatch::Cancel() {
  shared_->cancelled.store(true);
}

bool RequestBatch::Ended() const {
  const std::lock_guard<platform::Mutex> lock(shared_->mutex);
  return shared_->ended;
}

std::vector<RequestBatch::Answer> RequestBatch::TakeAnswers() {
  std::vector<Answer> taken;
  const std::lock_guard<platform::Mutex> lock(shared_->mutex);
  taken.swap(shared_->answers);
  shared_->told = false;
  return taken;
}
