#pragma once
// How the editors and the image compiler walk the elements of project files.
#include "platform/xml/XmlDoc.h"

#include <vector>

// The element children of node in document order (comments and text hold no row).
std::vector<TXmlNode> Element_Children(const TXmlNode& node);
