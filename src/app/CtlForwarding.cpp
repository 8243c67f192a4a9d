#include "app/CtlForwarding.h"

#include "app/LightingWiring.h"
#include "app/MainWnd.h"
#include "app/PageWiring.h"
#include "ctl/CtlProtocol.h"
#include "ctl/CtlService.h"
#include "headset/page/HeadsetLightPage.h"
#include "headset/page/HeadsetVoicePage.h"
#include "platform/SingleInstance.h"
#include "session/LightingThreads.h"

namespace korva::app {

CtlForwarding::CtlForwarding(platform::SingleInstance& instance, CMainWnd& window, PageWiring& pages, bool simulated)
    : instance_(instance), window_(window), simulated_(simulated) {
  session::DeviceSession& session = window.Session();
  hooks_.settingsChanged = [&window](DeviceKind kind) { window.RefreshDevicePages(kind); };
  hooks_.lightingSet = [&pages, &session, &window](DeviceKind kind) {
    const lighting::LightingSettings record = session.Controller(kind).Lighting();
    pages.Lighting().Threads().ModeSelected(kind, record.mode, record.direction);
    // The headset's page was shown the record when it was kept (below); a refresh of its voice
    // page would send the voice settings again.
    if (kind != DeviceKind::kHeadset) window.RefreshDevicePages(kind);
  };
  hooks_.profileApplied = [&pages](const session::ProfileEffect& effect) { pages.ProfileApplied(effect); };
  hooks_.storeChanged = [&pages](profile::StoreKind store) { pages.ProfilePanelOf(store).Initialise(); };
  hooks_.keepHeadsetLight = [&pages](const lighting::LightingSettings& record) {
    pages.HeadsetVoice().LightingCopied(record);
    pages.HeadsetLight().Show(record);
    return profile::StoreResult{};
  };
  hooks_.headsetVoice = [&pages]() -> const headset::HeadsetVoice* { return &pages.HeadsetVoice().Voice(); };
  hooks_.selectHeadsetProfile = [&pages](int index) { pages.HeadsetVoice().ChooseProfile(index); };
  hooks_.headsetProfilesChanged = [&pages] { pages.HeadsetVoice().ReloadProfiles(); };
  const std::string_view prefix = ctl::kRequestPrefix;
  instance_.SetRequestHandler(QByteArray(prefix.data(), static_cast<qsizetype>(prefix.size())),
                              static_cast<qsizetype>(ctl::kMaxRequestBytes),
                              [this](const QByteArray& line) { return Answer(line); });
}

CtlForwarding::~CtlForwarding() {
  instance_.SetRequestHandler({}, 0, {});
}

QByteArray CtlForwarding::Answer(const QByteArray& line) {
  const std::string answer = ctl::AnswerRequest(std::string_view(line.constData(), static_cast<std::size_t>(line.size())),
                                                window_.Session(), simulated_, hooks_);
  return QByteArray(answer.data(), static_cast<qsizetype>(answer.size()));
}

}  // namespace korva::app
