#pragma once
// Requests to many computers at once, off the window's thread: a bounded number in flight, each
// outcome kept by the request's position, and Cancel as a flag read before the next one starts.
// The window's thread polls the batch and never waits on the network.

#include "platform/winconst.h"

#include <atomic>
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
  // only read what no other thread changes meanwhile.
  using Request = std::function<RequestOutcome(std::size_t position)>;

  RequestBatch(std::size_t count, Request request, std::size_t maxInFlight = MaxConcurrentRequests);
  // Waits for the requests in flight: they end by themselves.
  ~RequestBatch();
  RequestBatch(const RequestBatch&) = delete;
  RequestBatch& operator=(const RequestBatch&) = delete;

  void Start();
  // No further request starts; those in flight run to their end.
  void Cancel();
  bool Cancelled() const;
  // Every worker has stopped: each request ended, or was never started after Cancel.
  bool Ended() const;

  std::size_t Count() const { return count_; }
  std::size_t Answered() const;
  std::size_t Failed() const;
  bool IsAnswered(std::size_t position) const;
  // Valid once IsAnswered(position).
  const RequestOutcome& Outcome(std::size_t position) const;
  // The positions answered since the last call, in position order.
  std::vector<std::size_t> TakeNewlyAnswered();

private:
  void Work();

  std::size_t count_;
  Request request_;
  std::size_t maxInFlight_;
  std::vector<RequestOutcome> outcomes_;
  std::unique_ptr<std::atomic<bool>[]> answered_;
  std::vector<bool> reported_;
  std::atomic<std::size_t> next_{0};
  std::atomic<std::size_t> answeredCount_{0};
  std::atomic<std::size_t> failedCount_{0};
  std::atomic<bool> cancelled_{false};
  std::vector<win::Handle> workers_;
};
