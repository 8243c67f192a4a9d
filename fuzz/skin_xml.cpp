// Skin XML: the first byte says which kind of skin file the rest is -- a window skin, a page file,
// a menu file or a resource index -- and it is built as the program builds that kind, with the
// shipped skin, its custom controls and its page classes (offscreen, without a display).
#include <QMenu>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "fuzz/FuzzSupport.h"
#include "tests/ui/ShippedSkinWindow.h"

using korva::fuzz::Check;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  if (!korva::test::SharedShippedSkin()) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korva;
  if (size == 0) return 0;
  const std::filesystem::path& folder = fuzz::FreshScratchFolder();
  const std::filesystem::path file = folder / "fuzz.xml";
  fuzz::WriteBytes(file, fuzz::AsText(data + 1, size - 1));
  const QString path = QString::fromStdString(file.string());
  ui::Skin& skin = *test::SharedShippedSkin();
  switch (data[0] & 3) {
    case 0: {
      test::ShippedPageWindow window(skin);
      const bool built = !window.Build(path, &window);
      Check(built == window.Root().IsValid());
      break;
    }
    case 1: {
      test::ShippedPageWindow window(skin);
      delete window.BuildPage(path);
      break;
    }
    case 2: {
      ui::SkinError error;
      const std::unique_ptr<QMenu> menu(skin.BuildMenu(path, nullptr, &error));
      Check(menu || !error.ToString().empty());
      break;
    }
    default:
      (void)ui::Skin::Open(QString::fromStdString(folder.string()), QStringLiteral("fuzz.xml"));
      break;
  }
  return 0;
}
