#pragma once

class QString;
class QWidget;

// Types text key by key, as a person at the keyboard: the letters of ASCII as key clicks,
// the others (ñ, á, ...) as key events carrying their text, which is what an editor reads.
void typeText(QWidget *widget, const QString &text);

// The same into whatever holds the focus, waiting before each key for a widget to hold it
// (the focus may move while typing, and arrives on the window system's own time).
void typeIntoFocus(const QString &text);
