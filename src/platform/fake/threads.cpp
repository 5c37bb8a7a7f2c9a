// Threads of the fake Windows: the body runs at once unless the world asks for real threads.

#include "platform/threads.h"

#include "platform/fake/internal.h"

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

namespace platform {

namespace {

struct RunningThread {
  std::thread thread;
  std::shared_ptr<std::atomic<bool>> ended;
};

std::mutex ThreadsMutex;
std::map<win::Handle, RunningThread> Threads;
win::Handle NextThread = 0x8000;

} // namespace

win::Handle StartThread(std::function<void()> body) {
  fake::Record("StartThread");
  if (fake::TheWorld().threadsRefused) {
    fake::TheWorld().lastError = win::ErrorNotEnoughMemory;
    return win::NoHandle;
  }
  const std::lock_guard<std::mutex> lock(ThreadsMutex);
  const win::Handle handle = NextThread++;
  auto ended = std::make_shared<std::atomic<bool>>(false);
  if (fake::TheWorld().realThreads) {
    Threads[handle] = {std::thread([body = std::move(body), ended] {
                         body();
                         ended->store(true);
                       }),
                       ended};
  } else {
    body();
    ended->store(true);
    Threads[handle] = {std::thread(), ended};
  }
  return handle;
}

bool ThreadEnded(win::Handle thread) {
  const std::lock_guard<std::mutex> lock(ThreadsMutex);
  const auto found = Threads.find(thread);
  return found == Threads.end() || found->second.ended->load();
}

void JoinThread(win::Handle thread) {
  std::thread ending;
  {
    const std::lock_guard<std::mutex> lock(ThreadsMutex);
    const auto found = Threads.find(thread);
    if (found == Threads.end()) {
      return;
    }
    ending = std::move(found->second.thread);
    Threads.erase(found);
  }
  if (ending.joinable()) {
    ending.join();
  }
}

} // namespace platform
