#pragma once
// CtlForwarding: the program's side of korvactl. While the program runs it has the devices open,
// so korvactl sends its command over the single-instance socket (ctl/CtlProtocol.h); the program
// carries it out on its own device session, on the UI thread, through the controllers its pages
// use, and answers with what korvactl prints. The pages then show what the command changed: the
// device's pages refresh, a chosen lighting mode restarts the device's preview outside the
// synchronised lighting, a profile library's panel shows its new list and selection. The headset's
// profiles go through its voice page, which chooses a profile as its list does, and `show headset`
// prints the voice settings that page holds.
//
// Installs itself as the single-instance object's request handler and removes itself when it goes;
// it must go before the window and the pages.

#include <QByteArray>

#include "ctl/CtlResult.h"

namespace korva::platform {
class SingleInstance;
}

namespace korva::app {

class CMainWnd;
class PageWiring;

class CtlForwarding {
 public:
  // `simulated`: the program runs on the simulated devices (korvactl --simulate asks it).
  CtlForwarding(platform::SingleInstance& instance, CMainWnd& window, PageWiring& pages, bool simulated);
  ~CtlForwarding();
  CtlForwarding(const CtlForwarding&) = delete;
  CtlForwarding& operator=(const CtlForwarding&) = delete;

  // The answer line to a request line.
  QByteArray Answer(const QByteArray& line);

 private:
  platform::SingleInstance& instance_;
  CMainWnd& window_;
  bool simulated_;
  ctl::CtlHooks hooks_;
};

}  // namespace korva::app
