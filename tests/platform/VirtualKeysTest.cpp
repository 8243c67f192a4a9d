// The translation of our keys into Windows virtual-key codes, as a table without any window; and
// the low-level keyboard record the capture's messages carry.
#include <gtest/gtest.h>

#include <QtCore/qnamespace.h>

#include <optional>
#include <ostream>
#include <string>

#include "platform/LowLevelInput.h"
#include "platform/VirtualKeys.h"

namespace korva::platform {

void PrintTo(const VirtualKey& vk, std::ostream* os) {
  *os << "0x" << std::hex << vk.code << (vk.extended ? " extended" : "");
}

namespace {

// X keysyms and XKB keycodes (Linux input code + 8) of a US PC keyboard.
constexpr std::uint32_t kScanA = 38, kScanQ = 24, kScan1 = 10, kScan7 = 16, kScanSemicolon = 47,
                        kScanIso102 = 94;
constexpr std::uint32_t kScanLeftShift = 50, kScanRightShift = 62, kScanLeftCtrl = 37, kScanRightCtrl = 105;
constexpr std::uint32_t kScanLeftAlt = 64, kScanRightAlt = 108, kScanLeftSuper = 133, kScanRightSuper = 134;
constexpr std::uint32_t kScanKp7 = 79, kScanKpEnter = 104, kScanHome = 110, kScanReturn = 36;

struct TranslationCase {
  std::string name;
  KeyInput key;
  std::optional<VirtualKey> expected;
};

void PrintTo(const TranslationCase& c, std::ostream* os) {
  *os << c.name;
}

class KeyTranslation : public ::testing::TestWithParam<TranslationCase> {};

TEST_P(KeyTranslation, GivesTheWindowsCode) {
  EXPECT_EQ(TranslateKey(GetParam().key), GetParam().expected);
}

VirtualKey Vk(std::uint16_t code) {
  return {code, false};
}
VirtualKey VkExtended(std::uint16_t code) {
  return {code, true};
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyTranslation,
    ::testing::Values(
        // Letters follow the layout; the digit row is always digits.
        TranslationCase{"LetterA", {Qt::Key_A, false, 0x61, kScanA}, Vk(0x41)},
        TranslationCase{"ShiftedLetterZ", {Qt::Key_Z, false, 0x5A, 52}, Vk(0x5A)},
        TranslationCase{"AzertyAOnTheUsQKey", {Qt::Key_A, false, 0x61, kScanQ}, Vk(0x41)},
        TranslationCase{"CyrillicEfTakesItsPlaceA", {0x0424, false, 0x6C6, kScanA}, Vk(0x41)},
        TranslationCase{"Digit1", {Qt::Key_1, false, 0x31, kScan1}, Vk(0x31)},
        TranslationCase{"ShiftOneExclamIsDigit1", {Qt::Key_Exclam, false, 0x21, kScan1}, Vk(0x31)},
        TranslationCase{"AzertyAmpersandIsDigit1", {Qt::Key_Ampersand, false, 0x26, kScan1}, Vk(0x31)},
        TranslationCase{"GermanShiftSevenSlashIsDigit7", {Qt::Key_Slash, false, 0x2F, kScan7}, Vk(0x37)},
        TranslationCase{"ExclamWithoutScanCodeIsDigit1", {Qt::Key_Exclam, false, 0, 0}, Vk(0x31)},
        TranslationCase{"Digit0WithoutScanCode", {Qt::Key_0, false, 0, 0}, Vk(0x30)},
        // Punctuation.
        TranslationCase{"Semicolon", {Qt::Key_Semicolon, false, 0x3B, kScanSemicolon}, Vk(0xBA)},
        TranslationCase{"ShiftedColonByPlace", {Qt::Key_Colon, false, 0x3A, kScanSemicolon}, Vk(0xBA)},
        TranslationCase{"IsoExtraKeyByPlace", {Qt::Key_Less, false, 0x3C, kScanIso102}, Vk(0xE2)},
        TranslationCase{"DeadKeyByPlace", {Qt::Key_Dead_Circumflex, false, 0xFE52, 49}, Vk(0xC0)},
        // Function keys.
        TranslationCase{"F1", {Qt::Key_F1, false, 0xFFBE, 67}, Vk(0x70)},
        TranslationCase{"F12", {Qt::Key_F12, false, 0xFFC9, 96}, Vk(0x7B)},
        TranslationCase{"F24", {Qt::Key_F24, false, 0xFFD5, 202}, Vk(0x87)},
        // Modifiers, left and right: by scan code, then keysym, then the left one.
        TranslationCase{"LeftShiftByScanCode", {Qt::Key_Shift, false, 0, kScanLeftShift}, Vk(0xA0)},
        TranslationCase{"RightShiftByScanCode", {Qt::Key_Shift, false, 0, kScanRightShift}, Vk(0xA1)},
        TranslationCase{"RightShiftByKeysym", {Qt::Key_Shift, false, 0xFFE2, 0}, Vk(0xA1)},
        TranslationCase{"ShiftWithoutNativeCodesIsLeft", {Qt::Key_Shift, false, 0, 0}, Vk(0xA0)},
        TranslationCase{"LeftCtrl", {Qt::Key_Control, false, 0xFFE3, kScanLeftCtrl}, Vk(0xA2)},
        TranslationCase{"RightCtrl", {Qt::Key_Control, false, 0xFFE4, kScanRightCtrl}, VkExtended(0xA3)},
        TranslationCase{"RightCtrlByKeysym", {Qt::Key_Control, false, 0xFFE4, 0}, VkExtended(0xA3)},
        TranslationCase{"LeftAlt", {Qt::Key_Alt, false, 0xFFE9, kScanLeftAlt}, Vk(0xA4)},
        TranslationCase{"RightAltByKeysym", {Qt::Key_Alt, false, 0xFFEA, 0}, VkExtended(0xA5)},
        TranslationCase{"AltUnderShiftReadsMetaL", {Qt::Key_Meta, false, 0xFFE7, kScanLeftAlt}, Vk(0xA4)},
        TranslationCase{"AltGr", {Qt::Key_AltGr, false, 0xFE03, kScanRightAlt}, VkExtended(0xA5)},
        TranslationCase{"AltGrWithoutNativeCodes", {Qt::Key_AltGr, false, 0, 0}, VkExtended(0xA5)},
        TranslationCase{"LeftSuper", {Qt::Key_Super_L, false, 0xFFEB, kScanLeftSuper}, VkExtended(0x5B)},
        TranslationCase{"RightSuper", {Qt::Key_Super_R, false, 0xFFEC, kScanRightSuper}, VkExtended(0x5C)},
        TranslationCase{"CapsLockMadeCtrlByTheLayout", {Qt::Key_Control, false, 0xFFE3, 66}, Vk(0xA2)},
        // Keypad: digits with Num Lock on; navigation codes, not extended, with Num Lock off.
        TranslationCase{"Keypad7", {Qt::Key_7, true, 0xFFB7, kScanKp7}, Vk(0x67)},
        TranslationCase{"Keypad0", {Qt::Key_0, true, 0xFFB0, 90}, Vk(0x60)},
        TranslationCase{"KeypadHomeNumLockOff", {Qt::Key_Home, true, 0xFF95, kScanKp7}, Vk(0x24)},
        TranslationCase{"DedicatedHome", {Qt::Key_Home, false, 0xFF50, kScanHome}, VkExtended(0x24)},
        TranslationCase{"KeypadSlash", {Qt::Key_Slash, true, 0xFFAF, 106}, VkExtended(0x6F)},
        TranslationCase{"KeypadPlus", {Qt::Key_Plus, true, 0xFFAB, 86}, Vk(0x6B)},
        TranslationCase{"KeypadDecimalComma", {Qt::Key_Comma, true, 0xFFAC, 91}, Vk(0x6E)},
        // Enter: the keypad one extended, the main one not.
        TranslationCase{"KeypadEnter", {Qt::Key_Enter, true, 0xFF8D, kScanKpEnter}, VkExtended(0x0D)},
        TranslationCase{"MainEnter", {Qt::Key_Return, false, 0xFF0D, kScanReturn}, Vk(0x0D)},
        // Navigation, editing and lock keys.
        TranslationCase{"Left", {Qt::Key_Left, false, 0xFF51, 113}, VkExtended(0x25)},
        TranslationCase{"Up", {Qt::Key_Up, false, 0xFF52, 111}, VkExtended(0x26)},
        TranslationCase{"Right", {Qt::Key_Right, false, 0xFF53, 114}, VkExtended(0x27)},
        TranslationCase{"Down", {Qt::Key_Down, false, 0xFF54, 116}, VkExtended(0x28)},
        TranslationCase{"ShiftTabIsTab", {Qt::Key_Backtab, false, 0xFE20, 23}, Vk(0x09)},
        TranslationCase{"Escape", {Qt::Key_Escape, false, 0xFF1B, 9}, Vk(0x1B)},
        TranslationCase{"CapsLock", {Qt::Key_CapsLock, false, 0xFFE5, 66}, Vk(0x14)},
        TranslationCase{"NumLock", {Qt::Key_NumLock, false, 0xFF7F, 77}, VkExtended(0x90)},
        TranslationCase{"ScrollLock", {Qt::Key_ScrollLock, false, 0xFF14, 78}, Vk(0x91)},
        TranslationCase{"ApplicationKey", {Qt::Key_Menu, false, 0xFF67, 135}, VkExtended(0x5D)},
        // Media keys have Windows codes of their own (no key table of ours holds them).
        TranslationCase{"VolumeMute", {Qt::Key_VolumeMute, false, 0x1008FF12, 121}, VkExtended(0xAD)},
        TranslationCase{"PlayPause", {Qt::Key_MediaPlay, false, 0x1008FF14, 172}, VkExtended(0xB3)},
        // Keys without a code.
        TranslationCase{"UnknownKey", {Qt::Key_unknown, false, 0, 0}, std::nullopt},
        TranslationCase{
            "LaunchKeyWithoutWindowsCode", {Qt::Key_Launch5, false, 0x1008FF45, 200}, std::nullopt},
        TranslationCase{
            "UnmappedSymbolWithScanCodeOutsideTheBlock", {Qt::Key_Exclam, false, 0x21, 300}, std::nullopt}),
    [](const ::testing::TestParamInfo<TranslationCase>& info) { return info.param.name; });

// The record a keyboard message carries, and the code the key tables are searched with: Enter
// with the extended flag (key down or up) is the keypad Enter, nothing else is.
struct LookupCase {
  std::string name;
  KeyboardRecord record;
  std::uint16_t expected;
};

void PrintTo(const LookupCase& c, std::ostream* os) {
  *os << c.name;
}

class RecordLookup : public ::testing::TestWithParam<LookupCase> {};

TEST_P(RecordLookup, SurvivesPackingAndGivesTheTableCode) {
  const KeyboardRecord record = GetParam().record;
  const KeyboardRecord unpacked = UnpackKeyboardRecord(PackKeyboardRecord(record));
  EXPECT_EQ(unpacked, record);
  EXPECT_EQ(LookupCode(unpacked), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Records, RecordLookup,
    ::testing::Values(LookupCase{"KeypadEnterDown", {0x0D, kLlkhfExtended}, kVkKeypadEnter},
                      LookupCase{"KeypadEnterUp", {0x0D, kLlkhfExtended | kLlkhfUp}, kVkKeypadEnter},
                      LookupCase{"MainEnterDown", {0x0D, 0}, 0x0D},
                      LookupCase{"MainEnterUp", {0x0D, kLlkhfUp}, 0x0D},
                      LookupCase{"OtherExtendedKeyKeepsItsCode", {0x25, kLlkhfExtended}, 0x25},
                      LookupCase{"HighestCodeAndFlags", {0xFFFF, 0xFF}, 0xFFFF}),
    [](const ::testing::TestParamInfo<LookupCase>& info) { return info.param.name; });

}  // namespace
}  // namespace korva::platform
