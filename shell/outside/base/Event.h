#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace orv {

// An event that callers subscribe to with a function. The subscription handle unsubscribes when
// it is destroyed, so a listener cannot outlive its handler.
template <class... Args>
class Event {
  struct Handlers {
    std::map<std::uint64_t, std::function<void(Args...)>> functions;
    std::uint64_t next = 1;
  };

 public:
  class Subscription {
   public:
    Subscription() = default;
    Subscription(Subscription&& other) noexcept
        : handlers_(std::move(other.handlers_)), id_(std::exchange(other.id_, 0)) {}
    Subscription& operator=(Subscription&& other) noexcept {
      if (this != &other) {
        Cancel();
        handlers_ = std::move(other.handlers_);
        id_ = std::exchange(other.id_, 0);
      }
      return *this;
    }
    Subscription(const Subscription&) = delete;
    Subscription& operator=(const Subscription&) = delete;
    ~Subscription() { Cancel(); }
    void Cancel() {
      if (auto handlers = handlers_.lock()) handlers->functions.erase(id_);
      handlers_.reset();
      id_ = 0;
    }

   private:
    friend class Event;
    Subscription(std::weak_ptr<Handlers> handlers, std::uint64_t id)
        : handlers_(std::move(handlers)), id_(id) {}
    std::weak_ptr<Handlers> handlers_;
    std::uint64_t id_ = 0;
  };

  [[nodiscard]] Subscription Subscribe(std::function<void(Args...)> handler) {
    auto id = handlers_->next++;
    handlers_->functions.emplace(id, std::move(handler));
    return Subscription(handlers_, id);
  }

  void Raise(Args... args) const {
    std::vector<std::function<void(Args...)>> current;
    for (const auto& entry : handlers_->functions) current.push_back(entry.second);
    for (const auto& handler : current) handler(args...);
  }

  std::size_t Count() const { return handlers_->functions.size(); }

 private:
  std::shared_ptr<Handlers> handlers_ = std::make_shared<Handlers>();
};

}  // namespace orv
