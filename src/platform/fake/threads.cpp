// Threads of the fake Windows: the body runs at once unless the world asks for real threads.

#include "platform/threads.h"

#include "platform/fake/internal.h"

#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace platform {

namespace {

struct Ending {
  std::mutex mutex;
  std::condition_variable changed;
  bool ended = false;
};

struct RunningThread {
  std::thread thread;
  std::shared_ptr<Ending> ending;
};

std::mutex ThreadsMutex;
std::map<win::Handle, RunningThread> Threads;
// Threads let go of, joined by the test that started them once it has let them end.
std::vector<std::thread> Released;
win::Handle NextThread = 0x8000;

} // namespace

win::Handle StartThread(std::function<void()> body) {
  fake::Record("StartThread");
  if (fake::TheWorld().threadsRefused) {
    fake::TheWorld().lastError = win::ErrorNotEnoughMemory;
    return win::NoHandle;
  }
  auto ending = std::make_shared<Ending>();
  const auto end = [ending] {
    const std::lock_guard<std::mutex> lock(ending->mutex);
    ending->ended = true;
    ending->changed.notify_all();
  };
  std::thread thread;
  if (fake::TheWorld().realThreads) {
    thread = std::thread([body = std::move(body), end] {
      body();
      end();
    });
  } else {
    body();
    end();
  }
  const std::lock_guard<std::mutex> lock(ThreadsMutex);
  const win::Handle handle = NextThread++;
  Threads[handle] = {std::move(thread), ending};
  return handle;
}

bool WaitForThread(win::Handle thread, std::uint32_t milliseconds) {
  std::shared_ptr<Ending> ending;
  {
    const std::lock_guard<std::mutex> lock(ThreadsMutex);
    const auto found = Threads.find(thread);
    if (found == Threads.end()) {
      return true;
    }
    ending = found->second.ending;
  }
  std::unique_lock<std::mutex> lock(ending->mutex);
  return ending->changed.wait_for(lock, std::chrono::milliseconds(milliseconds),
                                  [&ending] { return ending->ended; });
}

void ReleaseThread(win::Handle thread) {
  const std::lock_guard<std::mutex> lock(ThreadsMutex);
  const auto found = Threads.find(thread);
  if (found == Threads.end()) {
    return;
  }
  if (found->second.thread.joinable()) {
    Released.push_back(std::move(found->second.thread));
  }
  Threads.erase(found);
}

Mutex::Mutex() : native_(new std::mutex) {}

Mutex::~Mutex() {
  delete static_cast<std::mutex*>(native_);
}

void Mutex::lock() {
  static_cast<std::mutex*>(native_)->lock();
}

void Mutex::unlock() {
  static_cast<std::mutex*>(native_)->unlock();
}

} // namespace platform

namespace fake {

void JoinReleasedThreads() {
  std::vector<std::thread> ending;
  {
    const std::lock_guard<std::mutex> lock(platform::ThreadsMutex);
    ending.swap(platform::Released);
  }
  for (std::thread& thread : ending) {
    thread.join();
  }
}

} // namespace fake
