#pragma once

#include <QString>

class QPainter;

// Pages laid out once on a device, so that any one page can be painted on
// its own: a preview shows the first at once.
class PagedDocument {
public:
    virtual ~PagedDocument() = default;
    virtual int pageCount() const = 0;
    // With the painter's origin at the top left of the page's printable area,
    // in the device's pixels.
    virtual void paintPage(QPainter& painter, int page) const = 0;
    // What the paper is called: the PDF's title, the preview's caption.
    virtual QString title() const = 0;
};
