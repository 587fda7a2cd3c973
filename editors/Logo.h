#pragma once

#include <QPixmap>

// The application's logo, drawn: a lightning bolt in a green ring on white.
QPixmap logoTrelmavondis(int lado);
