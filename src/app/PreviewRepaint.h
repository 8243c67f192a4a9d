#pragma once
// The repaint pass of the lighting preview (timer 10, every 50 ms). The lighting threads change the
// tint, alpha and light switch of the preview keys ("ms_dkey_*", "mp_dkey_*", "kb_dkey_*",
// "head_dkey_*") as values on the UI thread; the keys only record such a change (Control's light
// setters). Everything else on the window repaints itself when it changes, so the pass is the only
// painting the preview needs, and it paints as little as it can:
//
//  - a window that is hidden, minimised or not exposed paints nothing, and the changes wait: a
//    window shown again may show its old picture (the platform keeps it), so the next pass after
//    that paints the waiting keys of the visible page;
//  - a key that changed and is on screen (its page is the one in front) is repainted, once for
//    any number of changes since the last pass;
//  - a key that changed on a page that is not in front is only cleared: showing a page paints it
//    whole.
//
// A pass without changes paints nothing and looks at no key (the window keeps the list of the
// changed ones), so the resident program costs next to nothing while no lighting effect runs.
//
// UI thread only.

class QWidget;

namespace korva::ui {
class SkinWindow;
}

namespace korva::app {

// Whether `window` is on screen: shown, not minimised and exposed by the windowing system.
bool WindowOnScreen(const QWidget& window);

// One pass over the preview keys of `window` whose light changed. Returns how many keys were asked
// to repaint.
int RepaintChangedPreviewKeys(ui::SkinWindow& window);

}  // namespace korva::app
