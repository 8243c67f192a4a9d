#pragma once
// The key-function vocabulary under the keyboard's own names; it lives in common/ because the
// mouse and the macro library share it.

#include "common/KeyFunction.h"

namespace korva::keyboard {

using korva::EntryAt;
using korva::KeyFunction;
using korva::kKeyFunctionSize;
using korva::StoreEntry;
namespace key_type = korva::key_type;

}  // namespace korva::keyboard
