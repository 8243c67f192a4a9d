#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "RoutingTestSupport.h"
#include "ui/routing/SkinChanged.h"

namespace korva::ui {
namespace {

// A receiver that writes down what reaches it.
class Log : public ReceiverImpl {
 public:
  Log(std::vector<std::string>& out, std::string name) : out_(out), name_(std::move(name)) {}
  int Receive(SkinChangedParam param) override {
    out_.push_back(name_ + " receive " + param.bkImage.toStdString());
    if (onReceive) onReceive();
    return 1;
  }
  int Respond(SkinChangedParam param, ObserverImpl* observer) override {
    out_.push_back(name_ + " respond " + param.bkImage.toStdString());
    lastObserver = observer;
    return 1;
  }
  std::function<void()> onReceive;
  ObserverImpl* lastObserver = nullptr;

 private:
  std::vector<std::string>& out_;
  std::string name_;
};

SkinChangedParam Image(const char* image) {
  return SkinChangedParam{false, 0, QString::fromLatin1(image)};
}

TEST(SkinChangedTest, BroadcastReachesEveryReceiverOnceInRegistrationOrder) {
  std::vector<std::string> out;
  ObserverImpl observer;
  Log b(out, "b"), a(out, "a"), c(out, "c");
  observer.AddReceiver(&b);
  observer.AddReceiver(&a);
  observer.AddReceiver(&c);
  observer.AddReceiver(&a);  // already registered: still once
  observer.Broadcast(Image("x.png"));
  EXPECT_EQ(out, (std::vector<std::string>{"b receive x.png", "a receive x.png", "c receive x.png"}));

  out.clear();
  observer.Notify(Image("y.png"));
  EXPECT_EQ(out, (std::vector<std::string>{"b respond y.png", "a respond y.png", "c respond y.png"}));
  EXPECT_EQ(a.lastObserver, &observer);
}

TEST(SkinChangedTest, RemovedAndDestroyedReceiversAreNotCalled) {
  std::vector<std::string> out;
  ObserverImpl first, second;
  Log kept(out, "kept"), removed(out, "removed");
  auto destroyed = std::make_unique<Log>(out, "destroyed");
  for (ObserverImpl* o : {&first, &second}) {
    o->AddReceiver(&kept);
    o->AddReceiver(&removed);
    o->AddReceiver(destroyed.get());
  }
  first.RemoveReceiver(&removed);  // from one observer only
  destroyed.reset();               // from every observer

  first.Broadcast(Image("1"));
  second.Broadcast(Image("2"));
  EXPECT_EQ(out, (std::vector<std::string>{"kept receive 1", "kept receive 2", "removed receive 2"}));

  // The receiver side: asks every observer it knows to drop it.
  out.clear();
  kept.RemoveObserver();
  first.Broadcast(Image("3"));
  second.Broadcast(Image("4"));
  EXPECT_EQ(out, (std::vector<std::string>{"removed receive 4"}));
}

TEST(SkinChangedTest, AReceiverMayRemoveAnotherWhileABroadcastRuns) {
  std::vector<std::string> out;
  ObserverImpl observer;
  Log first(out, "first"), second(out, "second");
  first.onReceive = [&] { observer.RemoveReceiver(&second); };
  observer.AddReceiver(&first);
  observer.AddReceiver(&second);
  observer.Broadcast(Image("x"));
  EXPECT_EQ(out, (std::vector<std::string>{"first receive x"}));
}

TEST(SkinChangedTest, AReceiverOutlivingItsObserverForgetsIt) {
  std::vector<std::string> out;
  Log receiver(out, "r");
  ObserverImpl kept;
  {
    ObserverImpl gone;
    gone.AddReceiver(&receiver);
    kept.AddReceiver(&receiver);
  }
  // Reaches the observer still alive and none that is gone.
  receiver.RemoveObserver();
  EXPECT_FALSE(kept.Holds(&receiver));
  kept.Broadcast(Image("x"));
  EXPECT_TRUE(out.empty());
}

TEST(SkinChangedTest, TheMainWindowsReceiverSetsTheRootBackground) {
  auto skin = test::OpenSourceSkin();
  ASSERT_TRUE(skin);
  test::MainWindow window(*skin);
  ASSERT_TRUE(window.built);
  Control root = window.FindControl(QStringLiteral("root"));
  ObserverImpl observer;
  RootBackgroundReceiver receiver(window);
  observer.AddReceiver(&receiver);

  observer.Broadcast(SkinChangedParam{true, 0xFF204060, QStringLiteral("ignored.png")});
  EXPECT_EQ(root.BkColor(), 0xFF204060u);
  EXPECT_TRUE(root.BkImage().isEmpty());

  observer.Broadcast(SkinChangedParam{false, 0xFF204060, QStringLiteral("common/logo.png")});
  EXPECT_EQ(root.BkColor(), 0u);
  EXPECT_EQ(root.BkImage(), QStringLiteral("common/logo.png"));
}

}  // namespace
}  // namespace korva::ui
