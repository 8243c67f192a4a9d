// Builds the main window from the skin, reads a simulated mouse into the sensitivity page and
// writes a screenshot of the page as the user sees it (used to check the look):
//   korva_mouse_page_preview [--skin DIR] [--lang lan_en.xml] [--out FILE.png] [--stage N] [--colour ARGB]
// --stage N (0..5) makes stage N + 1 the current one, to see its colouring; --colour 0xFF2400FF picks
// an indicator colour as a swatch click would.

#include <QApplication>
#include <cstdio>

#include "device/HidDevice.h"
#include "device/HidLink.h"
#include "device/KnownDevices.h"
#include "mouse/MousePageModel.h"
#include "mouse/MouseTransfer.h"
#include "mouse/page/MouseSettingsPage.h"
#include "platform/FakeDesktopPointerSettings.h"
#include "sim/SimBus.h"
#include "ui/PageTable.h"
#include "ui/controls/StandardControls.h"
#include "ui/Skin.h"
#include "ui/SkinWindow.h"

using namespace korva;

namespace {

class PreviewWindow : public ui::SkinWindow, public ui::IDialogBuilderCallback {
 public:
  using SkinWindow::SkinWindow;
  QWidget* CreateControl(const QString& cls) override {
    if (auto file = ui::PageFileForClass(cls)) return BuildPage(*file);
    return nullptr;
  }
};

// The simulated mouse's vendor collection, opened as the mouse watcher opens it.
bool OpenSimulatedMouse(sim::SimBus& bus, int id, device::HidDevice& mouse) {
  for (const device::HidInterfaceInfo& info : bus.Collections(id))
    if (info.usagePage == device::kVendorUsagePage && info.usage == device::kVendorUsage)
      mouse.link.devicePath = info;
  mouse.identity = device::kMouseIdentity;
  mouse.link.options = {.wantRead = true, .wantWrite = true, .overlapped = true, .shareReadOnly = false};
  mouse.connected = device::OpenLink(mouse.link);
  return mouse.connected;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QString skinFolder = ui::Skin::SourceSkinFolder();
  QString language = QStringLiteral("lan_en.xml");
  QString out = QStringLiteral("mouse_dpi_page.png");
  int currentStage = -1;
  QString colour;
  const QStringList args = app.arguments();
  for (int i = 1; i + 1 < args.size(); i += 2) {
    if (args[i] == QLatin1String("--skin"))
      skinFolder = args[i + 1];
    else if (args[i] == QLatin1String("--lang"))
      language = args[i + 1];
    else if (args[i] == QLatin1String("--out"))
      out = args[i + 1];
    else if (args[i] == QLatin1String("--stage"))
      currentStage = args[i + 1].toInt();
    else if (args[i] == QLatin1String("--colour"))
      colour = args[i + 1];
  }

  auto opened = ui::Skin::Open(skinFolder);
  if (!opened) {
    std::fprintf(stderr, "%s\n", opened.error().ToString().c_str());
    return 1;
  }
  ui::Skin& skin = *opened.value();
  ui::RegisterStandardControls(skin.Factory());
  if (auto error = skin.LoadLanguage(language)) {
    std::fprintf(stderr, "%s\n", error->ToString().c_str());
    return 1;
  }
  PreviewWindow window(skin);
  if (auto error = window.Build(QStringLiteral("XML_MAIN"), &window)) {
    std::fprintf(stderr, "%s\n", error->ToString().c_str());
    return 1;
  }

  sim::SimBus bus;
  const int id = bus.Plug(sim::SimDeviceKind::kMouse);
  device::HidDevice mouse(bus);
  mouse::MousePageModel model;
  platform::FakeDesktopPointerSettings desktop;
  if (!OpenSimulatedMouse(bus, id, mouse)) {
    std::fprintf(stderr, "cannot open the simulated mouse\n");
    return 1;
  }
  mouse::MouseImage image = model.image();
  if (!mouse::ReadMouseAll(mouse, image).ok()) {
    std::fprintf(stderr, "cannot read the simulated mouse\n");
    return 1;
  }
  if (currentStage >= 0)
    image.active.bytes[mouse::MouseActiveSettings::kCurrentStage] = static_cast<std::uint8_t>(currentStage);
  model.TakeImage(image);

  mouse::MouseSettingsPage page(window, model, mouse, desktop);
  page.Refresh();
  if (!colour.isEmpty()) page.PickIndicatorColour(colour.toUInt(nullptr, 0));

  window.FindControl(QStringLiteral("ms_tab")).SetVisible(true);
  window.FindControl(QStringLiteral("ms_tab")).Select(true);
  window.FindControl(QStringLiteral("tab_switch")).SelectItem(1);
  window.FindControl(QStringLiteral("ms_rich_Op_tab")).Select(true);
  window.FindControl(QStringLiteral("ms_tab_switch")).SelectItem(3);
  window.show();
  QApplication::processEvents();
  if (!window.grab().save(out)) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(out));
    return 1;
  }
  std::printf("%s\n", qPrintable(out));
  device::CloseLink(mouse.link);
  return 0;
}
