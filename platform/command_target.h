#pragma once
#include <functional>
#include <map>

namespace platform {

// A response table: command id -> handler. A window offers a command to its table and reports
// whether it had an entry for it, so the caller can pass the command on.
class TCommandTarget {
 public:
  virtual ~TCommandTarget() = default;

  bool ProcessCommand(int id) {
    auto entry = table_.find(id);
    if (entry == table_.end()) return false;
    entry->second();
    return true;
  }
  bool Handles(int id) const { return table_.count(id) != 0; }

 protected:
  void Respond(int id, std::function<void()> handler) { table_[id] = std::move(handler); }

 private:
  std::map<int, std::function<void()>> table_;
};

}  // namespace platform
