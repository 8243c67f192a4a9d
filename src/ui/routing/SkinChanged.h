#pragma once
// The skin-changed observer: the skin picker broadcasts a new background to every registered
// receiver; the main window's receiver sets the background of its control "root".
//
// Observer and receivers know each other: an observer registers itself with each receiver it
// adds, and a receiver can ask every observer it knows to drop it. A receiver that is destroyed
// drops itself, and an observer that is destroyed is forgotten by its receivers, so neither side
// is left holding a dangling pointer. Used on the UI thread only.

#include <QPointer>
#include <QString>
#include <map>

namespace korva::ui {

class SkinWindow;

struct SkinChangedParam {
  bool colourMode = false;  // true: use bkColour and no image; false: use bkImage, colour 0
  quint32 bkColour = 0;     // 0xAARRGGBB
  QString bkImage;          // skin-relative image or absolute file path
};

// The background the skin reset restores: the image the main window's skin starts with.
inline constexpr char kDefaultBackgroundImage[] = "common/background.png";

class ReceiverImpl;

class ObserverImpl {
 public:
  ObserverImpl() = default;
  ~ObserverImpl();
  ObserverImpl(const ObserverImpl&) = delete;
  ObserverImpl& operator=(const ObserverImpl&) = delete;

  // Stores the receiver under the next registration number and registers this observer with it.
  // A receiver already registered stays where it is (it gets each broadcast once).
  void AddReceiver(ReceiverImpl* receiver);
  // Erases the receiver's entry.
  void RemoveReceiver(ReceiverImpl* receiver);
  // Calls every receiver's Receive with a copy of the parameter, in registration order.
  void Broadcast(const SkinChangedParam& param);
  // Calls every receiver's Respond with a copy of the parameter and this observer.
  void Notify(const SkinChangedParam& param);

  bool Holds(const ReceiverImpl* receiver) const;

 private:
  friend class ReceiverImpl;
  void Forget(ReceiverImpl* receiver);  // erase without telling the receiver

  std::map<int, ReceiverImpl*> receivers_;
  int count_ = 0;
};

class ReceiverImpl {
 public:
  ReceiverImpl() = default;
  virtual ~ReceiverImpl();
  ReceiverImpl(const ReceiverImpl&) = delete;
  ReceiverImpl& operator=(const ReceiverImpl&) = delete;

  void AddObserver(ObserverImpl* observer);
  // Asks every observer this receiver knows to remove it.
  void RemoveObserver();
  // Default: nothing, result 0.
  virtual int Receive(SkinChangedParam param);
  virtual int Respond(SkinChangedParam param, ObserverImpl* observer);

 private:
  friend class ObserverImpl;
  void Forget(ObserverImpl* observer);

  std::map<int, ObserverImpl*> observers_;
  int count_ = 0;
};

// The process-wide skin-changed observer, created on first use.
ObserverImpl& GetSkinObserver();

// The main window's answer to a broadcast: on the window's control "root", colour mode sets the
// background colour and clears the image; image mode clears the colour and sets the image (an
// image that cannot be loaded leaves no background image). Returns 1, or 0 when the window has
// no "root".
int ApplySkinBackground(SkinWindow& window, const SkinChangedParam& param);

// A receiver that applies every broadcast to one window's "root" (the main window keeps one and
// registers it with GetSkinObserver() when it is built).
class RootBackgroundReceiver : public ReceiverImpl {
 public:
  explicit RootBackgroundReceiver(SkinWindow& window);
  int Receive(SkinChangedParam param) override;

 private:
  QPointer<SkinWindow> window_;
};

}  // namespace korva::ui
