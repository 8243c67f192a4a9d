// Language files (lan_*.xml): read as a language table, and loaded into the shipped skin while a
// window built from it is open, so its texts are shown anew from the file (offscreen).
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fuzz/FuzzSupport.h"
#include "tests/ui/ShippedSkinWindow.h"

using korva::fuzz::Check;

namespace {

korva::test::ShippedPageWindow* window = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  korva::ui::Skin* skin = korva::test::SharedShippedSkin();
  if (!skin) std::abort();
  window = new korva::test::ShippedPageWindow(*skin);
  if (window->Build(QStringLiteral("XML_MSG"), window)) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korva;
  const std::filesystem::path file = fuzz::ScratchFolder() / "lan_fuzz.xml";
  fuzz::WriteBytes(file, fuzz::AsText(data, size));
  const QString path = QString::fromStdString(file.string());
  ui::LanguageTable table;
  if (!ui::LanguageTable::Load(path, table)) {
    for (const QString& id : table.Ids()) Check(table.Find(id) != nullptr);
  }
  ui::Skin& skin = window->GetSkin();
  const QString before = skin.LanguageFile();
  // A file that does not load leaves the language as it was.
  if (skin.LoadLanguage(path)) Check(skin.LanguageFile() == before);
  return 0;
}
