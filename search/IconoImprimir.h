#pragma once

#include <QIcon>

// The listing button's picture: the desktop theme's printer, or a small drawn one.
QIcon iconoImprimir();
