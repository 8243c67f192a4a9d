#include "ui/routing/SkinChanged.h"

#include <algorithm>

#include "ui/SkinWindow.h"

namespace korva::ui {

namespace {

template <class T>
auto FindValue(std::map<int, T*>& map, const T* value) {
  return std::find_if(map.begin(), map.end(), [value](const auto& entry) { return entry.second == value; });
}

}  // namespace

ObserverImpl::~ObserverImpl() {
  for (const auto& [key, receiver] : receivers_) receiver->Forget(this);
}

void ObserverImpl::AddReceiver(ReceiverImpl* receiver) {
  if (!receiver || Holds(receiver)) return;
  receivers_.emplace(++count_, receiver);
  receiver->AddObserver(this);
}

void ObserverImpl::RemoveReceiver(ReceiverImpl* receiver) {
  const auto it = FindValue(receivers_, receiver);
  if (it == receivers_.end()) return;
  receivers_.erase(it);
  receiver->Forget(this);
}

bool ObserverImpl::Holds(const ReceiverImpl* receiver) const {
  return std::any_of(receivers_.begin(), receivers_.end(),
                     [receiver](const auto& entry) { return entry.second == receiver; });
}

void ObserverImpl::Forget(ReceiverImpl* receiver) {
  const auto it = FindValue(receivers_, receiver);
  if (it != receivers_.end()) receivers_.erase(it);
}

void ObserverImpl::Broadcast(const SkinChangedParam& param) {
  // A receiver may add or remove receivers while it runs; those it removed are not called.
  const auto receivers = receivers_;
  for (const auto& [key, receiver] : receivers)
    if (receivers_.count(key)) receiver->Receive(param);
}

void ObserverImpl::Notify(const SkinChangedParam& param) {
  const auto receivers = receivers_;
  for (const auto& [key, receiver] : receivers)
    if (receivers_.count(key)) receiver->Respond(param, this);
}

ReceiverImpl::~ReceiverImpl() {
  RemoveObserver();
}

void ReceiverImpl::AddObserver(ObserverImpl* observer) {
  if (!observer || FindValue(observers_, observer) != observers_.end()) return;
  observers_.emplace(++count_, observer);
  // Registration works from either side.
  if (!observer->Holds(this)) observer->AddReceiver(this);
}

void ReceiverImpl::RemoveObserver() {
  const auto observers = observers_;
  observers_.clear();
  for (const auto& [key, observer] : observers) observer->Forget(this);
}

int ReceiverImpl::Receive(SkinChangedParam) {
  return 0;
}

int ReceiverImpl::Respond(SkinChangedParam, ObserverImpl*) {
  return 0;
}

void ReceiverImpl::Forget(ObserverImpl* observer) {
  const auto it = FindValue(observers_, observer);
  if (it != observers_.end()) observers_.erase(it);
}

ObserverImpl& GetSkinObserver() {
  static ObserverImpl observer;
  return observer;
}

int ApplySkinBackground(SkinWindow& window, const SkinChangedParam& param) {
  Control root = window.FindControl(QStringLiteral("root"));
  if (!root) return 0;
  if (param.colourMode) {
    root.SetBkColor(param.bkColour);
    root.SetBkImage(QString());
  } else {
    root.SetBkColor(0);
    root.SetBkImage(param.bkImage);
  }
  return 1;
}

RootBackgroundReceiver::RootBackgroundReceiver(SkinWindow& window) : window_(&window) {}

int RootBackgroundReceiver::Receive(SkinChangedParam param) {
  return window_ ? ApplySkinBackground(*window_, param) : 0;
}

}  // namespace korva::ui
