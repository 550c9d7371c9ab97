// The platform's non-visual component: it has an owner, which destroys it, and a state that says
// whether it lives in a design environment.
#pragma once

#include "mirnax/mirnax_export.h"
#include "toolkit/core/classes.h"

#include <memory>
#include <vector>

namespace mirnax {

/// The bits of ComponentState: csDesigning, the component lives in a design environment.
enum TComponentStateItem { csDesigning = 1 };

/// A non-visual component: owned by another component, which destroys it, and aware of design time.
class MIRNAX_EXPORT TComponent : public TObject {
 public:
  /// A component with an owner is destroyed by it.
  explicit TComponent(TComponent* owner = nullptr) : owner_(owner) {
    if (owner_ != nullptr) owner_->owned_.push_back(this);
  }
  ~TComponent() override {
    // Owned components first, newest first, as the platform frees them.
    while (!owned_.empty()) {
      TComponent* child = owned_.back();
      owned_.pop_back();
      child->owner_ = nullptr;
      delete child;
    }
    if (owner_ != nullptr) std::erase(owner_->owned_, this);
  }
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  TComponent* Owner() const { return owner_; }  ///< The owner, nullptr for none.
  int ComponentState() const { return state_; }  ///< The state bits (TComponentStateItem).
  /// Whether the component lives in a design environment.
  bool Designing() const { return (state_ & csDesigning) != 0; }
  /// Turns csDesigning on or off.
  void SetDesigning(bool on) { state_ = on ? (state_ | csDesigning) : (state_ & ~csDesigning); }

 private:
  TComponent* owner_;
  std::vector<TComponent*> owned_;
  int state_ = 0;
};

}  // namespace mirnax
