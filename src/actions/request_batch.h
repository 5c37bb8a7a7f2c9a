#pragma once
// Requests to many computers at once, off the window's thread: a bounded number in flight, and
// Cancel as a flag read before the next one starts. The workers hand the answers over in
// batches and tell of each batch, and of their end, through a call the owner gives (a message
// posted to its window): the window's thread never waits on the network and never polls.

#include "platform/winconst.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

// Enough to keep a network's time-outs from adding up, few enough not to flood it.
inline constexpr std::size_t MaxConcurrentRequests = 16;

struct RequestOutcome {
  bool ok = false;
  win::ErrorCode error = win::ErrorSuccess; // the failure's Windows error code
};

class RequestBatch {
public:
  // `request` is called with each position 0 .. count - 1 once, from worker threads, so it must
  // only read what it owns or no other thread changes meanwhile: the workers may outlive the
  // batch.
  using Request = std::function<RequestOutcome(std::size_t position)>;
  // Called from a worker when answers wait to be taken and none waited before, and once when the
  // last worker has stopped; it must not block.
  using Notify = std::function<void()>;

  struct Answer {
    std::size_t position = 0;
    RequestOutcome outcome;
  };

  RequestBatch(std::size_t count, Request request, Notify notify,
               std::size_t maxInFlight = MaxConcurrentRequests);
  // Waits for nothing: the requests in flight end by themselves and their answers go unread.
  ~RequestBatch();
  RequestBatch(const RequestBatch&) = delete;
  RequestBatch& operator=(const RequestBatch&) = delete;

  void Start();
  // No further request starts; those in flight run to their end.
  void Cancel();
  // Every worker has stopped: each request ended, or was never started after Cancel.
  bool Ended() const;

  // The answers given since the last call, in the order they came.
  std::vector<Answer> TakeAnswers();

private:
  struct Shared;
  static void Work(const std::shared_ptr<Shared>& shared);

  std::shared_ptr<Shared> shared_;
};
