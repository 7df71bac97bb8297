#pragma once
// Drag and drop between programs through Qt: data objects become Qt mime data and back, a drag
// driver runs drags with QDrag, and custom-drawn windows hand drags over them to the drop
// target registered for them.
#include "platform/ui/core/DragDrop.h"

#include <memory>
#include <string>

class QMimeData;
class QEvent;
class QString;

// Qt's mime name for a format registered by name, and back ("" for a mime name of no such
// format).
QString ClipboardMimeName(const std::string& FormatName);
std::string ClipboardFormatName(const QString& Mime);

// Text as "text/plain", files as "text/uri-list", any registered format under Qt's name for
// it; the data object's other formats are not carried.
std::unique_ptr<QMimeData> DataObjectToMime(IDataObject& DataObj);
// A copy of the mime data's contents in the formats a drop target reads.
std::shared_ptr<TMemoryDataObject> MimeToDataObject(const QMimeData& Mime);
// Installed by the back end where native windows exist (not on the offscreen platform).
TDragDriver* QtDragDriver();
// A drag event of a control's native window; true when the event was for a drop target.
bool QtDragEvent(TWinControl* Control, QEvent* Event);
