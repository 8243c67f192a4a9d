#pragma once
// Text ids of the messages the session asks the window to show (entries of lan_cn.xml / lan_en.xml).

#include <string_view>

namespace korva::session {

inline constexpr std::string_view kTextNoDevice = "message_text_1";
inline constexpr std::string_view kTextFileMissing = "message_text_8";
inline constexpr std::string_view kTextFileInvalid = "message_text_9";
// A connected device refused a settings write again and again; the change was dropped.
inline constexpr std::string_view kTextWriteDropped = "message_text_write_dropped";
// A key bank or macro upload the device did not take.
inline constexpr std::string_view kTextUploadFailed = "message_text_upload_failed";
// "Restore all defaults" has restored every connected device.
inline constexpr std::string_view kTextRestored = "message_text_restored";

}  // namespace korva::session
