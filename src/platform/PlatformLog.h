#pragma once
// Log lines of the OS seams ("korva.platform"): what the desktop does not offer and what failed,
// so that a missing setting or service is visible without a debugger.

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcPlatform)
