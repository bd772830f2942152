// TComponent: the named base of the engine's components, with free notifications between linked components.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace qm {

enum class TOperation : uint8_t { opInsert, opRemove };
using enum TOperation;

class TComponent {
 public:
  TComponent() = default;
  // Tells every linked component (opRemove) that this one is going, after
  // unlinking it, so none of them keeps a pointer to it.
  virtual ~TComponent() {
    std::vector<TComponent*> linked;
    linked.swap(freeNotifies_);
    for (TComponent* other : linked) {
      other->Unlink(this);
      other->Notification(this, opRemove);
    }
  }
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  // Links this component and `component` both ways: whichever is destroyed
  // first, the other receives Notification(it, opRemove). Linking twice is
  // the same as once; a component is never linked to itself.
  void FreeNotification(TComponent* component) {
    if (component == nullptr || component == this) return;
    Link(component);
    component->Link(this);
  }
  // Undoes FreeNotification; neither side is told anything.
  void RemoveFreeNotification(TComponent* component) {
    if (component == nullptr) return;
    Unlink(component);
    component->Unlink(this);
  }
  bool HasFreeNotification(const TComponent* component) const {
    return std::find(freeNotifies_.begin(), freeNotifies_.end(), component) != freeNotifies_.end();
  }

  std::string Name;

 protected:
  // A linked component is going (opRemove). It is already being destroyed:
  // only its address may be used, to forget it.
  virtual void Notification(TComponent* component, TOperation operation) {
    (void)component;
    (void)operation;
  }

 private:
  void Link(TComponent* component) {
    if (!HasFreeNotification(component)) freeNotifies_.push_back(component);
  }
  void Unlink(TComponent* component) {
    freeNotifies_.erase(std::remove(freeNotifies_.begin(), freeNotifies_.end(), component), freeNotifies_.end());
  }

  // The components linked by FreeNotification, each once.
  std::vector<TComponent*> freeNotifies_;
};

}  // namespace qm
