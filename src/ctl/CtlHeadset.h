#pragma once
// The headset in korvactl: its voice settings as `show headset` prints them, under the names of its
// voice page, and `profiles headset [list | select NAME | export NAME FILE | import FILE NAME]` on
// its profile library (HeadsetProfiles, the data folder's "hs"), by the library's rules.
//
//   select   the profile is loaded and its voice settings sent to a connected headset, as choosing
//            it on the voice page does; a profile that does not load is refused and nothing
//            changes. With no headset connected it only becomes the stored selection, which the
//            headset's next arrival loads.
//   export   the profile's file copied to FILE, replacing it atomically.
//   import   a new profile NAME holding FILE, appended to the list; the selection stays. A name
//            refused or taken (in any letter case) is a usage error; a FILE that does not read as
//            a headset profile is refused and leaves the library as it was.

#include <json/value.h>

#include <sstream>

#include "ctl/CtlCommand.h"
#include "ctl/CtlResult.h"
#include "session/DeviceSession.h"

namespace korva::ctl {

// `show headset`'s voice part: "profile" and "voice" into `json`, their lines into `text`. The
// program's voice settings when the hooks give them, otherwise the selected profile's.
void ShowHeadsetVoice(session::DeviceSession& session, const CtlHooks& hooks, Json::Value& json,
                      std::ostringstream& text);

// `profiles headset ...`.
CtlResult HeadsetProfilesCommand(session::DeviceSession& session, const CtlCommand& command,
                                 const CtlHooks& hooks);

}  // namespace korva::ctl
