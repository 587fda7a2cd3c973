#pragma once

#include "platform/report/Document.h"

class QPainter;

namespace report {

// Draws one page (0-based) of a document with the painter's origin at the page's top-left
// corner and `scale` device pixels per point: the preview and the printer both use it.
// Text is drawn in the Liberation fonts, which share the standard fonts' widths.
void paintPage(QPainter &painter, const Document &document, int pageIndex, double scale);

} // namespace report
