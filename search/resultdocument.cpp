#include "search/resultdocument.h"

#include <QImage>

QVariant ResultDocument::loadResource(int type, const QUrl &)
{
    // Given no image, the image handler would open the name itself.
    if (type == QTextDocument::ImageResource) {
        QImage blank(16, 16, QImage::Format_ARGB32);
        blank.fill(Qt::transparent);
        return blank;
    }
    return QVariant();
}
