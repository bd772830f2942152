// Free notifications between components: whichever of two linked components goes first, the other hears of it and forgets it.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "editor/store/Component.h"

namespace qm {
namespace {

// Remembers every component it was told about.
class TProbe : public TComponent {
 public:
  explicit TProbe(std::vector<const TComponent*>* log = nullptr) : log_(log) {}
  std::vector<const TComponent*> Removed;
  std::vector<std::string> RemovedNames;

 protected:
  void Notification(TComponent* component, TOperation operation) override {
    if (operation == opRemove) {
      Removed.push_back(component);
      RemovedNames.push_back(component->Name);  // the TComponent part is still whole
    }
    if (log_ != nullptr) log_->push_back(this);
  }

 private:
  std::vector<const TComponent*>* log_;
};

TEST(FreeNotificationTest, EitherSideGoingFirstTellsTheOther) {
  for (const bool subscriberFirst : {false, true}) {
    auto source = std::make_unique<TProbe>();
    auto subscriber = std::make_unique<TProbe>();
    source->Name = "source";
    subscriber->Name = "subscriber";
    source->FreeNotification(subscriber.get());
    auto& going = subscriberFirst ? subscriber : source;
    auto& stays = subscriberFirst ? source : subscriber;
    EXPECT_TRUE(stays->HasFreeNotification(going.get()));
    going.reset();
    EXPECT_EQ(stays->RemovedNames, std::vector<std::string>{subscriberFirst ? "subscriber" : "source"});
    // Were the link still there, this would reach the destroyed component
    // (the sanitizer build reports that).
    stays.reset();
  }
}

TEST(FreeNotificationTest, RemovedLinksAreSilentAndLinksCountOnce) {
  TProbe keeper;
  {
    TProbe twice;
    twice.FreeNotification(&keeper);
    keeper.FreeNotification(&twice);
    twice.FreeNotification(&twice);  // never linked to itself
    EXPECT_FALSE(twice.HasFreeNotification(&twice));
  }
  EXPECT_EQ(keeper.Removed.size(), 1u);
  {
    TProbe unlinked;
    unlinked.FreeNotification(&keeper);
    keeper.RemoveFreeNotification(&unlinked);
    EXPECT_FALSE(unlinked.HasFreeNotification(&keeper));
  }
  EXPECT_EQ(keeper.Removed.size(), 1u);
}

TEST(FreeNotificationTest, EverySubscriberIsTold) {
  std::vector<const TComponent*> told;
  TProbe a(&told);
  TProbe b(&told);
  {
    TProbe source;
    source.FreeNotification(&a);
    source.FreeNotification(&b);
  }
  EXPECT_EQ(told, (std::vector<const TComponent*>{&a, &b}));
  EXPECT_EQ(a.Removed.size(), 1u);
  EXPECT_EQ(b.Removed.size(), 1u);
}

}  // namespace
}  // namespace qm
