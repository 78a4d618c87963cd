#pragma once

#include <QTextDocument>

// The result box's document. Reply words are shown as plain text, but the user may paste rich
// text into the box, and rich text names resources (an image's source, a style sheet). A plain
// document reads them from the local file system, where a name like /dev/zero fills the memory and
// a FIFO blocks for good, and any local file could be read. This one loads nothing: every image is
// a blank placeholder, every other resource is empty.
class ResultDocument : public QTextDocument
{
public:
    using QTextDocument::QTextDocument;

protected:
    QVariant loadResource(int type, const QUrl &name) override;
};
