#pragma once

class QWidget;

// How long a window test waits for what the window system does on its own time: a window
// becoming active, the focus arriving, a window shown or hidden. Generous, for a machine busy
// with other work; a state that never comes still fails, only later.
inline constexpr int kWindowWait = 10000;

// Asks for the window to be made active and waits until it is, as a desktop activates a window
// shown or uncovered by a closed box (the offscreen platform does the former only). True once
// it is active.
bool activateAndWait(QWidget *window);
