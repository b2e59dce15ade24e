// SPDX-License-Identifier: GPL-2.0-or-later
#ifndef QUILMO_FIRSTFRAME_H
#define QUILMO_FIRSTFRAME_H

#include <functional>

class QWidget;

/// Runs @p work once the window of @p widget has drawn its first frame, or
/// at the latest just before the first input event is handled. What the
/// first frame does not need waits, and the user still meets a complete
/// window. Nothing runs if @p widget goes first.
void runAfterFirstFrame(QWidget *widget, std::function<void()> work);

#endif
