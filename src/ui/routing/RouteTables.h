#pragma once
// Where each notification of the main window goes: by type, then by the sender's name or name
// family, to the area of the program that owns the control. The tables behind this are data
// (RouteTables.cpp); NotifyRouter carries the routes out.

#include <QString>
#include <QStringView>

namespace korva::ui {

// The owners of the controls.
enum class RouteArea {
  kNone,
  kWindow,            // the main window: start-up sequence, window buttons
  kRouting,           // the routing itself: page switching, profile panel toggles, same-mode copying
  kKeyboardKeys,      // keyboard key assignment
  kKeyboardLighting,  // keyboard lighting page
  kMouseSettings,     // mouse settings: sensitivity stages, report rate, on-device profile
  kMouseLighting,     // mouse lighting page
  kCursorMacros,      // mouse cursor macros
  kMouseButtons,      // mouse button assignment
  kMousepad,          // mousepad lighting page
  kHeadsetVoice,      // headset voice settings and profiles
  kHeadsetLighting,   // headset lighting page
  kMacroEditor,       // keyboard and mouse macro editors
  kProfileLibrary,    // light and key profile libraries
  kApplicationLink,   // application-linked profile switching
};

const char* RouteAreaName(RouteArea area);

enum class RouteKind {
  kNone,           // nothing answers: the notification is passed on unchanged
  kWindowInit,     // the main window's start-up sequence
  kWindowButton,   // "closebtn", "minbtn", "maxbtn", "restorebtn", "skinbtn"
  kNamed,          // a handler bound by name
  kIndexFamily,    // a handler bound by family prefix, given the index
  kColourFamily,   // a colour swatch: its family's colour handler, given the preset colour
  kPalette,        // a colour palette: the colour handler of its swatch family, given its colour
  kPageOption,     // an option selecting a device page or a sub-page
  kPanelToggle,    // a profile panel toggle
  kSameMode,       // a same-mode check box
  kButtonPicture,  // hover picture of a mouse button
};

struct Route {
  RouteKind kind = RouteKind::kNone;
  RouteArea area = RouteArea::kNone;
  QString key;    // lower case: the name; the family prefix for the family kinds and kPalette
  int index = 0;  // the family index (family kinds)
};

// The route of a notification type ("click", ...) and sender name (compared without regard to
// case), in the order the dispatchers test them.
Route ResolveRoute(QStringView type, QStringView name);

}  // namespace korva::ui
